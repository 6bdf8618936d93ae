#include "files/GsmSubtree.h"

#include <algorithm>
#include <stdexcept>

#include "files/XmlDocument.h"
#include "link/GsmRecords.h"
#include "model/CodePage.h"
#include "model/HexText.h"

namespace tivolan {
namespace {

constexpr int kSmsListNodes = 8;  // only so many children of "SMS_List" are looked at

// The numbers of the subtree and what their bytes hold.
constexpr NumberField kDeviceNum{"DeviceNum", 0, kDeviceNumberMax, kWordMax};  // the device number of block 2
constexpr NumberField kTrySimProt{"trySIMProt", 0, kByteMax};  // a destination's configuration byte
constexpr NumberField kSmsPartition{"PartID", 0, kByteMax};
constexpr NumberField kSmsKind{"cfg", 0, kByteMax};

// The reader refuses control characters other than tab and line ends.
bool FileCanHold(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 && b != '\t' && b != '\n' && b != '\r';
  });
}

void WriteDestinations(TXmlNode& cfg, const DestRecords& records) {
  TXmlNode* list = cfg.AddElement("CID_Destinations");
  for (std::size_t n = 0; n < records.size(); ++n) {
    if (!records[n]) continue;
    const DestRecord& r = *records[n];
    // Only a device can have brought such a text; written, the file would
    // no longer open.
    if (!FileCanHold(r.text))
      throw std::runtime_error("Настройки GSM нельзя сохранить в файл: в направлении " + std::to_string(n + 1) +
                               " есть управляющие символы");
    TXmlNode* d = list->AddElement("Dest" + std::to_string(n + 1));
    d->WriteAttributeInteger("trySIMProt", r.Config(), 0);
    // UTF-8 of the device's own characters, so that the file stays valid.
    if (!r.text.empty()) d->WriteAttributeString("PhOrHst", Utf8FromCp1251(r.text), "");
  }
}

void WriteSmsList(TXmlNode& cfg, const SmsList& sms) {
  TXmlNode* list = cfg.AddElement("SMS_List");
  for (const SmsRecord& r : sms.records) {
    TXmlNode* s = list->AddElement("SMS");
    s->WriteAttributeInteger("PartID", r.partition, 0);
    s->WriteAttributeInteger("cfg", r.kind, 0);
    s->WriteAttributeString("pdu", HexOf(r.phone), "");
  }
}

void WriteGprs(TXmlNode& cfg, const GprsSettings& g) {
  TXmlNode* settings = cfg.AddElement("GPRS_Settings");
  for (std::size_t s = 0; s < g.sims.size(); ++s) {
    TXmlNode* sim = settings->AddElement("SIM" + std::to_string(s + 1));
    sim->WriteAttributeString("APN", g.sims[s].apn, "");
    sim->WriteAttributeString("user", g.sims[s].user, "");
    sim->WriteAttributeString("password", g.sims[s].password, "");
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
    const auto config = static_cast<uint8_t>(FileElement(*d).NumberAt(0, kTrySimProt));
    records[static_cast<std::size_t>(n - 1)] = DestRecord::OfConfig(config, *text);
  }
  return records;
}

// The first eight child nodes at most are looked at; each "SMS" among them
// is a record.
SmsList ReadSmsList(const TXmlNode& list) {
  SmsList sms;
  int examined = 0;
  for (int i = 0; i < list.NodeCount() && examined < kSmsListNodes; ++i) {
    const TXmlNode* node = list.NodeAt(i);
    if (node->NodeKind() == TXmlNode::Kind::Attribute) continue;
    ++examined;
    if (node->NodeKind() != TXmlNode::Kind::Element || node->Name() != "SMS") continue;
    const FileElement s(*node, static_cast<int>(sms.records.size()) + 1);
    SmsRecord r;
    r.partition = static_cast<uint8_t>(s.NumberAt(0, kSmsPartition));
    r.kind = static_cast<uint8_t>(s.NumberAt(1, kSmsKind));
    r.phone = s.PhoneBytesAt(2, "pdu");
    sms.records.push_back(r);
  }
  return sms;
}

void ReadSim(const TXmlNode* node, GprsSim& sim) {
  if (!node) return;
  sim.apn = node->AttributeValueAt(0);
  sim.user = node->AttributeValueAt(1);
  sim.password = node->AttributeValueAt(2);
}

}  // namespace

void GsmFileSubtree::Write(TXmlNode& configMPI) {
  TXmlDocument compact("configMPI");  // keeps the compact form; only its "CFG" is used
  TXmlNode* cfg = compact.Root()->AddElement("CFG");
  const DestSettings dest = DestSettings::Unpack(StoredData(settings_.dest));
  cfg->WriteAttributeInteger("DeviceNum", dest.deviceNumber, 0);
  if (kDeviceNum.Outside(dest.deviceNumber)) cfg->WriteAttributeInteger(kDeviceValueMark, 1, 0);
  WriteDestinations(*cfg, dest.records);
  if (dest.sms != 0) WriteSmsList(*cfg, SmsList::Unpack(StoredData(settings_.sms)));
  if (dest.gprs != 0) WriteGprs(*cfg, GprsSettingsOf(settings_.gprsFields));
  configMPI.AttachNode(cfg);
}

bool GsmFileSubtree::Read(const TXmlNode& configMPI) {
  const TXmlNode* cfgNode = FileElement(configMPI).Single("CFG");
  if (!cfgNode) return false;
  const FileElement cfg(*cfgNode);
  GsmSettings read = settings_;
  DestSettings dest;  // as ResetDestBuffer leaves it: both options off, five empty records
  dest.deviceNumber = static_cast<uint16_t>(cfg.Number(kDeviceNum, 0));
  if (const TXmlNode* list = cfg.Single("CID_Destinations")) {
    const auto listed = ReadDestinations(FileElement(*list));
    if (!listed) return false;
    dest.records = *listed;
  }
  if (const TXmlNode* list = cfg.Single("SMS_List")) {
    // Only the list is written, in place; the SMS dialog's build seals block 4.
    const SmsList sms = ReadSmsList(*list);
    dest.sms = sms.records.empty() ? 0 : 1;
    PutStoredData(sms.Pack(), read.sms);
  }
  if (cfg.Single("GPRS_Settings")) {
    dest.gprs = 1;
    GprsSettings texts = GprsSettingsOf(read.gprsFields);
    ReadSim(cfg.Single("SIM1"), texts.sims[0]);
    ReadSim(cfg.Single("SIM2"), texts.sims[1]);
    ShowGprsSettings(texts, read.gprsFields);
    // Texts the block cannot carry as they stand would change unseen: refused.
    if (BuildTX_Buffer(read.gprsFields, read.gprs) != 0) return false;
  }
  const auto frame = dest.WriteFrame();
  if (!frame) return false;
  StoreFrame(*frame, read.dest);
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
