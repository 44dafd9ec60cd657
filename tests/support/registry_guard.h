// Registry values and keys a Wine test changes, put back as they were when
// the test ends: values get their old type and data (or go again), keys the
// test created are deleted again with everything below them.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <utility>
#include <vector>

#include "toolkit/win_handles_win.h"

namespace sh::test {

// A value's type and data; false when it cannot be read.
inline bool ReadRaw(HKEY root, const std::string& subKey, const std::string& name, DWORD& type, std::string& data) {
  ScopedHKey key;
  DWORD size = 65536;
  data.assign(size, '\0');
  const bool read = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) == ERROR_SUCCESS &&
                    RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                                     &size) == ERROR_SUCCESS;
  data.resize(read ? size : 0);
  return read;
}

class RegistryGuard {
 public:
  RegistryGuard() = default;
  RegistryGuard(const RegistryGuard&) = delete;
  RegistryGuard& operator=(const RegistryGuard&) = delete;
  ~RegistryGuard() {
    for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
      ScopedHKey key;
      if (RegOpenKeyExA(it->root, it->subKey.c_str(), 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS) continue;
      if (it->existed) Set(key.get(), it->name, it->type, it->data);
      else RegDeleteValueA(key.get(), it->name.c_str());
    }
    for (auto it = createdKeys_.rbegin(); it != createdKeys_.rend(); ++it) SHDeleteKeyA(it->first, it->second.c_str());
  }

  // REG_SZ with its terminator, as the shell writes it (or without).
  void SetString(HKEY root, const std::string& subKey, const std::string& name, const std::string& text,
                 bool withTerminator = true) {
    SetRaw(root, subKey, name, REG_SZ, std::string(text.c_str(), text.size() + (withTerminator ? 1 : 0)));
  }
  void SetRaw(HKEY root, const std::string& subKey, const std::string& name, DWORD type, const std::string& data) {
    ScopedHKey key = Create(root, subKey);
    Remember(root, subKey, name);
    Set(key.get(), name, type, data);
  }
  void Delete(HKEY root, const std::string& subKey, const std::string& name) {
    ScopedHKey key;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) return;
    Remember(root, subKey, name);
    RegDeleteValueA(key.get(), name.c_str());
  }
  // Creates the key and its missing parents.
  ScopedHKey Create(HKEY root, const std::string& subKey) {
    for (size_t end = 0; end != std::string::npos;) {
      end = subKey.find('\\', end + 1);
      ScopedHKey probe;
      if (RegOpenKeyExA(root, subKey.substr(0, end).c_str(), 0, KEY_READ, probe.Receive()) != ERROR_SUCCESS) {
        createdKeys_.push_back({root, subKey.substr(0, end)});
        break;
      }
    }
    ScopedHKey key;
    RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    return key;
  }

 private:
  struct Saved {
    HKEY root;
    std::string subKey, name;
    bool existed;
    DWORD type;
    std::string data;
  };
  static void Set(HKEY key, const std::string& name, DWORD type, const std::string& data) {
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
  }
  void Remember(HKEY root, const std::string& subKey, const std::string& name) {
    Saved saved{root, subKey, name, false, 0, ""};
    saved.existed = ReadRaw(root, subKey, name, saved.type, saved.data);
    values_.push_back(saved);
  }
  std::vector<Saved> values_;
  std::vector<std::pair<HKEY, std::string>> createdKeys_;
};

}  // namespace sh::test
