// The settings store in the registry: HKEY_CURRENT_USER\SOFTWARE\SweepHarbor.
#pragma once

#include <string>

#include "settings/settings.h"
#include "toolkit/win_handles_win.h"

namespace sh {

extern const char kProductKey[];  // "SOFTWARE\SweepHarbor" below HKEY_CURRENT_USER

// 1 when the product key cannot be opened.
int ProductKeyExistsNot();
// Creates the key below SOFTWARE, empty; 0 on failure. The start-up then
// stores the known locations in it.
int CreateProductKey();

// Reads and writes through a product key handle held open between calls: a
// value is still read afresh at every call, without opening and closing the
// key each time (the cleaning run asks for Shred once per file). A handle
// whose key was deleted meanwhile is dropped and opened again.
// Read gives empty text when the key cannot be opened or the value cannot be
// read (also when it is longer than 259 bytes, or no text: only REG_SZ and
// REG_EXPAND_SZ, expanded, are read). Write never creates the key.
class CRegistrySettingsStore : public ISettingsStore {
 public:
  std::string Read(const std::string& name) override;
  bool Write(const std::string& name, const std::string& text) override;

 private:
  bool Open();
  ScopedHKey key_;
};

}  // namespace sh
