// The data files on the real machine: files through Win32, macros and
// presence tests against the registry and the file system.
#pragma once

#include <string>

#include "model/data_file.h"
#include "paths/known_locations_win.h"

namespace sh {

class CWinFileStore : public IFileStore {
 public:
  bool ReadAll(const std::string& path, std::string& bytes) override;
  bool WriteAll(const std::string& path, const std::string& bytes) override;
  bool PrintDocument(const TiXmlDocument& document, const std::string& path) override;
  bool Replace(const std::string& source, const std::string& target) override;
  bool Remove(const std::string& path) override;
  bool Exists(const std::string& path) override;
  std::string TempFolder() override;
};

class CWinPluginEnvironment : public IPluginEnvironment {
 public:
  // Stored known locations are read from `settings` at every expansion.
  explicit CWinPluginEnvironment(ISettingsStore& settings) : values_(settings) {}
  bool ExpandPathMacros(std::string& text) override;
  bool ExpandYahooUser(std::string& text) override;
  bool RegistryKeyExists(const std::string& keyText) override;
  bool PathExists(const std::string& path) override;

 private:
  CWinMacroValues values_;
};

// ReadDataFile and WriteDataFile on real files, for callers that have no
// DataFileEnv at hand.
std::string ReadDataFile(const std::string& path);
int WriteDataFile(const std::string& path, const std::string& text);

}  // namespace sh
