#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "link/EventLoop.h"

namespace tivolan {
namespace {

TEST(EventLoop, RunsPostedTasksInOrderOnTheRunningThread) {
  EventLoop loop;
  std::vector<int> order;
  const auto self = std::this_thread::get_id();
  std::thread poster([&] {
    for (int i = 0; i < 3; ++i)
      loop.Post([&, i] {
        EXPECT_EQ(std::this_thread::get_id(), self);
        order.push_back(i);
      });
  });
  poster.join();
  loop.RunUntil([&] { return order.size() == 3; });
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(EventLoop, TimersTickAtTheirPeriodAndStop) {
  EventLoop loop;
  int ticks = 0;
  const auto start = std::chrono::steady_clock::now();
  const int id = loop.StartTimer(20, [&] { ++ticks; });
  loop.RunUntil([&] { return ticks == 3; });
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(55));
  loop.StopTimer(id);
  bool later = false;
  loop.StartTimer(100, [&] { later = true; });
  loop.RunUntil([&] { return later; });
  EXPECT_EQ(ticks, 3);
}

TEST(EventLoop, QuitEndsTheRunFromAnotherThread) {
  EventLoop loop;
  std::thread quitter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    loop.Quit();
  });
  EXPECT_FALSE(loop.RunUntil([] { return false; }));
  quitter.join();
}

}  // namespace
}  // namespace tivolan
