// The Manage Plugins page on real data files, folders and registry keys:
// plugins are built, modified and deleted through the page and its three add
// dialogs (run modelessly here and driven by their controls), the custom
// plugins file is read back element by element, and the catalog follows it.
#include "panels/plugin_wizard_panel_win.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <deque>
#include <functional>

#include "model/data_file_win.h"
#include "model/plugin_file.h"
#include "res/resource.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "support/win_fs.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

constexpr char kTestKey[] = "Software\\SweepHarborWizardTest";

// Runs each add dialog modelessly and hands it to the next script, whose
// answer is the dialog's result.
class ScriptedRunner : public IAddDialogRunner {
 public:
  INT_PTR Run(CDialog& dialog, HWND owner) override {
    if (scripts.empty() || !dialog.Create(owner)) return IDCANCEL;
    auto script = std::move(scripts.front());
    scripts.pop_front();
    return script(dialog);
  }
  std::deque<std::function<INT_PTR(CDialog&)>> scripts;
};

void Click(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
void Tick(HWND dialog, int id, bool on) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
  Click(dialog, id);
}
int Rows(const CListView& list) { return static_cast<int>(list.Send(LVM_GETITEMCOUNT)); }
std::vector<std::string> Column(const CListView& list, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < Rows(list); ++row) texts.push_back(list.ItemText(row, column));
  return texts;
}
void SetRowState(const CListView& list, int row, UINT mask, UINT state) {
  LVITEMA item = {};
  item.stateMask = mask;
  item.state = state;
  list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}
void SelectRow(const CListView& list, int row) { SetRowState(list, row, LVIS_SELECTED, LVIS_SELECTED); }
void TickRow(const CListView& list, int row) { SetRowState(list, row, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2)); }
int RowOf(const CListView& list, const std::string& text) {
  for (int row = 0; row < Rows(list); ++row)
    if (list.ItemText(row, 0) == text) return row;
  return -1;
}

class PluginWizardPage : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ASSERT_TRUE(InitCommonControlClasses(ICC_WIN95_CLASSES));
    settings.values["path"] = data.path();
    MakeDirs(tree / "src\\logs");
    WriteBytes(tree / "src\\a.txt", 3);
    WriteBytes(tree / "src\\b.log", 4);
    WriteBytes(tree / "src\\logs\\deep.log", 5);
    registry.SetString(HKEY_CURRENT_USER, kTestKey, "", "default data");
    registry.SetRaw(HKEY_CURRENT_USER, kTestKey, "Count", REG_DWORD, std::string("\x2a\0\0\0", 4));
    registry.SetString(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Sub", "Inner", "x");
  }
  void Open(const std::string& customXml = "") {
    if (!customXml.empty()) {
      ASSERT_EQ(WriteDataFile(files, data / "CutmPlg.swh", customXml), 1);
    }
    ReloadCustomPlugins(env, catalog);
    ASSERT_TRUE(panel.Create(host.hwnd()));
    panel.Move(0, 0, 553, 408);
    panel.Show();
  }
  HWND Page() const { return panel.hwnd(); }
  bool Shown(int id) const { return IsWindowVisible(GetDlgItem(Page(), id)) != 0; }
  std::vector<std::string> Told() const {
    std::vector<std::string> texts;
    for (const PromptRequest& r : prompt.asked) texts.push_back(r.text);
    return texts;
  }
  std::vector<std::string> ListedPlugins() const {
    std::vector<std::string> names;
    HWND list = GetDlgItem(Page(), IDC_WIZ_PLUGINS);
    char text[256];
    for (LRESULT i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
      SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      names.push_back(text);
    }
    return names;
  }
  // The tree as "text/image" lines, two spaces per level.
  std::vector<std::string> Tree() const {
    std::vector<std::string> lines;
    const CTreeView& t = panel.tree();
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int depth) {
      for (; item; item = t.Sibling(item)) {
        lines.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') + t.ItemText(item) + "/" +
                        std::to_string(t.ItemImage(item)));
        walk(t.Child(item), depth + 1);
      }
    };
    walk(t.Root(), 0);
    return lines;
  }
  // The custom plugins file element by element: one line per plugin.
  std::vector<std::string> Stored() {
    TiXmlDocument document;
    if (!ReadDataDocument(files, data / "CutmPlg.swh", document)) return {"unreadable"};
    std::vector<std::string> lines;
    for (TiXmlElement* p = document.RootElement()->FirstChildElement(); p; p = p->NextSiblingElement()) {
      std::string line = std::string(p->Value()) + " " + p->Attribute("Name") + " " + p->Attribute("ToBeCleaned");
      for (TiXmlElement* s = p->FirstChildElement(); s; s = s->NextSiblingElement()) {
        line += std::string(" ") + s->Value() + "[";
        for (TiXmlElement* i = s->FirstChildElement(); i; i = i->NextSiblingElement()) {
          line += std::string(i->Value()) + "(";
          for (TiXmlAttribute* a = i->FirstAttribute(); a; a = a->Next())
            line += std::string(a->Name()) + "=" + a->Value() + (a->Next() ? "," : "");
          line += ")";
        }
        line += "]";
      }
      lines.push_back(line);
    }
    return lines;
  }
  std::vector<std::string> CatalogNames() const {
    std::vector<std::string> names;
    for (const auto& p : catalog.CustomPlugins()) names.push_back(p->Name);
    return names;
  }
  void Choose(int radio) {
    CheckRadioButton(Page(), IDC_WIZ_CREATE, IDC_WIZ_DELETE, radio);
    Click(Page(), radio);
  }
  void SelectPlugin(const std::string& name) {
    SendMessageA(GetDlgItem(Page(), IDC_WIZ_PLUGINS), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(name.c_str()));
  }

  RegistryGuard registry;
  ScratchDir data{"wizard-data"};
  ScratchDir tree{"wizard-tree"};
  MapSettings settings;
  ScriptedPrompt prompt;
  CDataFileLock lock;
  CWinFileStore files;
  CWinPluginEnvironment machine{settings};
  DataFileEnv env{files, machine, settings, prompt, lock};
  CSpotCatalog catalog;
  ScriptedRunner runner;
  CPluginWizardPanel panel{settings, prompt, lock,
                           [this](DataFileEnv& used) { ReloadCustomPlugins(used, catalog); }, &runner};
};

TEST_F(PluginWizardPage, BuildsAPluginThroughTheThreeDialogs) {
  Open();
  EXPECT_TRUE(Shown(IDC_WIZ_NAME) && Shown(IDC_WIZ_WELCOME) && !Shown(IDC_WIZ_PLUGINS) && !Shown(IDC_WIZ_TREE));
  SetDlgItemTextA(Page(), IDC_WIZ_NAME, "Project Drafts");
  Click(Page(), IDC_WIZ_NEXT);
  ASSERT_EQ(panel.wizard().step(), 1);
  EXPECT_EQ(CWindow(GetDlgItem(Page(), IDC_WIZ_NEXT)).Text(), "Finish");
  EXPECT_TRUE(Shown(IDC_WIZ_TREE) && Shown(IDC_WIZ_ADD_FILES) && Shown(IDC_WIZ_WARNING) && !Shown(IDC_WIZ_NAME));

  const std::string src = tree / "src";
  runner.scripts.push_back([&](CDialog& dialog) {
    auto& d = dynamic_cast<CAddFoldersDlg&>(dialog);
    EXPECT_EQ(CWindow(d.Item(IDC_ADD_MASK)).Text(), "*.*");
    EXPECT_FALSE(IsWindowEnabled(d.Item(IDC_ADD_DELETE_SUB)));
    d.tree().Select(nullptr);  // the tree picks its first drive when it gets the focus
    Click(d.hwnd(), IDC_ADD_SELECTED);
    EXPECT_TRUE(d.tree().SelectPath(src));
    Tick(d.hwnd(), IDC_ADD_INCLUDE_SUB, true);
    EXPECT_TRUE(IsWindowEnabled(d.Item(IDC_ADD_DELETE_SUB)));
    Tick(d.hwnd(), IDC_ADD_DELETE_SUB, true);
    SetDlgItemTextA(d.hwnd(), IDC_ADD_MASK, "*.log");
    Click(d.hwnd(), IDC_ADD_SELECTED);
    Tick(d.hwnd(), IDC_ADD_INCLUDE_SUB, false);  // clears Delete Subfolders too
    Click(d.hwnd(), IDC_ADD_SELECTED);            // the same path again
    SetDlgItemTextA(d.hwnd(), IDC_ADD_MASK, "*.tmp");
    Click(d.hwnd(), IDC_ADD_SELECTED);
    EXPECT_EQ(Column(d.added_list(), 1), (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(Column(d.added_list(), 2), (std::vector<std::string>{"Yes", "No"}));
    return IDOK;
  });
  Click(Page(), IDC_WIZ_ADD_FOLDERS);
  EXPECT_EQ(Told(), (std::vector<std::string>{"Please select a folder from the tree above",
                                              "Folder already added, if you want to change the folder option delete "
                                              "this entry and add again"}));

  prompt.asked.clear();
  runner.scripts.push_back([&](CDialog& dialog) {
    auto& d = dynamic_cast<CAddFilesDlg&>(dialog);
    EXPECT_TRUE(d.tree().SelectPath(src));
    EXPECT_EQ(Column(d.file_list(), 0).size(), 2u) << "the folder's own files, not its subfolder";
    SelectRow(d.file_list(), RowOf(d.file_list(), "a.txt"));
    Click(d.hwnd(), IDC_ADD_SELECTED);
    Click(d.hwnd(), IDC_ADD_ALL_FILES);  // a.txt is listed already
    return IDOK;
  });
  Click(Page(), IDC_WIZ_ADD_FILES);

  const std::string key = std::string("HKEY_CURRENT_USER\\") + kTestKey;
  runner.scripts.push_back([&](CDialog& dialog) {
    auto& d = dynamic_cast<CAddRegistryDlg&>(dialog);
    EXPECT_EQ(d.tree().ItemText(d.tree().Root()), "HKEY_CLASSES_ROOT");
    EXPECT_TRUE(d.SelectKeyPath("HKEY_CURRENT_USER"));
    Click(d.hwnd(), IDC_ADD_KEY);  // a whole root: refused
    EXPECT_TRUE(d.SelectKeyPath(key));
    std::vector<std::string> values = Column(d.value_list(), 0), data = Column(d.value_list(), 1);
    EXPECT_EQ(values, (std::vector<std::string>{"(Default)", "Count"}));
    EXPECT_EQ(data, (std::vector<std::string>{"default data", "0x2a"}));
    Click(d.hwnd(), IDC_ADD_KEY);
    Click(d.hwnd(), IDC_ADD_KEY);
    SelectRow(d.value_list(), 0);
    SelectRow(d.value_list(), 1);
    Click(d.hwnd(), IDC_ADD_VALUE);
    EXPECT_TRUE(d.SelectKeyPath(key + "\\Sub"));
    EXPECT_EQ(Column(d.value_list(), 0), std::vector<std::string>{"Inner"});
    return IDOK;
  });
  Click(Page(), IDC_WIZ_ADD_REGISTRY);
  EXPECT_EQ(Told(), (std::vector<std::string>{
                        "One or more files were already present in the added files list, they have not been added",
                        kRootKeyRefusedText, "Key already added in the list"}));

  // Cancel after additions hands nothing back.
  runner.scripts.push_back([&](CDialog& dialog) {
    auto& d = dynamic_cast<CAddFilesDlg&>(dialog);
    Click(d.hwnd(), IDC_ADD_REMOVE_ALL);
    return IDCANCEL;
  });
  Click(Page(), IDC_WIZ_ADD_FILES);

  EXPECT_EQ(Tree(), (std::vector<std::string>{"Project Drafts/0", "  Folders/1", "    " + src + "\\*.log/1",
                                              "    " + src + "\\*.tmp/1", "  Files/4", "    " + src + "\\a.txt/4",
                                              "    " + src + "\\b.log/4", "  Registry/3", "    " + key + "/3",
                                              "    " + key + "\\(Default)/3", "    " + key + "\\Count/3"}));
  prompt.asked.clear();
  Click(Page(), IDC_WIZ_NEXT);  // Finish
  EXPECT_EQ(Told(), std::vector<std::string>{"Custom Plugin added successfully"});
  EXPECT_EQ(panel.wizard().step(), 0);
  EXPECT_EQ(Stored(), std::vector<std::string>{
                          "Plugin Project Drafts 1 FILES[FILE(Name=" + src + "\\a.txt)FILE(Name=" + src + "\\b.log)] "
                          "FOLDERS[FOLDER(Name=" + src + "\\*.log,IncludeSubFolders=yes,DeleteSubFolders=yes)"
                          "FOLDER(Name=" + src + "\\*.tmp,IncludeSubFolders=no,DeleteSubFolders=no)] "
                          "REGISTRY[REG_VALUE(Key=" + key + ",Value=*.*)REG_VALUE(Key=" + key + ",Value=(Default))"
                          "REG_VALUE(Key=" + key + ",Value=Count)]"});
  EXPECT_EQ(CatalogNames(), std::vector<std::string>{"Project Drafts"});
  ASSERT_EQ(catalog.CustomPlugins().size(), 1u);
  const CCleaningSpot& spot = *catalog.CustomPlugins().at(0)->Spots().at(0);
  EXPECT_EQ(spot.Folders.size(), 4u);
  EXPECT_EQ(spot.RegKeys.size(), 1u);
  EXPECT_EQ(spot.RegValues.size(), 2u);
  EXPECT_EQ(ListedPlugins(), std::vector<std::string>{"Project Drafts"});
}

TEST_F(PluginWizardPage, ModifiesAndDeletesThroughTheList) {
  Open("<CustomPlugins><Plugin Name=\"Old\" ToBeCleaned=\"0\"><FILES><FILE Name=\"C:\\old.txt\" /></FILES>"
       "</Plugin><Plugin Name=\"Keep\" ToBeCleaned=\"1\" /></CustomPlugins>");
  EXPECT_EQ(ListedPlugins(), (std::vector<std::string>{"Keep", "Old"}));  // sorted
  Choose(IDC_WIZ_MODIFY);
  EXPECT_TRUE(Shown(IDC_WIZ_PLUGINS) && !Shown(IDC_WIZ_NAME));
  Click(Page(), IDC_WIZ_NEXT);  // nothing selected
  EXPECT_EQ(Told(), std::vector<std::string>{"Please Select a Plugin from the list"});
  EXPECT_EQ(GetFocus(), GetDlgItem(Page(), IDC_WIZ_PLUGINS));
  SelectPlugin("Old");
  Click(Page(), IDC_WIZ_NEXT);
  ASSERT_EQ(panel.wizard().step(), 1);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"Old/0", "  Folders/1", "  Files/4", "    C:\\old.txt/4",
                                              "  Registry/3"}));
  runner.scripts.push_back([&](CDialog& dialog) {
    auto& d = dynamic_cast<CAddFilesDlg&>(dialog);
    EXPECT_EQ(Column(d.added_list(), 0), std::vector<std::string>{"C:\\old.txt"});
    TickRow(d.added_list(), 0);
    Click(d.hwnd(), IDC_ADD_REMOVE);
    EXPECT_EQ(Rows(d.added_list()), 0);
    return IDOK;
  });
  Click(Page(), IDC_WIZ_ADD_FILES);
  prompt.asked.clear();
  Click(Page(), IDC_WIZ_NEXT);
  EXPECT_EQ(Told(), std::vector<std::string>{"Custom Plugin edited successfully"});
  EXPECT_EQ(Stored(), (std::vector<std::string>{"Plugin Keep 1", "Plugin Old 1 FILES[] FOLDERS[] REGISTRY[]"}));
  EXPECT_EQ(CatalogNames(), (std::vector<std::string>{"Keep", "Old"}));

  prompt.asked.clear();
  prompt.answers = {PromptAnswer::kYes};
  Choose(IDC_WIZ_DELETE);
  SelectPlugin("Keep");
  Click(Page(), IDC_WIZ_NEXT);
  EXPECT_EQ(Told(), (std::vector<std::string>{"Are you sure you want to delete (Keep) plugin",
                                              "Plugin Deleted Successfully"}));
  EXPECT_EQ(prompt.asked[0].caption, "Confirmation");
  EXPECT_EQ(panel.wizard().step(), 0);
  EXPECT_EQ(Stored(), std::vector<std::string>{"Plugin Old 1 FILES[] FOLDERS[] REGISTRY[]"});
  EXPECT_EQ(ListedPlugins(), std::vector<std::string>{"Old"});
  EXPECT_EQ(CatalogNames(), std::vector<std::string>{"Old"});
}

// Enter in the page (the main window hands its IDOK over) is "Next >>" while
// choosing; typed names are checked before anything is written; showing the
// page again returns it to the choice.
TEST_F(PluginWizardPage, EnterIsNextAndTypedNamesAreChecked) {
  Open("<CustomPlugins><Plugin Name=\"Taken\" ToBeCleaned=\"1\" /></CustomPlugins>");
  const std::string before = ReadBytes(data / "CutmPlg.swh");
  const struct {
    const char* typed;
    const char* told;
  } refused[] = {{"", "Please Enter a Plugin Name"},
                 {"   ", "Please Enter a Plugin Name"},
                 {" taken ", "A plugin with this name already exists, please enter another name"}};
  for (const auto& r : refused) {
    prompt.asked.clear();
    SetDlgItemTextA(Page(), IDC_WIZ_NAME, r.typed);
    SendMessageA(Page(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Told(), std::vector<std::string>{r.told}) << r.typed;
    EXPECT_EQ(panel.wizard().step(), 0);
    EXPECT_EQ(GetFocus(), GetDlgItem(Page(), IDC_WIZ_NAME));
  }
  SetDlgItemTextA(Page(), IDC_WIZ_NAME, "  Fresh ");
  SendMessageA(Page(), WM_COMMAND, IDOK, 0);
  ASSERT_EQ(panel.wizard().step(), 1);
  EXPECT_EQ(panel.tree().ItemText(panel.tree().Root()), "Fresh");
  SendMessageA(Page(), WM_COMMAND, IDOK, 0);  // Enter in step 1 writes nothing
  EXPECT_EQ(panel.wizard().step(), 1);
  EXPECT_EQ(ReadBytes(data / "CutmPlg.swh"), before);
  panel.Show(SW_HIDE);
  panel.Show(SW_SHOW);
  EXPECT_EQ(panel.wizard().step(), 0);
  EXPECT_TRUE(Shown(IDC_WIZ_NAME));
  EXPECT_EQ(ReadBytes(data / "CutmPlg.swh"), before);
}

// Not run by the suite: tools/screenshots.sh runs it to picture the three
// add dialogs, each shown on its own until the script posts kShotTaken to it
// (Wine draws dialogs opened from the running program's window black on
// the X screen).
constexpr UINT kShotTaken = WM_APP + 0x77;

void ShowUntilShot(CDialog& dialog) {
  ShowWindow(dialog.hwnd(), SW_SHOW);
  const DWORD end = GetTickCount() + 60000;
  MSG msg;
  while (GetTickCount() < end) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      Sleep(10);
      continue;
    }
    if (msg.message == kShotTaken) return;
    if (!IsDialogMessageA(dialog.hwnd(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

TEST(PluginWizardShots, DISABLED_ShowsEachAddDialog) {
  ASSERT_TRUE(InitCommonControlClasses(ICC_WIN95_CLASSES));
  ScriptedPrompt prompt;
  char windows[MAX_PATH + 1] = {};
  const std::string windir(windows, GetWindowsDirectoryA(windows, MAX_PATH));
  CAddFoldersDlg folders(prompt, {windir + "\\Temp\\*.tmp?1?1", windir + "\\Logs\\*.log?0?0"});
  ASSERT_TRUE(folders.Create(nullptr));
  folders.tree().SelectPath(windir + "\\Temp");
  ShowUntilShot(folders);
  CAddFilesDlg files(prompt, {windir + "\\win.ini"});
  ASSERT_TRUE(files.Create(nullptr));
  files.tree().SelectPath(windir);
  ShowUntilShot(files);
  CAddRegistryDlg registry(prompt, {"HKEY_CURRENT_USER\\Software\\Wine"},
                           {"HKEY_CURRENT_USER\\Control Panel\\Desktop\\(Default)"});
  ASSERT_TRUE(registry.Create(nullptr));
  registry.SelectKeyPath("HKEY_CURRENT_USER\\Control Panel\\Desktop");
  ShowUntilShot(registry);
}

}  // namespace
}  // namespace sh::test
