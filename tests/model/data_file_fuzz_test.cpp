// Bad input for every reader and writer of the data files: large, long,
// deep and randomly damaged files. Run under the sanitizers natively.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <random>
#include <string>

#include "model/custom_plugin_file.h"
#include "model/memory_files.h"
#include "model/plugin_file.h"
#include "paths/reg_path.h"
#include "toolkit/text.h"

namespace sh {
namespace {

using test::DataFileHarness;

std::string BigSpotList(int spots) {
  std::string text = "<CleaningSpots Version=\"4\">\n";
  for (int g = 0; g < spots / 50; ++g) {
    text += Format("  <Group name=\"Group %d\" GroupType=\"%d\">\n", g, g % 7);
    for (int s = 0; s < 50; ++s)
      text += Format("    <Spot name=\"Spot %d.%d\" ToBeCleaned=\"%d\" Type=\"0\"><Items>"
                     "<Item Type=\"0\" name=\":Recent:\\%d\" flags=\"*.*\" /></Items></Spot>\n",
                     g, s, s % 2, s);
    text += "  </Group>\n";
  }
  return text + "</CleaningSpots>\n";
}

TEST(DataFileBadInput, FiveThousandSpots) {
  DataFileHarness h;
  h.files.PutData(h.kSpotList, BigSpotList(5000));
  CSpotCatalog catalog;
  ASSERT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 0, nullptr), 1);
  size_t spots = 0;
  for (const auto& g : catalog.Groups()) spots += g->Spots().size();
  EXPECT_EQ(spots, 5000u);
  CCleaningSpot* last = catalog.Groups().at(99)->Spots().at(49);
  EXPECT_EQ(last->Name, "Spot 99.49");
  ASSERT_EQ(SaveSpotChoice(h.env, *last, 0), 1);
  for (const auto& g : catalog.Groups())
    for (const auto& s : g->Spots()) s->ToBeCleaned = 1;
  EXPECT_EQ(SaveAllSpotChoices(h.env, catalog), 5000);
  CSpotCatalog again;
  ASSERT_EQ(LoadSpotList(h.env, again, h.kSpotList, 0, nullptr), 1);
  EXPECT_EQ(again.ItemsToClean().size(), 5000u);
}

TEST(DataFileBadInput, VeryLongNamesAndPaths) {
  DataFileHarness h;
  const std::string longName(200000, 'n');
  const std::string longPath = "C:\\" + std::string(300000, 'p') + "\\*.tmp";
  h.files.PutData(h.kPluginList, "<L><P Name=\"" + longName + "\" ToBeCleaned=\"1\"><FILES><FILE Name=\"" +
                                     longPath + "\" /></FILES></P></L>");
  CSpotCatalog catalog;
  ASSERT_EQ(LoadPluginList(h.env, catalog, h.kPluginList, nullptr), 1);
  EXPECT_EQ(catalog.Plugins().at(0)->Name, longName);
  EXPECT_EQ(catalog.Plugins().at(0)->Spots().at(0)->Folders.at(0).Mask, "*.tmp");
  EXPECT_EQ(SavePluginChoice(h.env, *catalog.Plugins().at(0), 0), 1);
  CustomPluginItems p;
  p.name = longName;
  p.registryValues = {"HKEY_CURRENT_USER\\" + longName + "\\v"};
  EXPECT_EQ(AddCustomPlugin(h.env, p), 1);
  EXPECT_TRUE(FindCustomPlugin(h.env, longName));
}

TEST(DataFileBadInput, DeepNestingIsACorruptFile) {
  DataFileHarness h;
  std::string deep = "<CleaningSpots><G><S>";
  for (int i = 0; i < 200000; ++i) deep += "<i>";
  h.files.PutData(h.kSpotList, deep);
  h.files.PutData(h.kPluginList, deep);
  CSpotCatalog catalog;
  EXPECT_EQ(LoadSpotList(h.env, catalog, h.kSpotList, 0, nullptr), 0);
  EXPECT_EQ(LoadPluginList(h.env, catalog, h.kPluginList, nullptr), 0);
  CCleaningSpot spot("S", 0);
  EXPECT_EQ(SaveSpotChoice(h.env, spot, 1), 0);
  EXPECT_TRUE(catalog.Groups().empty());
}

// Damages a text the way disks, downloads and editors do.
class Mutator {
 public:
  explicit Mutator(unsigned seed) : rng_(seed) {}
  size_t Below(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

  std::string Mutate(std::string text) {
    int rounds = Below(4) == 0 ? 2 : 1;
    for (int r = 0; r < rounds; ++r) {
      size_t at = Below(text.size() + 1);
      switch (Below(8)) {
        case 0:  // flip a byte
          if (!text.empty()) text[Below(text.size())] ^= static_cast<char>(1 + Below(255));
          break;
        case 1:  // cut short
          text.resize(at);
          break;
        case 2:  // drop a run
          text.erase(at, Below(64));
          break;
        case 3: {  // repeat a run
          std::string run = text.substr(at, Below(200));
          text.insert(at, run);
          break;
        }
        case 4: {  // markup where it does not belong
          static const char* const kBits[] = {"<",        ">",       "\"",       "'",         "</",     "/>",
                                              "<a>",      "<!--",    "<![CDATA[", "&#x41;",    "&",      "\xE2",
                                              "\xF0\x9F", "\xEF\xBB\xBF", "<?xml version=\"1.0\"?>", "=",
                                              "<P Name=\"x\">", "</P>", "\xA7"};
          text.insert(at, kBits[Below(sizeof kBits / sizeof kBits[0])]);
          break;
        }
        case 5:  // random bytes, zero among them
          for (size_t n = Below(16); n > 0; --n) text.insert(Below(text.size() + 1), 1, static_cast<char>(Below(256)));
          break;
        case 6:  // swap case of a stretch (names and roots are case-sensitive)
          for (size_t i = at; i < text.size() && i < at + 40; ++i) text[i] = static_cast<char>(text[i] ^ 0x20);
          break;
        default: {  // a nest of elements
          std::string nest;
          for (size_t n = Below(300); n > 0; --n) nest += "<a>";
          text.insert(at, nest);
          break;
        }
      }
    }
    return text;
  }

 private:
  std::mt19937 rng_;
};

const char kSeedSpots[] = R"(<?xml version="1.0" ?>
<CleaningSpots Version="3">
  <G name="g" GroupType="1">
    <S name="A" ToBeCleaned="1" Type="0" OS="XP" Description="d"><I><X Type="0" name=":WINDIR:\\Temp" flags="*.*" DeleteRootDir="1" DeleteSubDir="1" /><X Type="1" name="HKEY_CURRENT_USER\Software\:YAHOO_USER:" /></I></S>
    <S name="B" ToBeCleaned="0" Type="2" />
  </G>
</CleaningSpots>
)";

const char kSeedPlugins[] = R"(<PluginList Version="5">
  <P Name="A" Description="d" ToBeCleaned="1">
    <FIND_DATA><REG_KEY Key="hkey_current_user\software\a" /><FILE Name=":PF:\A\a.exe" /></FIND_DATA>
    <FILES><FILE Name="C:\Temp\*.log" /></FILES>
    <FOLDERS><FOLDER Name=":APPDATA:\A" IncludeSubFolders="yes" DeleteSubFolders="yes" /></FOLDERS>
    <REGISTRY><REG_KEY Key="HKEY_CURRENT_USER\Software\A" /><REG_VALUE Key="HKEY_CURRENT_USER\Software\A" Value="*.*" /><REG_VALUE Key="HKEY_CURRENT_USER\Software\A" Value="v" /></REGISTRY>
  </P>
  <P Name="B" ToBeCleaned="0" />
</PluginList>
)";

// A writer either stores a document that reads back, or leaves the file
// exactly as it was.
void ExpectWholeOrUnchanged(DataFileHarness& h, const char* path, const std::string& before, int result) {
  auto it = h.files.files.find(path);
  if (result == 0) {
    ASSERT_NE(it, h.files.files.end());
    EXPECT_EQ(it->second, before);
  } else {
    TiXmlDocument document;
    EXPECT_TRUE(ReadDataDocument(h.files, path, document));
  }
}

TEST(DataFileBadInput, RandomlyDamagedFilesNeverCrashNorCutShort) {
  Mutator mutate(20240607);
  int spotListsLoaded = 0, choicesStored = 0;
  const int kRounds = 600;
  for (int round = 0; round < kRounds; ++round) {
    DataFileHarness h;
    h.machine.keys.insert("HKEY_CURRENT_USER\\SOFTWARE\\A");
    const std::string spots = mutate.Mutate(kSeedSpots);
    const std::string plugins = mutate.Mutate(kSeedPlugins);
    const std::string custom = mutate.Mutate(kSeedPlugins);
    h.files.PutData(h.kSpotList, spots);
    h.files.PutData(h.kPluginList, plugins);
    if (round % 7 == 0) h.files.files[h.kCustom] = custom;  // not scrambled
    else h.files.PutData(h.kCustom, custom);
    const std::string spotBytes = h.files.files[h.kSpotList];
    const std::string pluginBytes = h.files.files[h.kPluginList];

    CSpotCatalog catalog;
    int version = -7;
    int loaded = LoadSpotList(h.env, catalog, h.kSpotList, round % 2, &version);
    if (loaded == 0) {
      EXPECT_TRUE(catalog.Groups().empty());
      EXPECT_EQ(version, -7);
    }
    spotListsLoaded += loaded;
    LoadPluginList(h.env, catalog, h.kPluginList, &version);
    LoadCustomPlugins(h.env, catalog, h.kCustom);
    for (const auto& g : catalog.Groups())
      for (const auto& s : g->Spots())
        for (const auto& k : s->RegKeys) EXPECT_TRUE(IsUsableSubKey(k.SubKey));

    // Whatever parses is printed as the library prints it.
    for (const std::string* text : {&spots, &plugins, &custom}) {
      TiXmlDocument document;
      if (ParseDataText(*text, document)) {
        EXPECT_EQ(PrintDocumentText(document), test::LibraryPrint(document));
      }
    }

    CCleaningSpot a("A", 0);
    int stored = SaveSpotChoice(h.env, a, round % 3);
    choicesStored += stored;
    ExpectWholeOrUnchanged(h, h.kSpotList, spotBytes, stored);
    CPluginSpots p("a", "");
    ExpectWholeOrUnchanged(h, h.kPluginList, pluginBytes, SavePluginChoice(h.env, p, 1));
    const std::string pluginNow = h.files.files[h.kPluginList];
    ExpectWholeOrUnchanged(h, h.kPluginList, pluginNow, SaveAllPluginChoices(h.env, catalog));
    const std::string spotNow = h.files.files[h.kSpotList];
    ExpectWholeOrUnchanged(h, h.kSpotList, spotNow, SaveAllSpotChoices(h.env, catalog));

    const std::string customBytes = h.files.files[h.kCustom];
    std::vector<std::string> names = CustomPluginNames(h.env);
    CustomPluginItems items;
    ReadCustomPlugin(h.env, names.empty() ? "A" : names.front(), items);
    ExpectWholeOrUnchanged(h, h.kCustom, customBytes, RemoveCustomPlugin(h.env, "b"));
    items.name = "Added";
    ASSERT_EQ(AddCustomPlugin(h.env, items), 1);
    EXPECT_TRUE(FindCustomPlugin(h.env, "added"));
    EXPECT_TRUE(h.prompt.asked.empty());
  }
  // The damage must leave both outcomes well represented, or the loop
  // tests only one path.
  EXPECT_GT(spotListsLoaded, kRounds / 10);
  EXPECT_LT(spotListsLoaded, kRounds * 9 / 10);
  EXPECT_GT(choicesStored, kRounds / 20);
}

}  // namespace
}  // namespace sh
