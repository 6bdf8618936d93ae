#pragma once
// The ".cf8" configuration file: the element tree of a configuration image,
// written in the readable layout, and read back by position.
#include <cstdint>
#include <string>

#include "files/FileCause.h"
#include "files/XmlDocument.h"
#include "model/ConfigBuffer.h"

namespace tivolan {

// The GSM settings below "configMPI", provided by the GSM settings' code.
class GsmSubtree {
 public:
  virtual ~GsmSubtree() = default;
  virtual void Write(TXmlNode& configMPI) = 0;
  // Reads into a staged copy of the GSM blocks; false refuses the file, and
  // so does FileFieldError (FileFields.h), which carries why.
  virtual bool Read(const TXmlNode& configMPI) = 0;
};

inline constexpr uint8_t kNotAConfiguration = 255;

// The document of a configuration of `deviceType`. Throws when the image
// uses GSM and no GSM subtree writer is given.
TXmlDocument BuildConfigDocument(const ImageBuffer& buffer, int deviceType, GsmSubtree* gsm = nullptr);

// Writes the file, replacing an existing one only once the new one is
// complete. Throws FileError (its cause: Create) on failure.
void SaveConfigFile(const std::string& fileName, const ImageBuffer& buffer, int deviceType,
                    GsmSubtree* gsm = nullptr);

struct LoadedConfig {
  uint8_t code = kNotAConfiguration;  // device type 1..3, or 255
  ImageBuffer buffer{};               // `current` with the file's values over it; `current` when refused
  FileCause problem = {};             // why the file was refused; none when taken
};

// Reads a file into a copy of `current`: the caller takes the copy only when
// the code is 1..3, so a refused file changes nothing.
LoadedConfig LoadConfigFile(const std::string& fileName, const ImageBuffer& current, GsmSubtree* gsm = nullptr);
// As "Открыть..." reads a file: over `current` when the file is of
// `currentType`, over the default image of its own type otherwise, so that
// nothing of another type's image stays where the file holds nothing.
LoadedConfig OpenConfigFile(const std::string& fileName, const ImageBuffer& current, int currentType,
                            GsmSubtree* gsm = nullptr);
// The same for a file's text, such as one read from standard input.
LoadedConfig OpenConfigText(const std::string& text, const ImageBuffer& current, int currentType,
                            GsmSubtree* gsm = nullptr);
LoadedConfig ReadConfigDocument(const TXmlDocument& document, const ImageBuffer& current, GsmSubtree* gsm = nullptr);

}  // namespace tivolan
