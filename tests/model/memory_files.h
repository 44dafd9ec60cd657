// In-memory stand-ins for the data files' file system and machine, with
// failures to inject and the lock's state recorded at every file operation.
#pragma once

#include <tinyxml.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/data_file.h"
#include "paths/path_macros.h"
#include "support/recorders.h"
#include "support/test_thread.h"

namespace sh::test {

class MemoryFileStore : public IFileStore {
 public:
  bool ReadAll(const std::string& path, std::string& bytes) override {
    Note("read " + path);
    auto it = files.find(path);
    if (it == files.end() || failRead.count(path)) return false;
    bytes = it->second;
    return true;
  }
  bool WriteAll(const std::string& path, const std::string& bytes) override {
    Note("write " + path);
    if (stuck.count(path) || readOnly.count(path)) return false;
    if (failWrite.count(path)) {
      // A failed write may leave a part behind, as a full disk does.
      files[path] = bytes.substr(0, bytes.size() / 2);
      return false;
    }
    files[path] = bytes;
    return true;
  }
  bool PrintDocument(const TiXmlDocument& document, const std::string& path) override {
    Note("print " + path);
    if (failPrint || stuck.count(path) || readOnly.count(path)) return false;
    // As a text-mode stream on Windows writes it.
    std::string crlf;
    for (char c : PrintDocumentText(document)) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    files[path] = crlf;
    return true;
  }
  bool Replace(const std::string& source, const std::string& target) override {
    Note("replace " + source + " -> " + target);
    auto it = files.find(source);
    if (failReplace || it == files.end()) return false;
    files[target] = it->second;
    files.erase(source);
    return true;
  }
  bool Remove(const std::string& path) override {
    Note("remove " + path);
    if (stuck.count(path)) return false;
    readOnly.erase(path);  // as the Win32 store clears the attribute
    return files.erase(path) > 0;
  }
  // A query, not recorded among the operations.
  bool Exists(const std::string& path) override { return files.count(path) > 0 || stuck.count(path) > 0; }
  std::string TempFolder() override { return tempFolder; }

  // Scrambled as a data file.
  void PutData(const std::string& path, const std::string& text) {
    std::string bytes = text;
    ScrambleBytes(bytes);
    files[path] = bytes;
  }
  std::string DataText(const std::string& path) { return ReadDataFile(*this, path); }
  bool Has(const std::string& path) const { return files.count(path) > 0; }

  std::map<std::string, std::string> files;
  std::set<std::string> failRead, failWrite;
  // Files that refuse to be written over until removed.
  std::set<std::string> readOnly;
  // Names taken by something that can be neither written nor removed (a
  // folder, a file held open by another program).
  std::set<std::string> stuck;
  bool failPrint = false;
  bool failReplace = false;
  std::string tempFolder = "C:\\Temp\\";
  std::vector<std::string> ops;
  // When set, every operation records whether another thread could take
  // the lock at that moment.
  CDataFileLock* watchLock = nullptr;
  std::vector<bool> lockHeld;

 private:
  void Note(const std::string& op) {
    ops.push_back(op);
    if (watchLock == nullptr) return;
    bool free = false;
    TestThread([&] {
      free = watchLock->TryEnter();
      if (free) watchLock->Leave();
    }).Join();
    lockHeld.push_back(!free);
  }
};

// What the library itself prints through a stream (to compare with).
inline std::string LibraryPrint(const TiXmlDocument& document) {
  std::FILE* f = std::tmpfile();
  if (f == nullptr) return "(no temporary file)";
  document.Print(f);
  std::string text;
  std::rewind(f);
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

// Stored values and live folders from maps; counts every lookup.
class MapMacroValues : public IMacroValues {
 public:
  std::string StoredValue(const std::string& name) override {
    lookups.push_back(name);
    auto it = stored.find(name);
    return it == stored.end() ? std::string() : it->second;
  }
  std::string AimScreenName() override { return Live("AIM", aim); }
  std::string ProgramFilesDir() override { return Live("PF", programFiles); }
  std::string WindowsFolder() override { return Live("WINDIR", windows); }
  std::string SystemFolder() override { return Live("SYS", system); }
  std::string YahooUserId() override { return Live("YAHOO", yahoo); }

  std::map<std::string, std::string> stored;
  std::string aim, programFiles = "C:\\Program Files", windows = "C:\\WINDOWS", system = "C:\\WINDOWS\\system32",
                   yahoo;
  std::vector<std::string> lookups;

 private:
  std::string Live(const char* what, const std::string& value) {
    lookups.push_back(what);
    return value;
  }
};

// Macro expansion by the real rules over MapMacroValues; registry keys and
// paths that exist are listed; every presence test is recorded.
class FakeMachine : public IPluginEnvironment {
 public:
  bool ExpandPathMacros(std::string& text) override { return sh::ExpandPathMacros(text, values); }
  bool ExpandYahooUser(std::string& text) override { return sh::ExpandYahooUser(text, values); }
  bool RegistryKeyExists(const std::string& keyText) override {
    tests.push_back("key " + keyText);
    return keys.count(keyText) > 0;
  }
  bool PathExists(const std::string& path) override {
    tests.push_back("path " + path);
    return paths.count(path) > 0;
  }
  MapMacroValues values;
  std::set<std::string> keys, paths;
  std::vector<std::string> tests;
};

// Everything a DataFileEnv refers to, with the data folder C:\Data.
struct DataFileHarness {
  DataFileHarness() { settings.values["path"] = "C:\\Data\\"; }
  MemoryFileStore files;
  FakeMachine machine;
  MapSettings settings;
  ScriptedPrompt prompt;
  CDataFileLock lock;
  DataFileEnv env{files, machine, settings, prompt, lock};

  static constexpr const char* kSpotList = "C:\\Data\\Splst.swh";
  static constexpr const char* kPluginList = "C:\\Data\\Plglst.swh";
  static constexpr const char* kCustom = "C:\\Data\\CutmPlg.swh";
};

}  // namespace sh::test
