// The settings the data-file benchmarks run with: the data folder is their
// scratch folder, everything else is the registry's, and nothing is stored.
#pragma once

#include <string>
#include <utility>

#include "settings/registry_settings_win.h"

namespace bench {

class ScratchSettings : public sh::ISettingsStore {
 public:
  explicit ScratchSettings(std::string folder) : folder_(std::move(folder)) {}
  std::string Read(const std::string& name) override { return name == "path" ? folder_ : registry_.Read(name); }
  bool Write(const std::string&, const std::string&) override { return false; }

 private:
  std::string folder_;
  sh::CRegistrySettingsStore registry_;
};

}  // namespace bench
