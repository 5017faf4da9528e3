/* Linked into every program of the sanitizer build (JQ_SANITIZE=ON).
 *
 * Mesa loads its drivers at run time and unloads them when the last display or
 * context goes; whatever a driver leaks then shows in the leak report with no
 * library name, and cannot be told apart from a leak of our own. Keeping every
 * library mapped until the process ends lets the report name it, and the
 * suppressions below name only the X, GLUT and Mesa libraries. */

#include <stddef.h>

/* Libraries stay loaded: unloading is only ever an optimisation. */
int dlclose(void* handle) {
  (void)handle;
  return 0;
}

/* Leaks owned by the X client libraries and Mesa (its loaders, drivers and the LLVM it
 * compiles shaders with). A leak is suppressed when any frame of its allocation lies in
 * one of these, so only libraries that never call back into the game are named: GLUT,
 * which runs the game's callbacks, is not. */
const char* __lsan_default_suppressions(void) {
  return "leak:libX11.so\n"
         "leak:libxcb.so\n"
         "leak:libXi.so\n"
         "leak:libXext.so\n"
         "leak:libXrandr.so\n"
         "leak:libXxf86vm.so\n"
         "leak:libGLX_mesa.so\n"
         "leak:libEGL_mesa.so\n"
         "leak:libgallium\n"
         "leak:swrast_dri.so\n"
         "leak:libLLVM\n"
         "leak:libglapi.so\n";
}

/* The list of suppressions used would land on standard error, which tests read. */
const char* __lsan_default_options(void) {
  return "print_suppressions=0";
}

/* Every report fails the run; stack traces for undefined behaviour too. */
const char* __ubsan_default_options(void) {
  return "print_stacktrace=1:halt_on_error=1";
}
