// Registry cleaning on real keys of the test prefix.
#include <gtest/gtest.h>

#include "engine/registry_cleaner_win.h"
#include "engine/win_cleaners_win.h"
#include "engine/registry_scratch_key.h"
#include "support/recorders.h"

namespace sh::test {
namespace {

struct RegistryRun {
  MapSettings settings;
  ScriptedPrompt prompt;
  RecordingLog log;
  RecordingProgress progress;
  ScriptedControl control;
  CWinSpotCleaners cleaners{settings, prompt};
  CCleanRunContext context{&log, &progress, &control, 0};
};

// Target with two levels of subkeys, named values and a default value.
void BuildTree(const std::string& target) {
  SetString(HKEY_CURRENT_USER, target, "", "default");
  SetString(HKEY_CURRENT_USER, target, "MRUList", "ab");
  SetString(HKEY_CURRENT_USER, target, "a", "C:\\doc1.txt");
  SetString(HKEY_CURRENT_USER, target + "\\One", "x", "1");
  SetString(HKEY_CURRENT_USER, target + "\\One\\Two", "y", "2");
  MakeKey(HKEY_CURRENT_USER, target + "\\One\\Two\\Three");
  SetString(HKEY_CURRENT_USER, target + "\\Other", "z", "3");
}

TEST(RegistryCleaner, KeyEntryEmptiesTheTreeAndLeavesTheKey) {
  ScratchKey scratch("regkey");
  BuildTree(scratch / "Target");
  SetString(HKEY_CURRENT_USER, scratch / "Sibling", "keep", "me");
  RegistryRun run;
  CCleaningSpot spot("Recent documents", 1);
  spot.AddRegKey(RegRoot::kCurrentUser, scratch / "Target");

  run.cleaners.CleanRegistry(spot, run.context);

  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, scratch / "Target"));
  EXPECT_TRUE(SubKeys(HKEY_CURRENT_USER, scratch / "Target").empty());
  EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, scratch / "Target").empty());
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, scratch / "Sibling", "keep"), "me");
  ASSERT_EQ(run.log.lines.size(), 1u);
  EXPECT_EQ(run.log.lines[0], "Cleaning : Key = HKEY_CURRENT_USER\\" + (scratch / "Target") + " \r\n");
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "1 Keys");
  EXPECT_EQ(run.control.pumps, 1);
  EXPECT_TRUE(run.prompt.asked.empty());
}

TEST(RegistryCleaner, MissingKeyIsNotCreated) {
  ScratchKey scratch("regmissing");
  RegistryRun run;
  CCleaningSpot spot("Missing", 1);
  spot.AddRegKey(RegRoot::kCurrentUser, scratch / "Absent\\Deeper");

  run.cleaners.CleanRegistry(spot, run.context);

  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch / "Absent"));
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "0 Keys");
  EXPECT_EQ(run.log.lines.size(), 1u);  // the line is written before the attempt
}

TEST(RegistryCleaner, ValueEntriesDeleteNamedAndDefaultValues) {
  ScratchKey scratch("regvalue");
  const std::string key = scratch / "Typed";
  SetString(HKEY_CURRENT_USER, key, "", "default");
  SetString(HKEY_CURRENT_USER, key, "url1", "http://a/");
  SetString(HKEY_CURRENT_USER, key, "url2", "http://b/");
  SetString(HKEY_CURRENT_USER, key + "\\Child", "c", "kept");
  ScriptedPrompt prompt;

  EXPECT_TRUE(CleanRegistryValue(RegRoot::kCurrentUser, key, "url1", prompt));
  EXPECT_TRUE(CleanRegistryValue(RegRoot::kCurrentUser, key, "", prompt));
  EXPECT_FALSE(CleanRegistryValue(RegRoot::kCurrentUser, key, "url1", prompt));  // already gone
  EXPECT_FALSE(CleanRegistryValue(RegRoot::kCurrentUser, scratch / "NoSuchKey", "url2", prompt));

  EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, key), std::vector<std::string>{"url2"});
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, key + "\\Child", "c"), "kept");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch / "NoSuchKey"));
  EXPECT_TRUE(prompt.asked.empty());
}

TEST(RegistryCleaner, KeysBeforeValuesAndTheCountInTheFilesColumn) {
  ScratchKey scratch("regorder");
  SetString(HKEY_CURRENT_USER, scratch / "A", "v", "1");
  BuildTree(scratch / "B");
  RegistryRun run;
  CCleaningSpot spot("Both kinds", 1);
  // The value entry comes first in the file; key entries are still cleaned
  // first, so the value inside B is gone before its entry is reached.
  spot.AddRegValue(RegRoot::kCurrentUser, scratch / "A", "v");
  spot.AddRegValue(RegRoot::kCurrentUser, scratch / "B", "MRUList");
  spot.AddRegKey(RegRoot::kCurrentUser, scratch / "B");

  run.cleaners.CleanRegistry(spot, run.context);

  ASSERT_EQ(run.log.lines.size(), 3u);
  EXPECT_EQ(run.log.lines[0], "Cleaning : Key = HKEY_CURRENT_USER\\" + (scratch / "B") + " \r\n");
  EXPECT_EQ(run.log.lines[1], "Cleaning : Key = HKEY_CURRENT_USER\\" + (scratch / "A") + " Value = v\r\n");
  EXPECT_EQ(run.log.lines[2], "Cleaning : Key = HKEY_CURRENT_USER\\" + (scratch / "B") + " Value = MRUList\r\n");
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "2 Keys");
  EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, scratch / "A").empty());

  // With folder entries the Files column is the files' count, not touched here.
  RegistryRun withFolders;
  spot.AddFolder("C:\\nowhere", "*.*", 0, 0, 0);
  withFolders.cleaners.CleanRegistry(spot, withFolders.context);
  EXPECT_EQ(withFolders.progress.Cell(0, kFilesColumn), "");
}

TEST(RegistryCleaner, EntryWithoutRootIsShownAndTheRunGoesOn) {
  ScratchKey scratch("regnoroot");
  SetString(HKEY_CURRENT_USER, scratch / "A", "v", "1");
  SetString(HKEY_CURRENT_USER, scratch / "B", "w", "2");
  RegistryRun run;
  CCleaningSpot spot("Broken plugin", 1);
  spot.AddRegKey(RegRoot::kNone, "Software\\Vendor\\Recent");
  spot.AddRegKey(RegRoot::kCurrentUser, scratch / "A");
  spot.AddRegValue(RegRoot::kNone, "Software\\Vendor", "Last");
  spot.AddRegValue(RegRoot::kCurrentUser, scratch / "B", "w");

  run.cleaners.CleanRegistry(spot, run.context);

  ASSERT_EQ(run.prompt.asked.size(), 2u);
  EXPECT_EQ(run.prompt.asked[0].text, "Software\\Vendor\\Recent");
  EXPECT_EQ(run.prompt.asked[0].caption, "Invalid hKey Found in (CleanRegistryKey)");
  EXPECT_EQ(run.prompt.asked[0].kind, PromptKind::kOk);
  EXPECT_EQ(run.prompt.asked[1].text, "Software\\Vendor : Last");
  EXPECT_EQ(run.prompt.asked[1].caption, "Invalid hKey Found in (CleanRegistryValue)");
  EXPECT_EQ(run.log.lines[0], "Cleaning : Key = \\Software\\Vendor\\Recent \r\n");
  EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, scratch / "A").empty());
  EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, scratch / "B").empty());
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "2 Keys");
}

// The scratch key itself stands in for a root here, so that a fault in the
// guard could only empty the scratch key.
TEST(RegistryCleaner, RootItselfIsNeverDeleted) {
  ScratchKey scratch("regroot");
  MakeKey(HKEY_CURRENT_USER, scratch / "child1\\grandchild");
  MakeKey(HKEY_CURRENT_USER, scratch / "child2");
  HKEY asRoot;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, scratch.path().c_str(), 0, KEY_ALL_ACCESS, &asRoot), ERROR_SUCCESS);

  EXPECT_EQ(RecurseDeleteKey(asRoot, ""), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RecurseDeleteKey(asRoot, "\\\\"), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(CleanRegistryKeyAt(asRoot, ""));
  EXPECT_FALSE(CleanRegistryKeyAt(asRoot, "\\"));
  EXPECT_FALSE(CleanRegistryKeyAt(nullptr, "child2"));
  EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, scratch.path()), (std::vector<std::string>{"child1", "child2"}));

  // A real subkey below the same handle is cleaned as usual.
  EXPECT_TRUE(CleanRegistryKeyAt(asRoot, "child1"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, scratch / "child1"));
  EXPECT_TRUE(SubKeys(HKEY_CURRENT_USER, scratch / "child1").empty());
  RegCloseKey(asRoot);
}

// Wine checks the access list when a key is opened (though it lets
// RegDeleteKey through whatever the list says), so a subkey the user may
// only read stops the delete half-way.
TEST(RegistryCleaner, PartlyDeletedTreeIsNotRecreated) {
  ScratchKey scratch("regpartial");
  const std::string target = scratch / "T";
  MakeKey(HKEY_CURRENT_USER, target + "\\a\\deep");
  MakeKey(HKEY_CURRENT_USER, target + "\\b");
  MakeKey(HKEY_CURRENT_USER, target + "\\c");
  ASSERT_TRUE(SetUserOnlyDacl(HKEY_CURRENT_USER, target + "\\b", KEY_READ));

  EXPECT_EQ(RecurseDeleteKey(HKEY_CURRENT_USER, target), ERROR_ACCESS_DENIED);
  EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, target), (std::vector<std::string>{"b", "c"}));

  ScriptedPrompt prompt;
  EXPECT_FALSE(CleanRegistryKey(RegRoot::kCurrentUser, target, prompt));
  EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, target), (std::vector<std::string>{"b", "c"}));
}

}  // namespace
}  // namespace sh::test
