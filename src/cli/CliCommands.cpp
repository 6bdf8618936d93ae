#include "cli/CliCommands.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>

#include "cli/Backup.h"
#include "cli/FirmwareCommand.h"
#include "cli/ReportPdf.h"
#include "cli/Input.h"
#include "cli/Interrupt.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "cli/StationCommand.h"
#include "cli/TerminalText.h"
#include "files/FileIO.h"
#include "files/FileOps.h"
#include "files/FileProblems.h"
#include "files/FileTimes.h"
#include "files/XmlDocument.h"
#include "link/GsmBlocks.h"
#include "link/ExchangeOperation.h"
#include "model/CodePage.h"
#include "model/DefaultImages.h"
#include "configuration/FileCommands.h"
#include "configuration/Comparison.h"
#include "configuration/Listing.h"
#include "configuration/Configuration.h"
#include "platform/Platform.h"
#include "platform/PortState.h"
#include "platform/Version.h"
#include "configuration/Report.h"

namespace tivolan::cli {
namespace {

// Boxes go to standard error as caption and text.
class StreamPrompter final : public Prompter {
 public:
  explicit StreamPrompter(Streams& io) : io_(io) {}
  void Show(const MessageBox& box) override { io_.err << box.caption << ": " << OneLine(box.text) << "\n"; }
  bool AskYesNo(const MessageBox& box) override {
    // The capital letter is the answer an empty line gives.
    io_.err << OneLine(box.text) << " [д/Н] " << std::flush;
    std::string answer;
    std::getline(io_.in, answer);
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    for (const char* yes : {"д", "Д", "да", "Да", "ДА", "y", "Y", "yes", "Yes", "YES"})
      if (answer == yes) return true;
    return false;
  }

 private:
  Streams& io_;
};

// The program's state right after choosing a device type in the list.
void StartWithDefaults(SharedData& data, FormState& form, int type, Prompter& prompter) {
  NewConfiguration(data, form, type, prompter);
  InitTxPage(form.tx, data);
}

// Opens a file as "Открыть..." would in a program just started with the
// first device type.
bool OpenFile(const std::string& path, SharedData& data, FormState& form, Prompter& prompter, Streams& io) {
  StartWithDefaults(data, form, kTypePPKP, prompter);
  SilentPrompter quiet;  // the refusal is reported here, with the file's name
  OpenResult result;
  if (IsStandardInput(path)) {
    const auto text = ReadStandardInput(io.in, TXmlDocument::kMaxFileBytes);
    if (!text) {
      io.err << "tivolan-cli: стандартный ввод не прочитан\n";
      return false;
    }
    result = OpenConfigurationText(data, form, *text, quiet);
  } else {
    result = OpenConfiguration(data, form, path, quiet);
  }
  if (result.opened) return true;
  const std::string name = ShownFileName(path);
  io.err << name << ": " << FileReadErrorBox().text << "\n";
  if (HasCause(result.problem)) io.err << name << ": " << OpenProblem(result.problem) << "\n";
  return false;
}

// "-" is standard output, checked as every listing is; a file of that name is ./-.
bool IsStandardOutput(const std::optional<std::string>& path) { return path && *path == "-"; }

int Save(const std::string& path, SharedData& data, FormState& form, Streams& io) {
  try {
    const ConfigurationFile file = CommittedConfiguration(data, form, CommitFor::Save);
    if (IsStandardOutput(path))
      io.out << file.document.SaveToString();
    else
      file.document.SaveToFile(path);
    if (file.note) io.err << "tivolan-cli: " << OneLine(file.note->text) << "\n";
  } catch (const FileError& e) {
    return SaveFailed(io.err, e.Cause());
  } catch (const std::exception& e) {
    io.err << "tivolan-cli: " << e.what() << "\n";
    return kExitSaveFailed;
  }
  return kExitOk;
}

// A file other than a configuration, saved as one is.
int SaveBytes(const std::string& path, const std::string& bytes, Streams& io) {
  if (IsStandardOutput(path)) {
    io.out << bytes;
    return kExitOk;
  }
  try {
    WriteFileReplacing(path, bytes);
  } catch (const FileError& e) {
    return SaveFailed(io.err, e.Cause());
  }
  return kExitOk;
}

// A read or write over PORT, the status texts on standard error. Ctrl+C
// ends it at once, with the port closed.
int Exchange(const std::string& port, SharedData& data, LinkMode mode, Prompter& prompter, Streams& io,
             int* typeRead = nullptr) {
  const auto path = DriverPortName(port);
  if (!path) return Usage(io.err, "'" + Escaped(port) + "' is no port name", mode == LinkMode::Read ? "read" : "write");
  EventLoop loop;
  LoopPollTimer timer(loop);
  TDataModule1 dataModule(CreateSystemSerialDevice(), &timer);
  // No exchange of this process follows: a late answer is waited for here,
  // before the port closes, not by the next command's request.
  dataModule.SetWaitsForOwedAnswerBeforeClose(true);
  dataModule.cmprtdrvr1.SetPortName(*path);
  const GsmBlockExchange gsm{};
  const InterruptGuard interrupt;
  const ExchangeOutcome outcome = RunExchange(
      loop, dataModule, data, mode,
      [&](LinkStatus code, int) {
        if (code == LinkStatus::StatusPortError) {
          io.err << PortErrorText(*path);
          return;
        }
        const StatusRow& row = RowOf(code);
        if (row.box) prompter.Show({row.box->caption, row.box->text});
        io.err << StatusMessage(code, data.DeviceVersion) << "\n";
      },
      &gsm, &interrupt.Flag());
  // Interrupted after its final status, the exchange was over: only the
  // wait for an answer that may still come was cut short.
  const bool over = outcome.finalCode.has_value();
  if (outcome.cancelled)
    io.err << "tivolan-cli: " << (over ? "ожидание запоздалого ответа прибора прервано" : "обмен с прибором прерван")
           << (outcome.ended ? "" : ", порт не закрылся вовремя") << "\n";
  if (outcome.WriteUnfinished()) io.err << "tivolan-cli: " << UnfinishedWriteText(outcome.blocksSent) << "\n";
  if (!over) return kExitInterrupted;
  if (const int status = ExitStatusOf(*outcome.finalCode)) return status;
  if (typeRead) *typeRead = outcome.param;
  return kExitOk;
}

// A file the command will write, checked before anything else is done.
bool CanSaveTo(const std::optional<std::string>& target, Streams& io) {
  if (!target || IsStandardOutput(target)) return true;
  try {
    CheckSaveTarget(*target);
  } catch (const FileError& e) {
    SaveFailed(io.err, e.Cause());
    return false;
  }
  return true;
}

// Reads the device on `port` into `data` as "Прочитать" does in a window
// just started: 0, or the exit status of the failure.
int ReadDevice(const std::string& port, SharedData& data, FormState& form, Streams& io) {
  StreamPrompter prompter(io);
  StartWithDefaults(data, form, kTypePPKP, prompter);
  int type = 0;
  if (const int status = Exchange(port, data, LinkMode::Read, prompter, io, &type)) return status;
  ShowDeviceRead(data, form, type, prompter);
  return kExitOk;
}

int Read(const Options& o, Streams& io) {
  if (!o.port) return Usage(io.err, "--port is required", o.verb);
  if (!o.files.empty()) return Usage(io.err, "unexpected argument " + Escaped(o.files[0]), o.verb);
  // Found out before the device is touched, not after a read that is lost.
  if (!CanSaveTo(o.output, io)) return kExitSaveFailed;
  SharedData data;
  FormState form;
  if (const int status = ReadDevice(*o.port, data, form, io)) return status;
  if (o.output) return Save(*o.output, data, form, io);
  io.out << FormatListing(ListConfiguration(data));
  return kExitOk;
}

// Reads the device and keeps what it holds in `folder`, as "read -o" would.
int Backup(const std::string& port, const std::string& folder, Streams& io) {
  SharedData data;
  FormState form;
  if (const int status = ReadDevice(port, data, form, io)) return status;
  const std::string file = BackupFileName(folder, data.DeviceType, std::time(nullptr));
  if (const int status = Save(file, data, form, io)) return status;
  io.err << "Резервная копия: " << Escaped(file) << "\n";
  return kExitOk;
}

// The same, when only the configuration matters (a comparison).
int ReadDevice(const std::string& port, SharedData& device, Streams& io) {
  FormState form;
  return ReadDevice(port, device, form, io);
}

// The device against the configuration to write, on standard output.
void PrintComparison(const Comparison& comparison, Streams& io) {
  if (comparison.Equal()) io.out << kDeviceHoldsIt << "\n";
  for (const auto& line : DifferenceLines(comparison)) io.out << line << "\n";
}

// "write --show-changes": the device is compared with `data`, the answer
// asked for, and the device read again right before the write; what is
// written is exactly what was compared, to the device that was compared.
int WriteShownChanges(const Options& o, SharedData& data, Prompter& prompter, Streams& io) {
  SharedData device;
  if (const int status = ReadDevice(*o.port, device, io)) return status;
  const Comparison comparison = CompareConfigurations(device, data);
  PrintComparison(comparison, io);
  if (!comparison.SameType()) {
    io.err << "tivolan-cli: " << OtherDeviceText(device.DeviceType, data.DeviceType, "в файле") << "; запись не выполнена\n";
    return kExitRefused;
  }
  if (comparison.Equal()) return kExitOk;
  if (!o.yes) {
    if (!io.interactive || IsStandardInput(o.files[0])) {
      io.err << "tivolan-cli: изменения показаны; без --yes запись не выполнена\n";
      return kExitRefused;
    }
    if (!prompter.AskYesNo(MessageBox{"Тиволан", "Записать эти изменения?", BoxIcon::Warning})) {
      io.err << "tivolan-cli: запись отменена, в прибор ничего не записано\n";
      return kExitRefused;
    }
  }
  SharedData again;
  if (const int status = ReadDevice(*o.port, again, io)) return status;
  if (!SameDeviceAnswer(device, again)) {
    io.err << "tivolan-cli: " << kDeviceChanged << "; запись не выполнена\n";
    return kExitRefused;
  }
  return Exchange(*o.port, data, LinkMode::Write, prompter, io);
}

int Write(const Options& o, Streams& io) {
  if (!o.port) return Usage(io.err, "--port is required", o.verb);
  if (o.files.size() != 1) return Usage(io.err, "one configuration file is required", o.verb);
  // Refused before the device is touched.
  if (o.backup) {
    if (const auto problem = BackupFolderProblem(*o.backup)) {
      io.err << "tivolan-cli: " << *problem << "; запись не выполнена\n";
      return kExitSaveFailed;
    }
  }
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  if (!OpenFile(o.files[0], data, form, prompter, io)) return kExitBadFile;
  if (const auto refused = UpdateAllTXBuffers(data, form)) {
    io.err << "tivolan-cli: " << OneLine(CancelledBy(*refused, CommitFor::Write).text) << "\n";
    return kExitRefused;
  }
  if (WriteNeedsConfirmation(data, form) && !o.yes) {
    // A configuration read from standard input leaves no terminal to answer on.
    if (!io.interactive || IsStandardInput(o.files[0])) {
      io.err << "tivolan-cli: " << "Ни одно направление не включено; без --yes запись не выполнена\n";
      return kExitRefused;
    }
    if (!prompter.AskYesNo(NoDestinationQuestion())) {
      io.err << "tivolan-cli: запись отменена, в прибор ничего не записано\n";
      return kExitRefused;
    }
  }
  // A backup that fails stops the write: it never goes ahead without one.
  if (o.backup)
    if (const int status = Backup(*o.port, *o.backup, io)) return status;
  if (o.showChanges) return WriteShownChanges(o, data, prompter, io);
  return Exchange(*o.port, data, LinkMode::Write, prompter, io);
}

int Show(const Options& o, Streams& io) {
  if (o.files.size() != 1) return Usage(io.err, "one configuration file is required", o.verb);
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  if (!OpenFile(o.files[0], data, form, prompter, io)) return kExitBadFile;
  io.out << FormatListing(ListConfiguration(data));
  return kExitOk;
}

int Report(const Options& o, Streams& io) {
  if (o.files.size() != 1) return Usage(io.err, "one configuration file is required", o.verb);
  if (IsStandardOutput(o.output) && IsStandardOutput(o.pdf))
    return Usage(io.err, "-o - and --pdf - would both write to standard output", o.verb);
  if (!CanSaveTo(o.output, io) || !CanSaveTo(o.pdf, io)) return kExitSaveFailed;
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  if (!OpenFile(o.files[0], data, form, prompter, io)) return kExitBadFile;
  const bool piped = IsStandardInput(o.files[0]);
  const ReportDocument report = BuildReport(data, {piped ? ShownFileName(o.files[0]) : o.files[0],
                                                   piped ? "" : FileTimeText(o.files[0])},
                                            {o.showPasswords, ProgramNameAndVersion(), NowText()});
  if (o.pdf) {
    std::string pdf, error;
    if (!PrintReportPdf(report, pdf, error)) {
      io.err << "tivolan-cli: " << error << "\n";
      return kExitSaveFailed;
    }
    if (const int status = SaveBytes(*o.pdf, pdf, io)) return status;
    if (!o.output) return kExitOk;
  }
  const std::string html = ReportHtml(report);
  if (!o.output) {
    io.out << html;
    return kExitOk;
  }
  return SaveBytes(*o.output, html, io);
}

// "diff --port PORT FILE": the device on the left, the file as it would be
// written on the right.
int DiffDevice(const Options& o, Streams& io) {
  if (o.files.size() != 1) return Usage(io.err, "--port takes one configuration file", o.verb);
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  if (!OpenFile(o.files[0], data, form, prompter, io)) return kExitBadFile;
  if (const auto refused = UpdateAllTXBuffers(data, form, CommitFor::Report)) {
    io.err << "tivolan-cli: " << OneLine(refused->text) << "\n";
    return kExitRefused;
  }
  SharedData device;
  if (const int status = ReadDevice(*o.port, device, io)) return status;
  const auto lines = DifferenceLines(CompareConfigurations(device, data));
  for (const auto& line : lines) io.out << line << "\n";
  return lines.empty() ? kExitOk : kExitDiffer;
}

int Diff(const Options& o, Streams& io) {
  if (o.port) return DiffDevice(o, io);
  if (o.files.size() != 2) return Usage(io.err, "two configuration files are required", o.verb);
  if (IsStandardInput(o.files[0]) && IsStandardInput(o.files[1]))
    return Usage(io.err, "standard input (-) can be read only once", o.verb);
  StreamPrompter prompter(io);
  SharedData data[2];
  for (int i = 0; i < 2; ++i) {
    FormState form;
    if (!OpenFile(o.files[static_cast<std::size_t>(i)], data[i], form, prompter, io)) return kExitBadFile;
  }
  const auto lines = DifferenceLines(CompareConfigurations(data[0], data[1]));
  for (const auto& line : lines) io.out << line << "\n";
  return lines.empty() ? kExitOk : kExitDiffer;
}

// Each port the program would offer (or each one named) with its state. A
// port named that cannot be used fails the command, as it would fail a read.
int Ports(const Options& o, Streams& io) {
  const bool named = !o.files.empty();
  if (o.names) {
    if (named) return Usage(io.err, "--names lists the ports the program offers; it takes no port", o.verb);
    for (const auto& p : BuildPortList()) io.out << Escaped(p) << "\n";
    return kExitOk;
  }
  const std::vector<std::string> ports = named ? o.files : BuildPortList();
  if (ports.empty()) io.err << "tivolan-cli: система не сообщает ни об одном последовательном порте\n";
  std::vector<std::pair<std::string, std::string>> rows;  // name, state; both escaped
  bool unusable = false;
  for (const auto& p : ports) {
    const auto path = DriverPortName(p);
    const std::optional<PortState> state = path ? std::optional(DiagnosePort(*path)) : std::nullopt;
    unusable = unusable || !state || state->condition != PortCondition::Free;
    rows.emplace_back(Escaped(p), Escaped(state ? DescribePortState(*state) : "это не имя порта"));
  }
  std::size_t width = 0;
  for (const auto& row : rows) width = std::max(width, Utf8Length(row.first));
  for (const auto& [name, state] : rows) io.out << PaddedTo(name, width + 2) << state << "\n";
  return named && unusable ? kExitPortError : kExitOk;
}

int Defaults(const Options& o, Streams& io) {
  if (!o.type || (*o.type != "1" && *o.type != "2" && *o.type != "3"))
    return Usage(io.err, "--type takes 1, 2 or 3", o.verb);
  if (!o.output) return Usage(io.err, "-o is required", o.verb);
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  StartWithDefaults(data, form, std::stoi(*o.type), prompter);
  return Save(*o.output, data, form, io);
}

}  // namespace

bool OpenConfigurationFile(const std::string& path, SharedData& data, FormState& form, Streams& io) {
  SilentPrompter quiet;
  return OpenFile(path, data, form, quiet, io);
}

std::string PortCauseLine(const std::string& path) {
  return "Причина: " + Escaped(path) + ": " + Escaped(DescribePortState(DiagnosePort(path)));
}

std::string PortErrorText(const std::string& path) {
  const StatusRow& row = RowOf(LinkStatus::StatusPortError);
  // The box's second line is the window's advice, to pick another port in
  // its box; on the command line the port is named otherwise.
  const std::string box = row.box->text;
  return std::string(row.box->caption) + ": " + box.substr(0, box.find("\r\n")) + "\n" + row.text + "\n" +
         PortCauseLine(path) + "\n" +
         "Укажите другой порт в --port; какие порты есть и свободны ли они, покажет tivolan-cli ports\n";
}

std::string OneLine(const std::string& text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      line += ' ';
      ++i;
    } else {
      line += text[i];
    }
  }
  return line;
}

namespace {

int RunVerb(const std::vector<std::string>& args, Streams& io) {
  Options o;
  if (const auto status = Parse(args, o, io.err)) return *status;
  if (o.verb == "--version" || o.verb == "-V") {
    io.out << "tivolan-cli (Тиволан) " << ProgramVersion() << "\n";
    return kExitOk;
  }
  if (o.verb.empty() || o.verb == "--help" || o.verb == "-h" || o.verb == "help") {
    (o.verb.empty() ? io.err : io.out) << ToolHelp();
    return o.verb.empty() ? kExitUsage : kExitOk;
  }
  const char* help = VerbHelp(o.verb);
  if (!help) return Usage(io.err, "unknown command '" + Escaped(o.verb) + "'", "");
  if (o.help) {
    io.out << help;
    return kExitOk;
  }
  if (o.verb == "read") return Read(o, io);
  if (o.verb == "write") return Write(o, io);
  if (o.verb == "show") return Show(o, io);
  if (o.verb == "diff") return Diff(o, io);
  if (o.verb == "ports") return Ports(o, io);
  if (o.verb == "report") return Report(o, io);
  if (o.verb == "station") return RunStationCommand(o, io);
  if (o.verb == "firmware") {
    if (o.files.size() != 1) return Usage(io.err, "one firmware file is required", o.verb);
    if (o.check && o.port) return Usage(io.err, "--check opens no port; give --port or --check", o.verb);
    if (o.check) return RunFirmwareCheck(o.files[0], io);
    if (!o.port) return Usage(io.err, "--port or --check is required", o.verb);
    return RunFirmwareCommand(*o.port, o.files[0], io);
  }
  return Defaults(o, io);
}

}  // namespace

// What a verb wrote to standard output is checked as a saved file is.
int Run(const std::vector<std::string>& args, Streams io) { return CheckOutput(RunVerb(args, io), io.out, io.err); }

}  // namespace tivolan::cli
