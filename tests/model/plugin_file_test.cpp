#include <gtest/gtest.h>

#include <string>

#include "model/custom_plugin_file.h"
#include "model/memory_files.h"
#include "model/plugin_file.h"

namespace sh {
namespace {

using test::DataFileHarness;
using test::Describe;

std::string Repeat(const std::string& part, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += part;
  return out;
}

// Numbers are leading decimal integers, clamped. Registry items: a
// lower-case root has none, a root alone is no entry,
// spot keys expand the Yahoo token only. Entries whose token stood for
// nothing (:LOCAL_APPDATA:, :PF: and the Yahoo id are empty) would clean
// something wider than meant and are skipped.
const char kSpotList[] = R"(<?xml version="1.0" ?><!-- shipped list --><CleaningSpots Version=" 7th">
  <Group name="Windows" GroupType="99999999999">
    <Spot name="Temp" ToBeCleaned="1" Type="3" Description="Temporary files"><Items>
      <Item Type="0" name=":Sys_Temp:" flags="*.tmp" DeleteRootDir="1" DeleteSubDir="1" />
      <Item name="C:\NoType" flags="*.*" /><Item Type="0" name=":LOCAL_APPDATA:\Temp" /><Item Type="2" name="C:\x" />
      <Item Type="1" name="HKEY_CURRENT_USER\Software\:WINDIR:" /><Item Type="1" name="hkey_current_user\Software\L" />
      <Item Type="1" name="HKEY_CURRENT_USER\Software\Yahoo\pager\profiles\:YAHOO_USER:" />
      <Item Type="1" name="HKEY_CURRENT_USER" /><Item Type="1" name="HKEY_LOCAL_MACHINE\" /></Items>
      <Second><Item Type="0" name="C:\second container" /></Second></Spot>
    <Spot name="XP only" OS="xp" ToBeCleaned="1" /></Group>
  <G><S Type="-99999999999" /></G></CleaningSpots>)";

const char kPluginList[] = R"(<PluginList Version="12"><P Name="Demo" Description="Demo description" ToBeCleaned="1">
    <FIND_DATA><REG_KEY Key="hkey_local_machine\software\demo" /><REG_VALUE Key="HKEY_CURRENT_USER\Software" />
    </FIND_DATA><files><FILE Name="C:\Temp\*.log" /><Anything Name="readme.txt" /><FILE Name="" />
      <FILE Name=":LOCAL_APPDATA:\*.log" /></files>
    <FOLDERS><FOLDER Name=":APPDATA:\Demo" IncludeSubFolders="YES" DeleteSubFolders="yes" /><FOLDER Name=":PF:\D" />
      <FOLDER Name="C:\One" IncludeSubFolders="1" /></FOLDERS>
    <Registry><REG_KEY Key="hkey_current_user\software\demo\mru" />
      <reg_value Key="HKEY_CURRENT_USER\Software\W" Value="*.*" /><REG_VALUE Key="HKEY_CURRENT_USER" Value="*.*" />
      <REG_VALUE Key="HKEY_CURRENT_USER\Software\Demo" Value="LastFile" />
      <REG_VALUE Key="HKEY_CURRENT_USER\Software\Demo" />
      <OTHER Key="HKEY_CURRENT_USER\Software\X" /></Registry></P>
  <P Name="No tests" ToBeCleaned="1" />
  <P Name="Token for nothing" ToBeCleaned="1"><FIND_DATA><FILE Name=":PF:\a.exe" /></FIND_DATA></P>
  <P Name="File present" ToBeCleaned="bad"><FIND_DATA><FILE Name="C:\present.exe" />
    <REG_KEY Key="HKEY_CURRENT_USER\Software\Absent" /></FIND_DATA></P></PluginList>)";

TEST(Loaders, EveryListLoadsWhatItsEntriesSay) {
  DataFileHarness h;
  h.machine.values = {{"Sys_Temp", "C:\\Temp\\"}, {"APP_DATA", "C:\\AppData"}, {"WINDIR", "C:\\WINDOWS"}};
  h.machine.keys.insert("HKEY_LOCAL_MACHINE\\SOFTWARE\\DEMO");  // found after upper-casing
  h.machine.paths = {"C:\\present.exe", "\\a.exe"};             // what ":PF:\a.exe" would become
  h.files.PutData(h.kSpotList, kSpotList);
  h.files.PutData(h.kPluginList, kPluginList);
  h.files.PutData(h.kCustom, kPluginList);
  CSpotCatalog catalog;
  int spotVersion = 0, pluginVersion = 0;
  ASSERT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 0, &spotVersion), 1);
  ASSERT_EQ(LoadPluginList(h.env, catalog, h.kPluginList, &pluginVersion), 1);
  ASSERT_EQ(LoadCustomPlugins(h.env, catalog, h.kCustom), 1);
  EXPECT_EQ(spotVersion * 100 + pluginVersion, 712);
  const std::string listed =
      "plugin Demo 'Demo description' chosen=1 installed=1 custom=0\n  folder C:\\Temp|*.log 000\n"
      "  folder readme.txt| 000\n  folder C:\\AppData\\Demo| 010\n  folder C:\\One| 000\n  key 1 SOFTWARE\\DEMO\\MRU\n"
      "  key 1 SOFTWARE\\W\n  value 1 SOFTWARE\\DEMO|LastFile\n  value 1 SOFTWARE\\DEMO|\n"
      "plugin No tests '' chosen=1 installed=0 custom=0\nplugin Token for nothing '' chosen=1 installed=0 custom=0\n"
      "plugin File present '' chosen=0 installed=1 custom=0\n";
  // Custom plugins: the same entries, but no presence test, and subfolders may be deleted.
  std::string custom = listed;
  for (auto [from, to] : {std::pair{"'Demo description'", "''"}, {"''", "'Custom Plugin'"},
                          {"installed=1", "installed=0"}, {"custom=0", "custom=1"}, {"| 010", "| 011"}})
    ReplaceAll(custom, from, to);
  EXPECT_EQ(Describe(catalog),
            "group Windows 2147483647\n spot Temp chosen=1 type=3 'Temporary files'\n  folder C:\\Temp\\|*.tmp 110\n"
            "  folder C:\\NoType|*.* 000\n  key 1 Software\\:WINDIR:\n  key 0 Software\\L\n"
            "group  0\n spot  chosen=0 type=-2147483648 ''\n" + listed + custom);
  // A chosen listed plugin is cleaned only when installed, a custom one always.
  std::string rows;
  for (const CleanItem& item : catalog.ItemsToClean())
    rows += item.Name() + (item.plugin && item.plugin->IsCustom ? "* " : " ");
  EXPECT_EQ(rows, "Temp Demo Demo* No tests* Token for nothing* ");
  CSpotCatalog xp;
  ASSERT_EQ(LoadSpotList(h.env, xp, h.kSpotList, 1, nullptr), 1);
  EXPECT_EQ(xp.Groups().at(0)->Spots().at(1)->Name, "XP only");
}

// Lists from the update server or edited by hand: a malformed one loads
// nothing and is never written over.
TEST(Loaders, MalformedListsLoadNothingAndAreNeverWritten) {
  const std::string list = "<CleaningSpots Version=\"3\"><G><S name=\"A\" ToBeCleaned=\"0\" /></G></CleaningSpots>";
  std::string otherKey = list;
  for (char& c : otherKey) c = static_cast<char>(c ^ 0x5A);
  enum Stored { kScrambled, kPlain, kMissing, kSpotListOnly /* the plugin lists take any root */ };
  const struct {
    const char* what;
    std::string text;
    Stored stored;
  } cases[] = {
      {"missing", "", kMissing},
      {"empty", "", kScrambled},
      {"not scrambled", list, kPlain},
      {"scrambled with another key", otherKey, kPlain},
      {"binary", "\x01\x02 binary \xff", kScrambled},
      {"cut short", list.substr(0, 50), kScrambled},
      {"an end tag missing", "<CleaningSpots><G><S name=\"A\"></G></CleaningSpots>", kScrambled},
      {"a comment only", "<!-- only a comment -->", kScrambled},
      {"text only", "just text", kScrambled},
      {"root in another case", "<cleaningspots><G><S name=\"A\" /></G></cleaningspots>", kSpotListOnly},
      {"a UTF-8 text ending inside a character", "\xEF\xBB\xBF<a>\xE2", kScrambled},
      {"legacy bytes in a UTF-8 document", "<?xml version=\"1.0\"?><r><s name=\"Caf\xE9\"><i/></s></r>", kScrambled},
      {"one level deeper than the limit", Repeat("<a>", 101) + Repeat("</a>", 101), kScrambled},
      // How deep the parser would go behind odd markup: the generated markup's test.
      {"deep enough to overflow the stack", Repeat("<a>", 100000), kScrambled},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DataFileHarness h;
    for (const char* path : {h.kSpotList, h.kPluginList}) {
      if (c.stored == kPlain) h.files.files[path] = c.text;
      if (c.stored == kScrambled || c.stored == kSpotListOnly) h.files.PutData(path, c.text);
    }
    const auto before = h.files.files;
    CSpotCatalog catalog;
    int version = -1;
    EXPECT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 1, &version), 0);
    EXPECT_EQ(version, -1);
    EXPECT_TRUE(catalog.Groups().empty());
    if (c.stored == kSpotListOnly) continue;
    EXPECT_EQ(LoadPluginList(h.env, catalog, h.kPluginList, &version), 0);
    EXPECT_EQ(SaveSpotChoice(h.env, CCleaningSpot("A", 0), 1), 0);
    EXPECT_EQ(SavePluginChoice(h.env, CPluginSpots("A", ""), 1), 0);
    EXPECT_EQ(h.files.files, before);
    EXPECT_TRUE(h.prompt.asked.empty());
  }
}

// Markup that only looks odd, but that the parser reads whole, loads, as
// deep as the limit (odd texts of every other kind: the generated markup).
TEST(Loaders, OddLookingListsTheParserReadsWholeLoad) {
  std::string deep = "<CleaningSpots><G><S name=\"<1 day>\" b='<a><b></L>'>";
  for (int i = 0; i < 97; ++i) deep += "<n a='<'>";  // 100 levels: the limit
  for (int i = 0; i < 97; ++i) deep += "</n>";
  DataFileHarness h;
  h.files.PutData(h.kSpotList, deep + "</S></G></CleaningSpots>");
  CSpotCatalog catalog;
  ASSERT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 1, nullptr), 1);
  EXPECT_EQ(catalog.Groups().at(0)->Spots().at(0)->Name, "<1 day>");
}

// --- choices written back ---------------------------------------------------

const char kTwins[] =
    "<?xml version=\"1.0\" ?>\n<CleaningSpots Version=\"3\">\n    <!-- note -->\n    <G name=\"g1\">\n"
    "        <S name=\"Twin\" ToBeCleaned=\"0\" Unread=\"x\" />\n        <S name=\"Other\" ToBeCleaned=\"1\" />\n"
    "    </G>\n    <G name=\"g2\">\n        <S name=\"TWIN\" ToBeCleaned=\"0\" />\n"
    "        <S name=\"Gone\" ToBeCleaned=\"0\" />\n    </G>\n</CleaningSpots>\n";

TEST(SaveChoice, FirstMatchIgnoringCaseInItsOwnFileOnly) {
  DataFileHarness h;
  const char plugins[] = "<L><P Name=\"Before\" ToBeCleaned=\"0\" /><P Name=\"Demo\" /><P Name=\"demo\" /></L>";
  h.files.PutData(h.kSpotList, kTwins);
  h.files.PutData(h.kPluginList, plugins);
  h.files.PutData(h.kCustom, plugins);
  EXPECT_EQ(SaveSpotChoice(h.env, CCleaningSpot("twin", 0), 1), 1);
  EXPECT_EQ(SavePluginChoice(h.env, CPluginSpots("DEMO", ""), 1), 1);
  EXPECT_EQ(SaveCustomPluginChoice(h.env, CPluginSpots("demo", ""), 5), 1);
  const std::string plugin = h.files.files[h.kPluginList];
  EXPECT_EQ(SavePluginChoice(h.env, CPluginSpots("Stranger", ""), 1), 0);
  EXPECT_EQ(h.files.files[h.kPluginList], plugin);
  CSpotCatalog catalog;
  LoadSpotList(h.env, catalog, h.kSpotList, 0, nullptr);
  LoadPluginList(h.env, catalog, h.kPluginList, nullptr);
  LoadCustomPlugins(h.env, catalog, h.kCustom);
  EXPECT_EQ(Describe(catalog),
            "group g1 0\n spot Twin chosen=1 type=0 ''\n spot Other chosen=1 type=0 ''\ngroup g2 0\n"
            " spot TWIN chosen=0 type=0 ''\n spot Gone chosen=0 type=0 ''\n"
            "plugin Before '' chosen=0 installed=0 custom=0\nplugin Demo '' chosen=1 installed=0 custom=0\n"
            "plugin demo '' chosen=0 installed=0 custom=0\n"
            "plugin Before 'Custom Plugin' chosen=0 installed=0 custom=1\n"
            "plugin Demo 'Custom Plugin' chosen=5 installed=0 custom=1\n"
            "plugin demo 'Custom Plugin' chosen=0 installed=0 custom=1\n");
  // Everything else is printed again as it was, with CR LF line ends.
  std::string expected = kTwins;
  ReplaceAll(expected, "\n", "\r\n");
  ReplaceAll(expected, "\"Twin\" ToBeCleaned=\"0\"", "\"Twin\" ToBeCleaned=\"1\"");
  EXPECT_EQ(h.files.DataText(h.kSpotList), expected);
}

// What the wizard adds joins whatever the file held and cleans what it
// names; edited, it is chosen again. An unreadable file is kept beside a new
// one, and when it cannot be, nothing is stored.
TEST(CustomPluginFile, AddedPluginsLoadAndNothingIsLost) {
  DataFileHarness h, unreadable, kept;
  h.machine.values["APP_DATA"] = "C:\\AppData";
  h.files.PutData(h.kCustom, "<?xml version=\"1.0\" ?>\n<Mine><Plugin Name=\"First\" ToBeCleaned=\"0\" /></Mine>");
  CustomPluginItems demo, back;
  demo.name = "A & <\"Demo\">";
  demo.files = {":WINDIR:\\demo.log"};
  demo.folders = {{":APPDATA:\\Demo\\Cache", true, false}, {"C:\\B", false, true}};
  demo.registryKeys = {"HKEY_CURRENT_USER\\Software\\Demo\\MRU"};
  demo.registryValues = {"HKEY_CURRENT_USER\\Software\\Demo\\\\LastFile", "NoBackslash"};
  ASSERT_EQ(AddCustomPlugin(h.env, demo), 1);
  ASSERT_EQ(SaveCustomPluginChoice(h.env, CPluginSpots(demo.name, ""), 0), 1);
  // An edit whose store fails keeps the plugin as it was.
  h.files.failReplace = true;
  EXPECT_EQ(EditCustomPlugin(h.env, "a & <\"DEMO\">", demo), 0);
  h.files.failReplace = false;
  EXPECT_EQ(CustomPluginNames(h.env), (std::vector<std::string>{"First", demo.name}));
  ASSERT_EQ(EditCustomPlugin(h.env, "a & <\"DEMO\">", demo), 1);
  ASSERT_TRUE(ReadCustomPlugin(h.env, demo.name, back));
  EXPECT_EQ(back.registryValues.at(0), "HKEY_CURRENT_USER\\Software\\Demo\\LastFile");
  CSpotCatalog catalog;
  ASSERT_EQ(LoadCustomPlugins(h.env, catalog, h.kCustom), 1);
  EXPECT_EQ(test::Describe(catalog),
            "plugin First 'Custom Plugin' chosen=0 installed=0 custom=1\n"
            "plugin A & <\"Demo\"> 'Custom Plugin' chosen=1 installed=0 custom=1\n  folder C:\\WINDOWS|demo.log 000\n"
            "  folder C:\\AppData\\Demo\\Cache| 010\n  folder C:\\B| 001\n  key 1 SOFTWARE\\DEMO\\MRU\n"
            "  value 1 SOFTWARE\\DEMO|LastFile\n");

  for (DataFileHarness* x : {&unreadable, &kept}) x->files.files[x->kCustom] = "not scrambled, not xml";
  kept.files.failWrite.insert(std::string(kept.kCustom) + ".bad");
  ASSERT_EQ(AddCustomPlugin(unreadable.env, demo), 1);
  EXPECT_EQ(unreadable.files.files[std::string(unreadable.kCustom) + ".bad"], "not scrambled, not xml");
  EXPECT_EQ(CustomPluginNames(unreadable.env), std::vector<std::string>{demo.name});
  EXPECT_EQ(AddCustomPlugin(kept.env, demo), 0);
  EXPECT_EQ(kept.files.files[kept.kCustom], "not scrambled, not xml");
}

}  // namespace
}  // namespace sh
