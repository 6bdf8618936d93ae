#include "cli/StationCommand.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ostream>
#include <thread>

#include "cli/Backup.h"
#include "cli/Input.h"
#include "cli/Interrupt.h"
#include "cli/StationScreen.h"
#include "cli/TerminalText.h"
#include "files/FileIO.h"
#include "files/XmlDocument.h"
#include "platform/Platform.h"
#include "platform/PortState.h"
#include "station/Sha256.h"

namespace tivolan::cli {
namespace {

constexpr const char* kVerb = "station";

// The configuration every panel gets, committed as for a write; a status
// when it is refused.
int LoadImage(const Options& o, station::StationJob& job, Streams& io) {
  const std::string& path = o.files[0];
  FormState form;
  if (!OpenConfigurationFile(path, job.image, form, io)) return kExitBadFile;
  if (const auto refused = UpdateAllTXBuffers(job.image, form)) {
    io.err << "tivolan-cli: " << OneLine(CancelledBy(*refused, CommitFor::Write).text) << "\n";
    return kExitRefused;
  }
  if (WriteNeedsConfirmation(job.image, form) && !o.yes) {
    io.err << "tivolan-cli: Ни одно направление не включено; без --yes запись не выполнена\n";
    return kExitRefused;
  }
  try {
    job.file = path;
    job.fileSha256 = Sha256Hex(ReadWholeFile(path, TXmlDocument::kMaxFileBytes));
  } catch (const FileError& e) {
    io.err << ShownFileName(path) << ": " << FileErrorText(e.Cause()) << "\n";
    return kExitBadFile;
  }
  return kExitOk;
}

// The ports named (each must be usable) or, with --all-ports, those of the
// system that are.
int ChoosePorts(const Options& o, station::StationJob& job, Streams& io) {
  const std::vector<std::string> names = o.allPorts ? BuildPortList() : o.ports;
  for (const auto& name : names) {
    const auto path = DriverPortName(name);
    if (!path) return Usage(io.err, "'" + Escaped(name) + "' is no port name", kVerb);
    for (const auto& taken : job.ports)
      if (taken.name == *path) return Usage(io.err, "port " + Escaped(name) + " is given twice", kVerb);
    // Once per port, not at every poll.
    const PortState state = DiagnosePort(*path);
    if (state.condition != PortCondition::Free) {
      io.err << "tivolan-cli: " << Escaped(name) << ": " << Escaped(DescribePortState(state))
             << (o.allPorts ? "; порт пропущен\n" : "\n");
      if (o.allPorts) continue;
      return kExitPortError;
    }
    job.ports.push_back({*path, state.adapter, state.serial});
  }
  if (job.ports.empty()) {
    io.err << "tivolan-cli: нет ни одного свободного последовательного порта\n";
    return kExitPortError;
  }
  return kExitOk;
}

// Everything that can stop the station is found before any port is opened.
int Prepare(const Options& o, station::StationJob& job, Streams& io) {
  if (o.files.size() != 1) return Usage(io.err, "one configuration file is required", kVerb);
  if (IsStandardInput(o.files[0])) return Usage(io.err, "the configuration is read from a file, not -", kVerb);
  if (o.allPorts == !o.ports.empty()) return Usage(io.err, "give --port (one or more) or --all-ports", kVerb);
  if (const int status = LoadImage(o, job, io)) return status;
  if (o.journal) {
    if (const auto why = station::PrepareJournal(*o.journal)) {
      io.err << "tivolan-cli: журнал " << Escaped(*o.journal) << " не записать: " << *why
             << "; ни один прибор не запрограммирован\n";
      return kExitSaveFailed;
    }
    job.journal = o.journal;
  }
  if (o.backupDir) {
    if (const auto problem = BackupFolderProblem(*o.backupDir)) {
      io.err << "tivolan-cli: " << *problem << "; ни один прибор не запрограммирован\n";
      return kExitSaveFailed;
    }
    job.backupDir = o.backupDir;
  }
  job.once = o.once;
  job.verifyOnly = o.verifyOnly;
  return ChoosePorts(o, job, io);
}

// Ctrl+C: the first stops taking panels, the second cancels the exchanges.
class InterruptWatch {
 public:
  explicit InterruptWatch(station::StationControl& control)
      : thread_([this, &control] {
          while (!done_) {
            const int count = guard_.Count();
            if (count >= 1) control.stopTaking = true;
            if (count >= 2) control.cancel = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
          }
        }) {}
  ~InterruptWatch() {
    done_ = true;
    thread_.join();
  }
  bool Interrupted() const { return guard_.Count() > 0; }

 private:
  InterruptGuard guard_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace

int RunStationCommand(const Options& o, Streams& io) {
  station::StationJob job;
  if (const int status = Prepare(o, job, io)) return status;
  std::vector<std::string> names;
  for (const auto& port : job.ports) names.push_back(port.name);
  StationScreen screen(io, names, job.verifyOnly);
  station::StationControl control;
  station::StationResult result;
  bool interrupted = false;
  {
    InterruptWatch watch(control);
    result = station::RunStation(job, screen, control);
    interrupted = watch.Interrupted();
  }
  io.out << station::CountsText(result.programmed, result.failed, job.verifyOnly) << "\n";
  if (result.firstFailure) return result.firstFailure;
  if (result.journalFailed) return kExitSaveFailed;
  return interrupted ? kExitInterrupted : kExitOk;
}

}  // namespace tivolan::cli
