#include "link/Firmware.h"

#include <cstdio>

#include "link/Deadline.h"
#include "model/HexText.h"

namespace tivolan {
namespace {

constexpr const char* kCaption = "Прошивка прибора";

}  // namespace

FirmwareFile NotFirmware(std::string detail) {
  return {std::nullopt, {{"Ошибка", "Файл не найден", BoxIcon::None}, std::move(detail)}};
}

FirmwareFile FirmwareRefused(std::string text, std::string detail) {
  return {std::nullopt, {{kCaption, std::move(text), BoxIcon::Error}, std::move(detail)}};
}

namespace {

std::string CharName(char c) {
  const auto u = static_cast<unsigned char>(c);
  char text[48];
  if (u >= 0x21 && u < 0x7F)
    std::snprintf(text, sizeof text, "\"%c\"", c);
  else
    std::snprintf(text, sizeof text, "байт 0x%02X", u);
  return text;
}

// Checks the chain of blocks: each declares its length, and the last ends
// exactly at the end of the image.
FirmwareFile CheckBlocks(FirmwareImage image) {
  const std::size_t count = image.bytes.size();
  for (std::size_t at = 0; at < count;) {
    const std::size_t block = image.blocks.size() + 1;
    if (count - at < 2)
      return FirmwareRefused("Файл прошивки повреждён: у последнего блока нет длины.\r\nНичего не отправлено.",
                     "блок " + std::to_string(block) + " с байта " + std::to_string(at) +
                         ": в файле остался 1 байт, а длина блока занимает 2");
    const std::size_t n = image.bytes[at] * 256u + image.bytes[at + 1];
    if (n > count - at - 2)
      return FirmwareRefused("Файл прошивки повреждён: блок длиннее, чем осталось в файле.\r\nНичего не отправлено.",
                     "блок " + std::to_string(block) + " с байта " + std::to_string(at) + " объявляет " +
                         std::to_string(n) + " байт данных, а после его длины в файле " +
                         std::to_string(count - at - 2));
    image.blocks.push_back(at);
    at += n + 2;
  }
  return {std::move(image), {}};
}

}  // namespace

FirmwareFile DecodeFirmware(std::string_view text) {
  if (text.empty())
    return FirmwareRefused("Файл прошивки пуст: в нём нет ни одного блока.\r\nНичего не отправлено.", "в файле 0 знаков");
  if (text.size() > kFirmwareTextMax)
    return FirmwareRefused("Файл прошивки слишком велик для прибора.",
                   "в файле больше " + std::to_string(kFirmwareTextMax) + " знаков");
  FirmwareImage image;
  image.bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigitValue(text[i]);
    if (high < 0)
      return NotFirmware("знак " + std::to_string(i + 1) + ": " + CharName(text[i]) + " не шестнадцатеричная цифра");
    if (i + 1 == text.size())
      return NotFirmware("знак " + std::to_string(i + 1) + ": нечётное число цифр, у последней нет пары");
    const int low = HexDigitValue(text[i + 1]);
    if (low < 0)
      return NotFirmware("знак " + std::to_string(i + 2) + ": " + CharName(text[i + 1]) +
                         " не шестнадцатеричная цифра");
    image.bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return CheckBlocks(std::move(image));
}

std::size_t BlockDataSize(const FirmwareImage& image, std::size_t index) {
  const std::size_t at = image.blocks[index];
  return image.bytes[at] * 256u + image.bytes[at + 1];
}

TCommPortDriver MakeUpdatePort(std::unique_ptr<SerialDevice> device, PollTimer* timer) {
  return TCommPortDriver(std::move(device), timer, kUpdatePortSettings);
}


MessageBox ChooseFirmwareFileBox() { return {kCaption, "Выберите файл", BoxIcon::Information}; }

std::optional<MessageBox> FirmwareResultBox(FirmwareResult result) {
  switch (result) {
    case FirmwareResult::Updated: return MessageBox{kCaption, "Прошивка прибора обновлена", BoxIcon::None};
    case FirmwareResult::NoAnswer: return MessageBox{kCaption, "Нет связи с устройством", BoxIcon::Error};
    case FirmwareResult::Rejected: return MessageBox{kCaption, "Ошибка контрольной суммы", BoxIcon::Error};
    case FirmwareResult::Cancelled: break;
  }
  return std::nullopt;
}

FirmwareTransfer::FirmwareTransfer(TCommPortDriver& port, PollTimer& timer) : port_(port), timer_(timer) {
  port_.SetOnReceiveData([this](TCommPortDriver&, const uint8_t* data, uint32_t count) {
    cmprtdrvrUpdateReceiveData(data, count);
  });
  port_.SetOnLineLost([this](TCommPortDriver&) { LineLost(); });
}

FirmwareTransfer::~FirmwareTransfer() {
  Cancel();
  port_.SetOnReceiveData({});
  port_.SetOnLineLost({});
}

bool FirmwareTransfer::Start(FirmwareImage image, ProgressHandler onProgress, EndHandler onEnd) {
  if (running_) return false;
  port_.SetBaudRate(TBaudRate::br115200);
  if (!port_.Open()) return false;
  image_ = std::move(image);
  onProgress_ = std::move(onProgress);
  onEnd_ = std::move(onEnd);
  next_ = 0;
  acknowledged_ = 0;
  running_ = true;
  if (onProgress_) onProgress_({0, 0, static_cast<int>(image_.blocks.size())});
  SendBlock();
  return true;
}

void FirmwareTransfer::SendBlock() {
  if (next_ == image_.blocks.size()) {
    Finish(FirmwareResult::Updated);
    return;
  }
  const std::size_t at = image_.blocks[next_];
  const std::size_t n = BlockDataSize(image_, next_) + 2;
  port_.Purge(true, true);
  port_.Write(image_.bytes.data() + at, static_cast<uint32_t>(n));
  // Armed only now: a verdict can belong to no block but this one.
  waiting_ = true;
  timer_.Start(static_cast<unsigned>(limits::kVerdictWait.count()), [this] { tmrUpdOffTimer(); });
}

void FirmwareTransfer::cmprtdrvrUpdateReceiveData(const uint8_t* data, uint32_t count) {
  if (!running_ || !waiting_ || count == 0) return;
  waiting_ = false;
  timer_.Stop();
  if (data[0] != kVerdictAccepted) {  // only the first byte counts
    Finish(FirmwareResult::Rejected);
    return;
  }
  const std::size_t n = BlockDataSize(image_, next_) + 2;
  const int percent = static_cast<int>(acknowledged_ * 100 / image_.bytes.size());
  acknowledged_ += n;
  ++next_;
  if (onProgress_) onProgress_({percent, static_cast<int>(next_), static_cast<int>(image_.blocks.size())});
  SendBlock();
}

void FirmwareTransfer::tmrUpdOffTimer() {
  if (!running_ || !waiting_) return;
  waiting_ = false;
  Finish(FirmwareResult::NoAnswer);
}

// The line dropped: no verdict can come, so there is no point waiting for it.
void FirmwareTransfer::LineLost() {
  if (!running_) return;
  waiting_ = false;
  Finish(FirmwareResult::NoAnswer);
}

void FirmwareTransfer::Finish(FirmwareResult result) {
  timer_.Stop();
  port_.Close();
  running_ = false;
  EndHandler onEnd = std::move(onEnd_);
  onEnd_ = {};
  onProgress_ = {};
  if (onEnd) onEnd(result);
}

void FirmwareTransfer::Cancel() {
  if (!running_) return;
  timer_.Stop();
  port_.Close();
  running_ = false;
  waiting_ = false;
  onEnd_ = {};
  onProgress_ = {};
}

std::optional<FirmwareResult> RunFirmwareTransfer(EventLoop& loop, TCommPortDriver& port, FirmwareImage image,
                                                  const FirmwareTransfer::ProgressHandler& onProgress,
                                                  const std::atomic<bool>* interrupted) {
  LoopPollTimer timeout(loop);
  FirmwareTransfer transfer(port, timeout);
  std::optional<FirmwareResult> result;
  if (!transfer.Start(std::move(image), onProgress, [&](FirmwareResult r) { result = r; })) return std::nullopt;
  loop.RunUntil([&] { return result.has_value() || (interrupted && interrupted->load()); });
  if (!result) {
    transfer.Cancel();
    result = FirmwareResult::Cancelled;
  }
  return result;
}

}  // namespace tivolan
