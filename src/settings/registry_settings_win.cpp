#include "settings/registry_settings_win.h"

#include <windows.h>

#include <cstring>

#include "paths/known_locations_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

const char kProductKey[] = "SOFTWARE\\SweepHarbor";

std::string ReadSetting(const std::string& name) {
  ScopedHKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS)
    return std::string();
  char buffer[260];
  std::memset(buffer, 0, sizeof buffer);
  DWORD type = 0;
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS)
    return std::string();
  // Values are written without their terminating zero: end at the returned
  // length, and drop a terminator if a writer of another kind stored one.
  std::string text(buffer, size > sizeof buffer ? sizeof buffer : size);
  size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

int WriteSetting(const std::string& name, const std::string& text) {
  ScopedHKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) return 0;
  return RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                        static_cast<DWORD>(text.size())) == ERROR_SUCCESS
             ? 1
             : 0;
}

int ProductKeyExistsNot() {
  ScopedHKey key;
  return RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS ? 0 : 1;
}

int CreateProductKey() {
  ScopedHKey software;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE", 0, KEY_ALL_ACCESS, software.Receive()) != ERROR_SUCCESS)
    return 0;
  ScopedHKey product;
  if (RegCreateKeyExA(software.get(), "SweepHarbor", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      product.Receive(), nullptr) != ERROR_SUCCESS)
    return 0;
  RefreshKnownLocations();
  return 1;
}

}  // namespace sh
