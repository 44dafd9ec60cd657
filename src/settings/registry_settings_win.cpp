#include "settings/registry_settings_win.h"

#include <windows.h>

#include <cstring>

#include "toolkit/win_handles_win.h"

namespace sh {

const char kProductKey[] = "SOFTWARE\\SweepHarbor";

namespace {

// Reads one value of an open product key; false when it cannot be read.
// Only text is a setting: a number, bytes or a list stored under a
// setting's name (by hand, by another tool) reads as no value, never as its
// bytes taken for text. REG_EXPAND_SZ is text too, with its %variables%
// expanded as Windows' own readers of such values do.
bool QueryText(HKEY key, const std::string& name, std::string* text, LONG* error) {
  char buffer[260];
  std::memset(buffer, 0, sizeof buffer);
  DWORD type = 0;
  DWORD size = sizeof buffer;
  *error = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (*error != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    *error = ERROR_UNSUPPORTED_TYPE;
    return false;
  }
  // Values are written without their terminating zero: end at the returned
  // length, and drop a terminator if a writer of another kind stored one.
  text->assign(buffer, size > sizeof buffer ? sizeof buffer : size);
  size_t zero = text->find('\0');
  if (zero != std::string::npos) text->resize(zero);
  if (type == REG_EXPAND_SZ) {
    // The same limit as a stored text: a longer expansion is not read.
    char expanded[sizeof buffer] = {};
    DWORD n = ExpandEnvironmentStringsA(text->c_str(), expanded, sizeof expanded);
    if (n == 0 || n > sizeof expanded) {
      *error = ERROR_MORE_DATA;
      return false;
    }
    text->assign(expanded);
  }
  return true;
}

LONG SetText(HKEY key, const std::string& name, const std::string& text) {
  return RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                        static_cast<DWORD>(text.size()));
}

}  // namespace

bool CRegistrySettingsStore::Open() {
  return key_.valid() ||
         RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_ALL_ACCESS, key_.Receive()) == ERROR_SUCCESS;
}

std::string CRegistrySettingsStore::Read(const std::string& name) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!Open()) return std::string();
    std::string text;
    LONG error;
    if (QueryText(key_.get(), name, &text, &error)) return text;
    if (error != ERROR_KEY_DELETED && error != ERROR_INVALID_HANDLE) return std::string();
    key_.reset();
  }
  return std::string();
}

bool CRegistrySettingsStore::Write(const std::string& name, const std::string& text) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!Open()) return false;
    LONG error = SetText(key_.get(), name, text);
    if (error == ERROR_SUCCESS) return true;
    if (error != ERROR_KEY_DELETED && error != ERROR_INVALID_HANDLE) return false;
    key_.reset();
  }
  return false;
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
  return 1;
}

}  // namespace sh
