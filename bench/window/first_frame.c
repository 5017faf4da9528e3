/* Preloaded into a windowed program (LD_PRELOAD) to time its start-up: at the first
 * buffer swap, once the X server has the picture, it writes the wall clock in
 * nanoseconds to the file named by JQ_FIRST_FRAME_FILE and ends the process. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
  void (*swap)(Display*, GLXDrawable) =
      (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
  swap(display, drawable);
  XSync(display, False);
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  const char* path = getenv("JQ_FIRST_FRAME_FILE");
  FILE* file = path ? fopen(path, "w") : NULL;
  if (file) {
    fprintf(file, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    fclose(file);
  }
  _exit(0);
}
