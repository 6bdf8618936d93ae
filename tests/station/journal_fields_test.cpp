// The journal's fields that a reader checks against other tools: the file's
// SHA-256 (as sha256sum gives it) and the time with the local offset.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "station/Journal.h"
#include "station/Sha256.h"

namespace tivolan {
namespace {

struct HashRow {
  std::string bytes;
  const char* hex;
};

class Sha256 : public ::testing::TestWithParam<HashRow> {};

TEST_P(Sha256, AsTheStandardsVectorsHaveIt) { EXPECT_EQ(Sha256Hex(GetParam().bytes), GetParam().hex); }

// Empty, one block, and the lengths around the padding's 56-byte boundary.
INSTANTIATE_TEST_SUITE_P(
    Vectors, Sha256,
    ::testing::Values(
        HashRow{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        HashRow{"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        HashRow{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        HashRow{std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        HashRow{std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        HashRow{std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"}));

struct ZoneRow {
  const char* tz;
  std::time_t when;
  const char* text;
};

class IsoTime : public ::testing::TestWithParam<ZoneRow> {};

TEST_P(IsoTime, CarriesTheLocalOffset) {
  ::setenv("TZ", GetParam().tz, 1);
  ::tzset();
  const std::string text = station::IsoLocalTime(GetParam().when);
  ::unsetenv("TZ");
  ::tzset();
  EXPECT_EQ(text, GetParam().text);
}

// 1 January 2027 00:30 UTC: another day, and another year, in the west.
INSTANTIATE_TEST_SUITE_P(Zones, IsoTime,
                         ::testing::Values(ZoneRow{"UTC0", 1798763400, "2027-01-01T00:30:00+00:00"},
                                           ZoneRow{"MSK-3", 1798763400, "2027-01-01T03:30:00+03:00"},
                                           ZoneRow{"NST3:30", 1798763400, "2026-12-31T21:00:00-03:30"}));

}  // namespace
}  // namespace tivolan
