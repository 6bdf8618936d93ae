#pragma once
// GSM blocks 2 to 4 that a saved file gives when opened, packed: the data
// the simulator's `--block N=HEX` takes, to compare with what a device
// held.
#include <array>
#include <string>

#include "configuration/FileCommands.h"
#include "link/GsmRecords.h"
#include "support/RecordingPrompter.h"

namespace tivolan::test {

using HeldBlocks = std::array<BlockData, 3>;

// Opened as "Открыть..." opens it in a program just started; empty when
// refused.
inline HeldBlocks BlocksOfFile(const std::string& path) {
  SharedData d;
  FormState form;
  RecordingPrompter prompter;
  NewConfiguration(d, form, kTypePPKP, prompter);
  if (!OpenConfiguration(d, form, path, prompter).opened) return {};
  return {d.DestTX_Buffer.Pack(), d.GprsTX_Buffer.Pack(), d.SmsTX_Buffer.Pack()};
}

}  // namespace tivolan::test
