#pragma once
// The simulated device of the widget tests: on a pseudo-terminal in the
// test's own process on Linux; on Windows a tivolan-sim process reached as
// a COM port through Wine (win/SimPortWin.h), the same class.
#ifdef _WIN32
#include "win/SimPortWin.h"
#else
#include "sim/SimPort.h"
#endif
