#include "panels/control_panel_dlg_win.h"

#include <vector>

#include "res/resource.h"
#include "toolkit/bitmap_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr POINT kHeaderOrigin = {21, 5};
constexpr int kLineTop = 71, kLineInset = 20;

const int kSettingsControls[] = {IDC_CP_AUTOUPDATE,    IDC_CP_RUNATSTARTUP, IDC_CP_LASTUPDATE,    IDC_CP_CHECKUPDATES,
                                 IDC_CP_CLEANFREESPACE, IDC_CP_SHRED,        IDC_CP_SHRED_GROUP,   IDC_CP_SHRED_RANDOM,
                                 IDC_CP_SHRED_DOD,      IDC_CP_SHRED_NSA,    IDC_CP_SHRED_GUTMANN, IDC_CP_SHRED_WARNING};
const int kScheduleControls[] = {IDC_CP_CLEANSHUTDOWN, IDC_CP_AFTER_SHUTDOWN, IDC_CP_AFTER_RESTART, IDC_CP_AFTER_PROMPT,
                                 IDC_CP_CLEANSTART};
const int kShieldControls[] = {IDC_CP_SHIELD_HOMEPAGE, IDC_CP_KEEPURL_LABEL,    IDC_CP_KEEPURL,
                               IDC_CP_SHIELD_HIJACK,   IDC_CP_SHIELD_FAVORITES, IDC_CP_SHIELD_SILENT};
const int kShredRadios[] = {IDC_CP_SHRED_RANDOM, IDC_CP_SHRED_DOD, IDC_CP_SHRED_NSA, IDC_CP_SHRED_GUTMANN};
const int kShutdownRadios[] = {IDC_CP_AFTER_SHUTDOWN, IDC_CP_AFTER_RESTART, IDC_CP_AFTER_PROMPT};

struct TabSpec {
  int id, normal, selected, text;
};
const TabSpec kTabs[] = {{IDC_CP_TAB_SETTINGS, IDB_CP_SETTINGS, IDB_CP_SETTINGS_SELECTED, IDS_PAGE_SETTINGS},
                         {IDC_CP_TAB_SCHEDULE, IDB_CP_SCHEDULE, IDB_CP_SCHEDULE_SELECTED, IDS_PAGE_SCHEDULE},
                         {IDC_CP_TAB_SHIELD, IDB_CP_SHIELD, IDB_CP_SHIELD_SELECTED, IDS_PAGE_SHIELD}};
// The tabs stand side by side at the top right, above the line.
constexpr int kTabSize = 70, kTabStep = 74;

}  // namespace

bool CWinRunEntry::Set(const std::string& command) {
  if (command.empty()) return false;
  HKEY raw = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS)
    return false;
  ScopedHKey key(raw);
  return RegSetValueExA(key.get(), kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                        static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
}

bool CWinRunEntry::Delete() {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) return false;
  ScopedHKey key(raw);
  return RegDeleteValueA(key.get(), kRunValueName) == ERROR_SUCCESS;
}

std::string ProgramPath() {
  // GetModuleFileName cuts a long path to the buffer without saying so,
  // except by filling it: grow until it fits.
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size() - 1) return std::string(buffer.data(), n);
    if (buffer.size() > 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

CControlPanelDlg::CControlPanelDlg(IControlPanelHost& host, ISettingsStore& settings, IPrompt& prompt, IRunEntry& run,
                                   std::string programPath)
    : CWhitePanel(IDD_CONTROLPANEL, {1, kLineTop, kLineInset, 1}, IDC_CP_SHRED_WARNING),
      host_(host),
      store_(settings),
      prompt_(prompt),
      panel_(settings, run, std::move(programPath)) {}

CControlPanelDlg::~CControlPanelDlg() {
  for (auto& tab : tabs_) tab.reset();
}

BOOL CControlPanelDlg::OnInit() {
  header_ = LoadBitmapResource(IDB_CP_HEADER);
  for (size_t i = 0; i < tabs_.size(); ++i) {
    tabs_[i] = std::make_unique<CSkinButton>(tabGroups_, *this, 3);
    tabs_[i]->Create(Item(kTabs[i].id), kTabs[i].normal, kTabs[i].normal, kTabs[i].selected);
  }
  PlaceTabs(ClientRect().right);
  tabs_[kSettingsPage]->Select();
  ShowPage(kSettingsPage);
  return TRUE;
}

// The panel is sized to the window's panel area after it is made, whatever
// the template's dialog units come to with the system's font.
void CControlPanelDlg::PlaceTabs(int width) {
  for (size_t i = 0; i < tabs_.size(); ++i) {
    const int left = width - kLineInset - kTabSize - (2 - static_cast<int>(i)) * kTabStep;
    MoveWindow(Item(kTabs[i].id), left, 0, kTabSize, kTabSize, TRUE);
  }
}

bool CControlPanelDlg::OnSkinButtonClicked(CSkinButton& button) {
  for (size_t i = 0; i < tabs_.size(); ++i)
    if (tabs_[i].get() == &button) ShowPage(static_cast<int>(i));
  return true;
}

void CControlPanelDlg::ShowPage(int page) {
  if (page < kSettingsPage || page > kShieldPage) return;
  // Leaving the Shield page takes the typed home page with it.
  if (page_ == kShieldPage && page != kShieldPage) StoreKeepUrl();
  page_ = page;
  auto show = [this](const int* ids, size_t n, bool on) {
    for (size_t i = 0; i < n; ++i) ShowItem(ids[i], on);
  };
  show(kSettingsControls, std::size(kSettingsControls), page == kSettingsPage);
  show(kScheduleControls, std::size(kScheduleControls), page == kSchedulePage);
  show(kShieldControls, std::size(kShieldControls), page == kShieldPage);
  SetItemText(IDC_CP_PAGE_TEXT, LoadResString(kTabs[page].text));
  filling_ = true;
  if (page == kSettingsPage) FillSettingsPage();
  if (page == kSchedulePage) FillSchedulePage();
  if (page == kShieldPage) FillShieldPage();
  filling_ = false;
  Invalidate();
}

void CControlPanelDlg::FillSettingsPage() {
  CSettings& s = panel_.settings();
  Check(IDC_CP_AUTOUPDATE, s.AutoUpdate());
  Check(IDC_CP_RUNATSTARTUP, s.RunAtStartup());
  Check(IDC_CP_CLEANFREESPACE, s.CleanFreeSpace());
  const bool shred = s.Shred() != 0;
  Check(IDC_CP_SHRED, shred);
  EnableShredRadios(shred);
  const int radio = shred ? ShredRadioFor(s.ShredMethod()) : 1;
  for (int i = 0; i < 4; ++i) Check(kShredRadios[i], radio == i + 1);
  SetItemText(IDC_CP_LASTUPDATE, LastUpdateLabel(s.LastUpdate()));
}

void CControlPanelDlg::FillSchedulePage() {
  CSettings& s = panel_.settings();
  Check(IDC_CP_CLEANSTART, s.CleanStart());
  const bool onShutdown = s.CleanShutdown() != 0;
  Check(IDC_CP_CLEANSHUTDOWN, onShutdown);
  EnableShutdownRadios(onShutdown);
  const int radio = onShutdown ? ShutdownRadioFor(s.ShutDownOptions()) : 3;
  for (int i = 0; i < 3; ++i) Check(kShutdownRadios[i], radio == i + 1);
}

void CControlPanelDlg::FillShieldPage() {
  CSettings& s = panel_.settings();
  Check(IDC_CP_SHIELD_HIJACK, s.ShieldHijack());
  Check(IDC_CP_SHIELD_FAVORITES, s.ShieldFavorites());
  Check(IDC_CP_SHIELD_HOMEPAGE, s.ShieldHomePage());
  Check(IDC_CP_SHIELD_SILENT, s.ShieldSilent());
  SetItemText(IDC_CP_KEEPURL, s.KeepURL());
}

void CControlPanelDlg::EnableShredRadios(bool on) {
  for (int id : kShredRadios) EnableWindow(Item(id), on);
}

void CControlPanelDlg::EnableShutdownRadios(bool on) {
  for (int id : kShutdownRadios) EnableWindow(Item(id), on);
}

void CControlPanelDlg::StoreKeepUrl() {
  const std::string url = ItemText(IDC_CP_KEEPURL);
  CSettings& s = panel_.settings();
  s.SetKeepURL(url);
  browser_.Write(BrowserRoot::kUser, "Start Page", url);
  // The running home page shield keeps the new page from now on; with the
  // old one it would take the user's own change for a hijack.
  if (CProtectionShield* shield = host_.RunningShield()) shield->set_kept_home_page(s.KeepURL());
}

void CControlPanelDlg::RequestShieldPage() {
  shieldPageRequested_ = true;
  if (Visible()) OpenShieldPage();
}

void CControlPanelDlg::OpenShieldPage() {
  shieldPageRequested_ = false;
  ShowPage(kShieldPage);
  tabs_[kShieldPage]->Select();
  InvalidateRect(tabs_[kShieldPage]->hwnd(), nullptr, TRUE);
}

void CControlPanelDlg::Say(const std::string& text) {
  PromptRequest message;
  message.text = text;
  prompt_.Ask(message);
}

bool CControlPanelDlg::OnCommand(int id, int code, HWND) {
  if (filling_) return true;
  if (id == IDC_CP_KEEPURL) {
    if (code == EN_KILLFOCUS) StoreKeepUrl();
    return true;
  }
  // Enter in the home page box: the typed page is kept at once.
  if (id == IDOK) {
    if (GetFocus() == Item(IDC_CP_KEEPURL)) StoreKeepUrl();
    return true;
  }
  if (id == IDCANCEL) return true;  // a panel never ends
  if (code != BN_CLICKED) return false;
  CSettings& s = panel_.settings();
  const bool on = Checked(id);
  CProtectionShield* shield = host_.RunningShield();
  switch (id) {
    case IDC_CP_AUTOUPDATE: s.SetAutoUpdate(on); return true;
    case IDC_CP_RUNATSTARTUP: panel_.RunAtStartup(on); return true;
    case IDC_CP_CHECKUPDATES:
      host_.RunUpdateDialog();
      SetItemText(IDC_CP_LASTUPDATE, LastUpdateLabel(s.LastUpdate()));
      return true;
    case IDC_CP_CLEANFREESPACE: s.SetCleanFreeSpace(on); return true;
    case IDC_CP_SHRED:
      if (on) Say(LoadResString(IDS_SHRED_WARNING));
      EnableShredRadios(on);
      panel_.Shred(on);
      return true;
    case IDC_CP_SHRED_RANDOM: case IDC_CP_SHRED_DOD: case IDC_CP_SHRED_NSA: case IDC_CP_SHRED_GUTMANN:
      s.SetShredMethod(id - IDC_CP_SHRED_RANDOM + 1);
      return true;
    case IDC_CP_CLEANSHUTDOWN:
      if (on)
        Say("Please Ensure that SweepHarbor is runnning at the time of Shutdown/Restart, otherwise cleaning will "
            "not take place");
      EnableShutdownRadios(on);
      panel_.CleanOnShutdown(on);
      return true;
    case IDC_CP_AFTER_SHUTDOWN: case IDC_CP_AFTER_RESTART: case IDC_CP_AFTER_PROMPT:
      s.SetShutDownOptions(id - IDC_CP_AFTER_SHUTDOWN + 1);
      return true;
    case IDC_CP_CLEANSTART:
      panel_.CleanAtStart(on);
      // Cleaning at start-up starts the program too: the Settings page's
      // tick follows when it is shown.
      return true;
    case IDC_CP_SHIELD_HOMEPAGE:
      s.SetShieldHomePage(on);
      if (shield) shield->set_home_page_shield(on);
      return true;
    case IDC_CP_SHIELD_HIJACK:
      s.SetShieldHijack(on);
      if (shield) shield->set_hijack_shield(on);
      return true;
    case IDC_CP_SHIELD_FAVORITES:
      s.SetShieldFavorites(on);
      if (shield) shield->set_favorites_shield(on);
      return true;
    case IDC_CP_SHIELD_SILENT:
      s.SetShieldSilent(on);
      if (shield) shield->set_silent(on);
      return true;
    default:
      return false;
  }
}

void CControlPanelDlg::Paint(HDC dc) {
  if (header_) DrawBitmap(dc, kHeaderOrigin.x, kHeaderOrigin.y, header_.get());
}

bool CControlPanelDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_SIZE:
      PlaceTabs(LOWORD(lParam));
      return false;
    case WM_SHOWWINDOW:
      if (wParam && shieldPageRequested_) OpenShieldPage();
      return false;
    default:
      return CWhitePanel::OnMessage(msg, wParam, lParam, result);
  }
}

}  // namespace sh
