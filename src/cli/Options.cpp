#include "cli/Options.h"

#include <map>
#include <ostream>

#include "cli/ExitStatus.h"
#include "cli/TerminalText.h"

namespace tivolan::cli {
namespace {

constexpr const char* kToolHelp =
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
    "  diff      list the settings in which two configuration files, or a device and a file, differ\n"
    "  defaults  write the default configuration of a device type\n"
    "  firmware  update a device's firmware through its boot loader, or check a firmware file\n"
    "  ports     list the serial ports and say whether each can be opened, and why not\n"
    "  report    the commissioning report of a configuration file: HTML, or PDF with --pdf\n"
    "  station   program every panel plugged into several ports from one file, with a journal\n"
    "\n"
    "'tivolan-cli <command> --help' describes a command; -V, --version prints the version.\n"
    "-o - writes the configuration (or the report) to standard output (a file named \"-\" is ./-);\n"
    "a file to read given as - is read from standard input. An option's value follows it or an\n"
    "equals sign (--port /dev/ttyUSB0, --port=/dev/ttyUSB0); -- ends the options.\n"
    "\n"
    "exit status: 0 success; 1 the configurations differ (diff); 2 usage error; 3 a file that cannot be\n"
    "opened or is no configuration file (or no firmware); 4 the file, standard output or standard\n"
    "error cannot be written (the exchange still goes on to its end); 5 the write was refused;\n"
    "6..11 the final status of a failed exchange with the device\n"
    "(6: the port cannot be opened, is no serial line, or another program holds it; for ports, a\n"
    "port named cannot be used); 12, 13 a failed firmware update;\n"
    "130 the exchange was interrupted (Ctrl+C), the port is closed.\n";

const std::map<std::string, const char*, std::less<>> kVerbHelp = {
    {"read",
     "usage: tivolan-cli read --port PORT [-o FILE.cf8]\n"
     "\n"
     "Reads the device on PORT as \"Прочитать\" does. With -o the configuration is saved to FILE.cf8\n"
     "as \"Сохранить\" would save it, with -o - to standard output; without, its settings are listed\n"
     "as 'show' lists them. A failed read writes no file.\n"},
    {"write",
     "usage: tivolan-cli write --port PORT FILE.cf8 [--yes] [--backup DIR] [--show-changes]\n"
     "\n"
     "Opens FILE.cf8 as \"Открыть...\" does and writes it into the device on PORT as \"Записать\" does.\n"
     "With --backup the device is read first and what it holds is saved as DIR/<model>-<date>-<time>.cf8,\n"
     "a normal configuration file; when that read fails nothing is written and the exit status is the\n"
     "read's. A folder that does not exist or takes no file is refused before the device is touched.\n"
     "When the program would ask before writing, the question is asked on the terminal; --yes answers\n"
     "it. Without a terminal and without --yes such a write is refused and nothing is sent.\n"
     "FILE.cf8 given as - is read from standard input; the question then needs --yes.\n"
     "With --show-changes the device is read and what the write will change is listed as 'diff --port'\n"
     "lists it, then \"Записать эти изменения? [д/Н]\" is asked on the terminal (--yes answers it). Right\n"
     "before the write the device is read once more: when it answers otherwise than at the comparison\n"
     "(another device, or changed meanwhile) nothing is written and the exit status is 5. A device of\n"
     "another type is refused the same way; one that already holds the configuration is not written.\n"},
    {"show",
     "usage: tivolan-cli show FILE.cf8\n"
     "\n"
     "Lists every setting of FILE.cf8 with the captions of the program's pages, in lines of at most\n"
     "80 columns. FILE.cf8 given as - is read from standard input.\n"},
    {"diff",
     "usage: tivolan-cli diff A.cf8 B.cf8 | --port PORT FILE.cf8\n"
     "\n"
     "Lists each setting that differs, as \"ШС3: Задержка вход 30 → 45\"; a setting that reads the same\n"
     "on both sides is no difference. With --port the device on PORT is read and is the left side, the\n"
     "file as a write would send it the right. Exit status 1 when they differ, 0 when they are equal,\n"
     "with --port the status of a failed read otherwise. One of the files may be -, standard input.\n"},
    {"firmware",
     "usage: tivolan-cli firmware --port PORT FILE.enc | --check FILE.enc\n"
     "\n"
     "Sends the firmware in FILE.enc to the boot loader of the device on PORT (115200 baud) as\n"
     "\"Обновить прошивку\" does: set jumper J1 and switch the device on first. The whole file is\n"
     "checked before the port is opened; progress goes to standard error.\n"
     "With --check the file is only checked, without a device: its blocks with their first byte and\n"
     "their data bytes go to standard output, or what is wrong and where to standard error. No port is\n"
     "opened and nothing is sent. FILE.enc given as - is read from standard input.\n"
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
     "--pdf -). FILE.cf8 given as - is read from standard input. A file that is no configuration:\n"
     "exit 3, nothing written.\n"},
    {"ports",
     "usage: tivolan-cli ports [PORT...] | --names\n"
     "\n"
     "Lists the serial ports the program offers (or the ports named) with their state: free; in use (by\n"
     "which process, or a lock file); no permission, with the command that fixes it; no such device; not a\n"
     "serial port; and the maker and model of a USB adapter. read, write and firmware refuse a port that\n"
     "another process holds open (exit 6) and name it in the same words. Control characters in a name\n"
     "are shown escaped (\\n, \\x1b). With --names only the names of the ports the program offers are\n"
     "listed, one a line, and no port is opened (for completion in a shell).\n"
     "\n"
     "exit status: 0 the ports were listed, and each port named can be opened; 6 a port named is missing\n"
     "or cannot be used (in use, no permission, not a serial port, no port name).\n"},
    {"station",
     "usage: tivolan-cli station FILE.cf8 --port PORT [--port PORT ...] | --all-ports\n"
     "                          [--journal J.csv] [--backup-dir DIR] [--once] [--verify-only] [--yes]\n"
     "\n"
     "Programs every panel plugged into the ports from one configuration file, all ports at once. The\n"
     "file is read and checked before any port is opened; --all-ports takes the ports the program\n"
     "offers and leaves out those it cannot use, saying why. Each port waits for a panel (a block-1\n"
     "read every 2 s), refuses one of another type than the file's (nothing written), with\n"
     "--backup-dir saves what it held as DIR/<port>-<date>-<time>-<model>-v<version>.cf8, writes the\n"
     "configuration with its read-back, and then waits until the panel is taken away (two reads in a\n"
     "row without an answer) before it takes the next: a panel left connected is programmed once.\n"
     "--once reads each port once, programs what answered and exits. --verify-only writes nothing:\n"
     "each panel is read and compared with the file.\n"
     "On a terminal each port has a line, redrawn in place (\"ожидание прибора\", \"запись 2/4\",\n"
     "\"готово\", \"ошибка: <status>\", \"снимите прибор\"), and the counts below; otherwise each event is\n"
     "a line beginning with the port. The counts go to standard output at the end.\n"
     "--journal appends one CSV row (RFC 4180, UTF-8, a header when the file is new) per panel taken,\n"
     "forced to disk as the panel ends: start, end (ISO 8601), port, adapter and its serial number,\n"
     "device type, model, firmware version, GSM device number, file and its SHA-256, action (write,\n"
     "verify), result (ok or the status text), status (the exit status below for that panel), blocks\n"
     "sent, backup file, user. A journal, backup folder or port that cannot be used stops the\n"
     "station before any panel is touched; a journal that fails later stops taking panels.\n"
     "Ctrl+C stops taking panels and lets the exchanges in progress end; a second Ctrl+C cancels\n"
     "them. A configuration that the program would ask about before a write needs --yes.\n"
     "\n"
     "exit status: 0 every panel taken was programmed (or, with --verify-only, holds the file);\n"
     "1 a panel differs (--verify-only); 2 usage error; 3 the file is no configuration; 4 the journal\n"
     "or the backup folder cannot be written; 5 the configuration was refused, or a panel of another\n"
     "type; 6..11 the first panel's failed exchange (6 also for a port that cannot be used);\n"
     "130 interrupted (Ctrl+C) with no panel failed.\n"},
    {"defaults",
     "usage: tivolan-cli defaults --type 1|2|3 -o FILE.cf8\n"
     "\n"
     "Writes the default configuration of a device type: 1 Ирт-ОП8А, 2 Ирт-ОП8, 3 Ирт-ОП-КС.\n"
     "-o - writes it to standard output.\n"},
};

struct ValueOption {
  const char* names[2];
  std::optional<std::string> Options::*into;
  const char* needs;  // "--port needs <this>"
};

constexpr ValueOption kValueOptions[] = {
    {{"--port", nullptr}, &Options::port, "a port name"},
    {{"-o", "--output"}, &Options::output, "a file name"},
    {{"--pdf", nullptr}, &Options::pdf, "a file name"},
    {{"--backup", nullptr}, &Options::backup, "a folder"},
    {{"--type", nullptr}, &Options::type, "1, 2 or 3"},
    {{"--journal", nullptr}, &Options::journal, "a file name"},
    {{"--backup-dir", nullptr}, &Options::backupDir, "a folder"},
};

struct Flag {
  const char* names[2];
  bool Options::*into;
};

constexpr Flag kFlags[] = {
    {{"--help", "-h"}, &Options::help},
    {{"--yes", nullptr}, &Options::yes},
    {{"--show-changes", nullptr}, &Options::showChanges},
    {{"--check", nullptr}, &Options::check},
    {{"--show-passwords", nullptr}, &Options::showPasswords},
    {{"--names", nullptr}, &Options::names},
    {{"--all-ports", nullptr}, &Options::allPorts},
    {{"--once", nullptr}, &Options::once},
    {{"--verify-only", nullptr}, &Options::verifyOnly},
};

template <typename Row, std::size_t N>
const Row* Named(const Row (&rows)[N], const std::string& name) {
  for (const Row& row : rows)
    for (const char* n : row.names)
      if (n && name == n) return &row;
  return nullptr;
}

}  // namespace

const char* ToolHelp() { return kToolHelp; }

const char* VerbHelp(const std::string& verb) {
  const auto help = kVerbHelp.find(verb);
  return help == kVerbHelp.end() ? nullptr : help->second;
}

int Usage(std::ostream& err, const std::string& message, const std::string& verb) {
  err << "tivolan-cli: " << message << "\n";
  const char* help = VerbHelp(verb);
  err << (help ? help : "see 'tivolan-cli --help'\n");
  return kExitUsage;
}

std::optional<int> Parse(const std::vector<std::string>& args, Options& o, std::ostream& err) {
  o.verb = args.empty() ? "" : args[0];
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    // "-" alone is standard input, a file like any other.
    if (optionsEnded || a.size() < 2 || a[0] != '-') {
      o.files.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = a.rfind("--", 0) == 0 ? a.find('=') : std::string::npos;
    const std::string name = a.substr(0, equals);
    if (const ValueOption* option = Named(kValueOptions, name)) {
      if (equals != std::string::npos)
        o.*option->into = a.substr(equals + 1);
      else if (i + 1 < args.size())
        o.*option->into = args[++i];
      else
        return Usage(err, name + " needs " + option->needs, o.verb);
      if (option->into == &Options::port) o.ports.push_back(*o.port);
    } else if (const Flag* flag = Named(kFlags, name)) {
      if (equals != std::string::npos) return Usage(err, name + " takes no value", o.verb);
      o.*flag->into = true;
    } else {
      return Usage(err, "unknown option " + Escaped(a), o.verb);
    }
  }
  return std::nullopt;
}

}  // namespace tivolan::cli
