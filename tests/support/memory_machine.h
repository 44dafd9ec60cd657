// An in-memory machine for the deciders: a file tree with 8.3 aliases, a
// registry, a URL cache and the environment facts, with an executor that
// applies each action to it (so a walk sees what it removed) and records it.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/path_rules.h"
#include "engine/spot_cleaner.h"
#include "paths/reg_path.h"
#include "support/recorders.h"
#include "toolkit/text.h"

namespace sh::test {

class MemoryMachine : public IFileSystemView, public IRegistryView, public IUrlCache, public ICleanEnvironment,
                      public IActionExecutor {
 public:
  struct Node {
    std::string path;  // exact spelling
    uint32_t attributes = 0;
    uint64_t size = 0;
    bool spellable = true;
  };

  // Missing parent folders are made too.
  void AddFolder(const std::string& path, uint32_t extra = 0) { Add(path, kAttrDirectory | extra, 0); }
  void AddFile(const std::string& path, uint64_t size = 1) { Add(path, 0x20, size); }
  void AddShortName(const std::string& alias, const std::string& path) {
    shortNames[ToUpperAscii(NormalizePath(alias))] = NormalizePath(path);
  }
  // The long spelling, as Windows reads it: an alias may stand for any component.
  std::string Expand(const std::string& path) const {
    const std::string normal = NormalizePath(path);
    if (normal.find('~') == std::string::npos || normal[1] != ':') return normal;
    std::string cur = normal.substr(0, 3);
    for (size_t pos = 3, end; pos < normal.size(); pos = end + 1) {
      end = std::min(normal.find('\\', pos), normal.size());
      cur = JoinPath(cur, normal.substr(pos, end - pos));
      auto it = shortNames.find(ToUpperAscii(cur));
      if (it != shortNames.end()) cur = it->second;
    }
    return cur;
  }
  std::string Key(const std::string& path) const { return ToUpperAscii(Expand(path)); }
  bool Exists(const std::string& path) const { return nodes.count(Key(path)) != 0; }
  Node& At(const std::string& path) { return nodes[Key(path)]; }

  void AddKey(RegRoot root, const std::string& key) {
    for (size_t at = key.find('\\');; at = key.find('\\', at + 1)) {
      keys.insert(RegKeyText(root, key.substr(0, at)));
      if (at == std::string::npos) return;
    }
  }
  void AddValue(RegRoot root, const std::string& key, const std::string& value) {
    AddKey(root, key);
    values.insert(RegKeyText(root, key) + "|" + ToUpperAscii(value));
  }
  static std::string RegKeyText(RegRoot root, const std::string& key) {
    return ToUpperAscii(RootKeyToName(root) + "\\" + key);
  }

  // IFileSystemView: children by their key range, in the order of their keys.
  ListResult List(const std::string& folder, const std::function<bool(const FsEntry&)>& visit) override {
    std::string key = Key(folder);
    if (!ParentPath(key).empty() && !nodes.count(key)) return ListResult::kMissing;
    if (key.back() != '\\') key += '\\';
    std::vector<Node> children;
    for (auto it = nodes.lower_bound(key); it != nodes.end() && it->first.rfind(key, 0) == 0; ++it)
      if (it->first.size() > key.size() && it->first.find('\\', key.size()) == std::string::npos)
        children.push_back(it->second);
    for (const Node& node : children)
      if (Exists(node.path) &&  // not removed by an earlier visit
          !visit(FsEntry{LastComponent(node.path), node.attributes, node.size, node.spellable}))
        break;
    return ListResult::kListed;
  }
  std::string LongPath(const std::string& path) override { return Exists(path) ? Expand(path) : path; }
  bool FileExists(const std::string& path) override { return Exists(path); }
  bool FileLength(const std::string& path, uint64_t& length) override {
    return Exists(path) && ((length = At(path).size), true);
  }

  // IRegistryView
  bool KeyExists(RegRoot root, const std::string& key) override { return keys.count(RegKeyText(root, key)) != 0; }
  bool ValueExists(RegRoot root, const std::string& key, const std::string& value) override {
    return values.count(RegKeyText(root, key) + "|" + ToUpperAscii(value)) != 0;
  }
  bool SubKeys(RegRoot root, const std::string& key, std::vector<std::string>& names) override {
    names.clear();
    const std::string prefix = RegKeyText(root, key) + "\\";
    for (const std::string& k : keys)
      if (k.rfind(prefix, 0) == 0 && k.find('\\', prefix.size()) == std::string::npos)
        names.push_back(k.substr(prefix.size()));
    return KeyExists(root, key);
  }

  // IUrlCache: the entries whose source name starts with the prefix, any case.
  bool First(const std::string& prefix, UrlCacheEntry& entry) override {
    pending_.clear();
    for (const UrlCacheEntry& e : cache)
      if (ToUpperAscii(e.sourceName).rfind(ToUpperAscii(prefix), 0) == 0) pending_.push_back(e);
    return Next(entry);
  }
  bool Next(UrlCacheEntry& entry) override {
    if (pending_.empty()) return false;
    entry = pending_.front();
    pending_.erase(pending_.begin());
    return true;
  }
  bool DeleteEntry(const std::string& sourceName) override {
    for (auto it = cache.begin(); it != cache.end(); ++it)
      if (it->sourceName == sourceName) {
        nodes.erase(Key(it->localFileName));  // WinINet removes the entry's file with it
        cache.erase(it);
        return true;
      }
    return false;
  }

  // ICleanEnvironment
  std::vector<std::string> DriveRoots() override { return {"C:\\"}; }
  std::vector<std::string> ProtectedFolders() override { return protectedFolders; }
  std::string WindowsFolder() override { return "C:\\WINDOWS"; }
  std::string CookiesFolder() override { return cookies; }
  std::string HistoryFolder() override { return history; }
  bool NtFamily() override { return true; }
  std::string UserSidText() override { return "S-1-5-21-7"; }
  std::string LogonName() override { return "bob"; }
  bool IsCookieIgnored(const std::string& name) override { return keptCookies.count(ToUpperAscii(name)) != 0; }

  // IActionExecutor: records "verb target", shows the action to `onAction`
  // (while the folders above it are all still there), then applies it.
  ActionResult Execute(const CleanAction& a) override {
    acted.push_back(std::string(ActionVerb(a.kind)) + " " + ActionTarget(a));
    if (onAction) onAction(a);
    const std::string key = Key(a.path), regKey = RegKeyText(a.root, a.path);
    std::vector<std::string> children;
    bool ok = true;
    switch (a.kind) {
      case ActionKind::kDeleteFile:
      case ActionKind::kRecycleFile:
        ok = nodes.erase(key) != 0;
        break;
      case ActionKind::kRemoveFolder: {  // an empty one only
        auto child = nodes.lower_bound(key + "\\");
        ok = nodes.count(key) && (child == nodes.end() || child->first.rfind(key + "\\", 0) != 0) && nodes.erase(key);
        break;
      }
      case ActionKind::kDeleteKey:
        ok = !lockedKeys.count(regKey) && SubKeys(a.root, a.path, children) && children.empty() && keys.erase(regKey);
        for (auto it = values.lower_bound(regKey + "|"); ok && it != values.end() && it->rfind(regKey + "|", 0) == 0;)
          it = values.erase(it);
        break;
      case ActionKind::kCreateKey:
        AddKey(a.root, a.path);
        break;
      case ActionKind::kDeleteValue:
        ok = values.erase(regKey + "|" + ToUpperAscii(a.value)) != 0;
        break;
      case ActionKind::kDeleteCacheEntry:
        ok = DeleteEntry(a.path);
        break;
      case ActionKind::kWipeIndexDat:  // a file the browser holds cannot be written
        ok = !held.count(key);
        break;
      default:
        break;
    }
    return ok ? ActionResult::kDone : ActionResult::kFailed;
  }

  std::map<std::string, Node> nodes;  // by the upper-case long normal form
  std::map<std::string, std::string> shortNames;
  std::set<std::string> keys, values, lockedKeys, keptCookies, held;
  std::vector<UrlCacheEntry> cache;
  std::vector<std::string> protectedFolders, acted;
  std::string cookies, history;
  std::function<void(const CleanAction&)> onAction;

 private:
  void Add(const std::string& path, uint32_t attributes, uint64_t size) {
    const std::string normal = NormalizePath(path), parent = ParentPath(normal);
    if (!ParentPath(parent).empty() && !Exists(parent)) AddFolder(parent);
    nodes[ToUpperAscii(normal)] = Node{normal, attributes, size, true};
  }
  std::vector<UrlCacheEntry> pending_;
};

// A cleaner over one fake machine that also executes on it.
struct CleanerRig {
  MemoryMachine machine;
  ScriptedPrompt prompt;
  CCleanLog log;  // keeps nothing, as the program's
  RecordingReport report;
  ScriptedControl control;
  CSpotCleaner cleaner{SpotCleanerPorts{machine, machine, machine, machine, prompt}, machine};
  void Clean(CCleaningSpot& spot) {
    CCleanRunContext context(&log, &report, &control, 0);
    CleanSpot(spot, context, cleaner);
  }
};

}  // namespace sh::test
