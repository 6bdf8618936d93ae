#include <gtest/gtest.h>

#include "shell/frame/StatusFlash.h"

namespace tivolan {
namespace {

constexpr uint32_t kGrey = 0xF0F0F0;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x008000;

TEST(StatusFlash, FlashRestFlashThenRest) {
  StatusFlash flash;
  EXPECT_EQ(flash.Start(kGrey, kRed), kRed);
  EXPECT_EQ(flash.Tick(), kGrey);
  EXPECT_EQ(flash.Tick(), kRed);
  EXPECT_TRUE(flash.Running());
  EXPECT_EQ(flash.Tick(), kGrey);
  EXPECT_FALSE(flash.Running());
  EXPECT_EQ(flash.Tick(), kGrey);
}

TEST(StatusFlash, ANewFlashDuringAFlashEndsInTheRealRestColour) {
  StatusFlash flash;
  flash.Start(kGrey, kRed);
  flash.Tick();
  flash.Tick();  // the bar is red now
  EXPECT_EQ(flash.Start(kRed, kGreen), kGreen);
  flash.Tick();
  flash.Tick();
  EXPECT_EQ(flash.Tick(), kGrey);
}

}  // namespace
}  // namespace tivolan
