#include "station/PanelSteps.h"

#include <algorithm>
#include <filesystem>

#include "configuration/Comparison.h"
#include "configuration/FileCommands.h"
#include "files/FileIO.h"
#include "files/FileTimes.h"
#include "link/GsmBlocks.h"
#include "link/GsmRecords.h"
#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"
#include "transmission/MPIGSM.h"

namespace tivolan::station {
namespace {

namespace fs = std::filesystem;

std::string ModelName(int type) {
  const DeviceModel* model = FindDeviceModel(static_cast<uint32_t>(type));
  return model ? model->name : "тип " + std::to_string(type);
}

bool UsesGsm(const SharedData& d) { return IsGsmInUse(d.ConfigBuffer, d.DeviceType); }

// "ttyUSB0" of /dev/ttyUSB0, "COM3" of \\.\COM3: a file name's part.
std::string PortFilePart(std::string port) {
  for (const char* prefix : {"/dev/", "\\\\.\\"})
    if (port.rfind(prefix, 0) == 0) port.erase(0, std::string(prefix).size());
  std::replace_if(port.begin(), port.end(), [](char c) { return c == '/' || c == '\\' || c == ':'; }, '-');
  return port;
}

}  // namespace

int StatusCode(LinkStatus code) {
  return code == LinkStatus::StatusReadDone || code == LinkStatus::StatusWriteDone ? 0 : static_cast<int>(code);
}

std::string StationBackupName(const std::string& folder, const std::string& port, int type, int version,
                              std::time_t when) {
  const std::string base = PortFilePart(port) + "-" + LocalTimeText(when, "%Y%m%d-%H%M%S") + "-" + ModelName(type) +
                           "-v" + std::to_string(version);
  const fs::path dir = PathFromUtf8(folder);
  std::error_code ec;
  fs::path file = dir / PathFromUtf8(base + ".cf8");
  for (int n = 2; fs::exists(file, ec); ++n) file = dir / PathFromUtf8(base + "-" + std::to_string(n) + ".cf8");
  return Utf8FromPath(file);
}

JournalRow PanelSteps::Begin(const SharedData& held, const ExchangeOutcome& read, std::time_t at) const {
  JournalRow row;
  row.started = IsoLocalTime(at);
  row.port = port;
  row.file = job.file;
  row.fileSha256 = job.fileSha256;
  row.action = job.verifyOnly ? "verify" : "write";
  row.user = UserName();
  if (UsesGsm(job.image)) row.gsmDeviceNumber = DeviceNumberText(job.image.DestTX_Buffer.deviceNumber);
  row.firmwareVersion = held.DeviceVersion;
  const LinkStatus code = *read.finalCode;
  row.deviceType = code == LinkStatus::StatusReadDone ? read.param : 0;
  if (row.deviceType) row.model = ModelName(row.deviceType);
  if (code != LinkStatus::StatusReadDone) {
    row.result = StatusText(code);
    row.statusCode = StatusCode(code);
  } else if (row.deviceType != job.image.DeviceType) {
    row.result = "другой тип прибора: " + row.model + ", файл для " + ModelName(job.image.DeviceType);
    row.statusCode = kStatusOtherType;
  } else {
    row.result = "ok";
  }
  return row;
}

void PanelSteps::Backup(SharedData& held, FormState& form, JournalRow& row) const {
  if (!job.backupDir) return;
  const std::string file =
      StationBackupName(*job.backupDir, port, held.DeviceType, held.DeviceVersion, std::time(nullptr));
  try {
    CommittedConfiguration(held, form, CommitFor::Save).document.SaveToFile(file);
    row.backupFile = file;
  } catch (const FileError& e) {
    row.result = "резервная копия не сохранена: " + FileErrorText(e.Cause());
    row.statusCode = kStatusSaveFailed;
  } catch (const std::exception& e) {
    row.result = std::string("резервная копия не сохранена: ") + e.what();
    row.statusCode = kStatusSaveFailed;
  }
}

void PanelSteps::Verify(const SharedData& held, JournalRow& row) const {
  row.statusCode = SameImage(held, job.image) ? 0 : kStatusDiffers;
  if (row.statusCode == 0) {
    row.result = "ok";
    return;
  }
  // The differences in diff's words, device first; bytes that read the same
  // on both sides still differ, without a line to show.
  row.result = "отличается от файла";
  const std::vector<std::string> lines = DifferenceLines(CompareConfigurations(held, job.image));
  for (std::size_t i = 0; i < lines.size(); ++i) row.result += (i ? "; " : ": ") + lines[i];
}

void PanelSteps::Write(JournalRow& row, const std::function<void(int, int)>& progress) const {
  SharedData image = job.image;  // the worker completes the configuration frame it writes
  GsmBlockExchange gsm;
  const DestSettings& dest = image.DestTX_Buffer;
  const int blocks = 1 + (UsesGsm(image) ? 1 + dest.GprsInUse() + dest.SmsInUse() : 0);
  int block = 1;
  progress(block, blocks);
  const ExchangeOutcome outcome = RunExchange(
      loop, dataModule, image, LinkMode::Write,
      [&](LinkStatus code, int) {
        if (code == LinkStatus::StatusGsmWriting && block < blocks) progress(++block, blocks);
      },
      &gsm, &control.cancel);
  for (int sent : outcome.blocksSent) row.blocksSent += (row.blocksSent.empty() ? "" : " ") + std::to_string(sent);
  if (outcome.finalCode == LinkStatus::StatusWriteDone) return;
  if (!outcome.finalCode) {
    row.result = "обмен с прибором прерван";
    row.statusCode = kStatusInterrupted;
  } else {
    row.result = StatusText(*outcome.finalCode);
    row.statusCode = StatusCode(*outcome.finalCode);
  }
  if (outcome.WriteUnfinished()) row.result += ". " + UnfinishedWriteText(outcome.blocksSent);
}

}  // namespace tivolan::station
