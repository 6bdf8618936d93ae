#pragma once
// `tivolan-bench station [N...]`: N simulated panels programmed at once by
// the station against one alone, and what a port waiting for a panel costs.
namespace tivolan::bench {
int StationBench(int argc, char** argv);
}
