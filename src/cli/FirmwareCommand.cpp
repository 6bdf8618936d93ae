#include "cli/FirmwareCommand.h"

#include <ostream>

#include "cli/Input.h"
#include "cli/Interrupt.h"
#include "cli/TerminalText.h"
#include "link/Firmware.h"
#include "link/LinkStatus.h"
#include "files/FirmwareFile.h"
#include "model/CodePage.h"
#include "platform/Platform.h"

namespace tivolan::cli {
namespace {

void PrintBox(Streams& io, const MessageBox& box) { io.err << box.caption << ": " << OneLine(box.text) << "\n"; }

int NoFirmware(Streams& io, const std::string& file, const FirmwareFileError& error) {
  PrintBox(io, error.box);
  io.err << ShownFileName(file) << ": " << error.detail << "\n";
  return kExitBadFile;
}

// The file, or standard input for "-", read and decoded as "Обновить прошивку" does.
FirmwareFile LoadFirmware(const std::string& file, Streams& io) {
  if (!IsStandardInput(file)) return LoadFirmwareFile(file);
  const auto text = ReadStandardInput(io.in, kFirmwareTextMax);
  return text ? DecodeFirmware(*text) : NotFirmware("стандартный ввод не прочитан");
}

// `text` after blanks, to end under a heading of `width` characters.
std::string RightAligned(const std::string& text, std::size_t width) {
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

// Percent and blocks: redrawn in place on a terminal, a line every 10 %
// otherwise (a log file wants no carriage returns).
class ProgressLine {
 public:
  explicit ProgressLine(Streams& io) : io_(io) {}
  void Show(int percent, int done, int count) {
    const std::string line =
        std::to_string(percent) + " % (" + std::to_string(done) + " из " + std::to_string(count) + " блоков)";
    if (io_.progressInPlace) {
      io_.err << "\r" << line << "   " << std::flush;
      drawn_ = true;
    } else if (percent / 10 > lastTenth_) {
      lastTenth_ = percent / 10;
      io_.err << line << "\n";
    }
  }
  void End() {
    if (drawn_) io_.err << "\n";
    drawn_ = false;
  }

 private:
  Streams& io_;
  int lastTenth_ = -1;
  bool drawn_ = false;
};

}  // namespace

int RunFirmwareCommand(const std::string& port, const std::string& file, Streams& io) {
  const auto path = DriverPortName(port);
  if (!path) {
    io.err << "tivolan-cli: '" << Escaped(port) << "' is no port name\n";
    return kExitUsage;
  }
  // The whole file is checked before the port is opened.
  FirmwareFile firmware = LoadFirmware(file, io);
  if (!firmware.image) return NoFirmware(io, file, firmware.error);
  EventLoop loop;
  LoopPollTimer poll(loop);
  TCommPortDriver updatePort = MakeUpdatePort(CreateSystemSerialDevice(), &poll);
  updatePort.SetPortName(*path);
  ProgressLine progress(io);
  const int count = static_cast<int>(firmware.image->blocks.size());
  const InterruptGuard interrupt;
  const auto result = RunFirmwareTransfer(
      loop, updatePort, std::move(*firmware.image),
      [&](const FirmwareProgress& p) { progress.Show(p.percent, p.blocksDone, p.blockCount); }, &interrupt.Flag());
  if (!result) {
    io.err << PortErrorText(*path);
    return ExitStatusOf(LinkStatus::StatusPortError);
  }
  if (*result == FirmwareResult::Updated) progress.Show(100, count, count);
  progress.End();
  if (*result == FirmwareResult::Cancelled)
    io.err << "tivolan-cli: обновление прошивки прервано, порт закрыт\n";
  else
    PrintBox(io, *FirmwareResultBox(*result));
  return ExitStatusOf(*result);
}

int RunFirmwareCheck(const std::string& file, Streams& io) {
  const FirmwareFile firmware = LoadFirmware(file, io);
  if (!firmware.image) return NoFirmware(io, file, firmware.error);
  const FirmwareImage& image = *firmware.image;
  const std::string headings[] = {"блок", "с байта", "байт данных"};
  std::size_t widths[3];
  for (std::size_t c = 0; c < 3; ++c) widths[c] = Utf8Length(headings[c]);
  io.out << headings[0] << "  " << headings[1] << "  " << headings[2] << "\n";
  for (std::size_t i = 0; i < image.blocks.size(); ++i) {
    io.out << RightAligned(std::to_string(i + 1), widths[0]) << "  "
           << RightAligned(std::to_string(image.blocks[i]), widths[1]) << "  "
           << RightAligned(std::to_string(BlockDataSize(image, i)), widths[2]) << "\n";
  }
  io.out << ShownFileName(file) << ": прошивка без ошибок, блоков: " << image.blocks.size() << ", байт: " << image.bytes.size()
         << "\n";
  return kExitOk;
}

}  // namespace tivolan::cli
