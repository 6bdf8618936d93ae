#pragma once
// The GSM settings of a configuration file, below "configMPI": the device
// number, the delivery destinations, the SMS list and the GPRS access
// points, from and to the values of the three GSM blocks. Reading goes into
// a staged copy that the caller takes only once the whole file was
// accepted, so a refused file changes nothing.
#include <string>
#include <vector>

#include "files/FileFields.h"
#include "files/FileOps.h"
#include "model/GsmSettings.h"

namespace tivolan {

class GsmFileSubtree final : public GsmSubtree {
 public:
  // `current` is what the program holds now: written by Write, and the base
  // that Read changes (what the file does not hold stays).
  explicit GsmFileSubtree(GsmSettings current) : settings_(std::move(current)) {}

  // WriteGsmSubtree: a compact "CFG" below the readable "configMPI".
  void Write(TXmlNode& configMPI) override;
  // Where the last Write kept control bytes as their pictures ("направление
  // 2", "SIM-карта №1: APN"); empty when it kept none.
  const std::vector<std::string>& Pictured() const { return pictured_; }
  // ReadGsmSubtree; false refuses the file, and so does FileFieldError
  // for a number or an element the file cannot hold.
  bool Read(const TXmlNode& configMPI) override;

  const GsmSettings& Settings() const { return settings_; }

 private:
  GsmSettings settings_;
  std::vector<std::string> pictured_;
};

}  // namespace tivolan
