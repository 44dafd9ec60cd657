#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <string>

#include "model/memory_files.h"
#include "model/plugin_file.h"

namespace sh {
namespace {

using test::DataFileHarness;

const char kSpotList[] = R"(<?xml version="1.0" ?>
<!-- shipped list -->
<CleaningSpots Version="7" Extra="kept">
  <Group name="Windows" GroupType="2">
    <Spot name="Temp" ToBeCleaned="1" Type="0" Description="Temporary files">
      <Items>
        <Item Type="0" name=":Sys_Temp:" flags="*.tmp" DeleteRootDir="1" DeleteSubDir="1" />
        <Item Type="1" name="HKEY_CURRENT_USER\Software\Yahoo\pager\profiles\:YAHOO_USER:\:WINDIR:" />
        <Item Type="2" name="C:\ignored" />
        <Item name="C:\NoType" flags="*.*" />
        <Item Type="1" name="hkey_current_user\Software\Lower" />
        <Item Type="1" name="HKEY_CURRENT_USER" />
        <Item Type="1" name="HKEY_LOCAL_MACHINE\" />
      </Items>
      <Second><Item Type="0" name="C:\second container" /></Second>
    </Spot>
    <Spot name="XP only" OS="xp" ToBeCleaned="1" />
    <Spot name="Elsewhere" OS="2000" ToBeCleaned="7" Type="6" />
  </Group>
  <Group name="All XP" GroupType="5">
    <Spot name="A" OS="XP" />
  </Group>
  <G>
    <S />
  </G>
</CleaningSpots>
)";

const char kPluginList[] = R"(<PluginList Version="12">
  <P Name="Demo App" Description="Demo description" ToBeCleaned="1">
    <FIND_DATA>
      <REG_KEY Key="hkey_local_machine\software\demo" Value="unused" />
      <FILE Name=":PF:\Demo\demo.exe" />
      <reg_key Key="" />
      <REG_VALUE Key="HKEY_LOCAL_MACHINE\Software\Other" />
    </FIND_DATA>
    <files>
      <FILE Name="C:\Temp\*.log" />
      <Anything Name="readme.txt" />
      <FILE Name="" />
      <FILE />
    </files>
    <FOLDERS>
      <FOLDER Name=":APPDATA:\Demo\Cache" IncludeSubFolders="YES" DeleteSubFolders="yes" />
      <FOLDER Name="C:\One" IncludeSubFolders="1" />
    </FOLDERS>
    <Registry>
      <REG_KEY Key="hkey_current_user\software\demo\mru" />
      <reg_value Key="HKEY_CURRENT_USER\Software\Demo\Whole" Value="*.*" />
      <REG_VALUE Key="HKEY_CURRENT_USER\Software\Demo" Value="LastFile" />
      <REG_VALUE Key="HKEY_CURRENT_USER\Software\Demo" />
      <REG_VALUE Key="HKEY_CURRENT_USER" Value="*.*" />
      <REG_KEY Key="HKEY_LOCAL_MACHINE\\" />
      <OTHER Key="HKEY_CURRENT_USER\Software\X" />
    </Registry>
    <Unknown Name="C:\x" />
  </P>
  <P Name="No tests" ToBeCleaned="1" />
  <P Name="File present" ToBeCleaned="bad">
    <FIND_DATA>
      <FILE Name="C:\present.exe" />
      <REG_KEY Key="HKEY_CURRENT_USER\Software\Present" />
    </FIND_DATA>
  </P>
</PluginList>
)";

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest() {
    h.machine.values.stored = {{"Sys_Temp", "C:\\Temp\\"}, {"APP_DATA", "C:\\Users\\jo\\AppData"}};
    h.machine.values.yahoo = "jdoe";
  }
  DataFileHarness h;
  CSpotCatalog catalog;
};

TEST_F(LoaderTest, SpotListGroupsSpotsAndItems) {
  h.files.PutData(h.kSpotList, kSpotList);
  int version = -1;
  ASSERT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 0, &version), 1);
  EXPECT_EQ(version, 7);
  ASSERT_EQ(catalog.Groups().size(), 3u);
  CSpotGroup* windows = catalog.Groups().at(0);
  EXPECT_EQ(windows->Name, "Windows");
  EXPECT_EQ(windows->GroupType, 2);
  ASSERT_EQ(windows->Spots().size(), 2u);  // "XP only" skipped on this system

  CCleaningSpot* temp = windows->Spots().at(0);
  EXPECT_EQ(temp->Name, "Temp");
  EXPECT_EQ(temp->ToBeCleaned, 1);
  EXPECT_EQ(temp->Description, "Temporary files");
  ASSERT_EQ(temp->Folders.size(), 2u);
  EXPECT_EQ(temp->Folders[0].Path, "C:\\Temp\\");
  EXPECT_EQ(temp->Folders[0].Mask, "*.tmp");
  EXPECT_EQ(temp->Folders[0].DeleteRootDir, 1);
  EXPECT_EQ(temp->Folders[0].IncludeSubFolders, 1);  // from DeleteSubDir
  EXPECT_EQ(temp->Folders[0].DeleteSubFolders, 0);
  EXPECT_EQ(temp->Folders[1].Path, "C:\\NoType");    // missing Type reads 0
  // Registry items: only the Yahoo token, no other macro and no case change;
  // a lower-case root is kept with no root; a root alone is never an entry.
  ASSERT_EQ(temp->RegKeys.size(), 2u);
  EXPECT_EQ(temp->RegKeys[0].Root, RegRoot::kCurrentUser);
  EXPECT_EQ(temp->RegKeys[0].SubKey, "Software\\Yahoo\\pager\\profiles\\jdoe\\:WINDIR:");
  EXPECT_EQ(temp->RegKeys[1].Root, RegRoot::kNone);
  EXPECT_EQ(temp->RegKeys[1].SubKey, "Software\\Lower");
  EXPECT_TRUE(temp->RegValues.empty());

  CCleaningSpot* elsewhere = windows->Spots().at(1);
  EXPECT_EQ(elsewhere->Name, "Elsewhere");
  EXPECT_EQ(elsewhere->ToBeCleaned, 7);
  EXPECT_EQ(elsewhere->Type, 6);
  EXPECT_TRUE(elsewhere->Folders.empty() && elsewhere->RegKeys.empty());

  // A group whose spots were all skipped stays, empty.
  CSpotGroup* allXp = catalog.Groups().at(1);
  EXPECT_EQ(allXp->Name, "All XP");
  EXPECT_EQ(allXp->GetFirstSpot(), nullptr);
  EXPECT_EQ(allXp->GetNextSpot(), nullptr);

  // Missing attributes read as empty and 0.
  CSpotGroup* bare = catalog.Groups().at(2);
  EXPECT_EQ(bare->Name, "");
  EXPECT_EQ(bare->GroupType, 0);
  ASSERT_EQ(bare->Spots().size(), 1u);
  EXPECT_EQ(bare->Spots().at(0)->Name, "");
  EXPECT_EQ(bare->Spots().at(0)->ToBeCleaned, 0);
}

TEST_F(LoaderTest, XpSpotsLoadOnXpOnly) {
  h.files.PutData(h.kSpotList, kSpotList);
  ASSERT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 1, nullptr), 1);
  ASSERT_EQ(catalog.Groups().at(0)->Spots().size(), 3u);
  EXPECT_EQ(catalog.Groups().at(0)->Spots().at(1)->Name, "XP only");
  EXPECT_EQ(catalog.Groups().at(1)->Spots().size(), 1u);
}

TEST_F(LoaderTest, CorruptSpotListAddsNothing) {
  std::string lowerRoot = kSpotList;
  lowerRoot.replace(lowerRoot.find("<CleaningSpots"), 14, "<cleaningspots");
  lowerRoot.replace(lowerRoot.find("</CleaningSpots>"), 16, "</cleaningspots>");
  const std::string cases[] = {lowerRoot, std::string(kSpotList).substr(0, 300), "", "\x01\x02 binary \xff"};
  for (const std::string& text : cases) {
    h.files.PutData(h.kSpotList, text);
    int version = 99;
    EXPECT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 1, &version), 0);
    EXPECT_EQ(version, 99);
    EXPECT_TRUE(catalog.Groups().empty());
  }
  // Not scrambled, or scrambled with another key.
  h.files.files[h.kSpotList] = kSpotList;
  EXPECT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 1, nullptr), 0);
  std::string otherKey = kSpotList;
  for (char& c : otherKey) c = static_cast<char>(c ^ 0x5A);
  h.files.files[h.kSpotList] = otherKey;
  EXPECT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 1, nullptr), 0);
  EXPECT_EQ(LoadSpotList(h.env, catalog, "C:\\Data\\missing.swh", 1, nullptr), 0);
  EXPECT_TRUE(catalog.Groups().empty());
}

TEST_F(LoaderTest, PluginListEntriesAndPresenceTests) {
  h.files.PutData(h.kPluginList, kPluginList);
  h.machine.keys.insert("HKEY_LOCAL_MACHINE\\SOFTWARE\\DEMO");  // found after upper-casing
  h.machine.paths.insert("C:\\present.exe");
  int version = 0;
  ASSERT_EQ(LoadPluginList(h.env, catalog, h.kPluginList, &version), 1);
  EXPECT_EQ(version, 12);
  ASSERT_EQ(catalog.Plugins().size(), 3u);
  EXPECT_TRUE(catalog.CustomPlugins().empty());

  CPluginSpots* demo = catalog.Plugins().at(0);
  EXPECT_EQ(demo->Name, "Demo App");
  EXPECT_EQ(demo->Description, "Demo description");
  EXPECT_EQ(demo->ToBeCleaned, 1);
  EXPECT_EQ(demo->IsCustom, 0);
  EXPECT_EQ(demo->Installed, 1);
  ASSERT_EQ(demo->Spots().size(), 1u);
  CCleaningSpot* spot = demo->Spots().at(0);
  EXPECT_EQ(spot->Name, "Demo App");
  EXPECT_EQ(spot->ToBeCleaned, 1);
  EXPECT_EQ(spot->Type, 0);
  ASSERT_EQ(spot->Folders.size(), 4u);
  EXPECT_EQ(spot->Folders[0].Path, "C:\\Temp");
  EXPECT_EQ(spot->Folders[0].Mask, "*.log");
  EXPECT_EQ(spot->Folders[1].Path, "readme.txt");  // no backslash: all folder, no mask
  EXPECT_EQ(spot->Folders[1].Mask, "");
  EXPECT_EQ(spot->Folders[2].Path, "C:\\Users\\jo\\AppData\\Demo\\Cache");
  EXPECT_EQ(spot->Folders[2].IncludeSubFolders, 1);  // "YES"
  EXPECT_EQ(spot->Folders[2].DeleteSubFolders, 0);   // listed plugins never delete subfolders
  EXPECT_EQ(spot->Folders[3].IncludeSubFolders, 0);  // "1" is not yes
  for (const auto& f : spot->Folders) EXPECT_EQ(f.DeleteRootDir, 0);

  ASSERT_EQ(spot->RegKeys.size(), 2u);
  EXPECT_EQ(spot->RegKeys[0].Root, RegRoot::kCurrentUser);
  EXPECT_EQ(spot->RegKeys[0].SubKey, "SOFTWARE\\DEMO\\MRU");
  EXPECT_EQ(spot->RegKeys[1].SubKey, "SOFTWARE\\DEMO\\WHOLE");  // Value "*.*"
  ASSERT_EQ(spot->RegValues.size(), 2u);
  EXPECT_EQ(spot->RegValues[0].SubKey, "SOFTWARE\\DEMO");
  EXPECT_EQ(spot->RegValues[0].ValueName, "LastFile");  // as written
  EXPECT_EQ(spot->RegValues[1].ValueName, "");          // the default value

  // No presence test: never installed. Every test runs, even after one
  // succeeded; REG_VALUE tests are not tests.
  EXPECT_EQ(catalog.Plugins().at(1)->Installed, 0);
  CPluginSpots* present = catalog.Plugins().at(2);
  EXPECT_EQ(present->Installed, 1);
  EXPECT_EQ(present->ToBeCleaned, 0);  // non-numeric
  EXPECT_EQ(h.machine.tests, (std::vector<std::string>{"key HKEY_LOCAL_MACHINE\\SOFTWARE\\DEMO",
                                                      "path C:\\Program Files\\Demo\\demo.exe", "path C:\\present.exe",
                                                      "key HKEY_CURRENT_USER\\SOFTWARE\\PRESENT"}));
}

TEST_F(LoaderTest, CustomPluginsDifferFromTheList) {
  h.files.PutData(h.kCustom, kPluginList);
  h.machine.keys.insert("HKEY_LOCAL_MACHINE\\SOFTWARE\\DEMO");
  ASSERT_EQ(LoadCustomPlugins(h.env, catalog, h.kCustom), 1);
  EXPECT_TRUE(catalog.Plugins().empty());
  ASSERT_EQ(catalog.CustomPlugins().size(), 3u);
  CPluginSpots* demo = catalog.CustomPlugins().at(0);
  EXPECT_EQ(demo->Description, "Custom Plugin");
  EXPECT_EQ(demo->IsCustom, 1);
  EXPECT_EQ(demo->Installed, 0);
  EXPECT_TRUE(h.machine.tests.empty());  // FIND_DATA is not read
  EXPECT_EQ(demo->Spots().at(0)->Folders[2].DeleteSubFolders, 1);
  EXPECT_EQ(demo->Spots().at(0)->Folders[3].DeleteSubFolders, 0);

  // A chosen custom plugin is cleaned without any presence test; a chosen
  // listed plugin without one is not.
  h.files.PutData(h.kPluginList, kPluginList);
  ASSERT_EQ(LoadPluginList(h.env, catalog, h.kPluginList, nullptr), 1);
  std::vector<std::string> names;
  for (const CleanItem& item : catalog.ItemsToClean()) names.push_back(item.Name() + (item.plugin->IsCustom ? "*" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"Demo App", "Demo App*", "No tests*"}));
}

// An entry whose token stood for nothing would clean something wider (the
// parent key, the drive's root, the current folder): it is not loaded.
TEST_F(LoaderTest, EntriesWhoseTokenStoodForNothingAreSkipped) {
  h.machine.values.yahoo = "";
  h.machine.values.programFiles = "";
  h.machine.paths.insert("\\A\\a.exe");  // what ":PF:\A\a.exe" would become
  h.files.PutData(h.kSpotList, R"(<CleaningSpots><G><S name="S"><I>
      <X Type="0" name=":LOCAL_APPDATA:\Temp" flags="*.*" DeleteSubDir="1" />
      <X Type="0" name=":Sys_Temp:" flags="*.tmp" />
      <X Type="1" name="HKEY_CURRENT_USER\Software\Yahoo\Pager\profiles\:YAHOO_USER:" />
      <X Type="1" name="HKEY_CURRENT_USER\Software\Yahoo\Pager\profiles\:YAHOO_USER:\Archive" />
      <X Type="1" name="HKEY_CURRENT_USER\Software\Yahoo\Pager" />
    </I></S></G></CleaningSpots>)");
  ASSERT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 0, nullptr), 1);
  const CCleaningSpot* spot = catalog.Groups().at(0)->Spots().at(0);
  ASSERT_EQ(spot->Folders.size(), 1u);
  EXPECT_EQ(spot->Folders[0].Path, "C:\\Temp\\");
  ASSERT_EQ(spot->RegKeys.size(), 1u);
  EXPECT_EQ(spot->RegKeys[0].SubKey, "Software\\Yahoo\\Pager");  // written so, not reached by widening

  const char plugins[] = R"(<L><P Name="A" ToBeCleaned="1">
      <FIND_DATA><FILE Name=":PF:\A\a.exe" /></FIND_DATA>
      <FILES><FILE Name=":LOCAL_APPDATA:\A\*.log" /><FILE Name=":APPDATA:\A\*.log" /></FILES>
      <FOLDERS><FOLDER Name=":PF:\A\Cache" IncludeSubFolders="yes" /><FOLDER Name=":LOCAL_APPDATA:" /></FOLDERS>
      <REGISTRY><REG_KEY Key="HKEY_CURRENT_USER\Software\Yahoo\Pager\profiles\:YAHOO_USER:" /></REGISTRY>
    </P></L>)";
  h.files.PutData(h.kPluginList, plugins);
  h.files.PutData(h.kCustom, plugins);
  ASSERT_EQ(LoadPluginList(h.env, catalog, h.kPluginList, nullptr), 1);
  ASSERT_EQ(LoadCustomPlugins(h.env, catalog, h.kCustom), 1);
  EXPECT_EQ(catalog.Plugins().at(0)->Installed, 0);
  EXPECT_TRUE(h.machine.tests.empty());  // nothing was looked for
  for (const CPluginSpots* plugin : {catalog.Plugins().at(0), catalog.CustomPlugins().at(0)}) {
    const CCleaningSpot* s = plugin->Spots().at(0);
    ASSERT_EQ(s->Folders.size(), 1u) << plugin->Description;
    EXPECT_EQ(s->Folders[0].Path, "C:\\Users\\jo\\AppData\\A");
    EXPECT_EQ(s->Folders[0].Mask, "*.log");
    // Plugin registry paths expand no token: the key stays as written.
    ASSERT_EQ(s->RegKeys.size(), 1u);
    EXPECT_EQ(s->RegKeys[0].SubKey, "SOFTWARE\\YAHOO\\PAGER\\PROFILES\\:YAHOO_USER:");
  }
}

TEST_F(LoaderTest, BrokenPluginFilesGiveNoPlugins) {
  EXPECT_EQ(LoadPluginList(h.env, catalog, h.kPluginList, nullptr), 0);
  h.files.PutData(h.kPluginList, std::string(kPluginList).substr(0, 700));
  EXPECT_EQ(LoadPluginList(h.env, catalog, h.kPluginList, nullptr), 0);
  h.files.files[h.kCustom] = kPluginList;  // not scrambled
  EXPECT_EQ(LoadCustomPlugins(h.env, catalog, h.kCustom), 0);
  EXPECT_TRUE(catalog.Plugins().empty());
  EXPECT_TRUE(catalog.CustomPlugins().empty());
}

TEST(IntegerFromText, LeadingDecimalIntegerClamped) {
  EXPECT_EQ(IntegerFromText(nullptr), 0);
  EXPECT_EQ(IntegerFromText(""), 0);
  EXPECT_EQ(IntegerFromText("abc"), 0);
  EXPECT_EQ(IntegerFromText(" 12x"), 12);
  EXPECT_EQ(IntegerFromText("-3"), -3);
  EXPECT_EQ(IntegerFromText("+4"), 4);
  EXPECT_EQ(IntegerFromText("99999999999999999999999"), 2147483647);
  EXPECT_EQ(IntegerFromText("-99999999999999999999999"), -2147483647 - 1);
}

// --- choices written back ---------------------------------------------------

const char kTwins[] = R"(<?xml version="1.0" ?>
<CleaningSpots Version="3">
    <!-- note -->
    <G name="g1">
        <S name="Twin" ToBeCleaned="0" Unread="x" />
        <S name="Other" ToBeCleaned="1" />
    </G>
    <G name="g2">
        <S name="TWIN" ToBeCleaned="0" />
        <S name="Gone" ToBeCleaned="0" />
    </G>
</CleaningSpots>
)";

std::string Attribute(const std::string& text, int group, int spot, const char* name) {
  TiXmlDocument document;
  document.Parse(text.c_str());
  const TiXmlElement* g = document.RootElement()->FirstChildElement();
  for (int i = 0; i < group; ++i) g = g->NextSiblingElement();
  const TiXmlElement* s = g->FirstChildElement();
  for (int i = 0; i < spot; ++i) s = s->NextSiblingElement();
  const char* value = s->Attribute(name);
  return value ? value : "(none)";
}

TEST(SaveSpotChoice, FirstMatchIgnoringCaseOnly) {
  DataFileHarness h;
  h.files.PutData(h.kSpotList, kTwins);
  CCleaningSpot spot("twin", 0);
  ASSERT_EQ(SaveSpotChoice(h.env, spot, 1), 1);
  std::string text = h.files.DataText(h.kSpotList);
  EXPECT_EQ(Attribute(text, 0, 0, "ToBeCleaned"), "1");
  EXPECT_EQ(Attribute(text, 1, 0, "ToBeCleaned"), "0");
  // Everything else is printed again as it was, with CR LF line ends.
  EXPECT_EQ(text, "<?xml version=\"1.0\" ?>\r\n<CleaningSpots Version=\"3\">\r\n    <!-- note -->\r\n"
                  "    <G name=\"g1\">\r\n        <S name=\"Twin\" ToBeCleaned=\"1\" Unread=\"x\" />\r\n"
                  "        <S name=\"Other\" ToBeCleaned=\"1\" />\r\n    </G>\r\n    <G name=\"g2\">\r\n"
                  "        <S name=\"TWIN\" ToBeCleaned=\"0\" />\r\n        <S name=\"Gone\" ToBeCleaned=\"0\" />\r\n"
                  "    </G>\r\n</CleaningSpots>\r\n");
}

TEST(SaveSpotChoice, NothingStoredWithoutAMatchOrAFile) {
  DataFileHarness h;
  CCleaningSpot spot("Twin", 0);
  EXPECT_EQ(SaveSpotChoice(h.env, spot, 1), 0);  // no file
  h.files.PutData(h.kSpotList, "<CleaningSpots><G><S name=\"Twin\" ToBe");
  EXPECT_EQ(SaveSpotChoice(h.env, spot, 1), 0);  // cut short
  h.files.PutData(h.kSpotList, kTwins);
  CCleaningSpot stranger("Stranger", 0);
  h.files.ops.clear();
  EXPECT_EQ(SaveSpotChoice(h.env, stranger, 1), 0);
  EXPECT_EQ(h.files.ops, (std::vector<std::string>{std::string("read ") + h.kSpotList}));
  EXPECT_EQ(h.files.DataText(h.kSpotList), kTwins);
}

TEST(SavePluginChoice, EachKindToItsOwnFile) {
  DataFileHarness h;
  const char list[] = "<L Version=\"2\"><P Name=\"Demo\" ToBeCleaned=\"0\" /><P Name=\"demo\" /></L>";
  h.files.PutData(h.kPluginList, list);
  h.files.PutData(h.kCustom, list);
  CPluginSpots plugin("DEMO", "");
  ASSERT_EQ(SavePluginChoice(h.env, plugin, 1), 1);
  EXPECT_EQ(h.files.DataText(h.kPluginList),
            "<L Version=\"2\">\r\n    <P Name=\"Demo\" ToBeCleaned=\"1\" />\r\n    <P Name=\"demo\" />\r\n</L>\r\n");
  EXPECT_EQ(h.files.DataText(h.kCustom), list);
  ASSERT_EQ(SaveCustomPluginChoice(h.env, plugin, 5), 1);
  EXPECT_EQ(Attribute("<x>" + h.files.DataText(h.kCustom) + "</x>", 0, 0, "ToBeCleaned"), "5");
}

TEST(SaveAllChoices, SameResultAsOneSavePerSpotInOrder) {
  // The catalog holds the user's choices; the file is a new download.
  CSpotCatalog catalog;
  CSpotGroup* g = catalog.AddGroup(std::make_unique<CSpotGroup>("g", 0));
  g->AddSpot(CreateSpot("twin", 1));
  g->AddSpot(CreateSpot("Other", 0));
  g->AddSpot(CreateSpot("Not in the file", 1));
  g->AddSpot(CreateSpot("TWIN", 0));  // the same first element, last write wins

  DataFileHarness one, all;
  one.files.PutData(one.kSpotList, kTwins);
  all.files.PutData(all.kSpotList, kTwins);
  for (const auto& spot : g->Spots()) SaveSpotChoice(one.env, *spot, spot->ToBeCleaned);
  all.files.ops.clear();
  EXPECT_EQ(SaveAllSpotChoices(all.env, catalog), 3);
  EXPECT_EQ(all.files.DataText(all.kSpotList), one.files.DataText(one.kSpotList));
  EXPECT_EQ(Attribute(all.files.DataText(all.kSpotList), 0, 1, "ToBeCleaned"), "0");  // Other
  EXPECT_EQ(Attribute(all.files.DataText(all.kSpotList), 1, 1, "ToBeCleaned"), "0");  // Gone keeps the default
  EXPECT_EQ(std::count_if(all.files.ops.begin(), all.files.ops.end(),
                          [](const std::string& op) { return op.rfind("replace", 0) == 0; }),
            1);
}

TEST(SaveAllChoices, PluginsButNotCustomOnes) {
  DataFileHarness h;
  h.files.PutData(h.kPluginList, "<L><P Name=\"A\" ToBeCleaned=\"0\" /><P Name=\"B\" ToBeCleaned=\"1\" /></L>");
  CSpotCatalog catalog;
  auto a = std::make_unique<CPluginSpots>("a", "");
  a->ToBeCleaned = 1;
  catalog.AddPlugin(std::move(a));
  auto b = std::make_unique<CPluginSpots>("B", "");
  b->ToBeCleaned = 0;
  b->IsCustom = 1;
  catalog.AddCustomPlugin(std::move(b));
  EXPECT_EQ(SaveAllPluginChoices(h.env, catalog), 1);
  EXPECT_EQ(h.files.DataText(h.kPluginList),
            "<L>\r\n    <P Name=\"A\" ToBeCleaned=\"1\" />\r\n    <P Name=\"B\" ToBeCleaned=\"1\" />\r\n</L>\r\n");
  DataFileHarness none;
  EXPECT_EQ(SaveAllPluginChoices(none.env, catalog), 0);
  EXPECT_TRUE(none.files.files.empty());
}

}  // namespace
}  // namespace sh
