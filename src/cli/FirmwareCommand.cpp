#include "cli/FirmwareCommand.h"

#include <ostream>

#include "cli/Interrupt.h"
#include "link/Firmware.h"
#include "link/LinkStatus.h"
#include "files/FirmwareFile.h"
#include "platform/Platform.h"

namespace tivolan::cli {
namespace {

void PrintBox(Streams& io, const MessageBox& box) { io.err << box.caption << ": " << OneLine(box.text) << "\n"; }

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
    io.err << "tivolan-cli: '" << port << "' is no port name\n";
    return kExitUsage;
  }
  // The whole file is checked before the port is opened.
  FirmwareFile firmware = LoadFirmwareFile(file);
  if (!firmware.image) {
    PrintBox(io, firmware.error.box);
    io.err << file << ": " << firmware.error.detail << "\n";
    return kExitBadFile;
  }
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
    const StatusRow& row = RowOf(LinkStatus::StatusPortError);
    PrintBox(io, {row.box->caption, row.box->text});
    io.err << row.text << "\n" << PortCauseLine(*path) << "\n";
    return ExitStatusOf(row.code);
  }
  if (*result == FirmwareResult::Updated) progress.Show(100, count, count);
  progress.End();
  if (*result == FirmwareResult::Cancelled)
    io.err << "tivolan-cli: обновление прошивки прервано, порт закрыт\n";
  else
    PrintBox(io, *FirmwareResultBox(*result));
  return ExitStatusOf(*result);
}

}  // namespace tivolan::cli
