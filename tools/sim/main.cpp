#include <cstdio>

#include "tools/sim/simulator.h"

int main(int argc, char** argv) {
  return RunSimulator(argc, argv, stdout, stderr);
}
