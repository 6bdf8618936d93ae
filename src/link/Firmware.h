#pragma once
// Firmware update through the device's boot loader: the firmware file
// decoded and checked whole before the port is opened, then sent block by
// block, each block answered by one verdict byte. The transfer is driven by
// its owner's event loop (the port's receive poll and a time-out timer), so
// the window stays responsive and the command-line tool runs the same code.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/CPDrv.h"
#include "link/EventLoop.h"
#include "link/PollTimer.h"
#include "model/Prompter.h"

namespace tivolan {

inline constexpr std::size_t kFirmwareImageSize = 40001;                  // bytes the image may hold
inline constexpr std::size_t kFirmwareTextMax = 2 * kFirmwareImageSize;  // hexadecimal characters
inline constexpr uint8_t kVerdictAccepted = 0x11;

// cmprtdrvrUpdate: the boot loader's 115200 baud, 256-byte queues.
inline constexpr PortSettings kUpdatePortSettings{TBaudRate::brCustom, 115200, 256, limits::kUpdatePoll,
                                                  limits::kUpdateInputTimeout};
// The update port, built the one way for every owner: the window, tivolan-cli,
// the benchmark and the tests. Its name is set before each transfer.
TCommPortDriver MakeUpdatePort(std::unique_ptr<SerialDevice> device, PollTimer* timer);

// A decoded image and where its blocks start; every block (two length
// bytes, most significant first, then that many data bytes) lies whole
// inside the image.
struct FirmwareImage {
  std::vector<uint8_t> bytes;
  std::vector<std::size_t> blocks;
};

// The data bytes of block `index`, as its two length bytes declare them.
std::size_t BlockDataSize(const FirmwareImage& image, std::size_t index);

// Why a file is no firmware: the box to show and one line saying what is
// wrong and where.
struct FirmwareFileError {
  MessageBox box;
  std::string detail;
};

struct FirmwareFile {
  std::optional<FirmwareImage> image;
  FirmwareFileError error;  // when there is no image
};

// Text of hexadecimal digit pairs, either case, nothing else.
FirmwareFile DecodeFirmware(std::string_view text);
// The refusals: the file's own words ("Файл не найден"), and ours for a file
// that decodes but cannot be sent.
FirmwareFile NotFirmware(std::string detail);
FirmwareFile FirmwareRefused(std::string text, std::string detail);

MessageBox ChooseFirmwareFileBox();  // "Выберите файл"

enum class FirmwareResult { Updated, NoAnswer, Rejected, Cancelled };
// The box that ends a transfer; none for a cancelled one.
std::optional<MessageBox> FirmwareResultBox(FirmwareResult result);

struct FirmwareProgress {
  int percent = 0;  // the share accepted before the last accepted block
  int blocksDone = 0;
  int blockCount = 0;
};

class FirmwareTransfer {
 public:
  using ProgressHandler = std::function<void(const FirmwareProgress&)>;
  using EndHandler = std::function<void(FirmwareResult)>;

  // `port` is the update port (its receive poll runs on the owner's thread);
  // `timer` drives the verdict time-out there.
  FirmwareTransfer(TCommPortDriver& port, PollTimer& timer);
  ~FirmwareTransfer();
  FirmwareTransfer(const FirmwareTransfer&) = delete;
  FirmwareTransfer& operator=(const FirmwareTransfer&) = delete;

  // Opens the port at 115200 and sends the first block; false when the port
  // cannot be opened (then nothing else happened). The handlers run on the
  // owner's thread; the end handler once, after the port was closed.
  bool Start(FirmwareImage image, ProgressHandler onProgress, EndHandler onEnd);
  bool Running() const { return running_; }
  // Ends a running transfer at once: the port closed, no end handler.
  void Cancel();

 private:
  // The port's events.
  void cmprtdrvrUpdateReceiveData(const uint8_t* data, uint32_t count);
  void tmrUpdOffTimer();
  void LineLost();
  void SendBlock();
  void Finish(FirmwareResult result);

  TCommPortDriver& port_;
  PollTimer& timer_;
  FirmwareImage image_;
  std::size_t next_ = 0;          // index of the block being answered
  std::size_t acknowledged_ = 0;  // bytes accepted so far
  bool waiting_ = false;          // a verdict is due
  bool running_ = false;
  ProgressHandler onProgress_;
  EndHandler onEnd_;
};

// One transfer on an EventLoop that the calling thread runs until it ends
// or `interrupted` is set; then it is cancelled. nullopt when the port could
// not be opened. For the command-line tool, the benchmark and the tests.
std::optional<FirmwareResult> RunFirmwareTransfer(EventLoop& loop, TCommPortDriver& port, FirmwareImage image,
                                                  const FirmwareTransfer::ProgressHandler& onProgress = {},
                                                  const std::atomic<bool>* interrupted = nullptr);

}  // namespace tivolan
