// In-memory stand-ins for the data files' seams: the file system (failures
// to inject, the lock checked at every step) and the machine (macro values,
// presence tests).
#pragma once

#include <tinyxml.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/data_file.h"
#include "model/plugin_file.h"
#include "paths/path_macros.h"
#include "support/recorders.h"
#include "support/test_thread.h"
#include "toolkit/text.h"

namespace sh::test {

class MemoryFileStore : public IFileStore {
 public:
  bool ReadAll(const std::string& path, std::string& bytes) override {
    Note();
    if (files.count(path)) bytes = files[path];
    return files.count(path) > 0;
  }
  bool WriteAll(const std::string& path, const std::string& bytes) override {
    Note();
    if (stuck.count(path) || readOnly.count(path)) return false;
    // A failed write may leave a part behind, as a full disk does.
    files[path] = failWrite.count(path) ? bytes.substr(0, bytes.size() / 2) : bytes;
    return !failWrite.count(path);
  }
  bool PrintDocument(const TiXmlDocument& document, const std::string& path) override {
    std::string crlf = PrintDocumentText(document);  // as a text-mode stream on Windows writes it
    ReplaceAll(crlf, "\n", "\r\n");
    return !failPrint && WriteAll(path, crlf);
  }
  bool Replace(const std::string& source, const std::string& target) override {
    Note();
    if (failReplace || !files.count(source)) return false;
    files[target] = files[source];
    return files.erase(source) > 0;
  }
  bool Remove(const std::string& path) override {
    Note();
    readOnly.erase(path);  // as the Win32 store clears the attribute
    return !stuck.count(path) && files.erase(path) > 0;
  }
  bool Exists(const std::string& path) override { return files.count(path) || stuck.count(path); }
  std::string TempFolder() override { return tempFolder; }

  void PutData(const std::string& path, const std::string& text) {
    files[path] = text;
    ScrambleBytes(files[path]);
  }
  std::string DataText(const std::string& path) { return ReadDataFile(*this, path); }

  std::map<std::string, std::string> files;
  // stuck: names that can be neither written nor removed (a folder, a file
  // held open by another program).
  std::set<std::string> failWrite, readOnly, stuck;
  bool failPrint = false, failReplace = false;
  std::string tempFolder = "C:\\Temp\\";
  int steps = 0;
  CDataFileLock* watchLock = nullptr;  // when set, counts steps another thread could have entered
  int unlockedSteps = 0;

 private:
  void Note() {
    ++steps;
    bool free = false;
    if (watchLock) TestThread([&] { free = watchLock->TryEnter() && (watchLock->Leave(), true); }).Join();
    unlockedSteps += free ? 1 : 0;
  }
};

// Macro values by name, the live ones as "AIM", "PF", "WINDIR", "SYS" and
// "YAHOO"; expansion by the real rules; the keys and paths listed exist.
class FakeMachine : public IPluginEnvironment, public IMacroValues {
 public:
  bool ExpandPathMacros(std::string& text) override { return sh::ExpandPathMacros(text, *this); }
  bool ExpandYahooUser(std::string& text) override { return sh::ExpandYahooUser(text, *this); }
  bool RegistryKeyExists(const std::string& keyText) override { return keys.count(keyText) > 0; }
  bool PathExists(const std::string& path) override { return paths.count(path) > 0; }
  std::string StoredValue(const std::string& name) override { return values[name]; }
  std::string AimScreenName() override { return values["AIM"]; }
  std::string ProgramFilesDir() override { return values["PF"]; }
  std::string WindowsFolder() override { return values["WINDIR"]; }
  std::string SystemFolder() override { return values["SYS"]; }
  std::string YahooUserId() override { return values["YAHOO"]; }
  std::map<std::string, std::string> values{
      {"PF", "C:\\Program Files"}, {"WINDIR", "C:\\WINDOWS"}, {"SYS", "C:\\WINDOWS\\system32"}};
  std::set<std::string> keys, paths;
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

// A loaded catalog as text: a line per group, spot, plugin and entry (a
// plugin's entries are those of its one spot).
inline std::string Describe(const CSpotCatalog& catalog) {
  std::string out;
  auto entries = [&](const CCleaningSpot& s) {
    for (const auto& f : s.Folders)
      out += Format("  folder %s|%s %d%d%d\n", f.Path.c_str(), f.Mask.c_str(), f.DeleteRootDir, f.IncludeSubFolders,
                    f.DeleteSubFolders);
    for (const auto& k : s.RegKeys) out += Format("  key %d %s\n", static_cast<int>(k.Root), k.SubKey.c_str());
    for (const auto& v : s.RegValues)
      out += Format("  value %d %s|%s\n", static_cast<int>(v.Root), v.SubKey.c_str(), v.ValueName.c_str());
  };
  for (const auto& g : catalog.Groups()) {
    out += Format("group %s %d\n", g->Name.c_str(), g->GroupType);
    for (const auto& s : g->Spots()) {
      out += Format(" spot %s chosen=%d type=%d '%s'\n", s->Name.c_str(), s->ToBeCleaned, s->Type,
                    s->Description.c_str());
      entries(*s);
    }
  }
  for (const auto* list : {&catalog.Plugins(), &catalog.CustomPlugins()})
    for (const auto& p : *list) {
      out += Format("plugin %s '%s' chosen=%d installed=%d custom=%d\n", p->Name.c_str(), p->Description.c_str(),
                    p->ToBeCleaned, p->Installed, p->IsCustom);
      for (const auto& s : p->Spots()) entries(*s);
    }
  return out;
}

}  // namespace sh::test
