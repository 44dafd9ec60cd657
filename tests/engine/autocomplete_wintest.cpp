// The browser's stored form entries in Protected Storage, built in the test
// prefix's registry. Wine checks a key's access list when it is opened (so
// the restricted store really resists a plain clean), but always lets the
// owner change the list and lets RegDeleteKey through: a store the user can
// neither open nor re-list, as Windows can have it, cannot be shown here.
#include <gtest/gtest.h>

#include "engine/registry_cleaner_win.h"
#include "engine/special_stores.h"
#include "engine/special_stores_win.h"
#include "engine/registry_scratch_key.h"
#include "support/recorders.h"

namespace sh::test {
namespace {

std::string LogonName() {
  char name[260] = {};
  DWORD length = sizeof name;
  return GetUserNameA(name, &length) ? name : "";
}

// The stores of this user (by SID and by logon name) in both hives, made by
// the test and removed at its end. Wine's prefix has an empty Protected
// Storage key of its own; a prefix that already has one of these stores is
// left alone (the test is skipped).
class UserStores {
 public:
  UserStores() : sid_(CurrentUserSidText()), logon_(LogonName()) {
    for (int hive = 0; hive < 2; ++hive) {
      providerExisted_[hive] = KeyExists(hives_[hive], kProtectedStorageKey);
      for (const std::string& identity : {sid_, logon_})
        if (KeyExists(hives_[hive], FormStoreBase(identity))) existed_ = true;
    }
  }
  ~UserStores() {
    if (existed_) return;
    for (int hive = 0; hive < 2; ++hive) {
      for (const std::string& identity : {sid_, logon_}) RemoveKeyTree(hives_[hive], FormStoreBase(identity));
      if (!providerExisted_[hive] && SubKeys(hives_[hive], kProtectedStorageKey).empty())
        RemoveKeyTree(hives_[hive], kProtectedStorageKey);
    }
  }
  bool usable() const { return !existed_ && !sid_.empty() && !logon_.empty(); }
  const std::string& sid() const { return sid_; }
  const std::string& logon() const { return logon_; }

 private:
  const HKEY hives_[2] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
  std::string sid_, logon_;
  bool existed_ = false;
  bool providerExisted_[2] = {};
};

struct FormRun {
  explicit FormRun(bool nt) {
    CSpotCleanerSeams seams;
    seams.ntFamily = nt;
    cleaners = std::make_unique<CWinSpotCleaners>(settings, prompt, seams);
  }
  void Clean() {
    CCleaningSpot spot("AutoComplete", 1);
    cleaners->CleanAutoComplete(spot, context);
  }
  MapSettings settings;
  ScriptedPrompt prompt;
  RecordingLog log;
  RecordingProgress progress;
  ScriptedControl control;
  std::unique_ptr<CWinSpotCleaners> cleaners;
  CCleanRunContext context{&log, &progress, &control, 0};
};

void SeedStore(HKEY root, const std::string& store) {
  SetString(root, store, "entry1", "secret");
  SetString(root, store, "entry2", "other");
  SetString(root, store + "\\Site\\Form", "field", "value");
}

std::string DaclBytes(const std::vector<BYTE>& descriptor) {
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  if (descriptor.empty() ||
      !GetSecurityDescriptorDacl(const_cast<BYTE*>(descriptor.data()), &present, &acl, &defaulted) || !present ||
      acl == nullptr)
    return "<no dacl>";
  return std::string(reinterpret_cast<const char*>(acl), acl->AclSize);
}

// "type flags mask sid" for every entry of the key's list.
std::vector<std::string> AceSummary(HKEY root, const std::string& key) {
  std::vector<std::string> out;
  std::vector<BYTE> descriptor;
  if (!ReadKeyDacl(root, key, descriptor)) return out;
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted) || acl == nullptr) return out;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(acl, i, &ace)) break;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    out.push_back(std::to_string(allowed->Header.AceType) + " " + std::to_string(allowed->Header.AceFlags) + " " +
                  std::to_string(allowed->Mask) + " " + SidString(&allowed->SidStart));
  }
  return out;
}

TEST(AutoComplete, SidStoreIsWidenedCleanedAndBaseGetsItsListBack) {
  UserStores stores;
  if (!stores.usable()) GTEST_SKIP() << "the prefix already has a store of this user";
  std::vector<BYTE> user = CurrentUserSid();
  const std::string sid = SidString(user.data());
  ASSERT_EQ(stores.sid(), sid);
  const std::string base = FormStoreBase(sid), data = FormStoreDataKey(sid), store = FormStoreKey(sid);
  SeedStore(HKEY_CURRENT_USER, store);
  for (const std::string& key : {store + "\\Site\\Form", store + "\\Site", store, data, base})
    ASSERT_TRUE(SetUserOnlyDacl(HKEY_CURRENT_USER, key, KEY_READ)) << key;
  // Without the widening the store resists.
  ASSERT_FALSE(CleanRegistryKeyAt(HKEY_CURRENT_USER, store));
  std::vector<BYTE> baseBefore;
  ASSERT_TRUE(ReadKeyDacl(HKEY_CURRENT_USER, base, baseBefore));

  FormRun run(true);
  run.Clean();

  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, store));
  EXPECT_TRUE(SubKeys(HKEY_CURRENT_USER, store).empty());
  EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, store), std::vector<std::string>{"Display String"});
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, store, "Display String"), "Internet Explorer");
  std::vector<BYTE> baseAfter;
  ASSERT_TRUE(ReadKeyDacl(HKEY_CURRENT_USER, base, baseAfter));
  EXPECT_EQ(DaclBytes(baseAfter), DaclBytes(baseBefore));
  const std::string inherit = std::to_string(CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE);
  const std::string all = std::to_string(KEY_ALL_ACCESS);
  EXPECT_EQ(AceSummary(HKEY_CURRENT_USER, data),
            (std::vector<std::string>{"0 " + inherit + " " + all + " " + sid, "0 " + inherit + " " + all + " S-1-5-18"}));
  // Step A writes no line; no store under the logon name was there to clean.
  EXPECT_TRUE(run.log.lines.empty());
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, FormStoreBase(stores.logon())));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, FormStoreBase(stores.logon())));
}

TEST(AutoComplete, LogonNameStoreInTheUsersHive) {
  UserStores stores;
  if (!stores.usable()) GTEST_SKIP() << "the prefix already has a store of this user";
  const std::string name = stores.logon();
  const std::string sidStore = FormStoreKey(stores.sid());
  const std::string store = FormStoreKey(name);
  SeedStore(HKEY_CURRENT_USER, sidStore);
  SeedStore(HKEY_CURRENT_USER, store);
  SeedStore(HKEY_LOCAL_MACHINE, store);

  FormRun run(false);  // not the NT family: the SID store is not looked at
  run.Clean();

  EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, sidStore), (std::vector<std::string>{"entry1", "entry2"}));
  EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, store), std::vector<std::string>{"Display String"});
  EXPECT_TRUE(SubKeys(HKEY_CURRENT_USER, store).empty());
  EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, store), (std::vector<std::string>{"entry1", "entry2"}));
  ASSERT_EQ(run.log.lines.size(), 1u);
  EXPECT_EQ(run.log.lines[0], "Cleaned : HKEY_CURRENT_USER\\Software\\Microsoft\\Protected Storage System Provider\\" +
                                  name + "\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db\r\n");
}

TEST(AutoComplete, LogonNameStoreOfTheMachineWhenTheUserHasNone) {
  UserStores stores;
  if (!stores.usable()) GTEST_SKIP() << "the prefix already has a store of this user";
  const std::string store = FormStoreKey(stores.logon());
  SeedStore(HKEY_LOCAL_MACHINE, store);

  FormRun run(true);
  run.Clean();

  EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, store), std::vector<std::string>{"Display String"});
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, store, "Display String"), "Internet Explorer");
  EXPECT_TRUE(SubKeys(HKEY_LOCAL_MACHINE, store).empty());
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, FormStoreBase(stores.logon())));
  ASSERT_EQ(run.log.lines.size(), 1u);
  EXPECT_EQ(run.log.lines[0], "Cleaned : HKEY_LOCAL_MACHINE\\" + store + "\r\n");
}

TEST(AutoComplete, NoStoreAnywhereCreatesNothing) {
  UserStores stores;
  if (!stores.usable()) GTEST_SKIP() << "the prefix already has a store of this user";

  FormRun run(true);
  run.Clean();

  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    for (const std::string& identity : {stores.sid(), stores.logon()})
      EXPECT_FALSE(KeyExists(root, FormStoreBase(identity)));
  EXPECT_TRUE(run.log.lines.empty());
  EXPECT_TRUE(run.prompt.asked.empty());
}

}  // namespace
}  // namespace sh::test
