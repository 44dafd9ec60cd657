// The settings store in the registry: HKEY_CURRENT_USER\SOFTWARE\SweepHarbor.
#pragma once

#include <string>

#include "settings/settings.h"

namespace sh {

extern const char kProductKey[];  // "SOFTWARE\SweepHarbor" below HKEY_CURRENT_USER

// Empty text when the key cannot be opened or the value cannot be read
// (also when it is longer than 259 bytes).
std::string ReadSetting(const std::string& name);
// 0 when the key cannot be opened (nothing is created) or setting failed.
int WriteSetting(const std::string& name, const std::string& text);
// 1 when the product key cannot be opened.
int ProductKeyExistsNot();
// Creates the key below SOFTWARE and stores the known locations; 0 on failure.
int CreateProductKey();

class CRegistrySettingsStore : public ISettingsStore {
 public:
  std::string Read(const std::string& name) override { return ReadSetting(name); }
  bool Write(const std::string& name, const std::string& text) override { return WriteSetting(name, text) != 0; }
};

}  // namespace sh
