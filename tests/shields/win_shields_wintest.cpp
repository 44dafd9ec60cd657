// The shields on the real machine: changes made by other processes (reg.exe,
// cmd.exe) reach the window through the watches, are put to the user and
// undone or kept.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

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

// Runs a command line of another process to its end.
void RunCommand(const std::string& command) {
  std::string line = command;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi));
  WaitForSingleObject(pi.hProcess, 20000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

std::string UserValue(const char* name) {
  CWinBrowserSettings browser;
  return browser.Read(BrowserRoot::kUser, name);
}

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

TEST(ShieldsOnWine, RegistryChangesByAnotherProcessAreAskedAndUndone) {
  test::RegistryGuard guard;
  guard.SetString(HKEY_CURRENT_USER, kMain, "Search Page", "http://mine.example/");
  guard.SetString(HKEY_CURRENT_USER, kMain, "Local Page", "C:\\local.htm");
  guard.SetString(HKEY_LOCAL_MACHINE, kMain, "Search Page", "http://machine.example/");
  const std::string user = "reg.exe add \"HKCU\\" + std::string(kMain) + "\" /f /v ";
  {
    Shields rig("Hijack");
    rig.question.answers = {false, true};
    RunCommand(user + "\"Search Page\" /d http://evil.example/");
    RunCommand(user + "\"Local Page\" /d http://kept.example/");
    EXPECT_TRUE(PumpUntil([&] { return rig.question.titles.size() == 2; }, 8000));
    // The undo is no change to ask about; a case-only write is no change.
    RunCommand(user + "\"Local Page\" /d HTTP://KEPT.EXAMPLE/");
    PumpUntil([] { return false; }, 1500);
    EXPECT_EQ(rig.question.titles, (std::vector<std::string>{"IE Settings Changed", "IE Settings Changed"}));
    EXPECT_EQ(UserValue("Search Page"), "http://mine.example/");
    EXPECT_EQ(UserValue("Local Page"), "HTTP://KEPT.EXAMPLE/");
    // A deleted value is allowed unasked; the machine's value is checked
    // against the machine's snapshot and written back there.
    RunCommand("reg.exe delete \"HKCU\\" + std::string(kMain) + "\" /v \"Local Page\" /f");
    RunCommand("reg.exe add \"HKLM\\" + std::string(kMain) + "\" /f /v \"Search Page\" /d http://m2.example/");
    EXPECT_TRUE(PumpUntil([&] { return rig.question.titles.size() == 3; }, 8000));
    EXPECT_EQ(UserValue("Local Page"), "");
    EXPECT_EQ(CWinBrowserSettings().Read(BrowserRoot::kMachine, "Search Page"), "http://machine.example/");
  }
  Shields silent("Hijack Silent");
  RunCommand(user + "\"Search Page\" /d http://evil.example/");
  EXPECT_TRUE(PumpUntil([] { return UserValue("Search Page") == "http://mine.example/"; }, 8000));
  EXPECT_TRUE(silent.question.titles.empty());
}

TEST(ShieldsOnWine, FilesDroppedByAnotherProcessAreAskedAboutAndRefusedOnesGo) {
  const std::string favorites = CWinFavoritesFolder::Folder();
  ASSERT_FALSE(favorites.empty());
  CreateDirectoryA(favorites.c_str(), nullptr);
  const std::string ad = favorites + "\\Cheap pills.url", kept = favorites + "\\Kept.url";
  const std::string renamed = favorites + "\\Renamed.url";
  for (const std::string& f : {ad, kept, renamed}) DeleteFileA(f.c_str());
  ScopedOleInitialize ole;  // the shortcut's URL comes from the shell's object, as in the program
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string source = std::string(temp) + "ad.url";
  {
    ScopedHandle file(CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const char text[] = "[InternetShortcut]\r\nURL=http://ads.example/\r\n";
    DWORD written = 0;
    WriteFile(file.get(), text, sizeof text - 1, &written, nullptr);
  }
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
