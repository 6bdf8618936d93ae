#pragma once
// `tivolan-bench commit [N]`: a GSM configuration from its file text to the
// frames a write sends, as `tivolan-cli write` takes it, N times.
namespace tivolan::bench {
int CommitBench(int argc, char** argv);
}
