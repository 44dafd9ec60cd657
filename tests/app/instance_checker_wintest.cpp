// The single-instance guard on Wine's named mappings, in this process and
// from a second process (this program run again).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/child_process.h"
#include "app/instance_checker_win.h"
#include "ui/main/messages.h"
#include "ui/main/system_tray_win.h"

namespace sh {
namespace {

using namespace sh::test;

std::string UniqueAppName(const char* tag) {
  return std::string("sh_tests_") + tag + "_" + std::to_string(GetCurrentProcessId());
}

ScopedWindow MakeMainWindow(DWORD style = WS_POPUP) {
  return ScopedWindow(
      CreateWindowExA(0, "STATIC", "main", style, 100, 100, 200, 150, nullptr, nullptr, nullptr, nullptr));
}

uint32_t StoredValue(const std::string& mappingName) {
  ScopedHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, mappingName.c_str()));
  if (!mapping.valid()) return 0xDEADBEEF;
  const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 4);
  if (view == nullptr) return 0xDEADBEEF;
  uint32_t value = *static_cast<const uint32_t*>(view);
  UnmapViewOfFile(view);
  return value;
}

TEST(InstanceChecker, FirstInstanceStoresItsWindowSecondFindsIt) {
  std::string app = UniqueAppName("pair");
  ScopedWindow main = MakeMainWindow();
  ASSERT_TRUE(main);
  CInstanceChecker first(app);
  EXPECT_FALSE(first.IsAnotherInstanceRunning());
  EXPECT_EQ(first.ActivateOtherInstance(), nullptr) << "no mapping was opened";
  ASSERT_TRUE(first.RegisterAsFirstInstance(main.get()));
  EXPECT_EQ(first.MappingName(), "CInstanceChecker_MMF_" + app);
  EXPECT_EQ(StoredValue("CInstanceChecker_MMF_" + app), static_cast<uint32_t>(reinterpret_cast<uintptr_t>(main.get())));
  EXPECT_FALSE(first.RegisterAsFirstInstance(main.get())) << "the name is taken, by ourselves too";

  CInstanceChecker second(app);
  EXPECT_FALSE(second.RegisterAsFirstInstance(nullptr));
  ASSERT_TRUE(second.IsAnotherInstanceRunning());
  EXPECT_EQ(second.ActivateOtherInstance(), main.get());
  EXPECT_EQ(second.ActivateOtherInstance(), nullptr) << "activating closes the mapping handle";
}

TEST(InstanceChecker, ActivatingRestoresAMinimizedWindow) {
  std::string app = UniqueAppName("restore");
  ScopedWindow main = MakeMainWindow(WS_OVERLAPPEDWINDOW);
  ShowWindow(main.get(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(main.get()));
  CInstanceChecker first(app);
  ASSERT_TRUE(first.RegisterAsFirstInstance(main.get()));
  CInstanceChecker second(app);
  ASSERT_TRUE(second.IsAnotherInstanceRunning());
  EXPECT_EQ(second.ActivateOtherInstance(), main.get());
  EXPECT_FALSE(IsIconic(main.get()));
}

TEST(InstanceChecker, TheNameGoesWithTheFirstInstance) {
  std::string app = UniqueAppName("gone");
  {
    CInstanceChecker first(app);
    ASSERT_TRUE(first.RegisterAsFirstInstance(nullptr));
    CInstanceChecker probe(app);
    ASSERT_TRUE(probe.IsAnotherInstanceRunning());
    EXPECT_EQ(probe.ActivateOtherInstance(), nullptr) << "a null main window is stored as null";
  }
  CInstanceChecker later(app);
  EXPECT_FALSE(later.IsAnotherInstanceRunning());
  EXPECT_TRUE(later.RegisterAsFirstInstance(nullptr));
}

// A second start while the first copy is in the tray: the second process
// finds the mapping and the first copy's window, and asks the tray window to
// bring the main window back; the first copy then shows it and hides the icon.
// Once the first copy's guard is gone, a second process finds nothing.
TEST(InstanceChecker, SecondProcessBringsTheFirstBackFromTheTray) {
  std::string app = UniqueAppName("second");
  ScopedWindow main = MakeMainWindow();
  ASSERT_TRUE(main);
  {
    CSystemTray tray;  // the real shell: under Xvfb it accepts the icon
    ASSERT_TRUE(tray.Create(main.get(), WM_TRAY_NOTIFY, "SweepHarbor", LoadIconA(nullptr, IDI_APPLICATION), 202));
    tray.SetTargetWindow(main.get());
    tray.HideWindowToTray(main.get());
    ASSERT_TRUE(tray.ShowTrayIcon());
    auto first = std::make_unique<CInstanceChecker>(app);
    ASSERT_TRUE(first->RegisterAsFirstInstance(main.get()));

    char window[32];
    auto value = static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(main.get()));
    std::snprintf(window, sizeof window, "%llu", value);
    ChildResult child =
        RunTestsInChild("DISABLED_InstanceChild.*", {{"SH_INSTANCE_APP", app}, {"SH_INSTANCE_WINDOW", window}});
    EXPECT_TRUE(child.PassedOne()) << child.output;
    EXPECT_TRUE(IsWindowVisible(main.get()));
    EXPECT_EQ(GetAncestor(main.get(), GA_PARENT), GetDesktopWindow()) << "a top-level window again";
    EXPECT_FALSE(tray.IsIconShown());

    first.reset();
    child = RunTestsInChild("DISABLED_InstanceChild.*", {{"SH_INSTANCE_APP", app}, {"SH_INSTANCE_WINDOW", "none"}});
    EXPECT_TRUE(child.PassedOne()) << child.output;
  }
}

TEST(DISABLED_InstanceChild, SecondStart) {
  std::string app = ChildEnvironment("SH_INSTANCE_APP");
  std::string window = ChildEnvironment("SH_INSTANCE_WINDOW");
  if (app.empty()) GTEST_SKIP() << "only run by SecondProcessBringsTheFirstBackFromTheTray";
  CInstanceChecker checker(app);
  if (window == "none") {
    EXPECT_FALSE(checker.IsAnotherInstanceRunning());
    return;
  }
  ASSERT_TRUE(checker.IsAnotherInstanceRunning());
  HWND expected = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(window.c_str(), nullptr, 10)));
  EXPECT_EQ(checker.ActivateOtherInstance(), expected);
  EXPECT_FALSE(checker.RegisterAsFirstInstance(nullptr));
  EXPECT_TRUE(SendMaximizeFromTray());
}

}  // namespace
}  // namespace sh
