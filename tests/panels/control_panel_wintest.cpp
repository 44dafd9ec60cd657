#include "panels/control_panel_dlg_win.h"

#include <gtest/gtest.h>

#include <map>

#include "res/resource.h"
#include "shields/shield_fakes.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "toolkit/gui_fixture.h"

namespace sh {
namespace {

using namespace sh::test;

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kBrowserKey[] = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr char kProgram[] = "C:\\Program Files\\SweepHarbor\\SweepHarbor.exe";

// The window's side: the update dialog stamps as a download would; the
// running shields see a browser held here.
class PanelHost : public IControlPanelHost, IBrowserSettings, IFavoritesFolder, IHostsFile {
 public:
  explicit PanelHost(MapSettings& settings) : settings_(settings) {}
  void RunUpdateDialog() override { settings_.values["LastUpdate"] = "Monday, December 07, 2026 Time: 09:00:00"; }
  CProtectionShield* RunningShield() override { return &shield; }
  std::string Read(BrowserRoot, const std::string& name) override { return browser[name]; }
  void Write(BrowserRoot, const std::string& name, const std::string& value) override { browser[name] = value; }
  std::vector<FavoriteItem> Read() override { return {}; }
  void DeleteLater(const std::string&) override {}
  bool Read(std::string& text) override { return text.clear(), true; }
  bool Write(const std::string&) override { return true; }

  MapSettings& settings_;
  std::map<std::string, std::string> browser;
  FakeQuestion question;
  CProtectionShield shield{{*this, question, settings_, *this, *this}};
};

class ControlPanel : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    registry.Delete(HKEY_CURRENT_USER, kRunKey, "SweepHarbor");
    registry.SetString(HKEY_CURRENT_USER, kBrowserKey, "Start Page", "http://before.example/");
    settings.values["ShredMethod"] = "4";
    owner.shield.LoadFlags();  // no shield on
    owner.shield.StartShields();
    ASSERT_TRUE(panel.Create(host.hwnd()));
    panel.Show();
  }
  void Click(int id) { SendMessageA(panel.Item(id), BM_CLICK, 0, 0); }
  void Tab(int page) { SendMessageA(panel.Tab(page)->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }
  bool Shown(int id) { return IsWindowVisible(panel.Item(id)) != 0; }
  bool Checked(int id) { return IsDlgButtonChecked(panel.hwnd(), id) == BST_CHECKED; }
  std::string RunEntry() {
    DWORD type = 0;
    std::string data;
    return ReadRaw(HKEY_CURRENT_USER, kRunKey, "SweepHarbor", type, data) ? data.c_str() : "(none)";
  }

  RegistryGuard registry;
  MapSettings settings;
  ScriptedPrompt prompt;
  PanelHost owner{settings};
  CWinRunEntry run;
  CControlPanelDlg panel{owner, settings, prompt, run, kProgram};
};

TEST_F(ControlPanel, EachPageShowsItsControlsAndEveryClickWritesAtOnce) {
  EXPECT_TRUE(Shown(IDC_CP_SHRED) && !Shown(IDC_CP_CLEANSTART) && !Shown(IDC_CP_KEEPURL));
  EXPECT_EQ(panel.ItemText(IDC_CP_LASTUPDATE), "Plugin files not updated yet");
  EXPECT_FALSE(IsWindowEnabled(panel.Item(IDC_CP_SHRED_NSA))) << "no shredding: no method to choose";
  Click(IDC_CP_SHRED);
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, LoadResString(IDS_SHRED_WARNING));
  EXPECT_TRUE(IsWindowEnabled(panel.Item(IDC_CP_SHRED_NSA)));
  EXPECT_EQ(settings.values["ShredMethod"], "1") << "toggling goes back to Random";
  Click(IDC_CP_SHRED_NSA);
  Click(IDC_CP_CLEANFREESPACE);
  Click(IDC_CP_AUTOUPDATE);
  Click(IDC_CP_CHECKUPDATES);
  EXPECT_EQ(panel.ItemText(IDC_CP_LASTUPDATE), "Plugin files last updated on : Monday, December 07, 2026 Time: 09:00:00");

  Tab(CControlPanelDlg::kSchedulePage);
  EXPECT_TRUE(!Shown(IDC_CP_SHRED) && Shown(IDC_CP_CLEANSTART) && Checked(IDC_CP_AFTER_PROMPT));
  Click(IDC_CP_CLEANSHUTDOWN);
  EXPECT_NE(prompt.asked.back().text.find("runnning at the time of Shutdown/Restart"), std::string::npos);
  Click(IDC_CP_AFTER_RESTART);
  Click(IDC_CP_CLEANSTART);
  EXPECT_EQ(RunEntry(), std::string("\"") + kProgram + "\" :CLN:");
  const std::map<std::string, std::string> expected = {{"Shred", "1"},         {"ShredMethod", "3"},
                                                       {"CleanFreeSpace", "1"}, {"AutoUpdate", "1"},
                                                       {"CleanShutdown", "1"}, {"ShutDownOptions", "2"}};
  for (const auto& [name, value] : expected) EXPECT_EQ(settings.values[name], value) << name;

  // Opened again, the pages show what is stored: cleaning at start-up
  // starts the program too.
  Tab(CControlPanelDlg::kSettingsPage);
  EXPECT_TRUE(Checked(IDC_CP_SHRED_NSA) && Checked(IDC_CP_CLEANFREESPACE) && Checked(IDC_CP_RUNATSTARTUP));
}

TEST_F(ControlPanel, TheKeptHomePageAndTheShieldTicksTakeEffectAtOnce) {
  panel.Show(SW_HIDE);
  panel.RequestShieldPage();  // the tray's "Configure Shields"
  panel.Show();
  EXPECT_EQ(panel.page(), CControlPanelDlg::kShieldPage);
  EXPECT_TRUE(panel.Tab(CControlPanelDlg::kShieldPage)->selected() && !Shown(IDC_CP_SHRED));
  EXPECT_EQ(panel.ItemText(IDC_CP_KEEPURL), "about:blank");

  SetFocus(panel.Item(IDC_CP_KEEPURL));
  panel.SetItemText(IDC_CP_KEEPURL, "http://kept.example/");
  SetFocus(panel.Item(IDC_CP_SHIELD_HOMEPAGE));  // leaving the box stores it
  EXPECT_EQ(settings.values["KeepURL"], "http://kept.example/");
  DWORD type = 0;
  std::string start;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kBrowserKey, "Start Page", type, start));
  EXPECT_STREQ(start.c_str(), "http://kept.example/");

  // The home page shield ticked while none ran: the next change is put to
  // the user against the page just kept.
  Click(IDC_CP_SHIELD_HOMEPAGE);
  EXPECT_EQ(settings.values["ShieldHomePage"], "1");
  owner.browser["Start Page"] = "http://hijack.example/";
  owner.shield.OnRegistryChange(kUserSettingsWatch);
  ASSERT_EQ(owner.question.texts.size(), 1u);
  EXPECT_NE(owner.question.texts[0].find("http://kept.example/"), std::string::npos) << owner.question.texts[0];
  EXPECT_EQ(owner.browser["Start Page"], "http://kept.example/") << "refused: the kept page is back";
}

}  // namespace
}  // namespace sh
