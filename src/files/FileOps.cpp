#include "files/FileOps.h"

#include <stdexcept>

#include "model/Bits.h"
#include "model/DeviceCatalogue.h"
#include "model/Images.h"

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

void WriteZones(TXmlNode& device, PanelImage& image) {
  TXmlNode* loops = device.AddElement("loops");
  for (int n = 1; n <= PanelImage::kZones; ++n) {
    ZoneRecord zone = image.Zone(n);
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

void WritePanel(TXmlNode& device, ImageBuffer& b, int type, GsmSubtree* gsm) {
  PanelImage image = *PanelImageOf(b, type);
  WriteZones(device, image);
  Put(device, "PartDep", "mask", image.PartDep());
  TXmlNode* rele = device.AddElement("rele");
  rele->WriteAttributeInteger("AlarmFire", image.AlarmFire(), 0);
  rele->WriteAttributeInteger("CtrlFail", image.CtrlFail(), 0);
  Put(device, "sndWrkTime", "min", image.SndWrkTime());
  Put(device, "OPsCheck", "mask", image.OPsCheck());
  Put(device, "sysCFG", "Value", image.SysCfg());
  Put(device, "GuardSnd", "On", type == kTypePPKP ? (image.GuardSound() ? 1 : 0) : b[43]);
  Put(device, "LampMode", "mode", image.LampMode());
  Put(device, "devTX", "ID", image.TxKind());
  if (image.TxKind() == 2) WriteGsm(device, gsm);
  if (type == kTypePPKN) Put(device, "SlaveBus", "BusID", b[46]);
}

void WriteConcentrator(TXmlNode& device, ImageBuffer& b, GsmSubtree* gsm) {
  ImageCNC1 image(b);
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
  Reader(const TXmlNode& device, ImageBuffer& b) : device_(device), b_(b) {}

  // Stores attribute `position` of `element` into byte `index`, when present.
  bool Take(const char* element, int position, int index) {
    const TXmlNode* node = device_.FindNode(element);
    if (!node) return false;
    b_[static_cast<std::size_t>(index)] = Low8(node->AttributeIntegerAt(position));
    return true;
  }
  const TXmlNode* Find(const char* element) const { return device_.FindNode(element); }

  void Zones() {
    const TXmlNode* loops = device_.FindNode("loops");
    if (!loops) return;
    for (int i = 0; i < loops->NodeCount(); ++i) {
      const TXmlNode* z = loops->NodeAt(i);
      if (z->NodeKind() != TXmlNode::Kind::Element || z->Name() != "zone") continue;
      const int64_t n = z->AttributeIntegerAt(0);
      const uint8_t type = Low8(z->AttributeIntegerAt(2));
      if (n < 1 || n > 8 || type > 7) continue;
      const std::size_t at = static_cast<std::size_t>(4 * n);
      // A hand-edited partition above 7 is confined to its three bits.
      uint8_t head = static_cast<uint8_t>(type * 8 | (Low8(z->AttributeIntegerAt(1)) & 7));
      if (z->AttributeIntegerAt(3) != 0) SetBit(head, 6);
      if (z->AttributeIntegerAt(7) != 0) SetBit(head, 7);
      b_[at] = head;
      b_[at + 1] = Low8(z->AttributeIntegerAt(4));
      b_[at + 3] = Low8(z->AttributeIntegerAt(5));
      b_[at + 2] = Low8(z->AttributeIntegerAt(6));
    }
  }

 private:
  const TXmlNode& device_;
  ImageBuffer& b_;
};

bool ReadPanel(const TXmlNode& device, ImageBuffer& b, int type, GsmSubtree* gsm) {
  Reader r(device, b);
  const PanelLayout& layout = *PanelLayoutOf(type);
  r.Zones();
  r.Take("PartDep", 0, 37);
  r.Take("rele", 0, 40);
  r.Take("rele", 1, 41);
  r.Take("sndWrkTime", 0, layout.sndWrkTimeByte);
  r.Take("OPsCheck", 0, 39);
  r.Take("sysCFG", 0, 42);
  if (const TXmlNode* guard = r.Find("GuardSnd")) {
    if (type == kTypePPKP)
      WriteBit(b[42], 6, guard->AttributeIntegerAt(0) != 0);
    else
      b[43] = Low8(guard->AttributeIntegerAt(0));
  }
  r.Take("LampMode", 0, layout.lampModeByte);
  r.Take("devTX", 0, 38);
  if (b[38] == 2) {
    const TXmlNode* mpi = r.Find("configMPI");
    if (!mpi || !gsm || !gsm->Read(*mpi)) return false;
  }
  if (type == kTypePPKN) r.Take("SlaveBus", 0, 46);
  return true;
}

bool ReadConcentrator(const TXmlNode& device, ImageBuffer& b, GsmSubtree* gsm) {
  Reader r(device, b);
  r.Take("expanders", 0, 8);
  r.Take("BVIAlarm", 0, 11);
  r.Take("BVIButtons", 0, 12);
  r.Take("rele", 0, 5);
  r.Take("OPsCheck", 0, 4);
  r.Take("buzzer", 0, 7);
  r.Take("useTD", 0, 9);
  const TXmlNode* mpi = r.Find("configMPI");
  if (!mpi) {
    b[10] = 0;
    return true;
  }
  b[10] = 1;
  if (!gsm || !gsm->Read(*mpi)) return false;
  r.Take("GSM_Control", 0, 13);
  r.Take("GSM_TX", 0, 14);
  return true;
}

}  // namespace

TXmlDocument BuildConfigDocument(const ImageBuffer& buffer, int deviceType, GsmSubtree* gsm) {
  ImageBuffer b = buffer;  // the views want a mutable buffer; the caller's stays as it is
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
  if (deviceType == kTypePPKP || deviceType == kTypePPKN)
    WritePanel(*device, b, deviceType, gsm);
  else if (deviceType == kTypeCNC1)
    WriteConcentrator(*device, b, gsm);
  return doc;
}

void SaveConfigFile(const std::string& fileName, const ImageBuffer& buffer, int deviceType, GsmSubtree* gsm) {
  BuildConfigDocument(buffer, deviceType, gsm).SaveToFile(fileName);
}

LoadedConfig ReadConfigDocument(const TXmlDocument& document, const ImageBuffer& current, GsmSubtree* gsm) {
  LoadedConfig result;
  result.buffer = current;
  const TXmlNode* root = document.Root();
  if (!root || root->ReadAttributeInteger("FileID", 0) != 8) return result;
  const TXmlNode* device = root->FindNode("device");
  if (!device) return result;
  const int64_t code = device->AttributeIntegerAt(0);
  bool ok = false;
  if (code == kTypePPKP || code == kTypePPKN)
    ok = ReadPanel(*device, result.buffer, static_cast<int>(code), gsm);
  else if (code == kTypeCNC1)
    ok = ReadConcentrator(*device, result.buffer, gsm);
  if (ok) result.code = static_cast<uint8_t>(code);
  return result;
}

LoadedConfig LoadConfigFile(const std::string& fileName, const ImageBuffer& current, GsmSubtree* gsm) {
  TXmlDocument document;
  try {
    document.LoadFromFile(fileName);
  } catch (const XmlError&) {
    LoadedConfig refused;
    refused.buffer = current;
    return refused;
  }
  return ReadConfigDocument(document, current, gsm);
}

}  // namespace tivolan
