#include "ui/main/main_dlg_win.h"

#include <algorithm>

#include "engine/url_cache_win.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "toolkit/bitmap_win.h"
#include "toolkit/maker_site.h"
#include "toolkit/text.h"
#include "ui/main/messages.h"
#include "ui/main/skin_region.h"

namespace sh {

const char kMainWindowTitle[] = "SweepHarbor v1.04";

namespace {

const char kCloseConfirmFallback[] =
    "Active Protection Shields are Currently Active and protecting your system, shutting down SweepHarbor will "
    "disable these shields.\nAre you Sure you want to close SweepHarbor ?";

struct NavButtonSpec {
  int id, normal, hover, selected;
};
const NavButtonSpec kNavButtons[] = {
    {IDC_NAV_CLEAN, IDB_CLEAN_NORMAL, IDB_CLEAN_HOVER, IDB_CLEAN_SELECTED},
    {IDC_NAV_CONTROL, IDB_CONTROL_NORMAL, IDB_CONTROL_HOVER, IDB_CONTROL_SELECTED},
    {IDC_NAV_ITEMS, IDB_ITEMS_NORMAL, IDB_ITEMS_HOVER, IDB_ITEMS_SELECTED},
    {IDC_NAV_COOKIES, IDB_COOKIES_NORMAL, IDB_COOKIES_HOVER, IDB_COOKIES_SELECTED},
    {IDC_NAV_PLUGINS, IDB_PLUGINS_NORMAL, IDB_PLUGINS_HOVER, IDB_PLUGINS_SELECTED},
};
constexpr int kNavLeft = 12;      // the navigation column of the skin
constexpr int kNavTop = 112;
constexpr int kNavStep = 56;

struct LinkSpec {
  int id;
  const char* path;
};
// Top to bottom on the home screen.
const LinkSpec kLinks[] = {{IDC_LINK_HOME, "/"},
                           {IDC_LINK_HELP, "/help.htm"},
                           {IDC_LINK_PRODUCTS, "/products.htm"},
                           {IDC_LINK_RESOURCES, "/resourcecenter.htm"},
                           {IDC_LINK_SUPPORT, "/support.htm"}};
constexpr int kLinkLeft = 440, kLinkTop = 318, kLinkStep = 32, kLinkWidth = 260, kLinkHeight = 17;

constexpr POINT kHomeOrigin = {145, 99};
// The status lines start where the home picture's status box does; they run
// to the box's right edge so that long memory figures are not cut.
constexpr int kStatusLeft = 164, kStatusRight = 530;
constexpr int kStatusTops[5] = {318, 350, 382, 414, 446};
constexpr int kStatusHeight = 17;

// Test hook, used only by the end-of-session scripts under tools/tests: the
// real ExitWindowsEx ends the whole Wine session at once, so when this
// variable names a file the after-cleaning action is appended there as a
// line ("shutdown", "restart", "dialog") instead of being carried out.
constexpr char kSessionRecordVariable[] = "SWEEPHARBOR_TEST_SESSION_RECORD";

class CRecordingSessionEnder : public ISessionEnder {
 public:
  explicit CRecordingSessionEnder(const std::string& path) : path_(path) {}
  int EnablePrivilege(const char*) override { return kPrivilegeEnabled; }
  BOOL EndSession(UINT flags, DWORD) override {
    return Record(flags == EWX_SHUTDOWN ? "shutdown" : flags == EWX_REBOOT ? "restart" : "other");
  }
  bool ShowShutdownDialog() override { return Record("dialog") != FALSE; }

 private:
  BOOL Record(const std::string& action) {
    ScopedHandle file(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return FALSE;
    SetFilePointer(file.get(), 0, nullptr, FILE_END);
    const std::string line = action + "\r\n";
    DWORD written = 0;
    return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  std::string path_;
};

std::string SessionRecordPath() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetEnvironmentVariableA(kSessionRecordVariable, path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

bool IsLink(int id) {
  for (const LinkSpec& l : kLinks)
    if (l.id == id) return true;
  return false;
}

// One-pixel-high runs of the skin's non-green pixels, united into a region.
HRGN RegionFromSkin(HBITMAP skin) {
  SIZE size = BitmapSize(skin);
  if (size.cx <= 0 || size.cy <= 0) return nullptr;
  std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  // Any DC serves to read the bits; a memory DC costs less than the screen's.
  ScopedMemoryDc reader(CreateCompatibleDC(nullptr));
  if (!reader || !GetDIBits(reader.get(), skin, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS))
    return nullptr;
  std::vector<PixelRun> runs = NonKeyRuns(pixels, size.cx, size.cy, kSkinKeyColour);
  std::vector<char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATA*>(data.data());
  header->rdh.dwSize = sizeof(RGNDATAHEADER);
  header->rdh.iType = RDH_RECTANGLES;
  header->rdh.nCount = static_cast<DWORD>(runs.size());
  header->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
  SetRect(&header->rdh.rcBound, 0, 0, size.cx, size.cy);
  auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  for (size_t i = 0; i < runs.size(); ++i) SetRect(&rects[i], runs[i].left, runs[i].top, runs[i].right, runs[i].top + 1);
  return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), header);
}

}  // namespace

CMainDlg::CMainDlg(IMainWindowHost& app, AppServices& services, const std::string& commandLine)
    : CDialog(IDD_MAIN), app_(app), services_(services), commandLine_(commandLine) {}

CMainDlg::~CMainDlg() {
  // Panels and buttons go before the window they live in.
  navButtons_.clear();
  links_.clear();
}

BOOL CMainDlg::OnInit() {
  ApplySkin();
  app_.NameMainWindow(hwnd_);

  CSettings settings(services_.settings);
  if (settings.AutoUpdate()) app_.RunUpdate(services_, hwnd_);

  SetText(kMainWindowTitle);
  for (const LinkSpec& entry : kLinks) {
    auto link = std::make_unique<CLinkStatic>(services_.shell, services_.prompt);
    if (entry.id == IDC_LINK_HOME) SetItemText(entry.id, "Lumivale Home");
    // Set before attaching: a link without a URL takes its text as the URL.
    link->SetURL(MakerUrl(entry.path));
    link->SetColours(RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255));
    if (link->Attach(Item(entry.id))) {
      // White text on the home picture's dark box, not on button face.
      link->SetBackgroundPainter([this](HDC dc, HWND control) {
        if (!home_) return false;
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        ScopedMemoryDc source(CreateCompatibleDC(dc));
        ScopedSelectObject select(source.get(), home_.get());
        return BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, source.get(), r.left - kHomeOrigin.x,
                      r.top - kHomeOrigin.y, SRCCOPY) != 0;
      });
    }
    links_.push_back(std::move(link));
  }
  const int titleIds[3] = {IDC_TITLE_EXIT, IDC_TITLE_MINIMIZE, IDC_TITLE_HELP};
  const int titleBitmaps[3] = {IDB_EXIT, IDB_MINIMIZE, IDB_HELP};
  for (int i = 0; i < 3; ++i)
    if (titleButtons_[i].Attach(Item(titleIds[i]))) titleButtons_[i].SetBitmaps(titleBitmaps[i], titleBitmaps[i]);

  if (!app_.LoadPluginFiles(services_, hwnd_)) {
    // The program does not run without its spot list.
    End(IDABORT);
    return TRUE;
  }

  // Size to the skin and centre on the screen.
  RECT outer = WindowRect(), client = ClientRect();
  int width = skinSize_.cx;
  int height = skinSize_.cy + ((outer.bottom - outer.top) - (client.bottom - client.top));
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd_, nullptr, work.left + ((work.right - work.left) - width) / 2,
               work.top + ((work.bottom - work.top) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControls();
  CreateNavButtons();
  FillStatusLines();

  // Started to the tray, the window is never seen: no paint to wait for.
  if (commandLine_.find(":MIN:") != std::string::npos) {
    FinishStartup();
  } else {
    // A timer message comes after a pending paint (the window is shown
    // when this returns), and comes all the same when there is none.
    SetTimer(hwnd_, kFinishStartupTimer, USER_TIMER_MINIMUM, nullptr);
  }
  return TRUE;
}

void CMainDlg::FinishStartup() {
  while (FinishStartupStep()) {
  }
}

// One part of the rest of the start-up; false when nothing is left. On the
// timer the parts come one tick apart, so that the window answers between
// them; whatever needs the whole window calls FinishStartup.
bool CMainDlg::FinishStartupStep() {
  if (startupFinished_ || hwnd_ == nullptr) return false;
  HINSTANCE module = GetModuleHandleA(nullptr);
  switch (startupStep_++) {
    case 0:
      // OLE for the URL history object and the shell's COM objects (the
      // shields read Internet shortcuts): nothing before the first paint
      // needs it. The window's icons too: handing them to the window
      // manager is a noticeable part of the time before the first paint.
      ole_.emplace();
      icon_ = LoadIconA(module, MAKEINTRESOURCEA(IDI_MAIN));
      smallIcon_ = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_MAIN), IMAGE_ICON, 16, 16, 0));
      Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
      Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_ ? smallIcon_ : icon_));
      // The panels, their lists and every message box from here on have
      // the system's visual styles (the skinned window before them draws
      // itself).
      visualStyles_.Activate(module, IDR_VISUAL_STYLES_MANIFEST);
      InitCommonControlClasses(ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES);
      return true;
    case 1:
      CreatePanels();
      return true;
    default:
      startupFinished_ = true;
      KillTimer(hwnd_, kFinishStartupTimer);
      trayReady_ = tray_.Create(hwnd_, WM_TRAY_NOTIFY, kTrayWindowTitle, icon_, IDR_TRAYMENU, false);
      tray_.SetTargetWindow(hwnd_);
      tray_.HideTrayIcon();
      if (trayReady_) {
        StartShields();
        ApplyCommandLine();
      }
      return false;
  }
}

void CMainDlg::StartShields() {
  if (services_.shieldQuestion == nullptr) ownQuestion_ = std::make_unique<CWinShieldQuestion>(hwnd_);
  IShieldQuestion& question = services_.shieldQuestion ? *services_.shieldQuestion : *ownQuestion_;
  shields_ = std::make_unique<CWinShields>(hwnd_, question, services_.settings, services_.prompt);
  shields_->Start();
}

void CMainDlg::ApplySkin() {
  SetWindowLongPtrA(hwnd_, GWL_STYLE, GetWindowLongPtrA(hwnd_, GWL_STYLE) | WS_SYSMENU);
  skin_ = LoadBitmapResource(IDB_SKIN);
  home_ = LoadBitmapResource(IDB_HOME);
  skinSize_ = BitmapSize(skin_.get());
  if (skinSize_.cx == 0) skinSize_ = SIZE{745, 545};
  ScopedRegion region(RegionFromSkin(skin_.get()));
  // The window owns its region from here on.
  if (region && SetWindowRgn(hwnd_, region.get(), TRUE)) region.release();
}

void CMainDlg::PlaceControls() {
  for (size_t i = 0; i < std::size(kLinks); ++i)
    MoveWindow(Item(kLinks[i].id), kLinkLeft, kLinkTop + static_cast<int>(i) * kLinkStep, kLinkWidth, kLinkHeight,
               FALSE);
  ShowItem(IDC_NAV_RESULTS, false);
  ShowItem(IDC_NAV_SHIELD, false);
  RECT client = ClientRect();
  PlaceTitleButtons(client.right);
}

void CMainDlg::PlaceTitleButtons(int clientWidth) {
  // Exit 16 pixels from the right edge, minimize and help 4 pixels apart,
  // each at the height the template gives it.
  int right = clientWidth - 16;
  for (int id : {IDC_TITLE_EXIT, IDC_TITLE_MINIMIZE, IDC_TITLE_HELP}) {
    HWND button = Item(id);
    if (button == nullptr) continue;
    RECT r;
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    int w = r.right - r.left;
    SetWindowPos(button, nullptr, right - w, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    right -= w + 4;
  }
}

void CMainDlg::CreateNavButtons() {
  int index = 0;
  for (const NavButtonSpec& entry : kNavButtons) {
    HWND control = Item(entry.id);
    MoveWindow(control, kNavLeft, kNavTop + index++ * kNavStep, 130, 43, FALSE);
    auto button = std::make_unique<CSkinButton>(buttonGroups_, *this, 1);
    button->Create(control, entry.normal, entry.hover, entry.selected);
    navButtons_.push_back(std::move(button));
  }
}

void CMainDlg::CreatePanels() {
  cleanList_ = std::make_unique<CCleanListPanel>(app_.catalog(), services_.cleaners, services_.browsers,
                                                 services_.clock, *this);
  cleanList_->Create(hwnd_);
  controlPanel_ = std::make_unique<CControlPanelDlg>(*this, services_.settings, services_.prompt, runEntry_,
                                                     ProgramPath());
  controlPanel_->Create(hwnd_);
  chooseItems_ = std::make_unique<CChooseItemsPanel>(app_.catalog(), services_.settings, services_.prompt,
                                                     app_.DataFileLock(), app_.ChooseItemsFacts());
  chooseItems_->Create(hwnd_);
  cookies_ = std::make_unique<CManageCookiesPanel>(std::make_unique<CWinUrlCache>(), services_.settings,
                                                   services_.prompt);
  cookies_->Create(hwnd_);
  // The catalog is the application's: the wizard gets only the way to read
  // the custom plugins into it again.
  plugins_ = std::make_unique<CPluginWizardPanel>(
      services_.settings, services_.prompt, app_.DataFileLock(),
      [this](DataFileEnv& env) { ReloadCustomPlugins(env, app_.catalog()); });
  plugins_->Create(hwnd_);
  switcher_.SetUp(hwnd_, panelArea_);
  switcher_.Add(cleanList_->hwnd(), IDC_NAV_CLEAN);
  switcher_.Add(controlPanel_->hwnd(), IDC_NAV_CONTROL);
  switcher_.Add(chooseItems_->hwnd(), IDC_NAV_ITEMS);
  switcher_.Add(cookies_->hwnd(), IDC_NAV_COOKIES);
  switcher_.Add(plugins_->hwnd(), IDC_NAV_PLUGINS);
}

void CMainDlg::FillStatusLines() {
  const std::array<std::string, 4> machine = app_.MachineStatusLines();
  statusLines_ = {machine[0], machine[1], machine[2], machine[3], "Status : Ready to Protect"};
}

CSkinButton* CMainDlg::NavButton(int id) const {
  for (const auto& b : navButtons_)
    if (b->id() == id) return b.get();
  return nullptr;
}

void CMainDlg::ShowLinks(bool show) {
  for (const LinkSpec& l : kLinks) ShowItem(l.id, show);
}

bool CMainDlg::OnSkinButtonClicked(CSkinButton& button) {
  if (cleaningInProgress_) return false;
  FinishStartup();
  if (home_screen()) {
    InvalidateRect(hwnd_, &homeArea_, FALSE);
    ShowLinks(false);
  }
  return switcher_.Show(button.id());
}

void CMainDlg::Navigate(int buttonId) {
  CSkinButton* button = NavButton(buttonId);
  if (button == nullptr || !OnSkinButtonClicked(*button)) return;
  button->Select();
  InvalidateRect(button->hwnd(), nullptr, TRUE);
}

void CMainDlg::SendToTray() {
  if (cleaningInProgress_) {
    // A run in progress stays on the taskbar, where its window can be seen.
    ShowWindow(hwnd_, SW_MINIMIZE);
    return;
  }
  tray_.HideWindowToTray(hwnd_);
  tray_.ShowTrayIcon();
}

void CMainDlg::BringBackFromTray() {
  tray_.ShowWindowFromTray(hwnd_);
  tray_.HideTrayIcon();
}

void CMainDlg::CloseRequest() {
  CSettings settings(services_.settings);
  if (settings.ShieldHijack() || settings.ShieldFavorites() || settings.ShieldHomePage()) {
    PromptRequest request;
    request.text = LoadResString(IDS_CLOSE_CONFIRM);
    if (request.text.empty()) request.text = kCloseConfirmFallback;
    request.caption = "SweepHarbor";
    request.kind = PromptKind::kYesNo;
    // No: everything goes on as it was, a run in progress too.
    if (services_.prompt.Ask(request) != PromptAnswer::kYes) return;
  }
  EndProgram(IDOK);
}

void CMainDlg::EndProgram(INT_PTR result) {
  // A run pumps messages inside this dialog's loop: left going, it would
  // keep deleting with no window and no Abort. Stopped as Abort stops it,
  // it winds down at its next check and the loop ends right after.
  closing_ = true;
  if (cleanList_) cleanList_->StopRun();
  End(result);
}

void CMainDlg::SetCleaningInProgress(bool on) {
  cleaningInProgress_ = on;
  // The run a shutdown request came during has ended; the shutdown run
  // starts from the main loop, as a run cannot start inside another.
  if (!on && shutdownRunWaiting_ && !closing_) {
    shutdownRunWaiting_ = false;
    Post(WM_CLEAN_FOR_SHUTDOWN);
  }
}

void CMainDlg::ApplyCommandLine() {
  if (commandLine_.find(":MIN:") != std::string::npos) {
    SendToTray();
    return;
  }
  if (commandLine_.find(":CLN:") != std::string::npos && CSettings(services_.settings).CleanStart())
    Post(WM_APPLY_CLEAN_SWITCH);
}

void CMainDlg::RunCleanSwitch() {
  ShowLinks(false);
  InvalidateRect(hwnd_, &homeArea_, FALSE);
  if (CSkinButton* clean = NavButton(IDC_NAV_CLEAN)) clean->Select();
  switcher_.Show(IDC_NAV_CLEAN);
  // A shutdown cleaning asked for meanwhile follows in the shown window.
  if (cleanList_->RunUnattended(false) && !shutdownCleaningPending_) SendToTray();
}

LRESULT CMainDlg::OnQueryEndSession() {
  // The session must not end under the shutdown cleaning, nor before its
  // after-cleaning action.
  if (shutdownCleaningPending_) return FALSE;
  if (shutdownRequestHandled_ || !CSettings(services_.settings).CleanShutdown()) return TRUE;
  shutdownRequestHandled_ = true;
  shutdownCleaningPending_ = true;
  Post(WM_CLEAN_FOR_SHUTDOWN);
  return FALSE;
}

void CMainDlg::OnCleanForShutdown() {
  if (closing_ || !shutdownCleaningPending_) return;
  FinishStartup();
  if (cleanList_->running()) {
    // The run in progress (the user's, or the start-up one) is left to its
    // end and the shutdown run follows it: every chosen row is cleaned
    // before the after-cleaning action.
    shutdownRunWaiting_ = true;
    return;
  }
  if (home_screen()) {
    InvalidateRect(hwnd_, &homeArea_, FALSE);
    ShowLinks(false);
  }
  if (CSkinButton* clean = NavButton(IDC_NAV_CLEAN)) clean->Select();
  switcher_.Show(IDC_NAV_CLEAN);
  cleanList_->RunUnattended(true);
}

void CMainDlg::AfterShutdownRun() {
  // From here on the session may end: the action itself asks again.
  shutdownCleaningPending_ = false;
  // Closing the program stops its run, not the computer.
  if (closing_) return;
  const std::string record = SessionRecordPath();
  CRecordingSessionEnder recorder(record);
  ISessionEnder& ender = record.empty() ? services_.session : static_cast<ISessionEnder&>(recorder);
  CShutdownHelper helper(ender);
  helper.ActOnShutdownOption(CSettings(services_.settings).ShutDownOptions());
}

bool CMainDlg::OnCommand(int id, int code, HWND control) {
  // Enter on a panel's push button comes here from the dialog manager with
  // the button's own id: it belongs to the panel the button is on.
  if (control != nullptr && id != IDOK && id != IDCANCEL) {
    HWND owner = GetParent(control);
    if (owner != hwnd_ && owner != nullptr && IsChild(hwnd_, owner)) {
      SendMessageA(owner, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
      return true;
    }
  }
  // Enter typed in a panel's field belongs to the panel, never to the
  // window's close request.
  if (id == IDOK) {
    HWND panel = switcher_.current();
    HWND focus = GetFocus();
    if (panel != nullptr && focus != nullptr && IsChild(panel, focus)) {
      // On a push button Enter presses it, as in any dialog; elsewhere the
      // panel decides (a wizard's next step, or nothing).
      const LONG_PTR type = GetWindowLongPtrA(focus, GWL_STYLE) & BS_TYPEMASK;
      char className[16] = {};
      GetClassNameA(focus, className, sizeof className);
      if (lstrcmpiA(className, "Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON))
        SendMessageA(GetParent(focus), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                     reinterpret_cast<LPARAM>(focus));
      else
        SendMessageA(panel, WM_COMMAND, IDOK, 0);
      return true;
    }
  }
  switch (id) {
    case IDOK:
    case IDC_TITLE_EXIT:
    case ID_APP_EXIT:
      CloseRequest();
      return true;
    case IDCANCEL:
      EndProgram(IDCANCEL);  // Escape: no confirmation
      return true;
    case IDC_TITLE_MINIMIZE:
      SendToTray();
      return true;
    case IDC_TITLE_HELP:
      services_.shell.ShellOpen(MakerUrl("/help"), SW_SHOWNORMAL);
      return true;
    case ID_TRAY_OPEN:
      BringBackFromTray();
      return true;
    case ID_TRAY_CLEAN: case ID_TRAY_CONTROL: case ID_TRAY_ITEMS: case ID_TRAY_COOKIES: case ID_TRAY_PLUGINS:
    case ID_TRAY_SHIELDS: {
      static const int kTarget[] = {IDC_NAV_CLEAN, IDC_NAV_CONTROL, IDC_NAV_ITEMS, IDC_NAV_COOKIES, IDC_NAV_PLUGINS,
                                    IDC_NAV_CONTROL};
      BringBackFromTray();
      if (id == ID_TRAY_SHIELDS) {
        FinishStartup();
        controlPanel_->RequestShieldPage();
      }
      Navigate(kTarget[id - ID_TRAY_CLEAN]);
      return true;
    }
    default:
      return false;
  }
}

void CMainDlg::PaintHome(HDC dc) {
  SIZE homeSize = BitmapSize(home_.get());
  SetRect(&homeArea_, kHomeOrigin.x, kHomeOrigin.y, kHomeOrigin.x + homeSize.cx, kHomeOrigin.y + homeSize.cy);
  if (home_) {
    ScopedMemoryDc source(CreateCompatibleDC(dc));
    ScopedSelectObject select(source.get(), home_.get());
    BitBlt(dc, kHomeOrigin.x, kHomeOrigin.y, homeSize.cx, homeSize.cy, source.get(), 0, 0, SRCCOPY);
  }
  HFONT font = reinterpret_cast<HFONT>(Send(WM_GETFONT));
  ScopedSelectObject useFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0x1E, 0x2A, 0x3A));
  for (int i = 0; i < 5; ++i) {
    RECT box = {kStatusLeft, kStatusTops[i], kStatusRight, kStatusTops[i] + kStatusHeight};
    DrawTextA(dc, statusLines_[static_cast<size_t>(i)].c_str(), -1, &box,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

void CMainDlg::OnPaint() {
  ScopedPaintDc paint(hwnd_);
  const HDC dc = paint.get();
  const PAINTSTRUCT& ps = paint.paint();
  RECT client = ClientRect();
  if (IsIconic(hwnd_)) {
    int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    DrawIcon(dc, (client.right - cx + 1) / 2, (client.bottom - cy + 1) / 2, icon_);
    return;
  }
  ScopedMemoryDc buffer(CreateCompatibleDC(dc));
  ScopedBitmap canvas(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (!buffer || !canvas) return;
  {
    ScopedSelectObject useCanvas(buffer.get(), canvas.get());
    if (skin_) {
      ScopedMemoryDc source(CreateCompatibleDC(dc));
      ScopedSelectObject select(source.get(), skin_.get());
      BitBlt(buffer.get(), 0, 0, skinSize_.cx, skinSize_.cy, source.get(), 0, 0, SRCCOPY);
    }
    if (home_screen()) PaintHome(buffer.get());
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
           buffer.get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
  }
}

bool CMainDlg::OnCtlColor(HDC dc, HWND control, LRESULT* result) {
  if (IsLink(GetDlgCtrlID(control))) return false;
  SetBkMode(dc, TRANSPARENT);
  if (!app_.IsWindowsXP() || !skin_) return false;
  // The static shows the skin beneath it.
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  ScopedMemoryDc source(CreateCompatibleDC(dc));
  ScopedSelectObject select(source.get(), skin_.get());
  BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, source.get(), r.left, r.top, SRCCOPY);
  *result = reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
  return true;
}

bool CMainDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return true;
    case WM_ERASEBKGND:
      *result = 1;  // WM_PAINT draws everything
      return true;
    case WM_LBUTTONDOWN:
      dragOrigin_ = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      return false;
    case WM_MOUSEMOVE:
      if (wParam & MK_LBUTTON) {
        POINT now = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT r = WindowRect();
        SetWindowPos(hwnd_, nullptr, r.left + now.x - dragOrigin_.x, r.top + now.y - dragOrigin_.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return true;
      }
      return false;
    case WM_SIZE:
      PlaceTitleButtons(LOWORD(lParam));
      return false;
    case WM_CTLCOLORSTATIC:
      return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), result);
    case WM_SYSCOMMAND:
      // Every system close (Alt+F4, the taskbar's Close) asks as the exit
      // button does.
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        CloseRequest();
        return true;
      }
      return false;
    case WM_QUERYENDSESSION:
      *result = OnQueryEndSession();
      return true;
    case WM_CLEAN_FOR_SHUTDOWN:
      OnCleanForShutdown();
      return true;
    case WM_CLOSE_FOR_SETUP:
      // No question: the shields' confirmation would hold a silent setup.
      EndProgram(IDCANCEL);
      return true;
    case DM_GETDEFID: {
      // No default button of this window while the keyboard is in a panel:
      // the dialog manager would look for one among the panel's controls
      // too and send its id here, where the same number is a navigation
      // button. Enter then comes as IDOK, which OnCommand hands on.
      HWND panel = switcher_.current();
      HWND focus = GetFocus();
      if (panel == nullptr || focus == nullptr || !IsChild(panel, focus)) return false;
      *result = 0;
      return true;
    }
    case WM_MOUSEWHEEL:
    case kMouseHWheelMessage: {
      // Before Windows 10 the wheel goes to the keyboard focus: with it on a
      // navigation button, the page under the pointer (a Choose Items tile)
      // is given the turn. A page that takes none hands it back up here
      // through its default handling: then it ends.
      HWND page = switcher_.current();
      if (page == nullptr || forwardingWheel_) return false;
      forwardingWheel_ = true;
      *result = SendMessageA(page, msg, wParam, lParam);
      forwardingWheel_ = false;
      return true;
    }
    case WM_TIMER:
      if (wParam != kFinishStartupTimer) return false;
      FinishStartupStep();
      return true;
    case WM_APPLY_CLEAN_SWITCH:
      RunCleanSwitch();
      return true;
    case WM_TRAY_NOTIFY:
      *result = tray_.OnTrayIconMessage(static_cast<UINT>(wParam), static_cast<UINT>(lParam));
      return true;
    case kShieldRegChangeMessage:
    case kShieldFavChangeMessage:
    case kShieldHostsChangeMessage:
    case kShieldFavDeletedMessage:
      *result = 0;
      if (shields_) shields_->OnMessage(msg, wParam, lParam);
      return true;
    case WM_DESTROY:
      // The watches end with the window: a worker waiting on a send to it
      // is let go first.
      if (shields_) shields_->Stop();
      // The icon's owner is going: the shell refuses to delete it later.
      tray_.DeleteTrayIcon();
      navButtons_.clear();
      if (smallIcon_) {
        DestroyIcon(smallIcon_);
        smallIcon_ = nullptr;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace sh
