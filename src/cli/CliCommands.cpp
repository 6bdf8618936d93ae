#include "cli/CliCommands.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>

#include "cli/Backup.h"
#include "cli/FirmwareCommand.h"
#include "cli/ReportPdf.h"
#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "cli/TerminalText.h"
#include "files/FileIO.h"
#include "files/FileOps.h"
#include "files/FileProblems.h"
#include "files/FileTimes.h"
#include "link/GsmBlocks.h"
#include "link/ExchangeOperation.h"
#include "model/CodePage.h"
#include "model/DefaultImages.h"
#include "configuration/FileCommands.h"
#include "configuration/Listing.h"
#include "configuration/Configuration.h"
#include "platform/Platform.h"
#include "platform/PortState.h"
#include "platform/Version.h"
#include "configuration/Report.h"

namespace tivolan::cli {
namespace {

const char* kToolHelp =
    "usage: tivolan-cli <command> [options]\n"
    "       tivolan-cli --help | --version\n"
    "\n"
    "Programs Ирт panels and concentrators from the command line, as the Тиволан program does.\n"
    "The device's and the program's messages are in Russian, as in the program's window; this help\n"
    "and the usage errors are in English.\n"
    "\n"
    "commands:\n"
    "  read      read a device's configuration into a file, or list it\n"
    "  write     write a configuration file into a device\n"
    "  show      list every setting of a configuration file\n"
    "  diff      list the settings in which two configuration files differ\n"
    "  defaults  write the default configuration of a device type\n"
    "  firmware  update a device's firmware through its boot loader, or check a firmware file\n"
    "  ports     list the serial ports and say whether each can be opened, and why not\n"
    "  report    the commissioning report of a configuration file: HTML, or PDF with --pdf\n"
    "\n"
    "'tivolan-cli <command> --help' describes a command; -V, --version prints the version.\n"
    "-o - writes the configuration (or the report) to standard output (a file named \"-\" is ./-).\n"
    "\n"
    "exit status: 0 success; 1 the files differ (diff); 2 usage error; 3 a file that cannot be\n"
    "opened or is no configuration file (or no firmware); 4 the file or standard output cannot be\n"
    "written; 5 the write was refused; 6..11 the final status of a failed exchange with the device\n"
    "(6: the port cannot be opened, or another program holds it; for ports, a port named cannot be\n"
    "used); 12, 13 a failed firmware update;\n"
    "130 the exchange was interrupted (Ctrl+C), the port is closed.\n";

const std::map<std::string, const char*> kVerbHelp = {
    {"read",
     "usage: tivolan-cli read --port PORT [-o FILE.cf8]\n"
     "\n"
     "Reads the device on PORT as \"Прочитать\" does. With -o the configuration is saved to FILE.cf8\n"
     "as \"Сохранить\" would save it, with -o - to standard output; without, its settings are listed\n"
     "as 'show' lists them. A failed read writes no file.\n"},
    {"write",
     "usage: tivolan-cli write --port PORT FILE.cf8 [--yes] [--backup DIR]\n"
     "\n"
     "Opens FILE.cf8 as \"Открыть...\" does and writes it into the device on PORT as \"Записать\" does.\n"
     "With --backup the device is read first and what it holds is saved as DIR/<model>-<date>-<time>.cf8,\n"
     "a normal configuration file; when that read fails nothing is written and the exit status is the\n"
     "read's. A folder that does not exist or takes no file is refused before the device is touched.\n"
     "When the program would ask before writing, the question is asked on the terminal; --yes answers\n"
     "it. Without a terminal and without --yes such a write is refused and nothing is sent.\n"},
    {"show",
     "usage: tivolan-cli show FILE.cf8\n"
     "\n"
     "Lists every setting of FILE.cf8 with the captions of the program's pages.\n"},
    {"diff",
     "usage: tivolan-cli diff A.cf8 B.cf8\n"
     "\n"
     "Lists each setting that differs, as \"ШС3: Задержка вход 30 → 45\". Exit status 1 when the files\n"
     "differ, 0 when they are equal.\n"},
    {"firmware",
     "usage: tivolan-cli firmware --port PORT FILE.enc | --check FILE.enc\n"
     "\n"
     "Sends the firmware in FILE.enc to the boot loader of the device on PORT (115200 baud) as\n"
     "\"Обновить прошивку\" does: set jumper J1 and switch the device on first. The whole file is\n"
     "checked before the port is opened; progress goes to standard error.\n"
     "With --check the file is only checked, without a device: its blocks with their first byte and\n"
     "their data bytes go to standard output, or what is wrong and where to standard error. No port is\n"
     "opened and nothing is sent.\n"
     "\n"
     "exit status: 0 the firmware was updated (--check: the file is good firmware); 2 usage error;\n"
     "3 the file is not firmware (\"Файл не найден\" and a line saying what is wrong and where);\n"
     "6 the port cannot be opened; 12 no verdict in time (\"Нет связи с устройством\");\n"
     "13 a block was rejected (\"Ошибка контрольной суммы\");\n"
     "130 interrupted (Ctrl+C), the port is closed.\n"},
    {"report",
     "usage: tivolan-cli report FILE.cf8 [-o FILE.html] [--pdf FILE.pdf] [--show-passwords]\n"
     "\n"
     "Writes the commissioning report of FILE.cf8 as a printable page (HTML, one file, A4): the device\n"
     "type, the file's name and date, every setting in the words of the program's pages, the section\n"
     "\"Проверки\" with a mark per check (GSM without any destination on, an empty SMS list, GPRS\n"
     "without access points, ...), and lines to fill in and sign by hand. GPRS passwords show as \"••••\"\n"
     "unless --show-passwords is given. Without -o (or --pdf, which prints it to an A4 PDF with a\n"
     "header and a footer on every page) the page goes to standard output, as with -o - (or\n"
     "--pdf -). A file that is no configuration: exit 3, nothing written.\n"},
    {"ports",
     "usage: tivolan-cli ports [PORT...]\n"
     "\n"
     "Lists the serial ports the program offers (or the ports named) with their state: free; in use (by\n"
     "which process, or a lock file); no permission, with the command that fixes it; no such device; not a\n"
     "serial port; and the maker and model of a USB adapter. read, write and firmware refuse a port that\n"
     "another process holds open (exit 6) and name it in the same words. Control characters in a name\n"
     "are shown escaped (\\n, \\x1b).\n"
     "\n"
     "exit status: 0 the ports were listed, and each port named can be opened; 6 a port named is missing\n"
     "or cannot be used (in use, no permission, not a serial port, no port name).\n"},
    {"defaults",
     "usage: tivolan-cli defaults --type 1|2|3 -o FILE.cf8\n"
     "\n"
     "Writes the default configuration of a device type: 1 Ирт-ОП8А, 2 Ирт-ОП8, 3 Ирт-ОП-КС.\n"
     "-o - writes it to standard output.\n"},
};

// Boxes go to standard error as caption and text.
class StreamPrompter final : public Prompter {
 public:
  explicit StreamPrompter(Streams& io) : io_(io) {}
  void Show(const MessageBox& box) override { io_.err << box.caption << ": " << OneLine(box.text) << "\n"; }
  bool AskYesNo(const MessageBox& box) override {
    io_.err << OneLine(box.text) << " [д/н] " << std::flush;
    std::string answer;
    std::getline(io_.in, answer);
    return answer == "д" || answer == "Д" || answer == "y" || answer == "Y" || answer == "да" || answer == "yes";
  }

 private:
  Streams& io_;
};

struct Options {
  std::string verb;
  std::vector<std::string> files;
  std::optional<std::string> port, output, type, backup, pdf;
  bool yes = false;
  bool help = false;
  bool check = false;  // firmware: the file only
  bool showPasswords = false;
};

int Usage(Streams& io, const std::string& message, const std::string& verb) {
  io.err << "tivolan-cli: " << message << "\n";
  const auto help = kVerbHelp.find(verb);
  io.err << (help != kVerbHelp.end() ? help->second : "see 'tivolan-cli --help'\n");
  return kExitUsage;
}

// Parses "verb [options] files"; returns an exit status on a usage error.
std::optional<int> Parse(const std::vector<std::string>& args, Options& o, Streams& io) {
  o.verb = args.empty() ? "" : args[0];
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::optional<std::string>& into) -> bool {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--yes") o.yes = true;
    else if (a == "--check") o.check = true;
    else if (a == "--show-passwords") o.showPasswords = true;
    else if (a == "--port") { if (!value(o.port)) return Usage(io, "--port needs a port name", o.verb); }
    else if (a == "-o" || a == "--output") { if (!value(o.output)) return Usage(io, a + " needs a file name", o.verb); }
    else if (a == "--pdf") { if (!value(o.pdf)) return Usage(io, "--pdf needs a file name", o.verb); }
    else if (a == "--backup") { if (!value(o.backup)) return Usage(io, "--backup needs a folder", o.verb); }
    else if (a == "--type") { if (!value(o.type)) return Usage(io, "--type needs 1, 2 or 3", o.verb); }
    else if (!a.empty() && a[0] == '-') return Usage(io, "unknown option " + a, o.verb);
    else o.files.push_back(a);
  }
  return std::nullopt;
}

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
  const OpenResult result = OpenConfiguration(data, form, path, quiet);
  if (result.opened) return true;
  io.err << path << ": " << FileReadErrorBox().text << "\n";
  if (HasCause(result.problem)) io.err << path << ": " << OpenProblem(result.problem) << "\n";
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
  if (!path) return Usage(io, "'" + Escaped(port) + "' is no port name", mode == LinkMode::Read ? "read" : "write");
  EventLoop loop;
  LoopPollTimer timer(loop);
  TDataModule1 dataModule(CreateSystemSerialDevice(), &timer);
  dataModule.cmprtdrvr1.SetPortName(*path);
  GsmBlockExchange gsm(data);
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
  if (outcome.cancelled)
    io.err << "tivolan-cli: обмен с прибором прерван" << (outcome.ended ? "" : ", порт не закрылся вовремя") << "\n";
  if (outcome.WriteUnfinished()) io.err << "tivolan-cli: " << UnfinishedWriteText(outcome.blocksSent) << "\n";
  // An exchange without a final status was cancelled before it.
  if (outcome.cancelled || !outcome.finalCode) return kExitInterrupted;
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

int Read(const Options& o, Streams& io) {
  if (!o.port) return Usage(io, "--port is required", o.verb);
  if (!o.files.empty()) return Usage(io, "unexpected argument " + o.files[0], o.verb);
  // Found out before the device is touched, not after a read that is lost.
  if (!CanSaveTo(o.output, io)) return kExitSaveFailed;
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  StartWithDefaults(data, form, kTypePPKP, prompter);
  int type = 0;
  if (const int status = Exchange(*o.port, data, LinkMode::Read, prompter, io, &type)) return status;
  ShowReportedDevice(data, form, type, prompter);
  if (o.output) return Save(*o.output, data, form, io);
  io.out << FormatListing(ListConfiguration(data));
  return kExitOk;
}

// Reads the device and keeps what it holds in `folder`, as "read -o" would.
int Backup(const std::string& port, const std::string& folder, Streams& io) {
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  StartWithDefaults(data, form, kTypePPKP, prompter);
  int type = 0;
  if (const int status = Exchange(port, data, LinkMode::Read, prompter, io, &type)) return status;
  ShowReportedDevice(data, form, type, prompter);
  const std::string file = BackupFileName(folder, type, std::time(nullptr));
  if (const int status = Save(file, data, form, io)) return status;
  io.err << "Резервная копия: " << file << "\n";
  return kExitOk;
}

int Write(const Options& o, Streams& io) {
  if (!o.port) return Usage(io, "--port is required", o.verb);
  if (o.files.size() != 1) return Usage(io, "one configuration file is required", o.verb);
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
    if (!io.interactive) {
      io.err << "tivolan-cli: " << "Ни одно направление не включено; без --yes запись не выполнена\n";
      return kExitRefused;
    }
    if (!prompter.AskYesNo(NoDestinationQuestion())) return kExitRefused;
  }
  // A backup that fails stops the write: it never goes ahead without one.
  if (o.backup)
    if (const int status = Backup(*o.port, *o.backup, io)) return status;
  return Exchange(*o.port, data, LinkMode::Write, prompter, io);
}

int Show(const Options& o, Streams& io) {
  if (o.files.size() != 1) return Usage(io, "one configuration file is required", o.verb);
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  if (!OpenFile(o.files[0], data, form, prompter, io)) return kExitBadFile;
  io.out << FormatListing(ListConfiguration(data));
  return kExitOk;
}

int Report(const Options& o, Streams& io) {
  if (o.files.size() != 1) return Usage(io, "one configuration file is required", o.verb);
  if (IsStandardOutput(o.output) && IsStandardOutput(o.pdf))
    return Usage(io, "-o - and --pdf - would both write to standard output", o.verb);
  if (!CanSaveTo(o.output, io) || !CanSaveTo(o.pdf, io)) return kExitSaveFailed;
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  if (!OpenFile(o.files[0], data, form, prompter, io)) return kExitBadFile;
  const ReportDocument report = BuildReport(data, {o.files[0], FileTimeText(o.files[0])},
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

int Diff(const Options& o, Streams& io) {
  if (o.files.size() != 2) return Usage(io, "two configuration files are required", o.verb);
  StreamPrompter prompter(io);
  std::vector<ListingEntry> listings[2];
  for (int i = 0; i < 2; ++i) {
    SharedData data;
    FormState form;
    if (!OpenFile(o.files[static_cast<std::size_t>(i)], data, form, prompter, io)) return kExitBadFile;
    listings[i] = ListConfiguration(data);
  }
  const auto lines = DiffListings(listings[0], listings[1]);
  for (const auto& line : lines) io.out << line << "\n";
  return lines.empty() ? kExitOk : kExitDiffer;
}

// Each port the program would offer (or each one named) with its state. A
// port named that cannot be used fails the command, as it would fail a read.
int Ports(const Options& o, Streams& io) {
  const bool named = !o.files.empty();
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
    return Usage(io, "--type takes 1, 2 or 3", o.verb);
  if (!o.output) return Usage(io, "-o is required", o.verb);
  StreamPrompter prompter(io);
  SharedData data;
  FormState form;
  StartWithDefaults(data, form, std::stoi(*o.type), prompter);
  return Save(*o.output, data, form, io);
}

}  // namespace

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
  if (const auto status = Parse(args, o, io)) return *status;
  if (o.verb == "--version" || o.verb == "-V") {
    io.out << "tivolan-cli (Тиволан) " << ProgramVersion() << "\n";
    return kExitOk;
  }
  if (o.verb.empty() || o.verb == "--help" || o.verb == "-h" || o.verb == "help") {
    (o.verb.empty() ? io.err : io.out) << kToolHelp;
    return o.verb.empty() ? kExitUsage : kExitOk;
  }
  const auto help = kVerbHelp.find(o.verb);
  if (help == kVerbHelp.end()) return Usage(io, "unknown command '" + o.verb + "'", "");
  if (o.help) {
    io.out << help->second;
    return kExitOk;
  }
  if (o.verb == "read") return Read(o, io);
  if (o.verb == "write") return Write(o, io);
  if (o.verb == "show") return Show(o, io);
  if (o.verb == "diff") return Diff(o, io);
  if (o.verb == "ports") return Ports(o, io);
  if (o.verb == "report") return Report(o, io);
  if (o.verb == "firmware") {
    if (o.files.size() != 1) return Usage(io, "one firmware file is required", o.verb);
    if (o.check && o.port) return Usage(io, "--check opens no port; give --port or --check", o.verb);
    if (o.check) return RunFirmwareCheck(o.files[0], io);
    if (!o.port) return Usage(io, "--port or --check is required", o.verb);
    return RunFirmwareCommand(*o.port, o.files[0], io);
  }
  return Defaults(o, io);
}

}  // namespace

// What a verb wrote to standard output is checked as a saved file is.
int Run(const std::vector<std::string>& args, Streams io) { return CheckOutput(RunVerb(args, io), io.out, io.err); }

}  // namespace tivolan::cli
