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
  struct Case {
    CustomFolderItem item;
    const char* text;
  } cases[] = {
      {{"C:\\Temp\\*.tmp", true, true}, "C:\\Temp\\*.tmp?1?1"},
      {{"C:\\Temp\\*.tmp", true, false}, "C:\\Temp\\*.tmp?1?0"},
      {{"C:\\Temp\\*.*", false, false}, "C:\\Temp\\*.*?0?0"},
      // A one-character wildcard in the mask stays in the path.
      {{"C:\\Logs\\log?.txt", false, true}, "C:\\Logs\\log?.txt?0?1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderItemText(c.item), c.text);
    const CustomFolderItem back = ParseFolderItemText(c.text);
    EXPECT_EQ(back.path, c.item.path) << c.text;
    EXPECT_EQ(back.includeSubFolders, c.item.includeSubFolders) << c.text;
    EXPECT_EQ(back.deleteSubFolders, c.item.deleteSubFolders) << c.text;
  }
  // No flags at all: the path, both flags off.
  const CustomFolderItem bare = ParseFolderItemText("C:\\Bare");
  EXPECT_EQ(bare.path, "C:\\Bare");
  EXPECT_FALSE(bare.includeSubFolders || bare.deleteSubFolders);
}

TEST(RegistryTexts, RootsValueNamesAndData) {
  const struct {
    const char* key;
    bool root;
  } keys[] = {{"HKEY_CURRENT_USER", true},         {"HKEY_LOCAL_MACHINE\\", true},
              {"HKEY_USERS\\\\", true},            {"HKEY_CLASSES_ROOT", true},
              {"HKEY_CURRENT_USER\\Software", false}, {"HKEY_CURRENT_USER\\Software\\", false}};
  for (const auto& k : keys) EXPECT_EQ(IsWholeRegistryRoot(k.key), k.root) << k.key;

  EXPECT_EQ(RegistryValueShownName(""), "(Default)");
  EXPECT_EQ(RegistryValueShownName("   "), "(Default)");
  EXPECT_EQ(RegistryValueShownName("  Last File "), "Last File");

  const std::string dword("\x2a\x00\x01\x00", 4);
  const struct {
    RegDataKind kind;
    std::string bytes;
    std::string shown;
  } data[] = {{RegDataKind::kString, std::string("abc\0", 4), "abc"},
              {RegDataKind::kNumber, dword, "0x1002a"},
              {RegDataKind::kOther, "abc", ""},
              {RegDataKind::kString, std::string(261, 'x'), ""},
              {RegDataKind::kString, std::string(260, 'x'), std::string(260, 'x')}};
  for (const auto& d : data) EXPECT_EQ(RegistryValueDataText(d.kind, d.bytes), d.shown);
}

TEST(AddedFolders, ChecksInOrderAndKeepsTheTexts) {
  ScriptedPrompt prompt;
  CAddedFolders added({"C:\\Old\\*.*?1?1"});
  struct Step {
    const char* folder;
    const char* mask;
    bool include, deleteSub;
    bool added;
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
  added.RemoveAll();
  EXPECT_TRUE(added.ItemTexts().empty());
}

TEST(AddedFiles, SkipsListedPathsAndTellsOnce) {
  ScriptedPrompt prompt;
  CAddedFiles added({"C:\\Docs\\a.txt"});
  AddFocus focus = AddFocus::kNone;
  EXPECT_EQ(added.Add(prompt, "C:\\Docs", {}, true, &focus), 0);
  EXPECT_EQ(Texts(prompt), std::vector<std::string>{kSelectFilesText});
  EXPECT_EQ(focus, AddFocus::kFileList);
  prompt.asked.clear();
  EXPECT_EQ(added.Add(prompt, "C:\\Docs", {}, false, &focus), 0);  // "Add All Files" of an empty folder
  EXPECT_TRUE(prompt.asked.empty());
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
      {false, "HKEY_LOCAL_MACHINE\\", {}, 0, kRootKeyRefusedText, AddFocus::kTree},
      {false, "hkey_current_user\\software\\k", {}, 0, kKeyAddedText, AddFocus::kNone},
      {false, "HKEY_CURRENT_USER\\Software\\K\\V", {}, 1, nullptr, AddFocus::kNone},  // also listed as a value
      {true, "HKEY_CURRENT_USER\\Software\\K", {}, 0, kSelectValuesText, AddFocus::kValueList},
      {true, "", {"V"}, 0, kNoKeySelectedText, AddFocus::kTree},
      {true, "HKEY_CURRENT_USER\\Software\\K", {"v", "(Default)", "W"}, 2, kValuesAddedText, AddFocus::kNone},
      {true, "HKEY_CURRENT_USER", {"Top"}, 1, nullptr, AddFocus::kNone},  // one value of a root is fine
  };
  for (const Step& s : steps) {
    prompt.asked.clear();
    AddFocus focus = AddFocus::kNone;
    const int n = s.value ? added.AddValues(prompt, s.key, s.names, &focus) : (added.AddKey(prompt, s.key, &focus) ? 1 : 0);
    EXPECT_EQ(n, s.added) << s.key;
    EXPECT_EQ(Texts(prompt), s.message ? std::vector<std::string>{s.message} : std::vector<std::string>{}) << s.key;
    EXPECT_EQ(focus, s.focus) << s.key;
  }
  EXPECT_EQ(added.Keys(), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\K",
                                                     "HKEY_CURRENT_USER\\Software\\K\\V"}));
  EXPECT_EQ(added.Values(),
            (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\K\\V", "HKEY_CURRENT_USER\\Software\\K\\(Default)",
                                      "HKEY_CURRENT_USER\\Software\\K\\W", "HKEY_CURRENT_USER\\Top"}));
  added.Remove({true, false, false, true});
  EXPECT_EQ(added.Keys(), std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\K\\V"});
  EXPECT_EQ(added.Values().size(), 3u);
}

class Wizard : public ::testing::Test, public DataFileHarness {
 protected:
  void Put(const std::string& xml) { files.PutData(kCustom, xml); }
  // Every plugin of the file as "Name: child(attr=..)..." lines, in file order.
  std::vector<std::string> Stored() {
    std::vector<std::string> lines;
    TiXmlDocument document;
    if (!ParseDataText(files.DataText(kCustom), document)) return {"unreadable"};
    for (TiXmlElement* p = document.RootElement()->FirstChildElement(); p; p = p->NextSiblingElement()) {
      std::string line = std::string(p->Value()) + " " + p->Attribute("Name") + " " + p->Attribute("ToBeCleaned") + ":";
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
  std::vector<std::string> CatalogNames() {
    std::vector<std::string> names;
    for (const auto& p : catalog.CustomPlugins()) names.push_back(p->Name);
    return names;
  }

  CSpotCatalog catalog;
  int reloads = 0;
  CPluginWizard wizard{env, [this](DataFileEnv& used) {
                         ++reloads;
                         ReloadCustomPlugins(used, catalog);
                       }};
};

TEST_F(Wizard, NextRefusesWhatCannotGoOn) {
  Put("<CustomPlugins><Plugin Name=\"Mine\" ToBeCleaned=\"0\" /></CustomPlugins>");
  using F = CPluginWizard::NextResult;
  struct Case {
    WizardAction action;
    const char* typed;
    const char* selected;
    const char* message;
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
  ASSERT_EQ(wizard.step(), 1);
  EXPECT_EQ(wizard.RootText(), "Empty");
  wizard.Finish();
  EXPECT_EQ(wizard.step(), 0);

  wizard.Next(WizardAction::kCreate, "Demo", "");
  WizardItems& items = wizard.items();
  items.files = {"C:\\W\\demo.log"};
  items.folders = {{"C:\\App\\Cache\\*.*", true, false}};
  items.registryKeys = {"HKEY_CURRENT_USER\\Software\\Demo\\MRU", "HKEY_CURRENT_USER\\"};
  items.registryValues = {"HKEY_CURRENT_USER\\Software\\Demo\\LastFile"};
  wizard.Finish();

  EXPECT_EQ(Texts(prompt), (std::vector<std::string>{kAddedText, kAddedText}));
  EXPECT_EQ(Stored(), (std::vector<std::string>{
                          "Plugin Empty 1: FILES[] FOLDERS[] REGISTRY[]",
                          "Plugin Demo 1: FILES[FILE(Name=C:\\W\\demo.log)] "
                          "FOLDERS[FOLDER(Name=C:\\App\\Cache\\*.*,IncludeSubFolders=yes,DeleteSubFolders=no)] "
                          "REGISTRY[REG_VALUE(Key=HKEY_CURRENT_USER\\Software\\Demo\\MRU,Value=*.*)"
                          "REG_VALUE(Key=HKEY_CURRENT_USER\\Software\\Demo,Value=LastFile)]"}));
  EXPECT_EQ(CatalogNames(), (std::vector<std::string>{"Empty", "Demo"}));
  EXPECT_EQ(wizard.EnterStepZero(), (std::vector<std::string>{"Empty", "Demo"}));
}

TEST_F(Wizard, ModifyLoadsTheItemsAndMovesThePluginToTheEnd) {
  Put("<CustomPlugins><Plugin Name=\"A\" ToBeCleaned=\"0\"><FOLDERS><FOLDER Name=\"C:\\F\" IncludeSubFolders=\"YES\" "
      "DeleteSubFolders=\"yes\" /></FOLDERS><REGISTRY><REG_VALUE Key=\"HKEY_USERS\\K\" Value=\"*.*\" />"
      "<REG_VALUE Key=\"HKEY_USERS\\K\" Value=\"V\" /></REGISTRY><FILES><FILE Name=\"C:\\f.txt\" /></FILES></Plugin>"
      "<Plugin Name=\"B\" ToBeCleaned=\"1\" /></CustomPlugins>");
  wizard.EnterStepZero();
  wizard.Next(WizardAction::kModify, "", "a");
  ASSERT_EQ(wizard.step(), 1);
  EXPECT_EQ(wizard.RootText(), "a");
  const std::vector<WizardBranch> branches = WizardBranches(wizard.items());
  ASSERT_EQ(branches.size(), 3u);
  EXPECT_EQ(branches[0].children, std::vector<std::string>{"C:\\F"});
  EXPECT_EQ(branches[1].children, std::vector<std::string>{"C:\\f.txt"});
  EXPECT_EQ(branches[2].children, (std::vector<std::string>{"HKEY_USERS\\K", "HKEY_USERS\\K\\V"}));
  EXPECT_TRUE(wizard.items().folders[0].includeSubFolders && wizard.items().folders[0].deleteSubFolders);
  wizard.Finish();
  EXPECT_EQ(Texts(prompt), std::vector<std::string>{kEditedText});
  EXPECT_EQ(Stored(), (std::vector<std::string>{
                          "Plugin B 1:",
                          "Plugin a 1: FILES[FILE(Name=C:\\f.txt)] "
                          "FOLDERS[FOLDER(Name=C:\\F,IncludeSubFolders=yes,DeleteSubFolders=yes)] "
                          "REGISTRY[REG_VALUE(Key=HKEY_USERS\\K,Value=*.*)REG_VALUE(Key=HKEY_USERS\\K,Value=V)]"}));
  EXPECT_EQ(CatalogNames(), (std::vector<std::string>{"B", "a"}));
}

TEST_F(Wizard, ModifyOfAMissingPluginWritesNothing) {
  Put("<CustomPlugins><Plugin Name=\"A\" ToBeCleaned=\"1\" /></CustomPlugins>");
  const std::string before = files.files[kCustom];
  wizard.EnterStepZero();
  wizard.Next(WizardAction::kModify, "", "Gone");
  EXPECT_EQ(wizard.step(), 1);
  EXPECT_EQ(Texts(prompt), std::vector<std::string>{kErrorLoadingText});
  wizard.items().files = {"C:\\x"};
  wizard.Finish();  // the old one cannot be deleted: nothing written, nothing told
  EXPECT_EQ(Texts(prompt), std::vector<std::string>{kErrorLoadingText});
  EXPECT_EQ(files.files[kCustom], before);
  EXPECT_EQ(wizard.step(), 0);
  // The failed Modify leaves nothing behind for the next Create.
  wizard.EnterStepZero();
  wizard.Next(WizardAction::kCreate, "New", "");
  EXPECT_EQ(wizard.RootText(), "New");
  EXPECT_TRUE(wizard.items().files.empty());
}

TEST_F(Wizard, DeleteAsksAndReloads) {
  Put("<CustomPlugins><Plugin Name=\"Twin\" ToBeCleaned=\"1\" Mark=\"first\" />"
      "<Plugin Name=\"twin\" ToBeCleaned=\"1\" /></CustomPlugins>");
  ReloadCustomPlugins(env, catalog);
  struct Case {
    PromptAnswer answer;
    const char* selected;
    bool refill;
    std::vector<std::string> told;
    std::vector<std::string> left;
  } cases[] = {
      {PromptAnswer::kNo, "Twin", false, {"Are you sure you want to delete (Twin) plugin"}, {"Twin", "twin"}},
      {PromptAnswer::kYes, "TWIN", true, {"Are you sure you want to delete (TWIN) plugin", kDeletedText}, {"twin"}},
      {PromptAnswer::kYes, "Other", false, {"Are you sure you want to delete (Other) plugin", kNotDeletedText}, {"twin"}},
  };
  for (const Case& c : cases) {
    prompt.asked.clear();
    prompt.answers = {c.answer};
    wizard.EnterStepZero();
    EXPECT_EQ(wizard.Next(WizardAction::kDelete, "", c.selected).refillList, c.refill);
    EXPECT_EQ(Texts(prompt), c.told);
    EXPECT_EQ(prompt.asked[0].caption, "Confirmation");
    EXPECT_EQ(prompt.asked[0].kind, PromptKind::kYesNo);
    EXPECT_EQ(CustomPluginNames(env), c.left);
    EXPECT_EQ(CatalogNames(), c.left);
    EXPECT_EQ(wizard.step(), 0);
  }
  // The first of the two was the one removed.
  EXPECT_EQ(files.DataText(kCustom).find("first"), std::string::npos);
}

TEST_F(Wizard, AFailedStoreIsNotToldAsSuccess) {
  files.failPrint = true;
  wizard.EnterStepZero();
  wizard.Next(WizardAction::kCreate, "Demo", "");
  wizard.Finish();
  EXPECT_EQ(Texts(prompt), std::vector<std::string>{kSaveErrorText});
  EXPECT_EQ(files.files.count(kCustom), 0u);
  EXPECT_EQ(reloads, 1);
}

}  // namespace
}  // namespace sh::test
