// One smoke test per special spot Type, through CleanSpot and the real
// cleaners, on traces seeded in the test prefix: the recycle bin, found.*
// folders, the URL cache (cookies, visited pages), the history and the
// stored form entries with their real access lists. What each Type decides
// is tested natively (spot_cleaner_test.cpp).
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <wininet.h>

#include <set>

#include "app/child_process.h"
#include "engine/cookie_ignore.h"
#include "engine/path_rules.h"
#include "engine/registry_scratch_key.h"
#include "engine/special_stores.h"
#include "engine/wine_rig.h"
#include "support/test_thread.h"
#include "support/win_fs.h"

namespace sh::test {
namespace {

// URL-cache entries made with WinINet itself. Wine compares the search
// pattern with the container's name exactly ("Cookie:", "Visited:").
std::string AddCookieEntry(const std::string& name, size_t size) {
  char file[MAX_PATH + 1] = {};
  if (!CreateUrlCacheEntryA(name.c_str(), 0, "txt", file, 0)) return std::string();
  WriteBytes(file, size, 'c');
  FILETIME zero = {};
  if (!CommitUrlCacheEntryA(name.c_str(), file, zero, zero, COOKIE_CACHE_ENTRY, nullptr, 0, nullptr, nullptr))
    return std::string();
  return file;
}

bool AddVisitedEntry(const std::string& name) {
  FILETIME zero = {};
  return CommitUrlCacheEntryA(name.c_str(), nullptr, zero, zero, URLHISTORY_CACHE_ENTRY, nullptr, 0, nullptr,
                              nullptr) != 0;
}

std::set<std::string> CacheNames(const std::string& container) {
  std::set<std::string> names;
  std::vector<uint64_t> buffer(8192);
  auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
  HANDLE find = FindFirstUrlCacheEntryA(container.c_str(), entry, &size);
  if (find == nullptr) return names;
  do {
    if (entry->lpszSourceUrlName) names.insert(entry->lpszSourceUrlName);
    size = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
  } while (FindNextUrlCacheEntryA(find, entry, &size));
  FindCloseUrlCache(find);
  return names;
}

// Empties the Cookie: and Visited: containers before and after a test (the
// test prefix holds no one else's).
class CleanUrlCache {
 public:
  CleanUrlCache() { Clear(); }
  ~CleanUrlCache() { Clear(); }
  CleanUrlCache(const CleanUrlCache&) = delete;
  CleanUrlCache& operator=(const CleanUrlCache&) = delete;

 private:
  static void Clear() {
    for (const char* container : {"Cookie:", "Visited:"})
      for (const std::string& name : CacheNames(container)) DeleteUrlCacheEntryA(name.c_str());
  }
};

class SpecialSpotOnWine : public ::testing::Test {
 protected:
  SpecialSpotOnWine() { rig.settings.values["path"] = data.path(); }
  void Clean(int type) {
    CCleaningSpot spot("special", 1);
    spot.Type = type;
    rig.Clean(spot);
  }
  ScratchDir data{"spot-data"};
  WinRig rig;
};

TEST_F(SpecialSpotOnWine, RecycleBinLeavesEmptyNamesForTheShellsEmpty) {
  // A bin of the test's own: one already there (another test's seeding) is
  // moved aside and put back.
  struct OwnBin {
    bool aside = Exists("C:\\Recycled") && MoveFileA("C:\\Recycled", "C:\\Recycled.shtest-aside");
    ~OwnBin() {
      RemoveTree("C:\\Recycled");
      if (aside) MoveFileA("C:\\Recycled.shtest-aside", "C:\\Recycled");
    }
  } ownBin;
  ASSERT_FALSE(Exists("C:\\Recycled"));
  MakeDirs("C:\\Recycled\\Dc2");
  WriteBytes("C:\\Recycled\\INFO2", 820, 'i');
  WriteBytes("C:\\Recycled\\desktop.ini", 65, 'd');
  WriteBytes("C:\\Recycled\\Dc2\\desktop.ini", 65, 'd');
  WriteBytes("C:\\Recycled\\Dc1.txt", 100);
  WriteBytes("C:\\Recycled\\Dc2\\report.doc", 2000);
  WriteBytes("C:\\Recycled\\Dc3.doc", 300);
  // Held without delete sharing: it cannot go, so it is cut to nothing.
  ScopedHandle held(CreateFileA("C:\\Recycled\\Dc3.doc", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());

  Clean(kSpotRecycleBin);
  held.reset();

  EXPECT_EQ(Difference(ReadBytes("C:\\Recycled\\INFO2"), std::string(820, 'i')), "");
  for (const char* ini : {"C:\\Recycled\\desktop.ini", "C:\\Recycled\\Dc2\\desktop.ini"})
    EXPECT_EQ(ReadBytes(ini), std::string(65, 'd')) << ini;
  for (const char* placeholder : {"C:\\Recycled\\Dc1.txt", "C:\\Recycled\\Dc2\\report.doc", "C:\\Recycled\\Dc3.doc"}) {
    EXPECT_TRUE(Exists(placeholder)) << placeholder;
    EXPECT_EQ(ReadBytes(placeholder), "") << placeholder;
  }
  EXPECT_EQ(rig.shell.emptied, 1);
}

TEST_F(SpecialSpotOnWine, FoundFoldersAtTheRootOfC) {
  const std::vector<std::string> roots = LocalDriveRoots();
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots[0], "C:\\");
  for (const std::string& root : roots) EXPECT_NE(root, "Z:\\") << "the host's file system must not be reachable";
  struct RemoveAtEnd {
    ~RemoveAtEnd() {
      RemoveTree("C:\\found.000");
      RemoveTree("C:\\found.photos");
    }
  } removeAtEnd;
  MakeDirs("C:\\found.000\\sub");
  WriteBytes("C:\\found.000\\FILE0000.CHK", 2048);
  WriteBytes("C:\\found.000\\sub\\FILE0001.CHK", 10);
  MakeDirs("C:\\found.photos");
  WriteBytes("C:\\found.photos\\wedding.jpg", 10);

  Clean(kSpotFoundFolders);

  EXPECT_FALSE(Exists("C:\\found.000"));
  EXPECT_TRUE(Exists("C:\\found.photos\\wedding.jpg"));
}

// WinINet keeps a container's index open until its process ends, and a
// deleted index.dat stays while any process holds it: the spots that fill the
// cache run in a child process of their own, so that no later test (nor a
// program it starts) finds the index held by this one.
TEST(UrlCacheOnWine, CookieAndVisitedSpotsRunInAProcessOfTheirOwn) {
  const ChildResult child = RunTestsInChild("DISABLED_UrlCacheSpots.*", {});
  EXPECT_EQ(child.exitCode, 0) << child.output;
  EXPECT_NE(child.output.find("[  PASSED  ] 2 tests."), std::string::npos) << child.output;
}

class DISABLED_UrlCacheSpots : public SpecialSpotOnWine {};

TEST_F(DISABLED_UrlCacheSpots, CookiesKeepTheIgnoredOnesEntryAndFile) {
  CleanUrlCache clean;
  const std::string cookies = rig.cleaners.environment().CookiesFolder();
  ASSERT_FALSE(cookies.empty());
  const std::string kept = AddCookieEntry("Cookie:user@mail.example/", 120);
  const std::string gone = AddCookieEntry("Cookie:user@ads.example/", 80);
  // Longer than the enumerator's first 4096-byte record.
  const std::string large = AddCookieEntry("Cookie:user@long.example/" + std::string(6000, 'p') + "/", 10);
  ASSERT_FALSE(kept.empty() || gone.empty() || large.empty());
  ASSERT_TRUE(EqualsNoCase(ParentPath(NormalizePath(kept)), NormalizePath(cookies))) << kept;
  WriteBytes(cookies + "\\stray.txt", 33);
  // Written in upper case: read back ignoring case.
  ASSERT_TRUE(WriteIgnoredCookies(data / "Igckies.swh", {"COOKIE:USER@MAIL.EXAMPLE/"}));

  Clean(kSpotCookies);

  EXPECT_EQ(CacheNames("Cookie:"), std::set<std::string>{"Cookie:user@mail.example/"});
  EXPECT_EQ(ReadBytes(kept).size(), 120u);
  EXPECT_FALSE(Exists(gone));
  EXPECT_FALSE(Exists(large));
  EXPECT_FALSE(Exists(cookies + "\\stray.txt"));
  // The kept entry's store is left out of the walk. (Wine would accept its
  // deletion and carry it out once WinINet lets go of the file, so only the
  // actions can show that it was not attempted.)
  for (const std::string& act : rig.report.acted)
    EXPECT_EQ(ToUpperAscii(act).find("INDEX.DAT"), std::string::npos) << act;
}

TEST_F(DISABLED_UrlCacheSpots, VisitedEntriesGoCookiesStay) {
  CleanUrlCache clean;
  ASSERT_TRUE(AddVisitedEntry("Visited: user@http://a.example/"));
  ASSERT_TRUE(AddVisitedEntry("Visited: user@file:///C:/secret.txt"));
  ASSERT_FALSE(AddCookieEntry("Cookie:user@a.example/", 10).empty());

  Clean(kSpotVisited);

  EXPECT_TRUE(CacheNames("Visited:").empty());
  EXPECT_EQ(CacheNames("Cookie:"), std::set<std::string>{"Cookie:user@a.example/"});
}

// The prefix's own History folder holds the index this very process's WinINet
// has mapped (the Visited: container): wiping it would pull the cache from
// under the other tests. The spot runs on scratch folders instead, through
// the same ports and executor.
class ScratchHistoryFolders : public CWinCleanEnvironment {
 public:
  ScratchHistoryFolders(ISettingsStore& settings, std::string windows, std::string history)
      : CWinCleanEnvironment(settings, true), windows_(std::move(windows)), history_(std::move(history)) {}
  std::string WindowsFolder() override { return windows_; }
  std::string HistoryFolder() override { return history_; }

 private:
  std::string windows_, history_;
};

TEST_F(SpecialSpotOnWine, HistoryClearsTheObjectAndBothFolders) {
  const std::string real = rig.cleaners.environment().HistoryFolder();
  EXPECT_TRUE(!real.empty() && Exists(real)) << "the shell names no History folder: " << real;
  ScratchDir windows("windows"), history("history");
  MakeDirs(windows / "History\\Today");
  WriteBytes(windows / "History\\Today\\visit.url", 40);
  MakeDirs(history / "History.IE5\\MSHist01");
  WriteBytes(history / "desktop.ini", 50);
  WriteBytes(history / "History.IE5\\MSHist01\\index.dat", 1000, 'h');
  WriteBytes(history / "History.IE5\\MSHist01\\leftover.tmp", 10);
  ScratchHistoryFolders folders(rig.settings, windows.path(), history.path());
  CSpotCleaner cleaner(SpotCleanerPorts{rig.cleaners.files(), rig.cleaners.registry(), rig.cleaners.urlCache(),
                                        folders, rig.prompt},
                       rig.cleaners.executor());
  CCleaningSpot spot("History", 1);
  spot.Type = kSpotHistory;

  CleanSpot(spot, rig.context, cleaner);

  EXPECT_EQ(rig.history.cleared, 1);
  EXPECT_FALSE(Exists(windows / "History\\Today"));
  EXPECT_FALSE(Exists(history / "History.IE5\\MSHist01\\leftover.tmp"));
  EXPECT_EQ(ReadBytes(history / "History.IE5\\MSHist01\\index.dat").size(), 1000u) << "wiped, never deleted";
  EXPECT_TRUE(Exists(history / "desktop.ini"));
}

std::string LogonName() {
  char name[260] = {};
  DWORD length = sizeof name;
  return GetUserNameA(name, &length) ? name : "";
}

// The stores of this user (by SID and by logon name) in both hives, made by
// the test and removed at its end. The prefix is the suite's own: a store
// found at the start is another test's seeded trace, removed first.
class UserStores {
 public:
  UserStores() : sid_(CurrentUserSidText()), logon_(LogonName()) {
    Remove();
    for (int hive = 0; hive < 2; ++hive) providerExisted_[hive] = KeyExists(hives_[hive], kProtectedStorageKey);
  }
  ~UserStores() {
    Remove();
    for (int hive = 0; hive < 2; ++hive)
      if (!providerExisted_[hive] && SubKeys(hives_[hive], kProtectedStorageKey).empty())
        RemoveKeyTree(hives_[hive], kProtectedStorageKey);
  }
  UserStores(const UserStores&) = delete;
  UserStores& operator=(const UserStores&) = delete;
  bool usable() const { return !sid_.empty() && !logon_.empty() && sid_ != logon_; }
  const std::string& sid() const { return sid_; }
  const std::string& logon() const { return logon_; }

 private:
  void Remove() {
    for (HKEY hive : hives_)
      for (const std::string& identity : {sid_, logon_}) RemoveKeyTree(hive, FormStoreBase(identity));
  }
  const HKEY hives_[2] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
  std::string sid_, logon_;
  bool providerExisted_[2] = {};
};

void SeedStore(HKEY root, const std::string& store) {
  SetString(root, store, "entry1", "secret");
  SetString(root, store, "entry2", "other");
  SetString(root, store + "\\Site\\Form", "field", "value");
}

std::string DaclBytes(HKEY root, const std::string& key) {
  std::vector<BYTE> descriptor;
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  if (!ReadKeyDacl(root, key, descriptor) ||
      !GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted) || !present || acl == nullptr)
    return "<no list>";
  return std::string(reinterpret_cast<const char*>(acl), acl->AclSize);
}

// "flags mask sid" of every allowing entry of the key's list.
std::vector<std::string> AllowedEntries(HKEY root, const std::string& key) {
  std::vector<std::string> out;
  std::vector<BYTE> descriptor;
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  if (!ReadKeyDacl(root, key, descriptor) ||
      !GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted) || acl == nullptr)
    return out;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(acl, i, &ace)) break;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    out.push_back(std::to_string(allowed->Header.AceFlags) + " " + std::to_string(allowed->Mask) + " " +
                  SidString(&allowed->SidStart));
  }
  return out;
}

// The store named by the SID is readable only: the cleaner widens its list,
// empties it and gives its base the former list back. The store named by the
// logon name is cleaned in the user's hive, else in the machine's.
TEST(AutoCompleteOnWine, StoresAreEmptiedThroughTheirAccessLists) {
  struct Case {
    const char* what;
    bool sid, userLogon, machineLogon;
  };
  const Case cases[] = {
      {"every store", true, true, true},
      {"the machine's logon store only", false, false, true},
      {"no store", false, false, false},
  };
  for (const Case& c : cases) {
    UserStores stores;
    ASSERT_TRUE(stores.usable()) << "no SID or logon name: " << stores.sid() << " " << stores.logon();
    const std::string sidStore = FormStoreKey(stores.sid()), logonStore = FormStoreKey(stores.logon());
    const std::string base = FormStoreBase(stores.sid()), data = FormStoreDataKey(stores.sid());
    struct Store {
      HKEY root;
      std::string identity, key;
      bool seeded, cleaned;
    };
    const Store all[] = {
        {HKEY_CURRENT_USER, stores.sid(), sidStore, c.sid, c.sid},
        {HKEY_CURRENT_USER, stores.logon(), logonStore, c.userLogon, c.userLogon},
        {HKEY_LOCAL_MACHINE, stores.logon(), logonStore, c.machineLogon, c.machineLogon && !c.userLogon},
    };
    for (const Store& s : all)
      if (s.seeded) SeedStore(s.root, s.key);
    std::string baseBefore;
    if (c.sid) {
      for (const std::string& key : {sidStore + "\\Site\\Form", sidStore + "\\Site", sidStore, data, base})
        ASSERT_TRUE(SetKeyDacl(HKEY_CURRENT_USER, key, KEY_READ)) << key;
      ScopedHKey probe;
      ASSERT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, sidStore.c_str(), 0, KEY_SET_VALUE, probe.Receive()), ERROR_SUCCESS)
          << "the read-only list does not hold here";
      baseBefore = DaclBytes(HKEY_CURRENT_USER, base);
    }
    WinRig rig;
    CCleaningSpot spot("AutoComplete", 1);
    spot.Type = kSpotAutoComplete;

    rig.Clean(spot);

    for (const Store& s : all) {
      const std::string where = std::string(c.what) + ": " + s.key;
      if (!s.seeded) {
        EXPECT_FALSE(KeyExists(s.root, FormStoreBase(s.identity))) << where << " was created";
      } else if (s.cleaned) {
        EXPECT_TRUE(SubKeys(s.root, s.key).empty()) << where;
        EXPECT_EQ(ValueNames(s.root, s.key), std::vector<std::string>{kDisplayStringName}) << where;
        EXPECT_EQ(ReadString(s.root, s.key, kDisplayStringName), kDisplayStringValue) << where;
      } else {
        EXPECT_EQ(ValueNames(s.root, s.key), (std::vector<std::string>{"entry1", "entry2"})) << where;
      }
    }
    if (c.sid) {
      EXPECT_EQ(DaclBytes(HKEY_CURRENT_USER, base), baseBefore) << "base gets its former list back";
      const std::string full = std::to_string(CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE) + " " +
                               std::to_string(KEY_ALL_ACCESS) + " ";
      EXPECT_EQ(AllowedEntries(HKEY_CURRENT_USER, data),
                (std::vector<std::string>{full + stores.sid(), full + "S-1-5-18"}));
    }
    EXPECT_TRUE(rig.prompt.asked.empty()) << c.what;
  }
}

// Wine makes the history object, but its ClearHistory returns E_NOTIMPL:
// only that the object is made, with COM ready and not without, shows here.
TEST(UrlHistoryOnWine, ObjectIsMadeOnlyWithComInitialised) {
  bool withoutCom = true, withCom = false;
  TestThread([&] { withoutCom = CWinUrlHistory().ClearHistory(); }).Join();
  TestThread([&] {
    if (SUCCEEDED(CoInitialize(nullptr))) {
      withCom = CWinUrlHistory().ClearHistory();
      CoUninitialize();
    }
  }).Join();
  EXPECT_FALSE(withoutCom);
  EXPECT_TRUE(withCom);
}

}  // namespace
}  // namespace sh::test
