#pragma once
// `tivolan-bench startup [N]`: the main window's start-up against a bare Qt
// window of the same size, each in a fresh process, on the same display.
namespace tivolan::bench {
int StartupBench(int argc, char** argv);
}
