#pragma once
// Values the configuration holds that their controls do not offer: a device
// gave them (a file takes such a number only with the mark the program
// writes for a device's value). The window shows each as it is, marked, and
// a write asks before it sends one back.
#include <string>
#include <vector>

#include "model/Prompter.h"
#include "model/SharedData.h"

namespace tivolan {

struct OutsideValue {
  std::string control;  // as the page names it
  int value;
  int min;  // what the control offers
  int max;
};

// The siren time of a panel, the network number of a type 2 panel, and the
// device number when GSM is in use.
std::vector<OutsideValue> ValuesOutsideControls(const SharedData& data);

// The words of a control's mark: the value came from the device, lies
// outside what the control offers, and is written back as it is.
std::string OutsideValueNote(int value, int min, int max);

// Before a write sends such values: each named with its value and range.
MessageBox OutsideValuesQuestion(const std::vector<OutsideValue>& values);

}  // namespace tivolan
