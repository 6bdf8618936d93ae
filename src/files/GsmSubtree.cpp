#include "files/GsmSubtree.h"

#include <algorithm>
#include <utility>
#include <vector>

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

// A device's text in the file: UTF-8 of its characters, control bytes as
// their pictures (Utf8FromCp1251), so that the file stays valid XML and
// reads back to the same bytes. Where that was needed is noted.
std::string FileText(const std::string& bytes, const std::string& where, std::vector<std::string>& pictured) {
  if (std::any_of(bytes.begin(), bytes.end(), [](char c) { return IsPicturedByte(static_cast<uint8_t>(c)); }))
    pictured.push_back(where);
  return Utf8FromCp1251(bytes);
}

void WriteDestinations(TXmlNode& cfg, const DestRecords& records, std::vector<std::string>& pictured) {
  TXmlNode* list = cfg.AddElement("CID_Destinations");
  for (std::size_t n = 0; n < records.size(); ++n) {
    if (!records[n]) continue;
    const DestRecord& r = *records[n];
    TXmlNode* d = list->AddElement("Dest" + std::to_string(n + 1));
    d->WriteAttributeInteger("trySIMProt", r.Config(), 0);
    if (!r.text.empty())
      d->WriteAttributeString("PhOrHst", FileText(r.text, "направление " + std::to_string(n + 1), pictured), "");
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

void WriteGprs(TXmlNode& cfg, const GprsSettings& g, std::vector<std::string>& pictured) {
  TXmlNode* settings = cfg.AddElement("GPRS_Settings");
  for (std::size_t s = 0; s < g.sims.size(); ++s) {
    TXmlNode* sim = settings->AddElement("SIM" + std::to_string(s + 1));
    const std::string card = "SIM-карта №" + std::to_string(s + 1) + ": ";
    sim->WriteAttributeString("APN", FileText(g.sims[s].apn, card + "APN", pictured), "");
    sim->WriteAttributeString("user", FileText(g.sims[s].user, card + "Пользователь", pictured), "");
    sim->WriteAttributeString("password", FileText(g.sims[s].password, card + "Пароль", pictured), "");
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

// The three texts of a SIM element in the device's bytes; false for a
// character code page 1251 does not have.
bool ReadSim(const TXmlNode* node, GprsSim& sim) {
  if (!node) return true;
  for (auto [at, text] : {std::pair{0, &sim.apn}, std::pair{1, &sim.user}, std::pair{2, &sim.password}}) {
    const auto bytes = Cp1251FromUtf8(node->AttributeValueAt(at));
    if (!bytes) return false;
    *text = *bytes;
  }
  return true;
}

}  // namespace

void GsmFileSubtree::Write(TXmlNode& configMPI) {
  TXmlDocument compact("configMPI");  // keeps the compact form; only its "CFG" is used
  TXmlNode* cfg = compact.Root()->AddElement("CFG");
  const DestSettings& dest = settings_.dest;
  cfg->WriteAttributeInteger("DeviceNum", dest.deviceNumber, 0);
  if (kDeviceNum.Outside(dest.deviceNumber)) cfg->WriteAttributeInteger(kDeviceValueMark, 1, 0);
  pictured_.clear();
  WriteDestinations(*cfg, dest.records, pictured_);
  if (dest.sms != 0) WriteSmsList(*cfg, settings_.sms);
  if (dest.gprs != 0) WriteGprs(*cfg, settings_.gprs, pictured_);
  configMPI.AttachNode(cfg);
}

bool GsmFileSubtree::Read(const TXmlNode& configMPI) {
  const TXmlNode* cfgNode = FileElement(configMPI).Single("CFG");
  if (!cfgNode) return false;
  const FileElement cfg(*cfgNode);
  GsmSettings read = settings_;
  DestSettings& dest = read.dest;
  dest = DestSettings{};  // a new configuration's: both options off, five empty records
  dest.deviceNumber = static_cast<uint16_t>(cfg.Number(kDeviceNum, 0));
  if (const TXmlNode* list = cfg.Single("CID_Destinations")) {
    const auto listed = ReadDestinations(FileElement(*list));
    if (!listed) return false;
    dest.records = *listed;
  }
  if (const TXmlNode* list = cfg.Single("SMS_List")) {
    read.sms = ReadSmsList(*list);
    dest.sms = read.sms.records.empty() ? 0 : 1;
  }
  if (cfg.Single("GPRS_Settings")) {
    dest.gprs = 1;
    GprsSettings& texts = read.gprs;
    if (!ReadSim(cfg.Single("SIM1"), texts.sims[0]) || !ReadSim(cfg.Single("SIM2"), texts.sims[1])) return false;
    // Texts the block cannot carry would change unseen: refused. Any other
    // text is kept as a device holds it; the dialog's rules are for typing,
    // and a write refuses what they refuse.
    if (!texts.Fits()) return false;
  }
  // Destinations longer than the device's block could never be written.
  if (!WriteFrame(dest)) return false;
  settings_ = read;
  return true;
}

}  // namespace tivolan
