// Registry values and keys a Wine test changes, put back as they were when
// the test ends: values get their old type and data (or go again), keys the
// test created are deleted again.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "toolkit/win_handles_win.h"

namespace sh::test {

class RegistryGuard {
 public:
  RegistryGuard() = default;
  RegistryGuard(const RegistryGuard&) = delete;
  RegistryGuard& operator=(const RegistryGuard&) = delete;
  ~RegistryGuard() {
    for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
      ScopedHKey key;
      if (RegOpenKeyExA(it->root, it->subKey.c_str(), 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS) continue;
      if (it->existed)
        RegSetValueExA(key.get(), it->name.c_str(), 0, it->type, reinterpret_cast<const BYTE*>(it->data.data()),
                       static_cast<DWORD>(it->data.size()));
      else
        RegDeleteValueA(key.get(), it->name.c_str());
    }
    for (auto it = createdKeys_.rbegin(); it != createdKeys_.rend(); ++it) SHDeleteKeyA(it->first, it->second.c_str());
  }

  // Sets a string value (REG_SZ, with its terminator as the shell writes
  // it), creating the key and its missing parents.
  void SetString(HKEY root, const std::string& subKey, const std::string& name, const std::string& text,
                 bool withTerminator = true) {
    SetRaw(root, subKey, name, REG_SZ, std::string(text.c_str(), text.size() + (withTerminator ? 1 : 0)));
  }

  void SetRaw(HKEY root, const std::string& subKey, const std::string& name, DWORD type, const std::string& data) {
    ScopedHKey key = Create(root, subKey);
    Remember(key.get(), root, subKey, name);
    RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
  }

  void Delete(HKEY root, const std::string& subKey, const std::string& name) {
    ScopedHKey key;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) return;
    Remember(key.get(), root, subKey, name);
    RegDeleteValueA(key.get(), name.c_str());
  }

  // Creates the key (and missing parents); created ones are deleted later.
  ScopedHKey Create(HKEY root, const std::string& subKey) {
    size_t start = 0;
    while (true) {
      size_t slash = subKey.find('\\', start);
      std::string part = subKey.substr(0, slash);
      ScopedHKey probe;
      if (RegOpenKeyExA(root, part.c_str(), 0, KEY_READ, probe.Receive()) != ERROR_SUCCESS) {
        ScopedHKey made;
        RegCreateKeyExA(root, part.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, made.Receive(), nullptr);
        createdKeys_.push_back({root, part});
        break;  // everything below is new as well and goes with it
      }
      if (slash == std::string::npos) break;
      start = slash + 1;
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
  void Remember(HKEY key, HKEY root, const std::string& subKey, const std::string& name) {
    Saved saved{root, subKey, name, false, 0, std::string()};
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
      saved.existed = true;
      saved.data.resize(size);
      if (size) RegQueryValueExA(key, name.c_str(), nullptr, &saved.type, reinterpret_cast<BYTE*>(&saved.data[0]), &size);
      saved.data.resize(size);
    }
    values_.push_back(saved);
  }
  std::vector<Saved> values_;
  std::vector<std::pair<HKEY, std::string>> createdKeys_;
};

}  // namespace sh::test
