#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "link/EventLoop.h"
#include "link/LinkStatus.h"
#include "link/ReportChannel.h"

namespace tivolan {
namespace {

// The code of a number from the status table, as the tests write them.
LinkStatus Code(int number) { return static_cast<LinkStatus>(number); }

TEST(LinkStatus, TextsOfTheTwelveCodes) {
  EXPECT_STREQ(StatusText(Code(0)), "Конфигурация прочитана, версия прибора - ");
  EXPECT_STREQ(StatusText(Code(6)), "Ошибка порта");
  EXPECT_STREQ(StatusText(Code(7)), "Нет связи, проверьте соединения или тип прибора");
  EXPECT_STREQ(StatusText(Code(8)), "Обнаружены ошибки записи, попробуйте ещё раз");
  EXPECT_STREQ(StatusText(Code(11)), "Версия 2 поддерживается программатором только версии 2");
}

TEST(LinkStatus, FinalCodesFlashGreenOnSuccessAndRedOnFailure) {
  for (int code = 0; code <= 11; ++code) {
    const StatusRow& row = RowOf(Code(code));
    const bool final = code <= 1 || code >= 6;
    EXPECT_EQ(row.code, Code(code));
    EXPECT_EQ(IsFinalStatus(Code(code)), final) << code;
    EXPECT_EQ(row.final, final) << code;
    EXPECT_EQ(row.flash, !final ? Flash::None : (code <= 1 ? Flash::Green : Flash::Red)) << code;
    EXPECT_EQ(row.box.has_value(), code == 6) << code;
  }
  EXPECT_EQ(FlashColour(Flash::Green), 0x008000u);
  EXPECT_EQ(FlashColour(Flash::Red), 0xFF0000u);
}

// Every text as the status bar must show it, written out here rather than
// taken from the table under test.
TEST(LinkStatus, TheTableHoldsEachCodesNameTextAndBox) {
  const std::pair<const char*, const char*> expected[] = {
      {"StatusReadDone", "Конфигурация прочитана, версия прибора - "},
      {"StatusWriteDone", "Конфигурация записана"},
      {"StatusPortOpened", "Порт открыт"},
      {"StatusAnswerReceived", "Ответ прибора получен"},
      {"StatusGsmReading", "Читаем настройки GSM"},
      {"StatusGsmWriting", "Пишем настройки GSM"},
      {"StatusPortError", "Ошибка порта"},
      {"StatusNoLink", "Нет связи, проверьте соединения или тип прибора"},
      {"StatusWriteMismatch", "Обнаружены ошибки записи, попробуйте ещё раз"},
      {"StatusUnknownDevice", "Ошибка. Неизвестное устройство"},
      {"StatusGsmError", "Ошибка при чтении или записи параметров GSM"},
      {"StatusVersionTooOld", "Версия 2 поддерживается программатором только версии 2"},
  };
  ASSERT_EQ(std::size(expected), kLinkStatusCount);
  for (std::size_t code = 0; code < kLinkStatusCount; ++code) {
    EXPECT_STREQ(RowOf(Code(static_cast<int>(code))).name, expected[code].first);
    EXPECT_STREQ(StatusText(Code(static_cast<int>(code))), expected[code].second);
  }
  const StatusBox box = *RowOf(LinkStatus::StatusPortError).box;
  EXPECT_STREQ(box.caption, "Ошибка открытия порта");
  EXPECT_STREQ(box.text, "Невозможно открыть последовательный порт.\r\nВыберите другой порт и попробуйте снова");
  EXPECT_EQ(StatusMessage(LinkStatus::StatusReadDone, 7), "Конфигурация прочитана, версия прибора - 7");
  EXPECT_EQ(StatusMessage(LinkStatus::StatusNoLink, 7), "Нет связи, проверьте соединения или тип прибора");
}

TEST(ReportChannel, TheWorkerWaitsUntilTheReportWasHandled) {
  EventLoop loop;
  std::vector<LinkStatus> handled;
  ReportChannel channel([&](ReportChannel::Task t) { loop.Post(std::move(t)); },
                        [&](LinkStatus code, int) { handled.push_back(code); });
  std::atomic<int> seenAfterReturn{-1};
  std::thread worker([&] {
    channel.LinkStatusMessage(LinkStatus::StatusPortOpened, 0);
    seenAfterReturn = static_cast<int>(handled.size());
  });
  loop.RunUntil([&] { return seenAfterReturn >= 0; });
  worker.join();
  EXPECT_EQ(seenAfterReturn.load(), 1) << "the handler ran before the call returned";
}

TEST(ReportChannel, ClosingReleasesAWaitingWorkerAndDropsLaterReports) {
  std::vector<ReportChannel::Task> neverRun;
  std::mutex m;
  int handled = 0;
  ReportChannel channel(
      [&](ReportChannel::Task t) {
        std::lock_guard lock(m);
        neverRun.push_back(std::move(t));
      },
      [&](LinkStatus, int) { ++handled; });
  std::thread worker([&] {
    channel.LinkStatusMessage(LinkStatus::StatusAnswerReceived, 0);  // the window is busy closing and never gets to it
    channel.LinkStatusMessage(LinkStatus::StatusNoLink, 0);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  channel.Close();
  worker.join();
  for (auto& t : neverRun) t();  // late delivery after closing runs no handler
  EXPECT_EQ(handled, 0);
}

}  // namespace
}  // namespace tivolan
