// The persistent options: REG_SZ values under the product key, read afresh
// at every call (no in-memory copy, so every panel sees a change at once).
#pragma once

#include <string>

namespace sh {

// Where the values live. The program uses the registry
// (CRegistrySettingsStore); native tests use a map.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  // Empty text when the value (or the key) cannot be read.
  virtual std::string Read(const std::string& name) = 0;
  virtual bool Write(const std::string& name, const std::string& text) = 0;
};

// Encodings. A flag is on only for the exact text "1"; a number is the
// leading decimal integer (absent or non-numeric reads 0).
int FlagFromText(const std::string& text);
int NumberFromText(const std::string& text);
std::string TextFromInt(int value);

extern const char kDefaultKeepUrl[];  // "about:blank"

// The typed accessors, one pair per value.
class CSettings {
 public:
  explicit CSettings(ISettingsStore& store) : store_(store) {}

  int RunAtStartup() { return Flag("RunAtStartup"); }
  void SetRunAtStartup(int v) { SetInt("RunAtStartup", v); }
  int AutoUpdate() { return Flag("AutoUpdate"); }
  void SetAutoUpdate(int v) { SetInt("AutoUpdate", v); }
  int CleanFreeSpace() { return Flag("CleanFreeSpace"); }
  void SetCleanFreeSpace(int v) { SetInt("CleanFreeSpace", v); }
  int Shred() { return Flag("Shred"); }
  void SetShred(int v) { SetInt("Shred", v); }
  int ShredMethod() { return NumberFromText(store_.Read("ShredMethod")); }
  void SetShredMethod(int v) { SetInt("ShredMethod", v); }
  std::string LastUpdate() { return store_.Read("LastUpdate"); }
  void SetLastUpdate(const std::string& v) { store_.Write("LastUpdate", v); }
  int CleanShutdown() { return Flag("CleanShutdown"); }
  void SetCleanShutdown(int v) { SetInt("CleanShutdown", v); }
  int ShutDownOptions() { return NumberFromText(store_.Read("ShutDownOptions")); }
  void SetShutDownOptions(int v) { SetInt("ShutDownOptions", v); }
  int ShieldHomePage() { return Flag("ShieldHomePage"); }
  void SetShieldHomePage(int v) { SetInt("ShieldHomePage", v); }
  int ShieldHijack() { return Flag("ShieldHijack"); }
  void SetShieldHijack(int v) { SetInt("ShieldHijack", v); }
  int ShieldFavorites() { return Flag("ShieldFavorites"); }
  void SetShieldFavorites(int v) { SetInt("ShieldFavorites", v); }
  std::string KeepURL();
  void SetKeepURL(const std::string& v) { store_.Write("KeepURL", v); }
  int ShieldSilent() { return Flag("ShieldSilent"); }
  void SetShieldSilent(int v) { SetInt("ShieldSilent", v); }
  int CleanStart() { return Flag("CleanStart"); }
  void SetCleanStart(int v) { SetInt("CleanStart", v); }
  std::string DataPath() { return store_.Read("path"); }

  ISettingsStore& store() { return store_; }

 private:
  int Flag(const char* name) { return FlagFromText(store_.Read(name)); }
  void SetInt(const char* name, int v) { store_.Write(name, TextFromInt(v)); }
  ISettingsStore& store_;
};

// Cycles that DeleteTrackFile passes to the shredder for a ShredMethod:
// 3 and 4 give 35 (NSA as much as Gutmann), anything else 1.
int ShredCyclesForMethod(int method);

}  // namespace sh
