#pragma once
// The main window's rules as functions on data: device type switching,
// refresh and commit. The widgets only mirror FormState.
#include <array>
#include <optional>
#include <stdexcept>
#include <string>

#include "model/ConcentratorPage.h"
#include "model/PeripheryPage.h"
#include "model/Prompter.h"
#include "model/ZonePage.h"
#include "model/SharedData.h"
#include "platform/Settings.h"
#include "transmission/TxPage.h"

namespace tivolan {

enum TabIndex { kTabShlf = 0, kTabPeriph, kTabTx, kTabCnc, kTabUpdate, kTabCount };
inline constexpr std::array<const char*, kTabCount> kTabCaptions{"Шлейфы", "Периферия", "Передача",
                                                                 "Концентратор", "Прошивка"};

// Where the configuration the window holds came from. Every replacement of
// the configuration says so: a pick in the type list (the type's defaults),
// an open or a save (that file), a read (the device). The report names it,
// and "&Сохранить" writes over a file only while it is that file's.
struct ConfigurationOrigin {
  enum class Kind { Defaults, File, Device };
  Kind kind = Kind::Defaults;
  std::string file;       // Kind::File: as opened or saved
  int deviceVersion = 0;  // Kind::Device: the firmware version it reported
  friend bool operator==(const ConfigurationOrigin&, const ConfigurationOrigin&) = default;
};

struct FormState {
  std::array<bool, kTabCount> tabVisible{true, true, true, false, true};
  int activeTab = kTabShlf;
  bool zoneListsFilled = false;  // zone type and event boxes hold their lists
  ZonePageState zones;
  PeripheryPageState periphery;
  ConcentratorPageState concentrator;
  TxPageState tx;
  ConfigurationOrigin origin;
};

// Makes the window fit a device type. Stores the type first, whatever it is;
// an unknown type then shows the catalogue error box and changes nothing else.
bool SetDevice(SharedData& data, FormState& form, int type, Prompter& prompter);

// Rebuilds every page of the current type from the image; the derived byte 36
// aside, nothing is written. Throws DeviceTypeNotFound for an unknown type.
void RefreshControls(SharedData& data, FormState& form);

// What the commit step runs for: a write sends the configuration to a
// device; a save and a report keep it, so whatever a device held passes.
enum class CommitFor { Write, Save, Report };

// The commit step before every write and every save. A configuration that
// cannot be sent as it stands (destinations that do not fit their block; for
// a write, GPRS fields the block cannot carry) is refused with the box to
// show; then nothing may be written or saved.
[[nodiscard]] std::optional<MessageBox> UpdateAllTXBuffers(SharedData& data, FormState& form,
                                                           CommitFor command = CommitFor::Write);

// A refusal of the commit step as shown to the user: it also says that the
// command that asked for it did not run.
MessageBox CancelledBy(MessageBox refusal, CommitFor command);

// The refusal of the commit step, for the paths that report by exception.
class ConfigurationRefused : public std::runtime_error {
 public:
  explicit ConfigurationRefused(MessageBox box) : std::runtime_error(box.text), box_(std::move(box)) {}
  const MessageBox& Box() const { return box_; }

 private:
  MessageBox box_;
};

// The question before a write: GSM is in use and no delivery destination is
// enabled ("Ни одно направление не включено, сохранять настройки?").
bool WriteNeedsConfirmation(const SharedData& data, const FormState& form);
MessageBox NoDestinationQuestion();

// A configuration of device type `type` from its defaults (the GSM settings
// too), shown on the pages.
void NewConfiguration(SharedData& data, FormState& form, int type, Prompter& prompter);

// A pick in the device type list (also once at start-up): the new type starts
// from its defaults, and the list index is stored as "devicetype".
void DeviceTypeListChange(SharedData& data, FormState& form, int listIndex, Prompter& prompter,
                          SettingsStore& settings);

// A read or an opened file reports device type `type`: switch without
// loading defaults, then refresh; a configuration without GSM leaves the
// default GSM settings behind, not the previous ones. Returns true when the
// type changed, so that the list follows.
bool ShowReportedDevice(SharedData& data, FormState& form, int type, Prompter& prompter);

// The same for a configuration just read from a device, which is then what
// the window holds.
bool ShowDeviceRead(SharedData& data, FormState& form, int type, Prompter& prompter);

}  // namespace tivolan
