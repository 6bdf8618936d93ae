#include "files/FileOps.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

#include "files/FileFields.h"
#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"
#include "model/Images.h"
#include "model/PeripheryPage.h"
#include "model/ValueLists.h"

namespace tivolan {
namespace {

// The frame of the file around the image's fields.
constexpr const char* kRoot = "config";
constexpr const char* kFileId = "FileID";  // the format mark, read by name
constexpr int64_t kFileIdMark = 8;
constexpr const char* kDevice = "device";
constexpr NumberField kDeviceId{"ID", 0, kByteMax};  // read by position 0
constexpr const char* kConfigMpi = "configMPI";
constexpr const char* kLoops = "loops";
constexpr const char* kZone = "zone";  // exact letter case: each one is read

constexpr NumberField Byte(const char* attribute) { return {attribute, 0, kByteMax}; }

// The rows of the image's fields, in the order of the file. The reader
// follows the same order (on type 1 "GuardSnd" is a bit of the "sysCFG"
// byte, so it comes after it); each element is found from "device" and read
// once, a byte the file holds whole is read whole (bit fields included).
const FileField<PanelImage> kPanelFields[] = {
    WholeByte<&PanelImage::PartDep>("PartDep", "mask"),
    WholeByte<&PanelImage::AlarmFire>("rele", "AlarmFire"),
    WholeByte<&PanelImage::CtrlFail>("rele", "CtrlFail"),
    WholeByte<&PanelImage::SndWrkTime>("sndWrkTime", {"min", kSirenMinutesMin, kSirenMinutesMax, kByteMax}),
    WholeByte<&PanelImage::OPsCheck>("OPsCheck", "mask"),
    WholeByte<&PanelImage::SysCfg>("sysCFG", "Value"),
    {"GuardSnd", Byte("On"), [](const PanelImage& i) -> int64_t { return i.GuardSndOn(); },
     [](const PanelImage& i, int64_t v) { i.SetGuardSndOn(static_cast<uint8_t>(v)); }},
    WholeByte<&PanelImage::LampMode>("LampMode", "mode"),
    WholeByte<&PanelImage::TxKind>("devTX", "ID"),
};
// After "configMPI", on the panels with a network number.
const FileField<PanelImage> kNetworkPanelFields[] = {
    WholeByte<&PanelImage::SlaveBus>("SlaveBus", {"BusID", kBusIdMin, kBusIdMax, kByteMax}),
};
const FileField<ImageCNC1> kConcentratorFields[] = {
    WholeByte<&ImageCNC1::Expanders>("expanders", "mask"),
    WholeByte<&ImageCNC1::BVIAlarm>("BVIAlarm", "mask"),
    WholeByte<&ImageCNC1::BVIButtons>("BVIButtons", "mask"),
    WholeByte<&ImageCNC1::AlarmFire>("rele", "AlarmFire"),
    WholeByte<&ImageCNC1::OPsCheck>("OPsCheck", "mask"),
    WholeByte<&ImageCNC1::Buzzer>("buzzer", "Value"),
    WholeByte<&ImageCNC1::UseTD>("useTD", "mask"),
};
// After "configMPI", only with the GSM communicator.
const FileField<ImageCNC1> kConcentratorGsmFields[] = {
    WholeByte<&ImageCNC1::GsmControl>("GSM_Control", "mask"),
    WholeByte<&ImageCNC1::GsmTx>("GSM_TX", "mask"),
};

// A zone record with its number, as one "zone" element holds it.
struct NumberedZone {
  ZoneRecord record;
  int number;
};

// "zone", by position. The partition and the type are three bits each of
// the zone byte; the flags are written as 1 and 128 and only so read back.
const FileField<NumberedZone> kZoneFields[] = {
    {kZone, {"ID", 1, PanelImage::kZones}, [](const NumberedZone& z) -> int64_t { return z.number; },
     nullptr},  // selects the zone
    {kZone, {"PartID", 0, 7}, [](const NumberedZone& z) -> int64_t { return z.record.Partition(); },
     [](const NumberedZone& z, int64_t v) { z.record.SetPartition(static_cast<int>(v)); }},
    {kZone, {"tactics", 0, 7}, [](const NumberedZone& z) -> int64_t { return z.record.Tactics(); },
     [](const NumberedZone& z, int64_t v) { z.record.SetTactics(static_cast<int>(v)); }},
    {kZone, {"rearm", 0, 1}, [](const NumberedZone& z) -> int64_t { return z.record.Rearm() ? 1 : 0; },
     [](const NumberedZone& z, int64_t v) { z.record.SetRearm(v != 0); }},
    {kZone, Byte("CID"), [](const NumberedZone& z) -> int64_t { return z.record.Cid(); },
     [](const NumberedZone& z, int64_t v) { z.record.Cid() = static_cast<uint8_t>(v); }},
    {kZone, Byte("TimeIn"), [](const NumberedZone& z) -> int64_t { return z.record.TimeIn(); },
     [](const NumberedZone& z, int64_t v) { z.record.TimeIn() = static_cast<uint8_t>(v); }},
    {kZone, Byte("TimeOut"), [](const NumberedZone& z) -> int64_t { return z.record.TimeOut(); },
     [](const NumberedZone& z, int64_t v) { z.record.TimeOut() = static_cast<uint8_t>(v); }},
    {kZone, {"FireReCheck", 0, 128, -1, 128},
     [](const NumberedZone& z) -> int64_t { return z.record.FireReCheck() ? 128 : 0; },
     [](const NumberedZone& z, int64_t v) { z.record.SetFireReCheck(v != 0); }},
};
constexpr int kZoneIdAt = 0;

void WriteGsm(TXmlNode& device, GsmSubtree* gsm) {
  // Without the GSM settings' writer the file would lose them: refuse.
  if (!gsm) throw std::runtime_error("Настройки GSM нельзя сохранить в файл");
  gsm->Write(*device.AddElement(kConfigMpi));
}

void WritePanel(TXmlNode& device, const PanelImage& image, GsmSubtree* gsm) {
  TXmlNode* loops = device.AddElement(kLoops);
  for (int n = 1; n <= PanelImage::kZones; ++n) WriteFields(*loops, NumberedZone{image.Zone(n), n}, kZoneFields);
  WriteFields(device, image, kPanelFields);
  if (image.TxKind() == kTxKindGsm) WriteGsm(device, gsm);
  if (image.HasSlaveBus()) WriteFields(device, image, kNetworkPanelFields);
}

void WriteConcentrator(TXmlNode& device, const ImageCNC1& image, GsmSubtree* gsm) {
  WriteFields(device, image, kConcentratorFields);
  if (image.GsmConnected() != 0) {
    WriteGsm(device, gsm);
    WriteFields(device, image, kConcentratorGsmFields);
  }
}

// Every element named exactly "zone" in "loops", in order, each a zone of
// its own: a number outside 1..8 or given twice refuses the file.
void ReadZones(const FileElement& device, const PanelImage& image) {
  const TXmlNode* loops = device.Single(kLoops);
  if (!loops) return;
  int count = 0;
  std::array<bool, PanelImage::kZones + 1> read{};
  for (int i = 0; i < loops->NodeCount(); ++i) {
    const TXmlNode* node = loops->NodeAt(i);
    if (node->NodeKind() != TXmlNode::Kind::Element || node->Name() != kZone) continue;
    const FileElement z(*node, ++count);
    const auto n = static_cast<int>(z.RequiredAt(kZoneIdAt, kZoneFields[kZoneIdAt].number));
    if (read[static_cast<std::size_t>(n)]) z.RefuseRepeated(kZoneIdAt, kZoneFields[kZoneIdAt].number);
    read[static_cast<std::size_t>(n)] = true;
    const NumberedZone zone{image.Zone(n), n};
    zone.record.Head() = 0;
    ReadAttributes(z, zone, kZoneFields);
  }
}

bool ReadPanel(const FileElement& device, const PanelImage& image, GsmSubtree* gsm) {
  ReadZones(device, image);
  ReadFields(device, image, kPanelFields);
  if (image.TxKind() == kTxKindGsm) {
    const TXmlNode* mpi = device.Single(kConfigMpi);
    if (!mpi || !gsm || !gsm->Read(*mpi)) return false;
  }
  if (image.HasSlaveBus()) ReadFields(device, image, kNetworkPanelFields);
  return true;
}

bool ReadConcentrator(const FileElement& device, const ImageCNC1& image, GsmSubtree* gsm) {
  ReadFields(device, image, kConcentratorFields);
  const TXmlNode* mpi = device.Single(kConfigMpi);
  if (!mpi) {
    image.GsmConnected() = 0;
    return true;
  }
  image.GsmConnected() = 1;
  if (!gsm || !gsm->Read(*mpi)) return false;
  ReadFields(device, image, kConcentratorGsmFields);
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
  if (!root || root->ReadAttributeInteger(kFileId, 0) != kFileIdMark) return {};
  const TXmlNode* device = FileElement(*root).Single(kDevice);
  if (!device) return {};
  return {device, FileElement(*device).NumberAt(0, kDeviceId)};
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
    const bool marked = root && root->ReadAttributeInteger(kFileId, 0) == kFileIdMark;
    result.problem = ConfigurationCause{marked ? ConfigurationFault::NoDevice : ConfigurationFault::NoFileId};
    return;
  }
  const FileElement element(*device.node);
  bool ok = false;
  if (const auto panel = PanelImageOf(result.buffer, static_cast<int>(device.code)))
    ok = ReadPanel(element, *panel, gsm);
  else if (device.code == kTypeCNC1)
    ok = ReadConcentrator(element, ImageCNC1(result.buffer), gsm);
  else
    result.problem = ConfigurationCause{ConfigurationFault::UnknownDevice, device.code};
  if (ok) result.code = static_cast<uint8_t>(device.code);
  else if (!HasCause(result.problem))
    result.problem = ConfigurationCause{ConfigurationFault::GsmSettings};
}

}  // namespace

TXmlDocument BuildConfigDocument(const ImageBuffer& buffer, int deviceType, GsmSubtree* gsm) {
  TXmlDocument doc(kRoot);
  doc.SetForm(XmlForm::Readable);
  doc.SetLineEnd(XmlLineEnd::CRLF);
  TXmlNode* root = doc.Root();
  root->WriteAttributeInteger("version", 1, 0);
  root->WriteAttributeString("firmName", "Stelmark", "");
  root->WriteAttributeInteger(kFileId, kFileIdMark, 0);
  TXmlNode* device = root->AddElement(kDevice);
  device->WriteAttributeInteger(kDeviceId.attribute, deviceType, 0);
  const DeviceModel* model = FindDeviceModel(static_cast<uint32_t>(deviceType));
  device->WriteAttributeString("name", model ? model->name : "", "");
  ImageBuffer image = buffer;  // the views of the field rows, which reading stores through
  if (const auto panel = PanelImageOf(image, deviceType))
    WritePanel(*device, *panel, gsm);
  else if (deviceType == kTypeCNC1)
    WriteConcentrator(*device, ImageCNC1(image), gsm);
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
    result.problem = e.Cause();
  }
  if (result.code == kNotAConfiguration) result.buffer = current;  // all or nothing
  return result;
}

namespace {
// Opening and parsing; a failure of either refuses the file, and `problem`
// says why.
std::optional<TXmlDocument> LoadDocument(const std::string& fileName, FileCause& problem) {
  TXmlDocument document;
  try {
    document.LoadFromFile(fileName);
  } catch (const XmlError& e) {
    problem = e.Cause();
    return std::nullopt;
  }
  return document;
}
}  // namespace

LoadedConfig LoadConfigFile(const std::string& fileName, const ImageBuffer& current, GsmSubtree* gsm) {
  FileCause problem;
  const auto document = LoadDocument(fileName, problem);
  if (!document) return LoadedConfig{kNotAConfiguration, current, problem};
  return ReadConfigDocument(*document, current, gsm);
}

namespace {
LoadedConfig OpenConfigDocument(const std::optional<TXmlDocument>& document, const FileCause& problem,
                                const ImageBuffer& current, int currentType, GsmSubtree* gsm) {
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
}  // namespace

LoadedConfig OpenConfigFile(const std::string& fileName, const ImageBuffer& current, int currentType,
                            GsmSubtree* gsm) {
  FileCause problem;
  const auto document = LoadDocument(fileName, problem);
  return OpenConfigDocument(document, problem, current, currentType, gsm);
}

LoadedConfig OpenConfigText(const std::string& text, const ImageBuffer& current, int currentType, GsmSubtree* gsm) {
  FileCause problem;
  std::optional<TXmlDocument> document(std::in_place);
  try {
    document->LoadFromString(text);
  } catch (const XmlError& e) {
    problem = e.Cause();
    document.reset();
  }
  return OpenConfigDocument(document, problem, current, currentType, gsm);
}

}  // namespace tivolan
