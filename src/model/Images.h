#pragma once
// Typed views of ConfigBuffer, one per device type. The layout is chosen by
// the device type alone; nothing in the bytes tells which one they follow.
// These views are the one place that knows where a field lies: everything
// else (pages, files, listing, defaults) goes through their named fields.
// Each view comes for a buffer to edit and for a buffer only to read.
#include <cstdint>
#include <optional>
#include <type_traits>

#include "model/Bits.h"
#include "model/ConfigBuffer.h"

namespace tivolan {

template <class T>
using ByteOf = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;

// A list position kept in one half of a byte; the other half stays.
enum class Half { High, Low };
template <class Byte, Half H>
class HalfField {
 public:
  explicit HalfField(Byte& byte) : b_(byte) {}
  int Get() const { return H == Half::High ? HighHalf(b_) : LowHalf(b_); }
  void Set(int index) const
    requires(!std::is_const_v<Byte>)
  {
    H == Half::High ? SetHighHalf(b_, index) : SetLowHalf(b_, index);
  }

 private:
  Byte& b_;
};

// Zone n (1..8) occupies bytes 4n .. 4n+3 in both panel layouts: partition,
// type, re-arm and re-request in the first byte, then the event byte, the
// exit delay and the entry delay.
template <class Byte>
class BasicZoneRecord {
 public:
  explicit BasicZoneRecord(Byte* record) : r_(record) {}
  int Partition() const { return Low3(r_[0]); }
  int Tactics() const { return Mid3(r_[0]); }
  bool Rearm() const { return TestBit(r_[0], 6); }
  bool FireReCheck() const { return TestBit(r_[0], 7); }
  Byte& Head() const { return r_[0]; }
  Byte& Cid() const { return r_[1]; }
  Byte& TimeOut() const { return r_[2]; }
  Byte& TimeIn() const { return r_[3]; }

  void SetPartition(int p) const
    requires(!std::is_const_v<Byte>)
  {
    SetLow3(r_[0], p);
  }
  void SetTactics(int t) const
    requires(!std::is_const_v<Byte>)
  {
    SetMid3(r_[0], t);
  }
  void SetRearm(bool on) const
    requires(!std::is_const_v<Byte>)
  {
    WriteBit(r_[0], 6, on);
  }
  void SetFireReCheck(bool on) const
    requires(!std::is_const_v<Byte>)
  {
    WriteBit(r_[0], 7, on);
  }

 private:
  Byte* r_;
};
using ZoneRecord = BasicZoneRecord<uint8_t>;
using ConstZoneRecord = BasicZoneRecord<const uint8_t>;

// The network numbers a type 2 panel offers.
inline constexpr int kBusIdMin = 1;
inline constexpr int kBusIdMax = 7;

// Where the two panel layouts differ.
struct PanelLayout {
  int payloadSize;
  int guardSndByte;
  int guardSndBit;  // -1: the whole byte holds 1 or 0
  int sndWrkTimeByte;
  int lampModeByte;
  int slaveBusByte;  // -1: no network number
};
inline constexpr PanelLayout kLayoutPPKP{41, 42, 6, 43, 44, -1};
inline constexpr PanelLayout kLayoutPPKN{43, 43, -1, 44, 45, 46};

// Bytes 4..41, shared by types 1 and 2, plus the per-layout fields.
template <class Buffer>
class BasicPanelImage {
 public:
  using Byte = ByteOf<Buffer>;
  static constexpr int kZones = 8;

  BasicPanelImage(Buffer& buffer, const PanelLayout& layout) : b_(buffer), layout_(layout) {}

  BasicZoneRecord<Byte> Zone(int n) const { return BasicZoneRecord<Byte>(&b_[static_cast<std::size_t>(4 * n)]); }

  Byte& UnguardedPartMask() const { return b_[36]; }
  Byte& PartDep() const { return b_[37]; }
  Byte& TxKind() const { return b_[38]; }
  Byte& OPsCheck() const { return b_[39]; }  // circuit control, one bit per output
  Byte& AlarmFire() const { return b_[40]; }
  Byte& CtrlFail() const { return b_[41]; }
  Byte& SysCfg() const { return b_[42]; }  // bit 7 buzzer, bits 2..0 system partition
  Byte& SndWrkTime() const { return At(layout_.sndWrkTimeByte); }
  Byte& LampMode() const { return At(layout_.lampModeByte); }
  bool HasSlaveBus() const { return layout_.slaveBusByte >= 0; }
  Byte& SlaveBus() const { return At(layout_.slaveBusByte); }  // only where HasSlaveBus: kBusIdMin..kBusIdMax

  HalfField<Byte, Half::High> AlarmRelay() const { return HalfField<Byte, Half::High>(AlarmFire()); }
  HalfField<Byte, Half::Low> FireRelay() const { return HalfField<Byte, Half::Low>(AlarmFire()); }
  HalfField<Byte, Half::High> ControlRelay() const { return HalfField<Byte, Half::High>(CtrlFail()); }
  HalfField<Byte, Half::Low> Lamp() const { return HalfField<Byte, Half::Low>(LampMode()); }
  HalfField<Byte, Half::High> ReaderLed() const { return HalfField<Byte, Half::High>(LampMode()); }

  bool CircuitControl(int bit) const { return TestBit(OPsCheck(), bit); }
  bool InternalBuzzer() const { return TestBit(SysCfg(), 7); }
  int SystemPartition() const { return Low3(SysCfg()); }
  bool GuardSound() const {
    const uint8_t byte = At(layout_.guardSndByte);
    return layout_.guardSndBit < 0 ? byte != 0 : TestBit(byte, layout_.guardSndBit);
  }
  // The guard sound as the file holds it: the bit as 0 or 1 for type 1, the
  // whole byte for type 2.
  uint8_t GuardSndOn() const {
    const uint8_t byte = At(layout_.guardSndByte);
    return layout_.guardSndBit < 0 ? byte : (TestBit(byte, layout_.guardSndBit) ? 1 : 0);
  }

  void SetCircuitControl(int bit, bool on) const
    requires(!std::is_const_v<Buffer>)
  {
    WriteBit(OPsCheck(), bit, on);
  }
  void SetInternalBuzzer(bool on) const
    requires(!std::is_const_v<Buffer>)
  {
    WriteBit(SysCfg(), 7, on);
  }
  void SetSystemPartition(int p) const
    requires(!std::is_const_v<Buffer>)
  {
    SetLow3(SysCfg(), p);
  }
  void SetGuardSound(bool on) const
    requires(!std::is_const_v<Buffer>)
  {
    SetGuardSndOn(on ? 1 : 0);
  }
  void SetGuardSndOn(uint8_t value) const
    requires(!std::is_const_v<Buffer>)
  {
    uint8_t& byte = At(layout_.guardSndByte);
    if (layout_.guardSndBit < 0)
      byte = value;
    else
      WriteBit(byte, layout_.guardSndBit, value != 0);
  }

 private:
  Byte& At(int index) const { return b_[static_cast<std::size_t>(index)]; }

  Buffer& b_;
  const PanelLayout& layout_;
};
using PanelImage = BasicPanelImage<ImageBuffer>;
using ConstPanelImage = BasicPanelImage<const ImageBuffer>;

class ImagePPKP : public PanelImage {
 public:
  explicit ImagePPKP(ImageBuffer& buffer) : PanelImage(buffer, kLayoutPPKP) {}
};

class ImagePPKN : public PanelImage {
 public:
  explicit ImagePPKN(ImageBuffer& buffer) : PanelImage(buffer, kLayoutPPKN) {}
};

template <class Buffer>
class BasicImageCNC1 {
 public:
  using Byte = ByteOf<Buffer>;
  explicit BasicImageCNC1(Buffer& buffer) : b_(buffer) {}
  Byte& OPsCheck() const { return b_[4]; }  // bit 1: fire relay circuit control
  Byte& AlarmFire() const { return b_[5]; }
  Byte& Reserved() const { return b_[6]; }  // no control touches it, no file holds it
  Byte& Buzzer() const { return b_[7]; }
  Byte& Expanders() const { return b_[8]; }  // bits 0..6 expanders, bit 7 "БВИ"
  Byte& UseTD() const { return b_[9]; }
  Byte& GsmConnected() const { return b_[10]; }
  Byte& BVIAlarm() const { return b_[11]; }
  Byte& BVIButtons() const { return b_[12]; }
  Byte& GsmControl() const { return b_[13]; }
  Byte& GsmTx() const { return b_[14]; }

  HalfField<Byte, Half::High> AlarmRelay() const { return HalfField<Byte, Half::High>(AlarmFire()); }
  HalfField<Byte, Half::Low> FireRelay() const { return HalfField<Byte, Half::Low>(AlarmFire()); }

 private:
  Buffer& b_;
};
using ImageCNC1 = BasicImageCNC1<ImageBuffer>;
using ConstImageCNC1 = BasicImageCNC1<const ImageBuffer>;

// The layout of a panel type (1 or 2); nullptr for any other type.
const PanelLayout* PanelLayoutOf(int type);

// The panel view of the buffer for a panel type; none for the concentrator
// and unknown types, whose panel handlers do nothing.
inline std::optional<PanelImage> PanelImageOf(ImageBuffer& buffer, int type) {
  const PanelLayout* layout = PanelLayoutOf(type);
  if (!layout) return std::nullopt;
  return PanelImage(buffer, *layout);
}
inline std::optional<ConstPanelImage> PanelImageOf(const ImageBuffer& buffer, int type) {
  const PanelLayout* layout = PanelLayoutOf(type);
  if (!layout) return std::nullopt;
  return ConstPanelImage(buffer, *layout);
}

}  // namespace tivolan
