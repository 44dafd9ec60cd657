#include "panels/plugin_wizard_panel_win.h"

#include <vector>

#include "res/resource.h"

namespace sh {
namespace {

constexpr COLORREF kTitleColour = RGB(15, 39, 68);
constexpr int kTitleLeft = 12, kTitleTop = 7, kLineTop = 26, kLineInset = 8;
constexpr int kMaxNameLength = 128;
constexpr int kStepOneTop = 38;  // below the header line

const int kWelcome[] = {IDC_WIZ_WELCOME};
const int kRadios[] = {IDC_WIZ_CREATE, IDC_WIZ_MODIFY, IDC_WIZ_DELETE};
const int kAddButtons[] = {IDC_WIZ_ADD_FOLDERS, IDC_WIZ_ADD_FILES, IDC_WIZ_ADD_REGISTRY};

}  // namespace

CPluginWizardPanel::CPluginWizardPanel(ISettingsStore& settings, IPrompt& prompt, CDataFileLock& lock,
                                       std::function<void(DataFileEnv&)> reloadCustomPlugins, IAddDialogRunner* runner)
    : CWhitePanel(IDD_PLUGINS, {1, kLineTop, kLineInset, 2}, IDC_WIZ_WARNING),
      machine_(settings),
      env_{files_, machine_, settings, prompt, lock},
      wizard_(env_, std::move(reloadCustomPlugins)),
      runner_(runner != nullptr ? *runner : modal_) {}

CPluginWizardPanel::~CPluginWizardPanel() {
  // The tree goes with the window; its images must outlive it.
  if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

BOOL CPluginWizardPanel::OnInit() {
  titleFont_.reset(CreateFontA(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma"));
  tree_ = CTreeView(Item(IDC_WIZ_TREE));
  treeImages_ = IconImageList({IDI_PLUGIN, IDI_FOLDER_CLOSED, IDI_KIND_FOLDER, IDI_KIND_REGISTRY, IDI_FILE});
  tree_.SetImageList(treeImages_.get());
  SetItemText(IDC_WIZ_WELCOME, LoadResString(IDS_WIZARD_WELCOME));
  SetItemText(IDC_WIZ_WARNING, LoadResString(IDS_WIZARD_WARNING));
  SendMessageA(Item(IDC_WIZ_NAME), EM_LIMITTEXT, kMaxNameLength, 0);
  PlaceStepOneControls();
  EnterStep(0);
  return TRUE;
}

WizardAction CPluginWizardPanel::Action() const {
  if (IsDlgButtonChecked(hwnd_, IDC_WIZ_MODIFY) == BST_CHECKED) return WizardAction::kModify;
  if (IsDlgButtonChecked(hwnd_, IDC_WIZ_DELETE) == BST_CHECKED) return WizardAction::kDelete;
  return WizardAction::kCreate;
}

std::string CPluginWizardPanel::SelectedPlugin() const {
  HWND list = Item(IDC_WIZ_PLUGINS);
  const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return std::string();
  const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length <= 0) return std::string();
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return std::string(text.data());
}

void CPluginWizardPanel::FillPluginList(const std::vector<std::string>& names) {
  HWND list = Item(IDC_WIZ_PLUGINS);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  // The list sorts them itself.
  for (const std::string& name : names) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

RECT CPluginWizardPanel::ItemRect(int id) const {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(Item(id), &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The template leaves step 0's welcome text and options where the tree
// goes; step 1 has the room below the header to itself, so its tree and
// buttons move up there once, and the label follows them in each step.
void CPluginWizardPanel::PlaceStepOneControls() {
  labelStepZero_ = ItemRect(IDC_WIZ_ITEMS_LABEL);
  const RECT warning = ItemRect(IDC_WIZ_WARNING);
  const RECT tree = ItemRect(IDC_WIZ_TREE);
  const int top = kStepOneTop + (labelStepZero_.bottom - labelStepZero_.top) + 4;
  MoveWindow(Item(IDC_WIZ_TREE), tree.left, top, tree.right - tree.left, warning.top - 8 - top, FALSE);
  const RECT first = ItemRect(kAddButtons[0]);
  int y = top;
  for (int id : kAddButtons) {
    const RECT b = ItemRect(id);
    MoveWindow(Item(id), b.left, y, b.right - b.left, b.bottom - b.top, FALSE);
    y += (b.bottom - b.top) + (first.bottom - first.top) / 2 + 4;
  }
}

void CPluginWizardPanel::ShowView(const WizardView& view) {
  const RECT& label = labelStepZero_;
  MoveWindow(Item(IDC_WIZ_ITEMS_LABEL), label.left, view.tree ? kStepOneTop : label.top, label.right - label.left,
             label.bottom - label.top, TRUE);
  for (int id : kWelcome) ShowItem(id, view.welcome);
  for (int id : kRadios) ShowItem(id, view.radios);
  for (int id : kAddButtons) ShowItem(id, view.addButtons);
  ShowItem(IDC_WIZ_NAME, view.nameEdit);
  ShowItem(IDC_WIZ_PLUGINS, view.pluginList);
  ShowItem(IDC_WIZ_OPTIONS, view.options);
  ShowItem(IDC_WIZ_WARNING, view.warning);
  ShowItem(IDC_WIZ_TREE, view.tree);
  SetItemText(IDC_WIZ_NEXT, view.button);
  Invalidate();
}

void CPluginWizardPanel::EnterStep(int step) {
  if (step == 0) {
    CheckRadioButton(hwnd_, IDC_WIZ_CREATE, IDC_WIZ_DELETE, IDC_WIZ_CREATE);
    FillPluginList(wizard_.EnterStepZero());
    SetItemText(IDC_WIZ_NAME, "");
    ShowView(ViewOfStep(0, WizardAction::kCreate));
  } else {
    ShowView(ViewOfStep(1, Action()));
    BuildTree();
  }
}

void CPluginWizardPanel::BuildTree() {
  tree_.DeleteAll();
  HTREEITEM root = tree_.Insert(TVI_ROOT, wizard_.RootText(), kRootImage, kRootImage);
  for (const WizardBranch& branch : WizardBranches(wizard_.items())) {
    HTREEITEM node = tree_.Insert(root, branch.text, branch.image, branch.selectedImage);
    for (const std::string& child : branch.children) tree_.Insert(node, child, branch.image, branch.selectedImage);
    tree_.Expand(node);
  }
  tree_.Expand(root);
}

void CPluginWizardPanel::OnNext() {
  if (wizard_.step() != 0) {
    wizard_.Finish();
    EnterStep(0);
    return;
  }
  const CPluginWizard::NextResult result = wizard_.Next(Action(), ItemText(IDC_WIZ_NAME), SelectedPlugin());
  if (result.focus == CPluginWizard::NextResult::kNameEdit) SetFocus(Item(IDC_WIZ_NAME));
  if (result.focus == CPluginWizard::NextResult::kPluginList) SetFocus(Item(IDC_WIZ_PLUGINS));
  if (result.refillList) FillPluginList(wizard_.EnterStepZero());
  if (wizard_.step() == 1) EnterStep(1);
}

void CPluginWizardPanel::OnAddFolders() {
  std::vector<std::string> texts;
  for (const CustomFolderItem& folder : wizard_.items().folders) texts.push_back(FolderItemText(folder));
  CAddFoldersDlg dialog(env_.prompt, texts);
  if (runner_.Run(dialog, hwnd_) != IDOK) return;
  std::vector<CustomFolderItem>& folders = wizard_.items().folders;
  folders.clear();
  for (const std::string& text : dialog.Result()) folders.push_back(ParseFolderItemText(text));
  BuildTree();
}

void CPluginWizardPanel::OnAddFiles() {
  CAddFilesDlg dialog(env_.prompt, wizard_.items().files);
  if (runner_.Run(dialog, hwnd_) != IDOK) return;
  wizard_.items().files = dialog.Result();
  BuildTree();
}

void CPluginWizardPanel::OnAddRegistry() {
  CAddRegistryDlg dialog(env_.prompt, wizard_.items().registryKeys, wizard_.items().registryValues);
  if (runner_.Run(dialog, hwnd_) != IDOK) return;
  WizardItems& items = wizard_.items();
  items.registryKeys = dialog.KeysResult();
  items.registryValues = dialog.ValuesResult();
  BuildTree();
}

bool CPluginWizardPanel::OnCommand(int id, int code, HWND) {
  switch (id) {
    case IDOK:
      // Enter typed in the panel: "Next >>" while choosing; in step 1 it
      // must not write the plugin unasked.
      if (wizard_.step() == 0) OnNext();
      return true;
    case IDCANCEL:
      return true;  // a panel never ends
    case IDC_WIZ_CREATE: case IDC_WIZ_MODIFY: case IDC_WIZ_DELETE:
      if (code == BN_CLICKED && wizard_.step() == 0) ShowView(ViewOfStep(0, Action()));
      return true;
    case IDC_WIZ_NEXT:
      if (code == BN_CLICKED) OnNext();
      return true;
    case IDC_WIZ_ADD_FOLDERS:
      if (code == BN_CLICKED) OnAddFolders();
      return true;
    case IDC_WIZ_ADD_FILES:
      if (code == BN_CLICKED) OnAddFiles();
      return true;
    case IDC_WIZ_ADD_REGISTRY:
      if (code == BN_CLICKED) OnAddRegistry();
      return true;
    default:
      return false;
  }
}

void CPluginWizardPanel::Layout(int cx, int cy) {
  RECT next;
  HWND button = Item(IDC_WIZ_NEXT);
  GetWindowRect(button, &next);
  const int w = next.right - next.left, h = next.bottom - next.top;
  MoveWindow(button, cx - 10 - w, cy - 10 - h, w, h, TRUE);
  RECT welcome;
  HWND text = Item(IDC_WIZ_WELCOME);
  GetWindowRect(text, &welcome);
  MoveWindow(text, 5, 30, cx - 15, welcome.bottom - welcome.top, TRUE);
}

void CPluginWizardPanel::Paint(HDC dc) {
  const char* title = ViewOfStep(wizard_.step(), WizardAction::kCreate).title;
  ScopedSelectObject font(dc, titleFont_ ? static_cast<HGDIOBJ>(titleFont_.get()) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kTitleColour);
  TextOutA(dc, kTitleLeft, kTitleTop, title, lstrlenA(title));
}

bool CPluginWizardPanel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_SIZE:
      Layout(LOWORD(lParam), HIWORD(lParam));
      return false;
    case WM_SHOWWINDOW:
      // Shown again: back to the choice, whatever was gathered.
      if (wParam) EnterStep(0);
      return false;
    default:
      return CWhitePanel::OnMessage(msg, wParam, lParam, result);
  }
}

}  // namespace sh
