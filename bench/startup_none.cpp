#include <cstdio>

#include "StartupBench.h"

int tivolan::bench::StartupBench(int, char**) {
  std::fprintf(stderr, "tivolan-bench startup needs the desktop program (a build with TIVOLAN_GUI)\n");
  return 2;
}
