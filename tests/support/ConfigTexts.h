#pragma once
// Default images and the text of the ".cf8" file as the tables give it, for
// tests that compare with what the program writes.
#include <string>

#include "model/DefaultImages.h"
#include "model/SharedData.h"
#include "support/RecordingPrompter.h"

namespace tivolan::test {

inline ImageBuffer DefaultImage(int type) {
  ImageBuffer b{};
  RecordingPrompter prompter;
  SetDefaultImage(b, type, prompter);
  return b;
}

inline SharedData DefaultData(int type) {
  SharedData d;
  d.DeviceType = static_cast<uint8_t>(type);
  d.ConfigBuffer = DefaultImage(type);
  return d;
}

inline std::string ZoneLine(int id, int tactics, int cid, int in, int out) {
  return "\t\t\t<zone ID=\"" + std::to_string(id) + "\" PartID=\"0\" tactics=\"" + std::to_string(tactics) +
         "\" rearm=\"1\" CID=\"" + std::to_string(cid) + "\" TimeIn=\"" + std::to_string(in) + "\" TimeOut=\"" +
         std::to_string(out) + "\" FireReCheck=\"0\"/>\r\n";
}

// The default zones: door 30/30 s with event 0x17, three guard zones 0x14,
// panic 0x10, silent panic 0x0F, two fire zones 0x04.
inline std::string DefaultLoops() {
  return "\t\t<loops>\r\n" + ZoneLine(1, 7, 23, 30, 30) + ZoneLine(2, 5, 20, 0, 0) + ZoneLine(3, 5, 20, 0, 0) +
         ZoneLine(4, 5, 20, 0, 0) + ZoneLine(5, 1, 16, 0, 0) + ZoneLine(6, 2, 15, 0, 0) + ZoneLine(7, 3, 4, 0, 0) +
         ZoneLine(8, 3, 4, 0, 0) + "\t\t</loops>\r\n";
}

inline const std::string kFileHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                     "<config version=\"1\" firmName=\"Stelmark\" FileID=\"8\">\r\n";
inline const std::string kFileTail = "\t</device>\r\n</config>\r\n";

}  // namespace tivolan::test
