#include "model/GsmSettings.h"

#include <algorithm>

namespace tivolan {
namespace {

// Data offsets of block 2's own fields; the records follow them.
constexpr std::size_t kDestNumberHigh = 0;
constexpr std::size_t kDestNumberLow = 1;
constexpr std::size_t kDestGprs = 2;
constexpr std::size_t kDestSms = 3;
constexpr std::size_t kDestRecords = 4;

constexpr std::size_t kSmsRecordSize = 2 + kSmsPhoneBytes;
constexpr uint8_t kSmsEndMark = 0;

}  // namespace

uint8_t DestRecord::Config() const {
  return static_cast<uint8_t>((attempts & 7u) << 5 | (sim & 3u) << 3 | (protocol & 7u));
}

DestRecord DestRecord::OfConfig(uint8_t config, std::string text) {
  return {static_cast<uint8_t>(config >> 5), static_cast<uint8_t>((config >> 3) & 3), static_cast<uint8_t>(config & 7),
          std::move(text)};
}

BlockData DestSettings::Pack() const {
  BlockData data{static_cast<uint8_t>(deviceNumber >> 8), static_cast<uint8_t>(deviceNumber & 0xFF), gprs, sms};
  for (const auto& r : records) {
    if (!r) {
      data.push_back(0);
      continue;
    }
    data.push_back(static_cast<uint8_t>(r->text.size() + 1));
    data.push_back(r->Config());
    data.insert(data.end(), r->text.begin(), r->text.end());
  }
  return data;
}

DestSettings DestSettings::Unpack(std::span<const uint8_t> data) {
  const auto byte = [&data](std::size_t i) -> uint8_t { return i < data.size() ? data[i] : 0; };
  DestSettings s;
  s.deviceNumber = static_cast<uint16_t>(byte(kDestNumberHigh) * 256 + byte(kDestNumberLow));
  s.gprs = byte(kDestGprs);
  s.sms = byte(kDestSms);
  std::size_t at = kDestRecords;
  for (auto& r : s.records) {
    const std::size_t length = at < data.size() ? data[at] : 0;
    if (length == 0 || at + 1 + length > data.size()) {
      ++at;
      continue;
    }
    const auto text = data.subspan(at + 2, length - 1);
    r = DestRecord::OfConfig(data[at + 1], std::string(text.begin(), text.end()));
    at += 1 + length;
  }
  return s;
}

namespace {

void PackText(BlockData& data, const std::string& text) {
  const std::size_t n = std::min(text.size(), kGprsTextMax);
  data.insert(data.end(), text.begin(), text.begin() + static_cast<long>(n));
  data.push_back(0);
}

std::string UnpackText(std::span<const uint8_t> data, std::size_t& at) {
  std::string text;
  while (at < data.size() && data[at] != 0 && text.size() < kGprsTextMax) text += static_cast<char>(data[at++]);
  at = std::min(at + 1, data.size());
  return text;
}

}  // namespace

bool GprsSettings::NoAccessPoint() const {
  return std::all_of(sims.begin(), sims.end(), [](const GprsSim& s) { return s.apn.empty(); });
}

bool GprsSettings::Fits() const {
  for (const GprsSim& sim : sims)
    for (const std::string* text : {&sim.apn, &sim.user, &sim.password})
      if (text->size() > kGprsTextMax || text->find('\0') != std::string::npos) return false;
  return true;
}

BlockData GprsSettings::Pack() const {
  BlockData data;
  for (const GprsSim& sim : sims) {
    if (sim.apn.empty()) {
      data.push_back(0);
      continue;
    }
    const std::size_t lengthAt = data.size();
    data.push_back(0);
    for (const std::string* text : {&sim.apn, &sim.user, &sim.password}) PackText(data, *text);
    data[lengthAt] = static_cast<uint8_t>(data.size() - lengthAt - 1);
  }
  return data;
}

GprsSettings GprsSettings::Unpack(std::span<const uint8_t> data) {
  GprsSettings s;
  std::size_t at = 0;
  for (GprsSim& sim : s.sims) {
    const bool there = at < data.size() && data[at] != 0;
    at = std::min(at + 1, data.size());
    if (!there) continue;
    sim.apn = UnpackText(data, at);
    sim.user = UnpackText(data, at);
    sim.password = UnpackText(data, at);
  }
  return s;
}

BlockData SmsList::Pack() const {
  BlockData data;
  const std::size_t n = std::min(records.size(), static_cast<std::size_t>(kSmsRecords));
  for (std::size_t k = 0; k < n; ++k) {
    const SmsRecord& r = records[k];
    data.push_back(r.kind);
    data.push_back(r.partition);
    data.insert(data.end(), r.phone.begin(), r.phone.end());
  }
  data.push_back(kSmsEndMark);
  return data;
}

SmsList SmsList::Unpack(std::span<const uint8_t> data) {
  SmsList list;
  for (std::size_t at = 0; list.records.size() < kSmsRecords && at + kSmsRecordSize <= data.size();
       at += kSmsRecordSize) {
    if (data[at] == kSmsEndMark) break;
    SmsRecord r{data[at], data[at + 1], {}};
    std::copy_n(data.begin() + static_cast<long>(at) + 2, kSmsPhoneBytes, r.phone.begin());
    list.records.push_back(r);
  }
  return list;
}

}  // namespace tivolan
