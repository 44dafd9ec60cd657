// An in-memory machine for the deciders: a file tree, a registry, a URL
// cache and the environment facts, with an executor that applies each
// action to it (so a walk sees what it removed) and records it.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/clean_actions.h"
#include "engine/cleaner_ports.h"
#include "engine/path_rules.h"
#include "engine/spot_cleaner.h"
#include "paths/reg_path.h"
#include "support/recorders.h"
#include "toolkit/text.h"

namespace sh::test {

class MemoryMachine : public IFileSystemView,
                    public IRegistryView,
                    public IUrlCache,
                    public ICleanEnvironment,
                    public IActionExecutor {
 public:
  struct Node {
    std::string path;  // exact spelling
    uint32_t attributes = 0;
    uint64_t size = 0;
    bool spellable = true;
  };

  // Files and folders; missing parent folders are made too.
  void AddFolder(const std::string& path, uint32_t extra = 0) { Add(path, kAttrDirectory | extra, 0); }
  void AddFile(const std::string& path, uint64_t size = 1, uint32_t attributes = 0x20) { Add(path, attributes, size); }
  bool Exists(const std::string& path) const { return nodes.count(Key(path)) != 0; }
  void AddShortName(const std::string& shortPath, const std::string& longPath) { shortNames[Key(shortPath)] = longPath; }

  void AddKey(RegRoot root, const std::string& key) {
    std::string path;
    for (const std::string& part : Split(key)) {
      path += (path.empty() ? "" : "\\") + part;
      keys.insert(RegKeyText(root, path));
    }
  }
  void AddValue(RegRoot root, const std::string& key, const std::string& value) {
    AddKey(root, key);
    values.insert(RegKeyText(root, key) + "|" + ToUpperAscii(value));
  }
  bool HasKey(RegRoot root, const std::string& key) const { return keys.count(RegKeyText(root, key)) != 0; }

  // IFileSystemView
  ListResult List(const std::string& folder, const std::function<bool(const FsEntry&)>& visit) override {
    if (!Exists(folder) && !ParentPath(NormalizePath(folder)).empty()) return ListResult::kMissing;
    if (unreadable.count(Key(folder))) return ListResult::kFailed;
    const std::string parent = Key(folder);
    std::vector<Node> children;
    for (const auto& [key, node] : nodes)
      if (ParentPath(key) == parent) children.push_back(node);
    for (const Node& node : children) {
      if (!Exists(node.path)) continue;  // removed by an earlier visit
      FsEntry entry{LastComponent(node.path), node.attributes, node.size, node.spellable};
      if (!visit(entry)) break;
    }
    return ListResult::kListed;
  }
  std::string LongPath(const std::string& path) override {
    auto it = shortNames.find(Key(path));
    return it == shortNames.end() ? path : it->second;
  }
  bool FileExists(const std::string& path) override { return Exists(path); }
  bool FileLength(const std::string& path, uint64_t& length) override {
    auto it = nodes.find(Key(path));
    if (it == nodes.end()) return false;
    length = it->second.size;
    return true;
  }

  // IRegistryView
  bool KeyExists(RegRoot root, const std::string& key) override { return HasKey(root, key); }
  bool ValueExists(RegRoot root, const std::string& key, const std::string& value) override {
    return values.count(RegKeyText(root, key) + "|" + ToUpperAscii(value)) != 0;
  }
  bool SubKeys(RegRoot root, const std::string& key, std::vector<std::string>& names) override {
    names.clear();
    const std::string prefix = RegKeyText(root, key) + "\\";
    if (!HasKey(root, key)) return false;
    for (const std::string& k : keys)
      if (k.compare(0, prefix.size(), prefix) == 0 && k.find('\\', prefix.size()) == std::string::npos)
        names.push_back(exactKeyNames.count(k) ? exactKeyNames[k] : k.substr(prefix.size()));
    return true;
  }

  // IUrlCache
  bool First(const std::string& prefix, UrlCacheEntry& entry) override {
    prefix_ = ToUpperAscii(prefix);
    cursor_ = 0;
    return Next(entry);
  }
  bool Next(UrlCacheEntry& entry) override {
    for (; cursor_ < cache.size(); ++cursor_)
      if (ToUpperAscii(cache[cursor_].sourceName).compare(0, prefix_.size(), prefix_) == 0) {
        entry = cache[cursor_++];
        return true;
      }
    return false;
  }
  bool DeleteEntry(const std::string& sourceName) override {
    for (size_t i = 0; i < cache.size(); ++i)
      if (cache[i].sourceName == sourceName) {
        cache.erase(cache.begin() + static_cast<long>(i));
        if (i < cursor_) --cursor_;
        return true;
      }
    return false;
  }

  // ICleanEnvironment
  std::vector<std::string> DriveRoots() override { return drives; }
  std::vector<std::string> ProtectedFolders() override { return protectedFolders; }
  std::string WindowsFolder() override { return windows; }
  std::string CookiesFolder() override { return cookies; }
  std::string HistoryFolder() override { return history; }
  bool NtFamily() override { return true; }
  std::string UserSidText() override { return sid; }
  std::string LogonName() override { return logon; }
  bool IsCookieIgnored(const std::string& name) override { return keptCookies.count(ToUpperAscii(name)) != 0; }

  // IActionExecutor: applies and records.
  ActionResult Execute(const CleanAction& a) override {
    acted.push_back(std::string(ActionVerb(a.kind)) + " " + ActionTarget(a));
    bool ok = true;
    switch (a.kind) {
      case ActionKind::kDeleteFile:
      case ActionKind::kRecycleFile:
        ok = Exists(a.path) && !locked.count(Key(a.path));
        if (ok) nodes.erase(Key(a.path));
        break;
      case ActionKind::kRemoveFolder:
        ok = Exists(a.path) && !HasChildren(a.path);
        if (ok) nodes.erase(Key(a.path));
        break;
      case ActionKind::kWipeIndexDat:
        ok = !locked.count(Key(a.path));
        break;
      case ActionKind::kDeleteKey: {
        std::vector<std::string> children;
        ok = HasKey(a.root, a.path) && !lockedKeys.count(RegKeyText(a.root, a.path)) &&
             SubKeys(a.root, a.path, children) && children.empty();
        if (ok) {
          keys.erase(RegKeyText(a.root, a.path));
          const std::string prefix = RegKeyText(a.root, a.path) + "|";
          for (auto it = values.begin(); it != values.end();)
            it = it->compare(0, prefix.size(), prefix) == 0 ? values.erase(it) : std::next(it);
        }
        break;
      }
      case ActionKind::kCreateKey:
        AddKey(a.root, a.path);
        break;
      case ActionKind::kDeleteValue:
        ok = values.erase(RegKeyText(a.root, a.path) + "|" + ToUpperAscii(a.value)) != 0;
        break;
      case ActionKind::kDeleteCacheEntry:
        // WinINet removes the entry's file with it.
        for (const UrlCacheEntry& e : cache)
          if (e.sourceName == a.path && !e.localFileName.empty()) nodes.erase(Key(e.localFileName));
        ok = DeleteEntry(a.path);
        break;
      default:
        break;
    }
    return ok ? ActionResult::kDone : ActionResult::kFailed;
  }

  std::map<std::string, Node> nodes;  // by upper-case normal form
  std::map<std::string, std::string> shortNames;
  std::set<std::string> unreadable, locked;
  std::set<std::string> keys, values, lockedKeys;
  std::map<std::string, std::string> exactKeyNames;
  std::vector<UrlCacheEntry> cache;
  std::set<std::string> keptCookies;
  std::vector<std::string> drives{"C:\\"};
  std::vector<std::string> protectedFolders;
  std::string windows = "C:\\WINDOWS", cookies, history, sid = "S-1-5-21-7", logon = "bob";
  std::vector<std::string> acted;

  static std::string Key(const std::string& path) { return ToUpperAscii(NormalizePath(path)); }
  static std::string RegKeyText(RegRoot root, const std::string& key) {
    return ToUpperAscii(RootKeyToName(root) + "\\" + key);
  }

 private:
  void Add(const std::string& path, uint32_t attributes, uint64_t size) {
    const std::string normal = NormalizePath(path);
    const std::string parent = ParentPath(normal);
    if (!parent.empty() && !ParentPath(parent).empty() && !Exists(parent)) AddFolder(parent);
    nodes[ToUpperAscii(normal)] = Node{normal, attributes, size, true};
  }
  bool HasChildren(const std::string& folder) const {
    const std::string key = Key(folder);
    for (const auto& entry : nodes)
      if (ParentPath(entry.first) == key) return true;
    return false;
  }
  static std::vector<std::string> Split(const std::string& key) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : key + "\\") {
      if (c == '\\') {
        if (!part.empty()) parts.push_back(part);
        part.clear();
      } else {
        part += c;
      }
    }
    return parts;
  }
  std::string prefix_;
  size_t cursor_ = 0;
};

// A cleaner over one fake machine that also executes on it.
struct CleanerRig {
  MemoryMachine machine;
  ScriptedPrompt prompt;
  RecordingLog log;
  RecordingReport report;
  ScriptedControl control;
  CSpotCleaner cleaner{SpotCleanerPorts{machine, machine, machine, machine, prompt}, machine};
  CCleanRunContext Context(int row = 0) { return CCleanRunContext(&log, &report, &control, row); }
};

}  // namespace sh::test
