#pragma once
// The GSM settings of a configuration as values: block 2 (device number,
// the two options, five delivery destinations), block 3 (the GPRS access of
// the two SIMs) and block 4 (the SMS list). They are edited as they are;
// the link makes a block's frame from them only when it is sent, the file
// code writes them as they are, so a text passes between code pages once.
// Each has one pack, the data of its frame, and one unpack, from the data of
// a frame whatever it holds: a device may have left anything there.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tivolan {

using BlockData = std::vector<uint8_t>;

// ---- Block 2: transmission settings ----

inline constexpr int kDestinations = 5;
inline constexpr int kDestTextMax = 30;  // characters of a record's text
// The device number: four decimal digits, 0..kDeviceNumberMax, though its
// two bytes hold up to 65535.
inline constexpr int kDeviceNumberMax = 9999;

// A delivery destination: the three fields of its configuration byte as the
// device keeps them (the table offers attempts 0..5, SIM 0..2 and protocol
// 0..3; a device or a file may hold any value the bits can), and the phone
// or host text in the device's own bytes, code page 1251.
struct DestRecord {
  uint8_t attempts = 0;  // bits 7..5
  uint8_t sim = 0;       // bits 4..3
  uint8_t protocol = 0;  // bits 2..0
  std::string text;

  // The configuration byte ("trySIMProt" in the file), and back.
  uint8_t Config() const;
  static DestRecord OfConfig(uint8_t config, std::string text);
  friend bool operator==(const DestRecord&, const DestRecord&) = default;
};
// One record a destination, top row first; none: an empty record.
using DestRecords = std::array<std::optional<DestRecord>, kDestinations>;

// Block 2: the device number, the two options and five destination records.
// A new configuration has number 1, both options off, no records.
struct DestSettings {
  uint16_t deviceNumber = 1;
  uint8_t gprs = 0;  // not 0: block 3 belongs to the configuration
  uint8_t sms = 0;   // not 0: block 4 does
  DestRecords records;

  bool GprsInUse() const { return gprs != 0; }
  bool SmsInUse() const { return sms != 0; }
  // Number (high byte first), the two option bytes, then each record: one
  // byte 0 when empty, else L = text length + 1, the configuration byte and
  // the text.
  BlockData Pack() const;
  // A record that would run past the data (a damaged frame) reads as empty.
  static DestSettings Unpack(std::span<const uint8_t> data);
  friend bool operator==(const DestSettings&, const DestSettings&) = default;
};

// ---- Block 3: GPRS access of the two SIMs ----

// The device reads at most this many characters of a text; with it the
// frame never exceeds 199 bytes.
inline constexpr std::size_t kGprsTextMax = 31;

struct GprsSim {
  std::string apn;
  std::string user;
  std::string password;
  friend bool operator==(const GprsSim&, const GprsSim&) = default;
};

// The texts in code page 1251. Both access points empty: the block holds no
// configuration, and none is sent.
struct GprsSettings {
  std::array<GprsSim, 2> sims;

  bool NoAccessPoint() const;
  // Every text as the block carries it: at most kGprsTextMax bytes, none 0.
  bool Fits() const;
  // Each SIM: its length byte, then APN, user and password, each ended by
  // 0; a SIM without APN is the length byte 0 alone. A text is cut to
  // kGprsTextMax characters.
  BlockData Pack() const;
  // The texts are followed, not the length bytes: a length byte only says
  // whether its SIM is there, so a wrong one cannot send the reader off the
  // data. A text ends at a 0, after kGprsTextMax characters or with the
  // data; one byte after it (the 0) is passed over.
  static GprsSettings Unpack(std::span<const uint8_t> data);
  friend bool operator==(const GprsSettings&, const GprsSettings&) = default;
};

// ---- Block 4: the SMS list ----

inline constexpr std::size_t kSmsPhoneBytes = 8;
inline constexpr int kSmsRecords = 8;
using PhoneField = std::array<uint8_t, kSmsPhoneBytes>;

struct SmsRecord {
  uint8_t kind = 0;  // SmsKindList position; a kind 0 ends the list
  uint8_t partition = 0;
  PhoneField phone{};  // semi-octets, EncodePhoneDigits
  friend bool operator==(const SmsRecord&, const SmsRecord&) = default;
};

struct SmsList {
  std::vector<SmsRecord> records;  // at most kSmsRecords

  // The records of ten bytes (kind, partition, phone), then the end mark 0.
  BlockData Pack() const;
  // The records up to the first of kind 0, at most kSmsRecords.
  static SmsList Unpack(std::span<const uint8_t> data);
  friend bool operator==(const SmsList&, const SmsList&) = default;
};

// The three blocks of one configuration.
struct GsmSettings {
  DestSettings dest;
  GprsSettings gprs;
  SmsList sms;
  friend bool operator==(const GsmSettings&, const GsmSettings&) = default;
};

}  // namespace tivolan
