// libFuzzer target: the GSM settings below "configMPI". For a text the XML
// reader accepts, a "configMPI" (the root itself, or the first one below it)
// that the GSM reader refuses leaves the settings as they were (a number or
// an element it cannot hold is named); one that it accepts is written back
// as the program writes files and read again:
//  - each read leaves block 2 whose frame is at most 150 bytes, and block
//    3, when it is in use, texts its frame carries as they stand;
//  - the second read gives the device the same settings as the first;
//  - the second write is the first text again.
// And the input's bytes as a device's (block 2's records, block 3's texts):
// whatever they hold, written as a file keeps them (control bytes as their
// pictures) and read back, they are the same values.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <span>
#include <string>
#include <vector>

#include "files/GsmSubtree.h"
#include "files/TextCase.h"
#include "files/XmlDocument.h"
#include "link/GsmRecords.h"

namespace {

using namespace tivolan;
using Bytes = std::vector<uint8_t>;

[[noreturn]] void Broken(const std::string& what, const std::string& text) {
  std::fprintf(stderr, "%s\n--- text:\n%s\n---\n", what.c_str(), text.c_str());
  std::abort();
}

// What the program held before: every field set, so that what the reader
// forgot or set wrongly shows.
GsmSettings Background() {
  GsmSettings s;
  s.dest.deviceNumber = 0xA5A5;
  s.dest.gprs = 0xA5;
  s.dest.sms = 0x5A;
  for (auto& record : s.dest.records) record = DestRecord::OfConfig(0xA5, "bg");
  s.sms.records.assign(kSmsRecords, SmsRecord{0x5A, 0x5A, {0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A}});
  s.gprs.sims = {{{"bg.apn1", "bg-user1", "pw1"}, {"bg.apn2", "", "pw_2"}}};
  return s;
}

// Block 2 as the device takes it: a frame of at most 150 bytes, options 0
// or 1; block 3, when in use, texts its frame carries as they stand.
void CheckBlocks(const GsmSettings& s, const std::string& text) {
  if (!WriteFrame(s.dest)) Broken("block 2 longer than the device takes", text);
  if (s.dest.gprs > 1 || s.dest.sms > 1) Broken("block 2 flags", text);
  if (s.dest.GprsInUse() && !s.gprs.Fits()) Broken("block 3 texts its frame cannot carry", text);
}

// What the device gets: block 2, and blocks 3 and 4 when block 2 says so.
GsmSettings Delivered(GsmSettings s) {
  if (!s.dest.SmsInUse()) s.sms = {};
  if (!s.dest.GprsInUse()) s.gprs = {};
  return s;
}

const TXmlNode* ConfigMpi(const TXmlDocument& doc) {
  const TXmlNode* root = doc.Root();
  if (!root) return nullptr;
  return EqualsIgnoreCase(root->Name(), "configMPI") ? root : root->FindNode("configMPI");
}

// The subtree as a file holds it: below "device" of a readable document.
std::string Written(const GsmSettings& s, const std::string& input) {
  TXmlDocument doc("config");
  doc.SetForm(XmlForm::Readable);
  doc.SetLineEnd(XmlLineEnd::CRLF);
  GsmFileSubtree gsm(s);
  try {
    gsm.Write(*doc.Root()->AddElement("device")->AddElement("configMPI"));
  } catch (const std::exception& e) {
    Broken(std::string("accepted settings not written: ") + e.what(), input);
  }
  const std::string text = doc.SaveToString();
  const std::string end = "</CFG>\t\t</configMPI>\r\n\t</device>\r\n</config>\r\n";
  if (text.find("\t\t<configMPI>\r\n<CFG ") == std::string::npos || text.size() < end.size() ||
      text.compare(text.size() - end.size(), end.size(), end) != 0)
    Broken("not the compact layout", text);
  return text;
}

GsmSettings Reread(const std::string& text) {
  TXmlDocument doc;
  try {
    doc.LoadFromString(text);
  } catch (const XmlError& e) {
    Broken(std::string("written text refused: ") + e.what(), text);
  }
  const TXmlNode* mpi = ConfigMpi(doc);
  GsmFileSubtree gsm(Background());
  try {
    if (!mpi || !gsm.Read(*mpi)) Broken("written subtree refused", text);
  } catch (const FileFieldError& e) {
    Broken(std::string("written subtree refused: ") + e.what(), text);
  }
  return gsm.Settings();
}

// The first read: false, or a number or an element the file cannot hold
// (which must then be named).
bool Accepted(GsmFileSubtree& gsm, const TXmlNode& mpi, const std::string& input) {
  try {
    return gsm.Read(mpi);
  } catch (const FileFieldError& e) {
    if (std::string(e.what()).rfind("элемент \"", 0) != 0) Broken(std::string("cause names no element: ") + e.what(), input);
    return false;
  }
}

// Block 2 from the first half of the bytes, the GPRS texts from the second;
// a record text longer than the 30 characters a device keeps is passed over.
void DeviceRoundTrip(std::span<const uint8_t> bytes, const std::string& input) {
  GsmSettings held = Background();
  held.dest = DestSettings::Unpack(bytes.first(bytes.size() / 2));
  for (const auto& r : held.dest.records)
    if (r && r->text.size() > static_cast<std::size_t>(kDestTextMax)) return;
  held.dest.gprs = 1;
  held.dest.sms = 0;
  if (!WriteFrame(held.dest)) return;
  held.gprs = GprsSettings::Unpack(bytes.subspan(bytes.size() / 2));
  const GsmSettings back = Reread(Written(held, input));
  if (back.dest != held.dest) Broken("a device's block 2 read back differently", input);
  if (back.gprs != held.gprs) Broken("a device's GPRS texts read back differently", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  DeviceRoundTrip({data, size}, input);
  TXmlDocument doc;
  try {
    doc.LoadFromString(input);
  } catch (const XmlError&) {
    return 0;
  }
  const TXmlNode* mpi = ConfigMpi(doc);
  if (!mpi) return 0;
  const GsmSettings background = Background();
  GsmFileSubtree gsm(background);
  if (!Accepted(gsm, *mpi, input)) {
    if (gsm.Settings() != background) Broken("a refused subtree changed the settings", input);
    return 0;
  }
  const GsmSettings first = gsm.Settings();
  CheckBlocks(first, input);

  const std::string text = Written(first, input);
  const GsmSettings second = Reread(text);
  CheckBlocks(second, text);
  if (Delivered(second) != Delivered(first)) Broken("written settings read back differently", text);
  if (Written(second, text) != text) Broken("written text not stable", text);
  return 0;
}
