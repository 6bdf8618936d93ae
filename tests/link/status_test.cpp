#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "link/EventLoop.h"
#include "link/LinkStatus.h"
#include "link/ReportChannel.h"

namespace tivolan {
namespace {

TEST(LinkStatus, TextsOfTheTwelveCodes) {
  EXPECT_STREQ(StatusText(0), "Конфигурация прочитана, версия прибора - ");
  EXPECT_STREQ(StatusText(6), "Ошибка порта");
  EXPECT_STREQ(StatusText(7), "Нет связи, проверьте соединения или тип прибора");
  EXPECT_STREQ(StatusText(8), "Обнаружены ошибки записи, попробуйте ещё раз");
  EXPECT_STREQ(StatusText(11), "Версия 2 поддерживается программатором только версии 2");
  EXPECT_EQ(StatusText(12), nullptr);
  EXPECT_EQ(StatusText(-1), nullptr);
}

TEST(LinkStatus, FinalCodesEnableTheControlsAndFlash) {
  for (int code = 0; code <= 11; ++code) {
    const StatusAction a = ActionFor(code);
    const bool final = code <= 1 || code >= 6;
    EXPECT_EQ(IsFinalStatus(code), final) << code;
    EXPECT_EQ(a.enableControls, final) << code;
    EXPECT_EQ(a.flash, !final ? Flash::None : (code <= 1 ? Flash::Green : Flash::Red)) << code;
    EXPECT_EQ(a.portErrorBox, code == 6);
    EXPECT_EQ(a.showRead, code == 0);
  }
}

TEST(ReportChannel, TheWorkerWaitsUntilTheReportWasHandled) {
  EventLoop loop;
  std::vector<int> handled;
  ReportChannel channel([&](ReportChannel::Task t) { loop.Post(std::move(t)); },
                        [&](int code, int) { handled.push_back(code); });
  std::atomic<int> seenAfterReturn{-1};
  std::thread worker([&] {
    channel.LinkStatusMessage(2, 0);
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
      [&](int, int) { ++handled; });
  std::thread worker([&] {
    channel.LinkStatusMessage(3, 0);  // the window is busy closing and never gets to it
    channel.LinkStatusMessage(7, 0);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  channel.Close();
  worker.join();
  for (auto& t : neverRun) t();  // late delivery after closing runs no handler
  EXPECT_EQ(handled, 0);
}

}  // namespace
}  // namespace tivolan
