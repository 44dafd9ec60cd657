// The protected folders are the shell's answer; between runs it is kept only
// while the shell's folder keys are unchanged, so a folder moved while the
// program runs is protected at its new place from the next run on.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "engine/machine_ports_win.h"
#include "support/recorders.h"
#include "support/registry_guard.h"

namespace sh {
namespace {

TEST(CleanEnvironment, ProtectedFoldersFollowAFolderMovedBetweenRuns) {
  test::MapSettings settings;
  CWinCleanEnvironment environment(settings, true);
  char temp[MAX_PATH] = {};
  ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string moved = std::string(temp) + "moved documents";
  CreateDirectoryA(moved.c_str(), nullptr);
  const auto has = [&moved](const std::vector<std::string>& folders) {
    return std::any_of(folders.begin(), folders.end(),
                       [&moved](const std::string& f) { return lstrcmpiA(f.c_str(), moved.c_str()) == 0; });
  };
  ASSERT_FALSE(has(environment.ProtectedFolders()));
  {
    test::RegistryGuard guard;
    guard.SetRaw(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                 "Personal", REG_EXPAND_SZ, moved + std::string(1, '\0'));
    EXPECT_TRUE(has(environment.ProtectedFolders()));
  }
  EXPECT_FALSE(has(environment.ProtectedFolders()));
  RemoveDirectoryA(moved.c_str());
}

}  // namespace
}  // namespace sh
