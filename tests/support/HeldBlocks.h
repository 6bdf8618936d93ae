#pragma once
// GSM blocks 2 to 4 as values packed again: the data the simulator's
// `--block N=HEX` takes, so that what a device held and what the program
// holds (after a read, or a saved file opened) compare byte for byte.
#include <array>
#include <string>

#include "configuration/FileCommands.h"
#include "link/GsmRecords.h"
#include "model/DeviceCatalogue.h"
#include "support/RecordingPrompter.h"

namespace tivolan::test {

using HeldBlocks = std::array<BlockData, 3>;

inline HeldBlocks BlocksOf(const SharedData& data) {
  return {DestSettings::Unpack(StoredData(data.DestTX_Buffer)).Pack(),
          GprsSettings::Unpack(StoredData(data.GprsTX_Buffer)).Pack(),
          SmsList::Unpack(StoredData(data.SmsTX_Buffer)).Pack()};
}

// A file opened as "Открыть..." opens it in a program just started; empty
// blocks when it does not open.
inline HeldBlocks BlocksOfFile(const std::string& path) {
  SharedData data;
  FormState form;
  RecordingPrompter prompter;
  NewConfiguration(data, form, kTypePPKP, prompter);
  if (!OpenConfiguration(data, form, path, prompter).opened) return {};
  return BlocksOf(data);
}

}  // namespace tivolan::test
