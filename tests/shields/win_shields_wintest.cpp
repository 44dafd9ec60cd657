// The shields on the real machine: changes made by other processes (reg.exe,
// cmd.exe) reach the window through the watches, are put to the user and
// undone or kept.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/child_process.h"
#include "paths/known_locations_win.h"
#include "shields/shield_fakes.h"
#include "shields/win_shields_win.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "support/win_fs.h"
#include "toolkit/gui_fixture.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

using test::PumpUntil;

constexpr char kMain[] = "Software\\Microsoft\\Internet Explorer\\Main";

// A window that hands the shields' messages to them.
class ShieldWindow : public CDialog {
 public:
  ShieldWindow() : CDialog(0) { EXPECT_TRUE(test::CreateInMemory(*this, nullptr, WS_POPUP, 0, 0, 1, 1)); }
  CWinShields* shields = nullptr;

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT*) override {
    return shields != nullptr && shields->OnMessage(msg, wParam, lParam);
  }
};

// Runs a command line of another process, a program of the system folder,
// to its end (without pumping this thread's messages).
void RunCommand(const std::string& command) {
  const size_t space = command.find(' ');
  const std::string program = GetSystemFolder() + "\\" + command.substr(0, space);
  EXPECT_TRUE(test::Process(test::ChildLaunch(program, command.substr(space + 1))).Exited(20000)) << command;
}

std::string UserValue(const char* name) { return CWinBrowserSettings().Read(BrowserRoot::kUser, name); }

struct Shields {
  explicit Shields(const char* flags) {
    for (const char* name : {"ShieldHomePage", "ShieldHijack", "ShieldFavorites", "ShieldSilent"})
      if (std::string(flags).find(name + 6) != std::string::npos) settings.values[name] = "1";
    window.shields = &shields;
    shields.Start();
  }
  ~Shields() { window.shields = nullptr; }
  test::MapSettings settings;
  test::FakeQuestion question;
  test::ScriptedPrompt prompt;
  ShieldWindow window;
  CWinShields shields{window.hwnd(), question, settings, prompt};
};

// Refused changes by other processes are undone, and the undo is no change
// to ask about; a deleted value is allowed unasked; the machine's value is
// checked against the machine's snapshot and written back there. (Silent
// mode, allowed and case-only changes: the shield's own tests.)
TEST(ShieldsOnWine, RegistryChangesByAnotherProcessAreAskedAndUndone) {
  test::RegistryGuard guard;
  guard.SetString(HKEY_CURRENT_USER, kMain, "Search Page", "http://mine.example/");
  guard.SetString(HKEY_CURRENT_USER, kMain, "Local Page", "C:\\local.htm");
  guard.SetString(HKEY_LOCAL_MACHINE, kMain, "Search Page", "http://machine.example/");
  Shields rig("Hijack");
  RunCommand("reg.exe add \"HKCU\\" + std::string(kMain) + "\" /f /v \"Search Page\" /d http://evil.example/");
  RunCommand("reg.exe delete \"HKCU\\" + std::string(kMain) + "\" /v \"Local Page\" /f");
  RunCommand("reg.exe add \"HKLM\\" + std::string(kMain) + "\" /f /v \"Search Page\" /d http://m2.example/");
  EXPECT_TRUE(PumpUntil([&] { return rig.question.titles.size() == 2; }, 8000));
  PumpUntil([] { return false; }, 1500);
  EXPECT_EQ(rig.question.titles, (std::vector<std::string>{"IE Settings Changed", "IE Settings Changed"}));
  EXPECT_EQ(UserValue("Search Page"), "http://mine.example/");
  EXPECT_EQ(UserValue("Local Page"), "");
  EXPECT_EQ(CWinBrowserSettings().Read(BrowserRoot::kMachine, "Search Page"), "http://machine.example/");
}

TEST(ShieldsOnWine, FilesDroppedByAnotherProcessAreAskedAboutAndRefusedOnesGo) {
  const std::string favorites = CWinFavoritesFolder::Folder();
  ASSERT_FALSE(favorites.empty());
  CreateDirectoryA(favorites.c_str(), nullptr);
  const std::string ad = favorites + "\\Cheap pills.url", kept = favorites + "\\Kept.url";
  const std::string renamed = favorites + "\\Renamed.url";
  for (const std::string& f : {ad, kept, renamed}) DeleteFileA(f.c_str());
  ScopedOleInitialize ole;  // the shortcut's URL comes from the shell's object, as in the program
  test::ScratchDir dir("favorite");
  const std::string source = dir / "ad.url";
  ASSERT_TRUE(test::WriteExact(test::Wide(source), "[InternetShortcut]\r\nURL=http://ads.example/\r\n"));
  CopyFileA(source.c_str(), kept.c_str(), FALSE);
  Shields rig("Favorites Hijack");
  RunCommand("cmd.exe /c copy /y \"" + source + "\" \"" + ad + "\"");
  ASSERT_TRUE(PumpUntil([&] { return !rig.question.texts.empty(); }, 8000));
  EXPECT_EQ(rig.question.texts[0], "(http://ads.example/) has been added to your favorites list. Allow this addition?");
  EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesA(ad.c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000));
  EXPECT_EQ(rig.question.texts.size(), 1u);
  // A renamed favorite is a new one.
  RunCommand("cmd.exe /c ren \"" + kept + "\" Renamed.url");
  EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesA(renamed.c_str()) == INVALID_FILE_ATTRIBUTES; }, 8000));

  std::string hosts;
  CWinHostsFile file;
  ASSERT_TRUE(file.Read(hosts));
  RunCommand("cmd.exe /c echo 10.9.8.7 ads.example>> \"" + CWinHostsFile::Folder() + "\\hosts\"");
  EXPECT_TRUE(PumpUntil([&] { return rig.question.titles.back() == "Hosts File Changed"; }, 8000));
  std::string after;
  EXPECT_TRUE(PumpUntil([&] { return file.Read(after) && after == hosts; }, 3000)) << after;
  file.Write(hosts);
}

// The window's thread stops the watches while a worker is blocked sending
// to it (it does not pump): the stop handles the send instead of waiting for
// ever, and no worker is killed.
TEST(ShieldsOnWine, StoppingWhileAWorkerWaitsOnItsSendEnds) {
  test::RegistryGuard guard;
  guard.SetString(HKEY_CURRENT_USER, kMain, "Search Page", "http://mine.example/");
  ShieldWindow window;
  test::ScriptedPrompt prompt;
  CRegKeyWatcher watcher(prompt);
  watcher.SetTargetWindow(window.hwnd());
  ASSERT_TRUE(watcher.AddWatch(HKEY_CURRENT_USER, kMain, kUserSettingsWatch));
  Sleep(200);
  RunCommand("reg.exe add \"HKCU\\" + std::string(kMain) + "\" /v \"Search Page\" /d http://x.example/ /f");
  Sleep(300);
  const DWORD start = GetTickCount();
  watcher.Stop();
  EXPECT_LT(GetTickCount() - start, 3000u);
  EXPECT_TRUE(prompt.asked.empty());
}

}  // namespace
}  // namespace sh
