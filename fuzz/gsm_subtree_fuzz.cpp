// libFuzzer target: the GSM settings below "configMPI". For a text the XML
// reader accepts, a "configMPI" (the root itself, or the first one below it)
// that the GSM reader refuses leaves the settings as they were (a number or
// an element it cannot hold is named); one that it accepts is written back
// as the program writes files and read again:
//  - each read leaves block 2 a whole, sealed frame of at most 150 bytes,
//    and block 3, when it is in use, a sealed frame too;
//  - the second read gives the device the same settings as the first, and
//    the dialogs the same GPRS texts;
//  - the second write is the first text again.
// And the input's bytes as a device's (block 2's records, block 3's texts):
// whatever they hold, written as a file keeps them (control bytes as their
// pictures) and read back, they are the same values.
#include <array>
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
#include "link/BCC.h"
#include "link/GsmRecords.h"

namespace {

using namespace tivolan;
using Bytes = std::vector<uint8_t>;

[[noreturn]] void Broken(const std::string& what, const std::string& text) {
  std::fprintf(stderr, "%s\n--- text:\n%s\n---\n", what.c_str(), text.c_str());
  std::abort();
}

// What the program held before: every byte set and GPRS texts of its own,
// so that what the reader forgot or set wrongly shows.
GsmSettings Background() {
  GsmSettings s;
  for (std::size_t i = 0; i < s.dest.size(); ++i) s.dest[i] = static_cast<uint8_t>(0xA5 ^ (i * 7));
  for (std::size_t i = 0; i < s.gprs.size(); ++i) s.gprs[i] = static_cast<uint8_t>(0x3C ^ (i * 11));
  for (std::size_t i = 0; i < s.sms.size(); ++i) s.sms[i] = static_cast<uint8_t>(0x5A ^ (i * 13));
  s.gprsFields = {"bg.apn1", "bg-user1", "pw1", "bg.apn2", "", "pw_2"};
  return s;
}

std::array<const std::string*, 6> Fields(const GprsDialogState& g) {
  return {&g.edtAPN1, &g.edtUser1, &g.edtPass1, &g.edtAPN2, &g.edtUser2, &g.edtPass2};
}

template <std::size_t N>
bool Sealed(const std::array<uint8_t, N>& frame) {
  const std::size_t length = frame[1];
  return length >= 2 && length <= N && FrameChecksum(frame.data(), length - 1) == frame[length - 1];
}

// Block 2 as the device takes it: header, five records that end just
// before the checksum, the checksum.
void CheckDestFrame(const DestBuffer& d, const std::string& text) {
  if (d[0] != 0x7E || d[2] != 0x57 || d[3] != 2) Broken("block 2 header", text);
  const std::size_t length = d[1];
  if (length < 14 || length > kDestBufferSize) Broken("block 2 length " + std::to_string(length), text);
  std::size_t at = 8;
  for (int n = 0; n < 5 && at < length; ++n) at += d[at] == 0 ? 1 : 1 + d[at];
  if (at + 1 != length) Broken("block 2 records do not end at the checksum", text);
  if (!Sealed(d)) Broken("block 2 checksum", text);
  if (d[6] > 1 || d[7] > 1) Broken("block 2 flags", text);
}

void CheckGprsFrame(const GsmSettings& s, const std::string& text) {
  if (s.dest[6] == 0 || s.gprs[0] == 0) return;
  if (s.gprs[0] != 0x7E || s.gprs[2] != 0x57 || s.gprs[3] != 3) Broken("block 3 header", text);
  if (s.gprs[1] > 199 || !Sealed(s.gprs)) Broken("block 3 length or checksum", text);
}

// An SMS option whose list is empty sends no recipient either way; the file
// keeps it as an empty "SMS_List", which reads back as the option off.
bool SmsInEffect(const GsmSettings& s) { return s.dest[7] != 0 && s.sms[4] != 0; }

// What the device gets (block 2, and blocks 3 and 4 when block 2 says so)
// and the GPRS texts the dialog keeps.
Bytes Delivered(const GsmSettings& s) {
  Bytes out(s.dest.begin(), s.dest.begin() + s.dest[1] - 1);  // the checksum follows from the rest
  out[7] = SmsInEffect(s) ? 1 : 0;
  out.push_back(0xFF);
  if (SmsInEffect(s))
    for (std::size_t k = 0; k < 8 && s.sms[4 + 10 * k] != 0; ++k)
      out.insert(out.end(), s.sms.begin() + static_cast<long>(4 + 10 * k),
                 s.sms.begin() + static_cast<long>(14 + 10 * k));
  out.push_back(0xFF);
  if (s.dest[6] != 0) {
    if (s.gprs[0] == 0) out.push_back(0);  // holds no configuration
    else out.insert(out.end(), s.gprs.begin(), s.gprs.begin() + s.gprs[1]);
  }
  for (const std::string* f : Fields(s.gprsFields)) {
    out.push_back(0xFF);
    out.insert(out.end(), f->begin(), f->end());
  }
  return out;
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
  DestSettings dest = DestSettings::Unpack(bytes.first(bytes.size() / 2));
  for (const auto& r : dest.records)
    if (r && r->text.size() > static_cast<std::size_t>(kDestTextMax)) return;
  dest.gprs = 1;
  dest.sms = 0;
  const auto frame = dest.WriteFrame();
  if (!frame) return;
  GsmSettings held = Background();
  StoreFrame(*frame, held.dest);
  const GprsSettings gprs = GprsSettings::Unpack(bytes.subspan(bytes.size() / 2));
  ShowGprsSettings(gprs, held.gprsFields);
  const GsmSettings back = Reread(Written(held, input));
  if (DestSettings::Unpack(StoredData(back.dest)) != dest) Broken("a device's block 2 read back differently", input);
  if (GprsSettingsOf(back.gprsFields) != gprs) Broken("a device's GPRS texts read back differently", input);
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
    const GsmSettings& kept = gsm.Settings();
    bool same = kept.dest == background.dest && kept.sms == background.sms && kept.gprs == background.gprs;
    for (std::size_t i = 0; i < 6; ++i) same = same && *Fields(kept.gprsFields)[i] == *Fields(background.gprsFields)[i];
    if (!same) Broken("a refused subtree changed the settings", input);
    return 0;
  }
  const GsmSettings first = gsm.Settings();
  CheckDestFrame(first.dest, input);
  CheckGprsFrame(first, input);

  const std::string text = Written(first, input);
  const GsmSettings second = Reread(text);
  CheckDestFrame(second.dest, text);
  CheckGprsFrame(second, text);
  if (Delivered(second) != Delivered(first)) Broken("written settings read back differently", text);

  std::string expected = text;
  if (first.dest[7] != 0 && !SmsInEffect(first)) expected.erase(expected.find("<SMS_List/>"), 11);
  if (Written(second, text) != expected) Broken("written text not stable", text);
  return 0;
}
