#include "files/FileOps.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "files/FileFields.h"
#include "files/FileProblems.h"
#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"
#include "model/Images.h"
#include "model/ValueLists.h"

namespace tivolan {
namespace {

void Put(TXmlNode& parent, const char* element, const char* attribute, int value) {
  parent.AddElement(element)->WriteAttributeInteger(attribute, value, 0);
}

void WriteGsm(TXmlNode& device, GsmSubtree* gsm) {
  // Without the GSM settings' writer the file would lose them: refuse.
  if (!gsm) throw std::runtime_error("Настройки GSM нельзя сохранить в файл");
  gsm->Write(*device.AddElement("configMPI"));
}

void WriteZones(TXmlNode& device, const ConstPanelImage& image) {
  TXmlNode* loops = device.AddElement("loops");
  for (int n = 1; n <= ConstPanelImage::kZones; ++n) {
    const ConstZoneRecord zone = image.Zone(n);
    TXmlNode* z = loops->AddElement("zone");
    z->WriteAttributeInteger("ID", n, 0);
    z->WriteAttributeInteger("PartID", zone.Partition(), 0);
    z->WriteAttributeInteger("tactics", zone.Tactics(), 0);
    z->WriteAttributeInteger("rearm", zone.Rearm() ? 1 : 0, 0);
    z->WriteAttributeInteger("CID", zone.Cid(), 0);
    z->WriteAttributeInteger("TimeIn", zone.TimeIn(), 0);
    z->WriteAttributeInteger("TimeOut", zone.TimeOut(), 0);
    z->WriteAttributeInteger("FireReCheck", zone.FireReCheck() ? 128 : 0, 0);
  }
}

void WritePanel(TXmlNode& device, const ConstPanelImage& image, GsmSubtree* gsm) {
  WriteZones(device, image);
  Put(device, "PartDep", "mask", image.PartDep());
  TXmlNode* rele = device.AddElement("rele");
  rele->WriteAttributeInteger("AlarmFire", image.AlarmFire(), 0);
  rele->WriteAttributeInteger("CtrlFail", image.CtrlFail(), 0);
  Put(device, "sndWrkTime", "min", image.SndWrkTime());
  Put(device, "OPsCheck", "mask", image.OPsCheck());
  Put(device, "sysCFG", "Value", image.SysCfg());
  Put(device, "GuardSnd", "On", image.GuardSndOn());
  Put(device, "LampMode", "mode", image.LampMode());
  Put(device, "devTX", "ID", image.TxKind());
  if (image.TxKind() == kTxKindGsm) WriteGsm(device, gsm);
  if (image.HasSlaveBus()) Put(device, "SlaveBus", "BusID", image.SlaveBus());
}

void WriteConcentrator(TXmlNode& device, const ConstImageCNC1& image, GsmSubtree* gsm) {
  Put(device, "expanders", "mask", image.Expanders());
  Put(device, "BVIAlarm", "mask", image.BVIAlarm());
  Put(device, "BVIButtons", "mask", image.BVIButtons());
  Put(device, "rele", "AlarmFire", image.AlarmFire());
  Put(device, "OPsCheck", "mask", image.OPsCheck());
  Put(device, "buzzer", "Value", image.Buzzer());
  Put(device, "useTD", "mask", image.UseTD());
  if (image.GsmConnected() != 0) {
    WriteGsm(device, gsm);
    Put(device, "GSM_Control", "mask", image.GsmControl());
    Put(device, "GSM_TX", "mask", image.GsmTx());
  }
}

// Reading: elements by name from "device", each read once; attributes by
// position; every number within what its field holds.
constexpr NumberField Byte(const char* attribute) { return {attribute, 0, kByteMax}; }

// A byte the file holds whole (bit fields included: the file keeps the
// byte), in reading order.
template <class Image>
struct ImageField {
  const char* element;
  int position;
  NumberField number;
  void (*store)(const Image&, uint8_t);
};

const ImageField<PanelImage> kPanelFields[] = {
    {"PartDep", 0, Byte("mask"), [](const PanelImage& i, uint8_t v) { i.PartDep() = v; }},
    {"rele", 0, Byte("AlarmFire"), [](const PanelImage& i, uint8_t v) { i.AlarmFire() = v; }},
    {"rele", 1, Byte("CtrlFail"), [](const PanelImage& i, uint8_t v) { i.CtrlFail() = v; }},
    {"sndWrkTime", 0, Byte("min"), [](const PanelImage& i, uint8_t v) { i.SndWrkTime() = v; }},
    {"OPsCheck", 0, Byte("mask"), [](const PanelImage& i, uint8_t v) { i.OPsCheck() = v; }},
    {"sysCFG", 0, Byte("Value"), [](const PanelImage& i, uint8_t v) { i.SysCfg() = v; }},
    // After "sysCFG": on type 1 the guard sound is a bit of that byte.
    {"GuardSnd", 0, Byte("On"), [](const PanelImage& i, uint8_t v) { i.SetGuardSndOn(v); }},
    {"LampMode", 0, Byte("mode"), [](const PanelImage& i, uint8_t v) { i.LampMode() = v; }},
    {"devTX", 0, Byte("ID"), [](const PanelImage& i, uint8_t v) { i.TxKind() = v; }},
};
const ImageField<PanelImage> kNetworkPanelFields[] = {
    {"SlaveBus", 0, Byte("BusID"), [](const PanelImage& i, uint8_t v) { i.SlaveBus() = v; }},
};
const ImageField<ImageCNC1> kConcentratorFields[] = {
    {"expanders", 0, Byte("mask"), [](const ImageCNC1& i, uint8_t v) { i.Expanders() = v; }},
    {"BVIAlarm", 0, Byte("mask"), [](const ImageCNC1& i, uint8_t v) { i.BVIAlarm() = v; }},
    {"BVIButtons", 0, Byte("mask"), [](const ImageCNC1& i, uint8_t v) { i.BVIButtons() = v; }},
    {"rele", 0, Byte("AlarmFire"), [](const ImageCNC1& i, uint8_t v) { i.AlarmFire() = v; }},
    {"OPsCheck", 0, Byte("mask"), [](const ImageCNC1& i, uint8_t v) { i.OPsCheck() = v; }},
    {"buzzer", 0, Byte("Value"), [](const ImageCNC1& i, uint8_t v) { i.Buzzer() = v; }},
    {"useTD", 0, Byte("mask"), [](const ImageCNC1& i, uint8_t v) { i.UseTD() = v; }},
};
const ImageField<ImageCNC1> kConcentratorGsmFields[] = {
    {"GSM_Control", 0, Byte("mask"), [](const ImageCNC1& i, uint8_t v) { i.GsmControl() = v; }},
    {"GSM_TX", 0, Byte("mask"), [](const ImageCNC1& i, uint8_t v) { i.GsmTx() = v; }},
};

// The attributes of "zone", by position. The partition is three bits of
// the zone byte; the type's byte is read whole, since a zone whose type is
// above 7 is passed over, and the two flags are on when not 0.
enum ZoneAttribute { kZoneId, kZonePartition, kZoneTactics, kZoneRearm, kZoneCid, kZoneTimeIn, kZoneTimeOut, kZoneReCheck };
constexpr NumberField kZoneAttributes[] = {Byte("ID"),  {"PartID", 0, 7}, Byte("tactics"), Byte("rearm"),
                                           Byte("CID"), Byte("TimeIn"),   Byte("TimeOut"), Byte("FireReCheck")};

template <class Image, std::size_t N>
void TakeFields(const FileElement& device, const Image& image, const ImageField<Image> (&fields)[N]) {
  for (const ImageField<Image>& f : fields)
    if (const TXmlNode* node = device.Single(f.element))
      f.store(image, static_cast<uint8_t>(FileElement(*node).NumberAt(f.position, f.number)));
}

void ReadZones(const FileElement& device, const PanelImage& image) {
  const TXmlNode* loops = device.Single("loops");
  if (!loops) return;
  int count = 0;
  for (int i = 0; i < loops->NodeCount(); ++i) {
    const TXmlNode* node = loops->NodeAt(i);
    if (node->NodeKind() != TXmlNode::Kind::Element || node->Name() != "zone") continue;
    const FileElement z(*node, "№" + std::to_string(++count));
    const auto at = [&z](ZoneAttribute a) { return z.NumberAt(a, kZoneAttributes[a]); };
    const int64_t n = at(kZoneId);
    const int64_t type = at(kZoneTactics);
    if (n < 1 || n > PanelImage::kZones || type > 7) continue;
    const ZoneRecord zone = image.Zone(static_cast<int>(n));
    zone.Head() = 0;
    zone.SetPartition(static_cast<int>(at(kZonePartition)));
    zone.SetTactics(static_cast<int>(type));
    zone.SetRearm(at(kZoneRearm) != 0);
    zone.SetFireReCheck(at(kZoneReCheck) != 0);
    zone.Cid() = static_cast<uint8_t>(at(kZoneCid));
    zone.TimeIn() = static_cast<uint8_t>(at(kZoneTimeIn));
    zone.TimeOut() = static_cast<uint8_t>(at(kZoneTimeOut));
  }
}

bool ReadPanel(const FileElement& device, const PanelImage& image, GsmSubtree* gsm) {
  ReadZones(device, image);
  TakeFields(device, image, kPanelFields);
  if (image.TxKind() == kTxKindGsm) {
    const TXmlNode* mpi = device.Single("configMPI");
    if (!mpi || !gsm || !gsm->Read(*mpi)) return false;
  }
  if (image.HasSlaveBus()) TakeFields(device, image, kNetworkPanelFields);
  return true;
}

bool ReadConcentrator(const FileElement& device, const ImageCNC1& image, GsmSubtree* gsm) {
  TakeFields(device, image, kConcentratorFields);
  const TXmlNode* mpi = device.Single("configMPI");
  if (!mpi) {
    image.GsmConnected() = 0;
    return true;
  }
  image.GsmConnected() = 1;
  if (!gsm || !gsm->Read(*mpi)) return false;
  TakeFields(device, image, kConcentratorGsmFields);
  return true;
}

// The device element of a configuration document and its code; code 255
// when the document is none.
struct DeviceElement {
  const TXmlNode* node = nullptr;
  int64_t code = kNotAConfiguration;
};
DeviceElement FindDevice(const TXmlDocument& document) {
  const TXmlNode* root = document.Root();
  if (!root || root->ReadAttributeInteger("FileID", 0) != 8) return {};
  const TXmlNode* device = FileElement(*root).Single("device");
  if (!device) return {};
  return {device, FileElement(*device).NumberAt(0, Byte("ID"))};
}

// The device type a document names, for choosing what it is read over;
// 255 when it names none, or when the read itself will refuse it.
int64_t DeviceCodeOf(const TXmlDocument& document) {
  try {
    return FindDevice(document).code;
  } catch (const FileFieldError&) {
    return kNotAConfiguration;
  }
}

// Reads the device element into `result`; throws FileFieldError for what
// the file cannot hold.
void ReadDevice(const TXmlDocument& document, LoadedConfig& result, GsmSubtree* gsm) {
  const TXmlNode* root = document.Root();
  const DeviceElement device = FindDevice(document);
  if (!device.node) {
    result.problem = !root || root->ReadAttributeInteger("FileID", 0) != 8
                         ? "это не файл конфигурации: нет отметки FileID=\"8\""
                         : "это не файл конфигурации: нет элемента \"device\"";
    return;
  }
  const FileElement element(*device.node);
  bool ok = false;
  if (const auto panel = PanelImageOf(result.buffer, static_cast<int>(device.code)))
    ok = ReadPanel(element, *panel, gsm);
  else if (device.code == kTypeCNC1)
    ok = ReadConcentrator(element, ImageCNC1(result.buffer), gsm);
  else
    result.problem = "это не файл конфигурации: тип прибора " + std::to_string(device.code) + " неизвестен";
  if (ok) result.code = static_cast<uint8_t>(device.code);
  else if (result.problem.empty())
    result.problem = "настройки GSM в файле повреждены или не помещаются в прибор";
}

}  // namespace

TXmlDocument BuildConfigDocument(const ImageBuffer& buffer, int deviceType, GsmSubtree* gsm) {
  TXmlDocument doc("config");
  doc.SetForm(XmlForm::Readable);
  doc.SetLineEnd(XmlLineEnd::CRLF);
  TXmlNode* root = doc.Root();
  root->WriteAttributeInteger("version", 1, 0);
  root->WriteAttributeString("firmName", "Stelmark", "");
  root->WriteAttributeString("FileID", "8", "");
  TXmlNode* device = root->AddElement("device");
  device->WriteAttributeInteger("ID", deviceType, 0);
  const DeviceModel* model = FindDeviceModel(static_cast<uint32_t>(deviceType));
  device->WriteAttributeString("name", model ? model->name : "", "");
  if (const auto panel = PanelImageOf(buffer, deviceType))
    WritePanel(*device, *panel, gsm);
  else if (deviceType == kTypeCNC1)
    WriteConcentrator(*device, ConstImageCNC1(buffer), gsm);
  return doc;
}

void SaveConfigFile(const std::string& fileName, const ImageBuffer& buffer, int deviceType, GsmSubtree* gsm) {
  BuildConfigDocument(buffer, deviceType, gsm).SaveToFile(fileName);
}

LoadedConfig ReadConfigDocument(const TXmlDocument& document, const ImageBuffer& current, GsmSubtree* gsm) {
  LoadedConfig result;
  result.buffer = current;
  try {
    ReadDevice(document, result, gsm);
  } catch (const FileFieldError& e) {
    result.code = kNotAConfiguration;
    result.problem = e.what();
  }
  if (result.code == kNotAConfiguration) result.buffer = current;  // all or nothing
  return result;
}

namespace {
// Opening and parsing; a failure of either refuses the file, and `problem`
// says why.
std::optional<TXmlDocument> LoadDocument(const std::string& fileName, std::string& problem) {
  TXmlDocument document;
  try {
    document.LoadFromFile(fileName);
  } catch (const XmlError& e) {
    // Asked only now: a file that reads needs no second look.
    problem = ReadProblem(fileName, TXmlDocument::kMaxFileBytes);
    if (problem.empty()) problem = XmlProblem(e.what());
    return std::nullopt;
  }
  return document;
}
}  // namespace

LoadedConfig LoadConfigFile(const std::string& fileName, const ImageBuffer& current, GsmSubtree* gsm) {
  std::string problem;
  const auto document = LoadDocument(fileName, problem);
  if (!document) return LoadedConfig{kNotAConfiguration, current, problem};
  return ReadConfigDocument(*document, current, gsm);
}

LoadedConfig OpenConfigFile(const std::string& fileName, const ImageBuffer& current, int currentType,
                            GsmSubtree* gsm) {
  std::string problem;
  const auto document = LoadDocument(fileName, problem);
  if (!document) return LoadedConfig{kNotAConfiguration, current, problem};
  const int64_t code = DeviceCodeOf(*document);
  const auto defaults = DefaultPayload(static_cast<int>(code));
  if (code == currentType || defaults.empty()) return ReadConfigDocument(*document, current, gsm);
  // Bytes the file does not hold must not stay from another type's image.
  ImageBuffer base = current;
  std::copy(defaults.begin(), defaults.end(), base.begin() + kPayloadStart);
  LoadedConfig loaded = ReadConfigDocument(*document, base, gsm);
  if (loaded.code == kNotAConfiguration) loaded.buffer = current;
  return loaded;
}

}  // namespace tivolan
