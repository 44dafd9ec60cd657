// Random machines and folder entries against the folder walk's safety rules:
// whatever the tree, the spelling of the entry or its flags, no action
// leaves the entry's folder, enters a link, reaches a protected folder from
// outside it, empties a root or a protected folder, takes a name by its 8.3
// alias only, or acts on a name that cannot be spelled.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/memory_machine.h"

namespace sh {
namespace {

using test::MemoryMachine;

struct Gen {
  std::mt19937 rng;
  size_t Pick(size_t n) { return rng() % n; }  // the same cases with every standard library
  bool Chance(int percent) { return static_cast<int>(Pick(100)) < percent; }
  template <class T>
  T Any(const std::vector<T>& v) { return v[Pick(v.size())]; }
};

const std::string kUser = "C:\\Documents and Settings\\u";
const std::vector<std::string> kBase = {"C:\\", "C:\\WINDOWS", "C:\\WINDOWS\\System32", "C:\\Program Files",
                                        "C:\\Program Files\\App", "C:\\Documents and Settings", kUser,
                                        kUser + "\\Desktop", "C:\\Temp"};
const std::vector<std::string> kNames = {"a", "a.", "b.tmp", "x .tmp", "desktop.ini", "desktop.ini ", "index.dat",
                                         "1.log", "ab.log", "A.LOG", "readme", "z.TMP", "budget.tmpl", "doc.",
                                         "sub", "Temp", "Cache", "old.", "dir ", "x.tmp", "a b"};

// A random machine; returns its folders (links and unspellable ones too).
std::vector<std::string> Build(Gen& g, MemoryMachine& m) {
  std::vector<std::string> folders = kBase;
  // Straight into the machine (every parent is already there): fast under ASan.
  const auto put = [&m](const std::string& path, uint32_t attributes) {
    m.nodes[ToUpperAscii(path)] = MemoryMachine::Node{path, attributes, 1 + path.size() % 90, true};
  };
  for (const std::string& f : kBase) put(f, kAttrDirectory);
  m.protectedFolders = {g.Any<std::string>({"C:\\WINDOWS", "c:/windows/", "C:\\WINDOWS\\System32\\.."}),
                        g.Any<std::string>({"C:\\Program Files", "C:\\PROGRA~1"}), kUser + "\\Desktop",
                        g.Any<std::string>({kUser, "C:\\DOCUME~1\\u"})};
  m.AddShortName("C:\\PROGRA~1", "C:\\Program Files");
  m.AddShortName("C:\\DOCUME~1", "C:\\Documents and Settings");
  m.AddShortName(kUser + "\\DESKTO~1", kUser + "\\Desktop");
  const size_t base = folders.size();
  for (size_t n = 12 + g.Pick(30); n > 0; --n) {
    const std::string& parent = folders[g.Chance(60) && folders.size() > base ? base + g.Pick(folders.size() - base)
                                                                              : g.Pick(folders.size())];
    const std::string& name = kNames[g.Pick(kNames.size())];
    const std::string path = JoinPath(parent, name);
    if (m.nodes.count(ToUpperAscii(path))) continue;
    const size_t kind = g.Pick(10);
    if (kind < 6) {
      put(path, 0x20);
      if (name == "budget.tmpl") m.AddShortName(JoinPath(parent, "BUDGET~1.TMP"), path);
    } else if (kind < 9) {
      put(path, kAttrDirectory);
      if (g.Chance(30)) m.AddShortName(JoinPath(parent, ToUpperAscii(name.substr(0, 3)) + "~1"), path);
    } else {  // a link, and what a walk through it would reach
      put(path, kAttrDirectory | kAttrReparsePoint);
      put(path + "\\target.doc", 0x20);
      put(path + "\\deep", kAttrDirectory);
      put(path + "\\deep\\x.tmp", 0x20);
    }
    if (g.Chance(10)) m.nodes[ToUpperAscii(path)].spellable = false;
    if (kind >= 6) folders.push_back(path);
  }
  return folders;
}

// A spelling of a folder the way data files and macros leave it.
std::string Spell(Gen& g, const MemoryMachine& m, std::string p) {
  switch (g.Pick(8)) {
    case 0: return ToUpperAscii(p);
    case 5: for (char& c : p) c = c >= 'A' && c <= 'Z' ? char(c + 32) : c;
      return p;
    case 1: return p + "\\";
    case 2: return p + "\\.\\";
    case 3: std::replace(p.begin(), p.end(), '\\', '/');
      return p + "//";
    case 4: return p + "\\sub\\..";
    case 6:
      for (const auto& [alias, target] : m.shortNames)
        if (EqualsNoCase(target, p)) return alias;
      return p;
    default: return p;
  }
}

const std::vector<std::string> kOddPaths = {
    "C:\\WINDOWS\\.\\", "c:/windows//", "C:\\WINDOWS\\sub\\..", "C:\\PROGRA~1", "C:", "C:\\", "C:\\\\", "c:/",
    "C:\\Documents and Settings\\u\\Desktop\\..\\Desktop", "c:\\DOCUME~1\\U\\desktop", "C:\\DOCUME~1\\u\\DESKTO~1",
    "C:\\DOCUME~1", ":WINDIR:\\", "Temp", "\\Temp", "C:\\..\\WINDOWS", "C:\\WINDOWS\\*.log", "C:\\*.*",
    "C:\\PROGRA~1\\*", "C:\\Temp\\*.tmp", "C:\\*\\x", "C:\\Temp\\?.log"};
const std::vector<std::string> kMasks = {"*.*", "*.tmp", "*.", "a*", "?.log", "*", "", "*.log", "desktop.ini",
                                         "x .tmp"};

// What one folder entry may reach: its folder in the long normal form ("" for
// none), the mask of the folder's own files and that of the levels below.
struct Scope {
  std::string folder, pattern, mask;
  bool guarded = false;  // a drive root or a protected folder
};

Scope ScopeOf(const MemoryMachine& m, const std::vector<std::string>& prot, const CFolderEntry& e) {
  Scope s{"", e.Mask.empty() ? "*.*" : e.Mask, e.Mask.empty() ? "*.*" : e.Mask};
  std::string text = e.Path;
  if (text.find('*') != std::string::npos) {  // "C:\Temp\*.tmp": a folder and the pattern of its files
    const size_t slash = text.find_last_of("\\/");
    s.pattern = slash == std::string::npos ? text : text.substr(slash + 1);
    text = slash == std::string::npos ? "" : text.substr(0, slash + 1);
  }
  if (s.pattern.empty()) s.pattern = "*.*";
  if (text.find_first_of("*?") != std::string::npos) return s;
  s.folder = m.Expand(text);
  s.guarded = !s.folder.empty() && ParentPath(s.folder).empty();
  for (const std::string& q : prot) s.guarded = s.guarded || EqualsNoCase(s.folder, q);
  return s;
}

const MemoryMachine::Node& NodeAt(const MemoryMachine& m, const std::string& path) {
  static const MemoryMachine::Node kNone;
  auto it = m.nodes.find(ToUpperAscii(path));
  return it == m.nodes.end() ? kNone : it->second;
}

// The rule an action of a folder entry breaks, or null.
const char* Broken(const MemoryMachine& m, const Scope& s, const CFolderEntry& e,
                   const std::vector<std::string>& prot, const CleanAction& a, const std::string& path) {
  const bool file = a.kind == ActionKind::kDeleteFile || a.kind == ActionKind::kWipeIndexDat ||
                    a.kind == ActionKind::kDeleteAtReboot;
  if (!file && a.kind != ActionKind::kRemoveFolder) return "not a file or folder action";
  if (NormalizePath(a.path) != a.path) return "a path not in its normal form";
  if (!IsSameOrInside(path, s.folder)) return "outside the entry's folder";
  if (EqualsNoCase(path, s.folder))
    return !file && e.DeleteRootDir && e.Path.find('*') == std::string::npos && !s.guarded ? nullptr
                                                                                            : "the entry's folder";
  int depth = 0;
  for (std::string up = ParentPath(path); !EqualsNoCase(up, s.folder); up = ParentPath(up), ++depth) {
    if (NodeAt(m, up).attributes & kAttrReparsePoint) return "inside a link";
    if (!NodeAt(m, up).spellable) return "below an unspellable name";
  }
  const std::string name = LastComponent(path);
  if (!NodeAt(m, path).spellable) return "an unspellable name";
  if (file && (NodeAt(m, path).attributes & kAttrDirectory)) return "a file action on a folder or link";
  if (!file && !e.DeleteSubFolders) return "a subfolder or link removed without DeleteSubFolders";
  if (depth > 0 && !e.IncludeSubFolders) return "below a subfolder without IncludeSubFolders";
  if (!MatchesMask(name, depth == 0 ? s.pattern : s.mask)) return "a long name the mask does not match";
  if (file && (EqualsNoCase(name, "desktop.ini") || EqualsNoCase(name, "index.dat"))) return "an excluded name";
  const bool named = s.pattern.find_first_not_of("*?.") != std::string::npos;
  if (s.guarded && (!file || depth > 0 || !named)) return "a root or protected folder walked or emptied";
  for (const std::string& q : prot)
    if (IsSameOrInside(path, q) && !IsSameOrInside(s.folder, q)) return "inside a protected folder";
  return nullptr;
}

TEST(SpotCleanerProperty, RandomMachinesKeepEverySafetyRule) {
  int failures = 0, acted = 0, namedInGuarded = 0, links = 0, deep = 0;
  for (int index = 0; index < 3000 && failures < 10; ++index) {
    Gen g{std::mt19937(0x5eed0000u + static_cast<unsigned>(index))};  // case i alone: seed 0x5eed0000 + i
    test::CleanerRig rig;
    MemoryMachine& m = rig.machine;
    const std::vector<std::string> folders = Build(g, m);
    std::vector<std::string> prot;
    for (const std::string& q : m.protectedFolders) prot.push_back(m.Expand(q));
    for (size_t n = 1 + g.Pick(3); n > 0; --n) {
      const size_t way = g.Pick(4);
      const std::string path = way == 0   ? g.Any(kOddPaths)
                               : way == 1 ? Spell(g, m, g.Any(folders)) + "\\" + g.Any(kMasks)
                                          : Spell(g, m, g.Any(folders));
      const CFolderEntry e{path, g.Any(kMasks), int(g.Pick(2)), int(g.Pick(2)), int(g.Pick(2))};
      const Scope s = ScopeOf(m, prot, e);
      m.onAction = [&](const CleanAction& action) {
        const std::string longForm = m.Expand(action.path);
        ++acted;
        namedInGuarded += s.guarded;
        links += (NodeAt(m, longForm).attributes & kAttrReparsePoint) != 0;
        deep += IsSameOrInside(ParentPath(longForm), s.folder) && !EqualsNoCase(ParentPath(longForm), s.folder);
        if (const char* broken = Broken(m, s, e, prot, action, longForm)) {
          ++failures;
          ADD_FAILURE() << "case " << index << ", entry \"" << e.Path << "\" mask \"" << e.Mask
                        << "\" root/include/delete " << e.DeleteRootDir << e.IncludeSubFolders << e.DeleteSubFolders
                        << ": " << broken << ": " << ActionVerb(action.kind) << " " << action.path << " (long form "
                        << longForm << ")";
        }
      };
      CCleaningSpot spot("s", 1);
      spot.Folders.push_back(e);
      rig.Clean(spot);  // an ordinary spot: desktop.ini and index.dat are kept
    }
  }
  // The generator reaches every kind of place the rules are about.
  EXPECT_GT(acted, 2000);
  EXPECT_GT(namedInGuarded, 30);
  EXPECT_GT(links, 100);
  EXPECT_GT(deep, 150);
}

}  // namespace
}  // namespace sh
