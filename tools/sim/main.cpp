#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "tools/sim/simulator.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // The summaries and a trace on standard output are the same bytes as on Linux:
  // no CR before each newline.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return RunSimulator(argc, argv, stdout, stderr);
}
