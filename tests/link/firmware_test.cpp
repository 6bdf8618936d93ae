// The firmware file and its transfer to the boot loader, end to end over a
// pseudo-terminal against the simulated boot loader.
#include <gtest/gtest.h>

#include <chrono>

#include "link/Firmware.h"
#include "link/UnitData.h"
#include "files/FirmwareFile.h"
#include "sim/SimPort.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

using sim::Bytes;
using sim::Fault;

struct DecodeCase {
  const char* name;
  std::string text;
  const char* boxText;  // the refusal, or nullptr for a good file
  const char* detail;   // part of the detail line
  friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};
class FirmwareDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(FirmwareDecode, RefusesWhatCannotBeSentBeforeThePortIsOpened) {
  const DecodeCase& c = GetParam();
  const FirmwareFile f = DecodeFirmware(c.text);
  ASSERT_FALSE(f.image) << c.name;
  EXPECT_EQ(f.error.box.text, c.boxText);
  EXPECT_NE(f.error.detail.find(c.detail), std::string::npos) << f.error.detail;
}

INSTANTIATE_TEST_SUITE_P(
    Files, FirmwareDecode,
    ::testing::Values(
        DecodeCase{"trailing line break", "0003AABBCC\n", "Файл не найден", "знак 11: байт 0x0A"},
        DecodeCase{"no hexadecimal pair", "0003AAXBCC", "Файл не найден", "знак 7: \"X\""},
        DecodeCase{"odd count", "0003AABBC", "Файл не найден", "нечётное число цифр"},
        DecodeCase{"empty", "", "Файл прошивки пуст: в нём нет ни одного блока.\r\nНичего не отправлено.", "0 знаков"},
        DecodeCase{"too long", std::string(kFirmwareTextMax + 2, '0'), "Файл прошивки слишком велик для прибора.",
                   "80002"},
        DecodeCase{"block past the end", "0003AABB",
                   "Файл прошивки повреждён: блок длиннее, чем осталось в файле.\r\nНичего не отправлено.",
                   "блок 1 с байта 0 объявляет 3 байт данных, а после его длины в файле 2"},
        DecodeCase{"second block past the end", "0001AA0105BB",
                   "Файл прошивки повреждён: блок длиннее, чем осталось в файле.\r\nНичего не отправлено.",
                   "блок 2 с байта 3 объявляет 261"},
        DecodeCase{"half a length", "0001AA00", "Файл прошивки повреждён: у последнего блока нет длины.\r\nНичего не отправлено.",
                   "блок 2 с байта 3"}));

TEST(FirmwareDecode, GoodFilesInEitherCase) {
  const FirmwareFile one = DecodeFirmware("0003aaBbCC");
  ASSERT_TRUE(one.image);
  EXPECT_EQ(one.image->bytes, (std::vector<uint8_t>{0x00, 0x03, 0xAA, 0xBB, 0xCC}));
  EXPECT_EQ(one.image->blocks, (std::vector<std::size_t>{0}));
  const FirmwareFile three = DecodeFirmware("0000" "0001FF" "0002ABCD");
  ASSERT_TRUE(three.image);
  EXPECT_EQ(three.image->blocks, (std::vector<std::size_t>{0, 2, 5}));
  EXPECT_TRUE(DecodeFirmware(std::string(kFirmwareTextMax - 2, '0')).image) << "40000 bytes of empty blocks fit";
}

TEST(FirmwareFileOnDisk, AnOversizedFileIsRefusedUnreadAndAMissingOneIsNoFirmware) {
  test::TempDir dir("tivolan-firmware");
  const std::string big = dir.Write("big.enc", std::string(kFirmwareTextMax + 1, '0'));
  const FirmwareFile f = LoadFirmwareFile(big);
  ASSERT_FALSE(f.image);
  EXPECT_EQ(f.error.box.text, "Файл прошивки слишком велик для прибора.");
  const FirmwareFile missing = LoadFirmwareFile(dir.Path("none.enc"));
  ASSERT_FALSE(missing.image);
  EXPECT_EQ(missing.error.box.text, "Файл не найден");
  EXPECT_EQ(missing.error.box.caption, "Ошибка");
  EXPECT_EQ(missing.error.box.icon, BoxIcon::None);
  EXPECT_TRUE(LoadFirmwareFile(dir.Write("ok.enc", "0003AABBCC")).image);
}

TEST(FirmwareResultBoxes, TheTextsCaptionsAndIcons) {
  EXPECT_EQ(FirmwareResultBox(FirmwareResult::Updated)->text, "Прошивка прибора обновлена");
  EXPECT_EQ(FirmwareResultBox(FirmwareResult::Updated)->icon, BoxIcon::None);
  EXPECT_EQ(FirmwareResultBox(FirmwareResult::NoAnswer)->text, "Нет связи с устройством");
  EXPECT_EQ(FirmwareResultBox(FirmwareResult::Rejected)->text, "Ошибка контрольной суммы");
  EXPECT_EQ(FirmwareResultBox(FirmwareResult::Rejected)->icon, BoxIcon::Error);
  EXPECT_EQ(FirmwareResultBox(FirmwareResult::NoAnswer)->caption, "Прошивка прибора");
  EXPECT_FALSE(FirmwareResultBox(FirmwareResult::Cancelled));
  EXPECT_EQ(ChooseFirmwareFileBox().text, "Выберите файл");
  EXPECT_EQ(ChooseFirmwareFileBox().icon, BoxIcon::Information);
}

// The update port against the simulated boot loader, as the programs run it.
class Transfer : public ::testing::Test {
 protected:
  void Boot(Fault fault = Fault::None, int atBlock = 1) {
    sim::SimOptions o;
    o.bootloader = true;
    o.device.fault = fault;
    o.device.atBlock = atBlock;
    sim_ = std::make_unique<sim::SimPort>(o);
    sim_->Start();
    port.SetPortName(sim_->SlavePath());
  }
  std::optional<FirmwareResult> Send(const std::string& text) {
    FirmwareFile file = DecodeFirmware(text);
    if (!file.image) ADD_FAILURE() << file.error.detail;
    const auto start = std::chrono::steady_clock::now();
    const auto result = RunFirmwareTransfer(loop, port, std::move(*file.image), [&](const FirmwareProgress& p) {
      percents.push_back(p.percent);
    });
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return result;
  }
  sim::SimPort& Sim() { return *sim_; }

  EventLoop loop;
  LoopPollTimer poll{loop};
  TCommPortDriver port = MakeUpdatePort(CreateSystemSerialDevice(), &poll);
  std::vector<int> percents;
  double ms = 0;

 private:
  std::unique_ptr<sim::SimPort> sim_;
};

TEST_F(Transfer, OneBlockIsOneWriteAndTheUpdateEndsWithThePortClosed) {
  Boot();
  EXPECT_EQ(Send("0003AABBCC"), FirmwareResult::Updated);
  EXPECT_EQ(Sim().ReceivedBlocks(), (std::vector<Bytes>{{0x00, 0x03, 0xAA, 0xBB, 0xCC}}));
  EXPECT_TRUE(Sim().Mismatches().empty()) << "115200 baud, 8N1";
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(Transfer, TheBarShowsTheShareAcceptedBeforeEachBlock) {
  Boot();
  const std::string block = "0004" "01020304";
  EXPECT_EQ(Send(block + block), FirmwareResult::Updated);
  EXPECT_EQ(percents, (std::vector<int>{0, 0, 50})) << "at the start, after the first verdict, after the second";
  EXPECT_EQ(Sim().ReceivedBlockCount(), 2u);
}

TEST_F(Transfer, ExtraBytesAfterTheVerdictDoNotCount) {
  Boot(Fault::ExtraVerdictBytes);
  EXPECT_EQ(Send("0001AA" "0001BB" "0001CC"), FirmwareResult::Updated);
  EXPECT_EQ(Sim().ReceivedBlockCount(), 3u);
}

struct VerdictCase {
  Fault fault;
  int atBlock;
  FirmwareResult result;
  std::size_t blocksSent;
  friend void PrintTo(const VerdictCase& c, std::ostream* os) {
    *os << sim::FaultName(c.fault) << " at block " << c.atBlock;
  }
};
class TransferVerdict : public Transfer, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(TransferVerdict, StopsAtTheFailingBlockWithThePortClosed) {
  const VerdictCase& c = GetParam();
  Boot(c.fault, c.atBlock);
  EXPECT_EQ(Send("0001AA" "0001BB" "0001CC"), c.result);
  EXPECT_EQ(Sim().ReceivedBlockCount(), c.blocksSent) << "no block after the failing one";
  EXPECT_FALSE(port.IsOpen());
  if (c.fault == Fault::HangUp) {
    EXPECT_LT(ms, limits::kVerdictWait.count()) << "a dropped line is not waited for";
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, TransferVerdict,
                         ::testing::Values(VerdictCase{Fault::ZeroVerdict, 1, FirmwareResult::Rejected, 1},
                                           VerdictCase{Fault::Reject, 2, FirmwareResult::Rejected, 2},
                                           VerdictCase{Fault::HangUp, 2, FirmwareResult::NoAnswer, 2},
                                           VerdictCase{Fault::NoAnswer, 3, FirmwareResult::NoAnswer, 3}));

TEST_F(Transfer, APortThatCannotBeOpenedSendsNothing) {
  port.SetPortName("/dev/no-such-port");
  FirmwareFile file = DecodeFirmware("0003AABBCC");
  EXPECT_FALSE(RunFirmwareTransfer(loop, port, std::move(*file.image)));
}

TEST_F(Transfer, AnInterruptCancelsAtOnce) {
  Boot(Fault::NoAnswer, 1);
  std::atomic<bool> interrupted{true};
  FirmwareFile file = DecodeFirmware("0003AABBCC");
  EXPECT_EQ(RunFirmwareTransfer(loop, port, std::move(*file.image), {}, &interrupted), FirmwareResult::Cancelled);
  EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace tivolan
