#pragma once
// tivolan-cli station: many panels from one file, each port at once.
#include "cli/CliCommands.h"
#include "cli/Options.h"

namespace tivolan::cli {

int RunStationCommand(const Options& o, Streams& io);

}  // namespace tivolan::cli
