#include "files/FileOps.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

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

// Reading: elements by name from "device", attributes by position, each
// integer cut to its low 8 bits.
uint8_t Low8(int64_t v) { return static_cast<uint8_t>(v & 0xFF); }

class Reader {
 public:
  explicit Reader(const TXmlNode& device) : device_(device) {}

  // Stores attribute `position` of `element` into `field`, when present.
  bool Take(const char* element, int position, uint8_t& field) {
    const TXmlNode* node = device_.FindNode(element);
    if (!node) return false;
    field = Low8(node->AttributeIntegerAt(position));
    return true;
  }
  const TXmlNode* Find(const char* element) const { return device_.FindNode(element); }

  void Zones(const PanelImage& image) {
    const TXmlNode* loops = device_.FindNode("loops");
    if (!loops) return;
    for (int i = 0; i < loops->NodeCount(); ++i) {
      const TXmlNode* z = loops->NodeAt(i);
      if (z->NodeKind() != TXmlNode::Kind::Element || z->Name() != "zone") continue;
      const int64_t n = z->AttributeIntegerAt(0);
      const uint8_t type = Low8(z->AttributeIntegerAt(2));
      if (n < 1 || n > PanelImage::kZones || type > 7) continue;
      const ZoneRecord zone = image.Zone(static_cast<int>(n));
      zone.Head() = 0;
      // A hand-edited partition above 7 is confined to its three bits.
      zone.SetPartition(Low8(z->AttributeIntegerAt(1)));
      zone.SetTactics(type);
      zone.SetRearm(z->AttributeIntegerAt(3) != 0);
      zone.SetFireReCheck(z->AttributeIntegerAt(7) != 0);
      zone.Cid() = Low8(z->AttributeIntegerAt(4));
      zone.TimeIn() = Low8(z->AttributeIntegerAt(5));
      zone.TimeOut() = Low8(z->AttributeIntegerAt(6));
    }
  }

 private:
  const TXmlNode& device_;
};

bool ReadPanel(const TXmlNode& device, const PanelImage& image, GsmSubtree* gsm) {
  Reader r(device);
  r.Zones(image);
  r.Take("PartDep", 0, image.PartDep());
  r.Take("rele", 0, image.AlarmFire());
  r.Take("rele", 1, image.CtrlFail());
  r.Take("sndWrkTime", 0, image.SndWrkTime());
  r.Take("OPsCheck", 0, image.OPsCheck());
  r.Take("sysCFG", 0, image.SysCfg());
  if (const TXmlNode* guard = r.Find("GuardSnd")) image.SetGuardSndOn(Low8(guard->AttributeIntegerAt(0)));
  r.Take("LampMode", 0, image.LampMode());
  r.Take("devTX", 0, image.TxKind());
  if (image.TxKind() == kTxKindGsm) {
    const TXmlNode* mpi = r.Find("configMPI");
    if (!mpi || !gsm || !gsm->Read(*mpi)) return false;
  }
  if (image.HasSlaveBus()) r.Take("SlaveBus", 0, image.SlaveBus());
  return true;
}

bool ReadConcentrator(const TXmlNode& device, const ImageCNC1& image, GsmSubtree* gsm) {
  Reader r(device);
  r.Take("expanders", 0, image.Expanders());
  r.Take("BVIAlarm", 0, image.BVIAlarm());
  r.Take("BVIButtons", 0, image.BVIButtons());
  r.Take("rele", 0, image.AlarmFire());
  r.Take("OPsCheck", 0, image.OPsCheck());
  r.Take("buzzer", 0, image.Buzzer());
  r.Take("useTD", 0, image.UseTD());
  const TXmlNode* mpi = r.Find("configMPI");
  if (!mpi) {
    image.GsmConnected() = 0;
    return true;
  }
  image.GsmConnected() = 1;
  if (!gsm || !gsm->Read(*mpi)) return false;
  r.Take("GSM_Control", 0, image.GsmControl());
  r.Take("GSM_TX", 0, image.GsmTx());
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
  const TXmlNode* device = root->FindNode("device");
  if (!device) return {};
  return {device, device->AttributeIntegerAt(0)};
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
  const TXmlNode* root = document.Root();
  const DeviceElement device = FindDevice(document);
  if (!device.node) {
    result.problem = !root || root->ReadAttributeInteger("FileID", 0) != 8
                         ? "это не файл конфигурации: нет отметки FileID=\"8\""
                         : "это не файл конфигурации: нет элемента \"device\"";
    return result;
  }
  bool ok = false;
  if (const auto panel = PanelImageOf(result.buffer, static_cast<int>(device.code)))
    ok = ReadPanel(*device.node, *panel, gsm);
  else if (device.code == kTypeCNC1)
    ok = ReadConcentrator(*device.node, ImageCNC1(result.buffer), gsm);
  else
    result.problem = "это не файл конфигурации: тип прибора " + std::to_string(device.code) + " неизвестен";
  if (ok) result.code = static_cast<uint8_t>(device.code);
  else if (result.problem.empty())
    result.problem = "настройки GSM в файле повреждены или не помещаются в прибор";
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
  const int64_t code = FindDevice(*document).code;
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
