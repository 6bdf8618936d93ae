#pragma once
// Typed views of ConfigBuffer, one per device type. The layout is chosen by
// the device type alone; nothing in the bytes tells which one they follow.
#include <cstdint>
#include <optional>

#include "model/Bits.h"
#include "model/ConfigBuffer.h"

namespace tivolan {

// Zone n (1..8) occupies bytes 4n .. 4n+3 in both panel layouts.
class ZoneRecord {
 public:
  explicit ZoneRecord(uint8_t* record) : r_(record) {}
  int Partition() const { return Low3(r_[0]); }
  void SetPartition(int p) { SetLow3(r_[0], p); }
  int Tactics() const { return Mid3(r_[0]); }
  void SetTactics(int t) { SetMid3(r_[0], t); }
  bool Rearm() const { return TestBit(r_[0], 6); }
  void SetRearm(bool on) { WriteBit(r_[0], 6, on); }
  bool FireReCheck() const { return TestBit(r_[0], 7); }
  void SetFireReCheck(bool on) { WriteBit(r_[0], 7, on); }
  uint8_t& Head() { return r_[0]; }
  uint8_t& Cid() { return r_[1]; }
  uint8_t& TimeOut() { return r_[2]; }
  uint8_t& TimeIn() { return r_[3]; }

 private:
  uint8_t* r_;
};

// Where the two panel layouts differ.
struct PanelLayout {
  int payloadSize;
  int guardSndByte;
  int guardSndBit;  // -1: the whole byte holds 1 or 0
  int sndWrkTimeByte;
  int lampModeByte;
};
inline constexpr PanelLayout kLayoutPPKP{41, 42, 6, 43, 44};
inline constexpr PanelLayout kLayoutPPKN{43, 43, -1, 44, 45};

// Bytes 4..41, shared by types 1 and 2, plus the per-layout fields.
class PanelImage {
 public:
  PanelImage(ImageBuffer& buffer, const PanelLayout& layout) : b_(buffer), layout_(layout) {}

  static constexpr int kZones = 8;
  ZoneRecord Zone(int n) { return ZoneRecord(&b_[static_cast<std::size_t>(4 * n)]); }

  uint8_t& UnguardedPartMask() { return b_[36]; }
  uint8_t& PartDep() { return b_[37]; }
  uint8_t& TxKind() { return b_[38]; }
  uint8_t& OPsCheck() { return b_[39]; }
  uint8_t& AlarmFire() { return b_[40]; }  // high: alarm relay, low: fire relay
  uint8_t& CtrlFail() { return b_[41]; }   // high: control relay
  uint8_t& SysCfg() { return b_[42]; }     // bit 7 buzzer, bits 2..0 system partition

  bool GuardSound() const;
  void SetGuardSound(bool on);
  uint8_t& SndWrkTime() { return b_[static_cast<std::size_t>(layout_.sndWrkTimeByte)]; }
  uint8_t& LampMode() { return b_[static_cast<std::size_t>(layout_.lampModeByte)]; }
  const PanelLayout& Layout() const { return layout_; }

 protected:
  ImageBuffer& b_;

 private:
  const PanelLayout& layout_;
};

class ImagePPKP : public PanelImage {
 public:
  explicit ImagePPKP(ImageBuffer& buffer) : PanelImage(buffer, kLayoutPPKP) {}
};

class ImagePPKN : public PanelImage {
 public:
  explicit ImagePPKN(ImageBuffer& buffer) : PanelImage(buffer, kLayoutPPKN) {}
  uint8_t& SlaveBus() { return b_[46]; }
};

class ImageCNC1 {
 public:
  explicit ImageCNC1(ImageBuffer& buffer) : b_(buffer) {}
  uint8_t& OPsCheck() { return b_[4]; }   // bit 1: fire relay circuit control
  uint8_t& AlarmFire() { return b_[5]; }  // high: alarm relay, low: fire relay
  uint8_t& Reserved() { return b_[6]; }   // no control touches it
  uint8_t& Buzzer() { return b_[7]; }
  uint8_t& Expanders() { return b_[8]; }  // bits 0..6 expanders, bit 7 "БВИ"
  uint8_t& UseTD() { return b_[9]; }
  uint8_t& GsmConnected() { return b_[10]; }
  uint8_t& BVIAlarm() { return b_[11]; }
  uint8_t& BVIButtons() { return b_[12]; }
  uint8_t& GsmControl() { return b_[13]; }
  uint8_t& GsmTx() { return b_[14]; }

 private:
  ImageBuffer& b_;
};

// The layout of a panel type (1 or 2); nullptr for any other type.
const PanelLayout* PanelLayoutOf(int type);

// The panel view of the buffer for a panel type; none for the concentrator
// and unknown types, whose panel handlers do nothing.
inline std::optional<PanelImage> PanelImageOf(ImageBuffer& buffer, int type) {
  const PanelLayout* layout = PanelLayoutOf(type);
  if (!layout) return std::nullopt;
  return PanelImage(buffer, *layout);
}

}  // namespace tivolan
