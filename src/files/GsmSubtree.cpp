#include "files/GsmSubtree.h"

#include <algorithm>
#include <stdexcept>

#include "files/XmlDocument.h"
#include "model/CodePage.h"
#include "transmission/FormSMS.h"
#include "transmission/MPIGSM.h"

namespace tivolan {
namespace {

constexpr int kSmsListNodes = 8;  // only so many children of "SMS_List" are looked at

// The numbers of the subtree and what their bytes hold.
constexpr NumberField kDeviceNum{"DeviceNum", 0, kWordMax};  // bytes 4 and 5 of block 2
constexpr NumberField kTrySimProt{"trySIMProt", 0, kByteMax};  // a destination's configuration byte
constexpr NumberField kSmsPartition{"PartID", 0, kByteMax};
constexpr NumberField kSmsKind{"cfg", 0, kByteMax};

std::string Hex(const uint8_t* bytes, std::size_t n) {
  static const char* kDigits = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < n; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

// The reader refuses control characters other than tab and line ends.
bool FileCanHold(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 && b != '\t' && b != '\n' && b != '\r';
  });
}

void WriteDestinations(TXmlNode& cfg, const DestBuffer& dest) {
  TXmlNode* list = cfg.AddElement("CID_Destinations");
  const DestRecords records = ReadDestRecords(dest);
  for (std::size_t n = 0; n < records.size(); ++n) {
    const DestRecord& r = records[n];
    if (r.empty) continue;
    // Only a device can have brought such a text; written, the file would
    // no longer open.
    if (!FileCanHold(r.text))
      throw std::runtime_error("Настройки GSM нельзя сохранить в файл: в направлении " + std::to_string(n + 1) +
                               " есть управляющие символы");
    TXmlNode* d = list->AddElement("Dest" + std::to_string(n + 1));
    d->WriteAttributeInteger("trySIMProt", r.config, 0);
    // UTF-8 of the device's own characters, so that the file stays valid.
    if (!r.text.empty()) d->WriteAttributeString("PhOrHst", Utf8FromCp1251(r.text), "");
  }
}

void WriteSmsList(TXmlNode& cfg, const SmsBuffer& sms) {
  TXmlNode* list = cfg.AddElement("SMS_List");
  for (int k = 0; k < kSmsRows; ++k) {
    const uint8_t* record = sms.data() + kSmsFirstRecord + kSmsRecordSize * static_cast<std::size_t>(k);
    if (record[0] == 0) break;
    TXmlNode* s = list->AddElement("SMS");
    s->WriteAttributeInteger("PartID", record[1], 0);
    s->WriteAttributeInteger("cfg", record[0], 0);
    s->WriteAttributeString("pdu", Hex(record + 2, kSmsPhoneBytes), "");
  }
}

void WriteGprs(TXmlNode& cfg, const GprsDialogState& g) {
  TXmlNode* settings = cfg.AddElement("GPRS_Settings");
  const std::string* sims[2][3] = {{&g.edtAPN1, &g.edtUser1, &g.edtPass1}, {&g.edtAPN2, &g.edtUser2, &g.edtPass2}};
  for (int s = 0; s < 2; ++s) {
    TXmlNode* sim = settings->AddElement("SIM" + std::to_string(s + 1));
    sim->WriteAttributeString("APN", *sims[s][0], "");
    sim->WriteAttributeString("user", *sims[s][1], "");
    sim->WriteAttributeString("password", *sims[s][2], "");
  }
}

// The destination records of "CID_Destinations", by the number in each
// element's name; nullopt for a text the device cannot hold.
std::optional<DestRecords> ReadDestinations(const FileElement& list) {
  DestRecords records;
  for (int n = 1; n <= kDestinations; ++n) {
    const TXmlNode* d = list.Single("Dest" + std::to_string(n));
    if (!d) continue;
    const auto text = Cp1251FromUtf8(d->AttributeValueAt(1));
    if (!text || text->size() > static_cast<std::size_t>(kDestTextMax)) return std::nullopt;
    DestRecord& r = records[static_cast<std::size_t>(n - 1)];
    r.empty = false;
    r.config = static_cast<uint8_t>(FileElement(*d).NumberAt(0, kTrySimProt));
    r.text = *text;
  }
  return records;
}

void ReadSmsList(const TXmlNode& list, DestBuffer& dest, SmsBuffer& sms) {
  dest[kDestSmsFlag] = 0;
  sms[kSmsFirstRecord] = 0;  // the SMS dialog's SetDefaults
  std::size_t at = kSmsFirstRecord;
  int examined = 0;
  int records = 0;
  for (int i = 0; i < list.NodeCount() && examined < kSmsListNodes; ++i) {
    const TXmlNode* node = list.NodeAt(i);
    if (node->NodeKind() == TXmlNode::Kind::Attribute) continue;
    ++examined;
    if (node->NodeKind() != TXmlNode::Kind::Element || node->Name() != "SMS") continue;
    const FileElement s(*node, "№" + std::to_string(++records));
    sms[at + 1] = static_cast<uint8_t>(s.NumberAt(0, kSmsPartition));
    sms[at] = static_cast<uint8_t>(s.NumberAt(1, kSmsKind));
    const auto phone = s.PhoneBytesAt(2, "pdu");
    std::copy(phone.begin(), phone.end(), sms.begin() + static_cast<long>(at) + 2);
    dest[kDestSmsFlag] = 1;
    at += kSmsRecordSize;
  }
  sms[at] = 0;  // ends the list; after eight records, the byte behind them
}

void ReadSim(const TXmlNode* sim, std::string& apn, std::string& user, std::string& password) {
  if (!sim) return;
  apn = sim->AttributeValueAt(0);
  user = sim->AttributeValueAt(1);
  password = sim->AttributeValueAt(2);
}

}  // namespace

void GsmFileSubtree::Write(TXmlNode& configMPI) {
  TXmlDocument compact("configMPI");  // keeps the compact form; only its "CFG" is used
  TXmlNode* cfg = compact.Root()->AddElement("CFG");
  cfg->WriteAttributeInteger("DeviceNum", DeviceNumber(settings_.dest), 0);
  WriteDestinations(*cfg, settings_.dest);
  if (settings_.dest[kDestSmsFlag] != 0) WriteSmsList(*cfg, settings_.sms);
  if (settings_.dest[kDestGprsFlag] != 0) WriteGprs(*cfg, settings_.gprsFields);
  configMPI.AttachNode(cfg);
}

bool GsmFileSubtree::Read(const TXmlNode& configMPI) {
  const TXmlNode* cfgNode = FileElement(configMPI).Single("CFG");
  if (!cfgNode) return false;
  const FileElement cfg(*cfgNode);
  GsmSettings read = settings_;
  ResetDestBuffer(read.dest);
  SetDeviceNumber(read.dest, static_cast<int>(cfg.Number(kDeviceNum, 0)));
  DestRecords records;  // without "CID_Destinations", the five empty ones of the reset
  if (const TXmlNode* list = cfg.Single("CID_Destinations")) {
    const auto listed = ReadDestinations(FileElement(*list));
    if (!listed) return false;
    records = *listed;
  }
  if (const TXmlNode* list = cfg.Single("SMS_List")) ReadSmsList(*list, read.dest, read.sms);
  if (cfg.Single("GPRS_Settings")) {
    read.dest[kDestGprsFlag] = 1;
    GprsDialogState& f = read.gprsFields;
    ReadSim(cfg.Single("SIM1"), f.edtAPN1, f.edtUser1, f.edtPass1);
    ReadSim(cfg.Single("SIM2"), f.edtAPN2, f.edtUser2, f.edtPass2);
    // Texts the block cannot carry as they stand would change unseen: refused.
    if (BuildTX_Buffer(f, read.gprs) != 0) return false;
  } else {
    read.dest[kDestGprsFlag] = 0;
  }
  // Packed and sealed once the two flags, which the checksum covers too, are set.
  if (!PackDestRecords(records, read.dest)) return false;
  settings_ = read;
  return true;
}

GsmSettings GsmSettingsOf(const SharedData& data, const GprsDialogState& gprs) {
  return {data.DestTX_Buffer, data.GprsTX_Buffer, data.SmsTX_Buffer, gprs};
}

void TakeGsmSettings(const GsmSettings& settings, SharedData& data, GprsDialogState& gprs) {
  data.DestTX_Buffer = settings.dest;
  data.GprsTX_Buffer = settings.gprs;
  data.SmsTX_Buffer = settings.sms;
  gprs = settings.gprsFields;
}

}  // namespace tivolan
