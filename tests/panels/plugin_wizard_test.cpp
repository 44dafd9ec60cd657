// The custom plugin wizard and its add dialogs without windows: the folder
// item texts, the added lists' checks and messages, the wizard's steps and
// what it writes into the custom plugins file (memory files), and the
// catalog following the file.
#include "panels/plugin_wizard.h"

#include <gtest/gtest.h>

#include "model/memory_files.h"
#include "panels/add_items.h"

namespace sh::test {
namespace {

std::vector<std::string> Texts(const ScriptedPrompt& prompt) {
  std::vector<std::string> texts;
  for (const PromptRequest& r : prompt.asked) texts.push_back(r.text);
  return texts;
}

TEST(FolderItemText, RoundTripsPathAndFlags) {
  const std::pair<CustomFolderItem, const char*> cases[] = {
      {{"C:\\Temp\\*.tmp", true, true}, "C:\\Temp\\*.tmp?1?1"},
      {{"C:\\Temp\\*.tmp", true, false}, "C:\\Temp\\*.tmp?1?0"},
      // A one-character wildcard in the mask stays in the path.
      {{"C:\\Logs\\log?.txt", false, true}, "C:\\Logs\\log?.txt?0?1"},
  };
  for (const auto& [item, text] : cases) {
    EXPECT_EQ(FolderItemText(item), text);
    EXPECT_EQ(FolderItemText(ParseFolderItemText(text)), text);
  }
  EXPECT_EQ(FolderItemText(ParseFolderItemText("C:\\Bare")), "C:\\Bare?0?0");  // no flags: both off
}

TEST(RegistryTexts, RootsValueNamesAndData) {
  const std::pair<const char*, bool> keys[] = {
      {"HKEY_CURRENT_USER", true},          {"HKEY_LOCAL_MACHINE\\", true},
      {"HKEY_USERS\\\\", true},             {"HKEY_CLASSES_ROOT", true},
      {"HKEY_CURRENT_USER\\Software", false}, {"HKEY_CURRENT_USER\\Software\\", false}};
  for (const auto& [key, root] : keys) EXPECT_EQ(IsWholeRegistryRoot(key), root) << key;

  EXPECT_EQ(RegistryValueShownName("   "), "(Default)");  // blank names only

  // The value list's data column: numbers as 0x%x, strings to their end, long ones blank.
  EXPECT_EQ(RegistryValueDataText(RegDataKind::kNumber, std::string("\x2a\x00\x01\x00", 4)), "0x1002a");
  EXPECT_EQ(RegistryValueDataText(RegDataKind::kString, std::string("abc\0", 4)), "abc");
  EXPECT_EQ(RegistryValueDataText(RegDataKind::kString, std::string(261, 'x')), "");
}

TEST(AddedFolders, ChecksInOrderAndKeepsTheTexts) {
  ScriptedPrompt prompt;
  CAddedFolders added({"C:\\Old\\*.*?1?1"});
  struct Step {
    const char *folder, *mask;
    bool include, deleteSub, added;
    const char* message;  // null: none
    AddFocus focus;
  } steps[] = {
      {"", "*.*", true, true, false, kSelectFolderText, AddFocus::kTree},
      {"C:\\Temp", "  ", true, true, false, kEnterMaskText, AddFocus::kMask},
      {"C:\\Temp\\", "*.tmp", false, true, true, nullptr, AddFocus::kNone},  // delete needs include
      {"C:\\Temp", "*.log", true, true, true, nullptr, AddFocus::kNone},      // another mask: allowed
      {"c:\\temp", "*.TMP", true, false, false, kFolderAddedText, AddFocus::kNone},
      {"C:\\old\\", "*.*", false, false, false, kFolderAddedText, AddFocus::kNone},
  };
  for (const Step& s : steps) {
    prompt.asked.clear();
    AddFocus focus = AddFocus::kNone;
    EXPECT_EQ(added.Add(prompt, s.folder, s.mask, s.include, s.deleteSub, &focus), s.added) << s.folder << s.mask;
    EXPECT_EQ(Texts(prompt), s.message ? std::vector<std::string>{s.message} : std::vector<std::string>{});
    EXPECT_EQ(focus, s.focus);
  }
  EXPECT_EQ(added.ItemTexts(), (std::vector<std::string>{"C:\\Old\\*.*?1?1", "C:\\Temp\\*.tmp?0?0",
                                                           "C:\\Temp\\*.log?1?1"}));
  added.Remove({true, false, true});
  EXPECT_EQ(added.ItemTexts(), std::vector<std::string>{"C:\\Temp\\*.tmp?0?0"});
}

TEST(AddedFiles, SkipsListedPathsAndTellsOnce) {
  ScriptedPrompt prompt;
  CAddedFiles added({"C:\\Docs\\a.txt"});
  AddFocus focus = AddFocus::kNone;
  EXPECT_EQ(added.Add(prompt, "C:\\Docs", {}, true, &focus), 0);
  EXPECT_EQ(Texts(prompt), std::vector<std::string>{kSelectFilesText});
  EXPECT_EQ(focus, AddFocus::kFileList);
  prompt.asked.clear();
  EXPECT_EQ(added.Add(prompt, "C:\\Docs\\", {"A.TXT", "b.txt", "c.txt", "a.txt"}, true, &focus), 2);
  EXPECT_EQ(Texts(prompt), std::vector<std::string>{kFilesPresentText});
  EXPECT_EQ(added.rows(), (std::vector<std::string>{"C:\\Docs\\a.txt", "C:\\Docs\\b.txt", "C:\\Docs\\c.txt"}));
  added.Remove({false, true});
  EXPECT_EQ(added.rows(), (std::vector<std::string>{"C:\\Docs\\a.txt", "C:\\Docs\\c.txt"}));
}

TEST(AddedRegistry, KeysAndValuesApartRootsRefused) {
  ScriptedPrompt prompt;
  CAddedRegistry added({"HKEY_CURRENT_USER\\Software\\K"}, {"HKEY_CURRENT_USER\\Software\\K\\V"});
  struct Step {
    bool value;
    const char* key;
    std::vector<std::string> names;
    int added;
    const char* message;
    AddFocus focus;
  } steps[] = {
      {false, "", {}, 0, kSelectKeyText, AddFocus::kTree},
      {false, "HKEY_CURRENT_USER", {}, 0, kRootKeyRefusedText, AddFocus::kTree},
      {false, "hkey_current_user\\software\\k", {}, 0, kKeyAddedText, AddFocus::kNone},
      {false, "HKEY_CURRENT_USER\\Software\\K\\V", {}, 1, nullptr, AddFocus::kNone},  // also listed as a value
      {true, "HKEY_CURRENT_USER\\Software\\K", {}, 0, kSelectValuesText, AddFocus::kValueList},
      {true, "", {"V"}, 0, kNoKeySelectedText, AddFocus::kTree},
      {true, "HKEY_CURRENT_USER\\Software\\K", {"v", "(Default)", "W"}, 2, kValuesAddedText, AddFocus::kNone},
  };
  for (const Step& s : steps) {
    prompt.asked.clear();
    AddFocus focus = AddFocus::kNone;
    const int n = s.value ? added.AddValues(prompt, s.key, s.names, &focus) : (added.AddKey(prompt, s.key, &focus) ? 1 : 0);
    EXPECT_EQ(n, s.added) << s.key;
    EXPECT_EQ(Texts(prompt), s.message ? std::vector<std::string>{s.message} : std::vector<std::string>{}) << s.key;
    EXPECT_EQ(focus, s.focus) << s.key;
  }
}

class Wizard : public ::testing::Test, public DataFileHarness {
 protected:
  void Put(const std::string& xml) { files.PutData(kCustom, xml); }
  // The file read back and written out again, element by element.
  std::string Stored() {
    TiXmlDocument document;
    if (!ParseDataText(files.DataText(kCustom), document)) return "unreadable";
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    document.RootElement()->Accept(&printer);
    return printer.Str();
  }
  std::vector<std::string> CatalogNames() {
    std::vector<std::string> names;
    for (const auto& p : catalog.CustomPlugins()) names.push_back(p->Name);
    return names;
  }

  CSpotCatalog catalog;
  CPluginWizard wizard{env, [this](DataFileEnv& used) { ReloadCustomPlugins(used, catalog); }};
};

TEST_F(Wizard, NextRefusesWhatCannotGoOn) {
  Put("<CustomPlugins><Plugin Name=\"Mine\" ToBeCleaned=\"0\" /></CustomPlugins>");
  using F = CPluginWizard::NextResult;
  struct Case {
    WizardAction action;
    const char *typed, *selected, *message;
    F::Focus focus;
  } cases[] = {
      {WizardAction::kCreate, "", "", kEnterNameText, F::kNameEdit},
      {WizardAction::kCreate, " \t ", "", kEnterNameText, F::kNameEdit},
      {WizardAction::kCreate, "mine", "", kNameTakenText, F::kNameEdit},
      {WizardAction::kCreate, "  MINE ", "", kNameTakenText, F::kNameEdit},
      {WizardAction::kModify, "x", "", kSelectPluginText, F::kPluginList},
      {WizardAction::kDelete, "x", "", kSelectPluginText, F::kPluginList},
  };
  const std::string before = files.files[kCustom];
  for (const Case& c : cases) {
    prompt.asked.clear();
    wizard.EnterStepZero();
    const F result = wizard.Next(c.action, c.typed, c.selected);
    EXPECT_EQ(Texts(prompt), std::vector<std::string>{c.message}) << c.typed;
    EXPECT_EQ(result.focus, c.focus) << c.typed;
    EXPECT_EQ(wizard.step(), 0) << c.typed;
  }
  EXPECT_EQ(files.files[kCustom], before);
}

TEST_F(Wizard, CreatesPluginsAppendedWithAllThreeSections) {
  // No file yet: the first plugin makes one, with no items at all.
  EXPECT_TRUE(wizard.EnterStepZero().empty());
  wizard.Next(WizardAction::kCreate, "  Empty ", "");
  wizard.Finish();
  wizard.Next(WizardAction::kCreate, "Demo", "");
  WizardItems& items = wizard.items();
  items.files = {"C:\\W\\demo.log"};
  items.folders = {{"C:\\App\\Cache\\*.*", true, false}};
  items.registryKeys = {"HKEY_CURRENT_USER\\Software\\Demo\\MRU", "HKEY_CURRENT_USER\\"};
  items.registryValues = {"HKEY_CURRENT_USER\\Software\\Demo\\LastFile"};
  wizard.Finish();

  EXPECT_EQ(Texts(prompt), (std::vector<std::string>{kAddedText, kAddedText}));
  EXPECT_EQ(Stored(),
            "<CustomPlugins><Plugin Name=\"Empty\" ToBeCleaned=\"1\"><FILES /><FOLDERS /><REGISTRY /></Plugin>"
            "<Plugin Name=\"Demo\" ToBeCleaned=\"1\"><FILES><FILE Name=\"C:\\W\\demo.log\" /></FILES><FOLDERS>"
            "<FOLDER Name=\"C:\\App\\Cache\\*.*\" IncludeSubFolders=\"yes\" DeleteSubFolders=\"no\" /></FOLDERS><REGISTRY>"
            "<REG_VALUE Key=\"HKEY_CURRENT_USER\\Software\\Demo\\MRU\" Value=\"*.*\" />"
            "<REG_VALUE Key=\"HKEY_CURRENT_USER\\Software\\Demo\" Value=\"LastFile\" /></REGISTRY></Plugin></CustomPlugins>");
  EXPECT_EQ(CatalogNames(), (std::vector<std::string>{"Empty", "Demo"}));
}

TEST_F(Wizard, ModifyLoadsTheItemsAndMovesThePluginToTheEnd) {
  Put("<CustomPlugins><Plugin Name=\"A\" ToBeCleaned=\"0\"><FOLDERS><FOLDER Name=\"C:\\F\" IncludeSubFolders=\"YES\" "
      "DeleteSubFolders=\"yes\" /></FOLDERS><REGISTRY><REG_VALUE Key=\"HKEY_USERS\\K\" Value=\"*.*\" />"
      "<REG_VALUE Key=\"HKEY_USERS\\K\" Value=\"V\" /></REGISTRY><FILES><FILE Name=\"C:\\f.txt\" /></FILES></Plugin>"
      "<Plugin Name=\"B\" ToBeCleaned=\"1\" /></CustomPlugins>");
  wizard.EnterStepZero();
  wizard.Next(WizardAction::kModify, "", "a");
  ASSERT_EQ(wizard.step(), 1);
  wizard.Finish();
  EXPECT_EQ(Texts(prompt), std::vector<std::string>{kEditedText});
  EXPECT_EQ(Stored(), "<CustomPlugins><Plugin Name=\"B\" ToBeCleaned=\"1\" /><Plugin Name=\"a\" ToBeCleaned=\"1\">"
                      "<FILES><FILE Name=\"C:\\f.txt\" /></FILES><FOLDERS><FOLDER Name=\"C:\\F\" "
                      "IncludeSubFolders=\"yes\" DeleteSubFolders=\"yes\" /></FOLDERS><REGISTRY><REG_VALUE "
                      "Key=\"HKEY_USERS\\K\" Value=\"*.*\" /><REG_VALUE Key=\"HKEY_USERS\\K\" Value=\"V\" />"
                      "</REGISTRY></Plugin></CustomPlugins>");
  EXPECT_EQ(CatalogNames(), (std::vector<std::string>{"B", "a"}));
}

TEST_F(Wizard, DeleteAsksAndReloads) {
  Put("<CustomPlugins><Plugin Name=\"Twin\" ToBeCleaned=\"1\" Mark=\"first\" />"
      "<Plugin Name=\"twin\" ToBeCleaned=\"1\" /></CustomPlugins>");
  ReloadCustomPlugins(env, catalog);
  struct Case {
    PromptAnswer answer;
    const char* selected;
    std::vector<std::string> told, left;
  } cases[] = {
      {PromptAnswer::kNo, "Twin", {"Are you sure you want to delete (Twin) plugin"}, {"Twin", "twin"}},
      {PromptAnswer::kYes, "TWIN", {"Are you sure you want to delete (TWIN) plugin", kDeletedText}, {"twin"}},
      {PromptAnswer::kYes, "Other", {"Are you sure you want to delete (Other) plugin", kNotDeletedText}, {"twin"}},
  };
  for (const Case& c : cases) {
    prompt.asked.clear();
    prompt.answers = {c.answer};
    wizard.EnterStepZero();
    wizard.Next(WizardAction::kDelete, "", c.selected);
    EXPECT_EQ(Texts(prompt), c.told);
    EXPECT_EQ(prompt.asked.at(0).caption, "Confirmation");
    EXPECT_EQ(CustomPluginNames(env), c.left);
    EXPECT_EQ(CatalogNames(), c.left);
  }
  // The first of the two was the one removed.
  EXPECT_EQ(files.DataText(kCustom).find("first"), std::string::npos);
}

// A Modify of a plugin gone meanwhile and a store that fails write nothing
// and are not told as success.
TEST_F(Wizard, FailuresWriteNothing) {
  Put("<CustomPlugins><Plugin Name=\"A\" ToBeCleaned=\"1\" /></CustomPlugins>");
  const std::string before = files.files[kCustom];
  wizard.EnterStepZero();
  wizard.Next(WizardAction::kModify, "", "Gone");
  wizard.items().files = {"C:\\x"};
  wizard.Finish();  // the old one cannot be deleted: nothing told either
  files.failPrint = true;
  wizard.EnterStepZero();
  wizard.Next(WizardAction::kCreate, "Demo", "");
  wizard.Finish();
  EXPECT_EQ(Texts(prompt), (std::vector<std::string>{kErrorLoadingText, kSaveErrorText}));
  EXPECT_EQ(files.files[kCustom], before);
}

}  // namespace
}  // namespace sh::test
