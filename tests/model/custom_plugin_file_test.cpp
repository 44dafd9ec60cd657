#include <gtest/gtest.h>

#include <string>

#include "model/custom_plugin_file.h"
#include "model/memory_files.h"
#include "model/plugin_file.h"

namespace sh {
namespace {

using test::DataFileHarness;

CustomPluginItems DemoPlugin() {
  CustomPluginItems p;
  p.name = "Demo";
  p.files = {":WINDIR:\\demo.log"};
  p.folders = {{":APPDATA:\\Demo\\Cache", true, false}};
  p.registryKeys = {"HKEY_CURRENT_USER\\Software\\Demo\\MRU"};
  p.registryValues = {"HKEY_CURRENT_USER\\Software\\Demo\\LastFile"};
  return p;
}

const char kDemoElement[] =
    "    <Plugin Name=\"Demo\" ToBeCleaned=\"1\">\r\n"
    "        <FILES>\r\n"
    "            <FILE Name=\":WINDIR:\\demo.log\" />\r\n"
    "        </FILES>\r\n"
    "        <FOLDERS>\r\n"
    "            <FOLDER Name=\":APPDATA:\\Demo\\Cache\" IncludeSubFolders=\"yes\" DeleteSubFolders=\"no\" />\r\n"
    "        </FOLDERS>\r\n"
    "        <REGISTRY>\r\n"
    "            <REG_VALUE Key=\"HKEY_CURRENT_USER\\Software\\Demo\\MRU\" Value=\"*.*\" />\r\n"
    "            <REG_VALUE Key=\"HKEY_CURRENT_USER\\Software\\Demo\" Value=\"LastFile\" />\r\n"
    "        </REGISTRY>\r\n"
    "    </Plugin>\r\n";

TEST(AddCustomPlugin, FirstPluginCreatesTheFileAsInTheWorkedExample) {
  DataFileHarness h;
  ASSERT_EQ(AddCustomPlugin(h.env, DemoPlugin()), 1);
  EXPECT_EQ(h.files.DataText(h.kCustom), std::string("<CustomPlugins>\r\n") + kDemoElement + "</CustomPlugins>\r\n");
}

TEST(AddCustomPlugin, AppendsAndLoadsBack) {
  DataFileHarness h;
  h.machine.values.stored["APP_DATA"] = "C:\\Users\\jo\\AppData";
  h.files.PutData(h.kCustom, "<?xml version=\"1.0\" ?>\n<Mine><Plugin Name=\"First\" ToBeCleaned=\"0\" /></Mine>");
  ASSERT_EQ(AddCustomPlugin(h.env, DemoPlugin()), 1);
  EXPECT_EQ(h.files.DataText(h.kCustom), std::string("<?xml version=\"1.0\" ?>\r\n<Mine>\r\n"
                                                     "    <Plugin Name=\"First\" ToBeCleaned=\"0\" />\r\n") +
                                             kDemoElement + "</Mine>\r\n");
  CSpotCatalog catalog;
  ASSERT_EQ(LoadCustomPlugins(h.env, catalog, h.kCustom), 1);
  ASSERT_EQ(catalog.CustomPlugins().size(), 2u);
  CPluginSpots* demo = catalog.CustomPlugins().at(1);
  EXPECT_EQ(demo->ToBeCleaned, 1);
  const CCleaningSpot* spot = demo->Spots().at(0);
  ASSERT_EQ(spot->Folders.size(), 2u);
  EXPECT_EQ(spot->Folders[0].Path, "C:\\WINDOWS");
  EXPECT_EQ(spot->Folders[0].Mask, "demo.log");
  EXPECT_EQ(spot->Folders[1].Path, "C:\\Users\\jo\\AppData\\Demo\\Cache");
  EXPECT_EQ(spot->Folders[1].IncludeSubFolders, 1);
  ASSERT_EQ(spot->RegKeys.size(), 1u);
  EXPECT_EQ(spot->RegKeys[0].SubKey, "SOFTWARE\\DEMO\\MRU");
  ASSERT_EQ(spot->RegValues.size(), 1u);
  EXPECT_EQ(spot->RegValues[0].SubKey, "SOFTWARE\\DEMO");
  EXPECT_EQ(spot->RegValues[0].ValueName, "LastFile");
}

TEST(AddCustomPlugin, EmptySectionsAndValueSplitting) {
  DataFileHarness h;
  CustomPluginItems empty;
  empty.name = "Nothing";
  ASSERT_EQ(AddCustomPlugin(h.env, empty), 1);
  CustomPluginItems values;
  values.name = "Values";
  values.registryValues = {"HKEY_CURRENT_USER\\Software\\X\\\\Val", "NoBackslash"};
  ASSERT_EQ(AddCustomPlugin(h.env, values), 1);
  EXPECT_EQ(h.files.DataText(h.kCustom),
            "<CustomPlugins>\r\n"
            "    <Plugin Name=\"Nothing\" ToBeCleaned=\"1\">\r\n"
            "        <FILES />\r\n        <FOLDERS />\r\n        <REGISTRY />\r\n"
            "    </Plugin>\r\n"
            "    <Plugin Name=\"Values\" ToBeCleaned=\"1\">\r\n"
            "        <FILES />\r\n        <FOLDERS />\r\n"
            "        <REGISTRY>\r\n"
            "            <REG_VALUE Key=\"HKEY_CURRENT_USER\\Software\\X\" Value=\"Val\" />\r\n"
            "            <REG_VALUE Key=\"\" Value=\"NoBackslash\" />\r\n"
            "        </REGISTRY>\r\n"
            "    </Plugin>\r\n"
            "</CustomPlugins>\r\n");
}

TEST(AddCustomPlugin, UnreadableFileIsKeptBesideTheNewOne) {
  DataFileHarness h;
  h.files.files[h.kCustom] = "not scrambled, not xml";
  ASSERT_EQ(AddCustomPlugin(h.env, DemoPlugin()), 1);
  EXPECT_EQ(h.files.files[std::string(h.kCustom) + ".bad"], "not scrambled, not xml");
  EXPECT_EQ(CustomPluginNames(h.env), (std::vector<std::string>{"Demo"}));
  // When it cannot be kept, the file is not replaced.
  DataFileHarness k;
  k.files.files[k.kCustom] = "garbage";
  k.files.failWrite.insert(std::string(k.kCustom) + ".bad");
  EXPECT_EQ(AddCustomPlugin(k.env, DemoPlugin()), 0);
  EXPECT_EQ(k.files.files[k.kCustom], "garbage");
}

TEST(CustomPluginFile, FindNamesRemoveEdit) {
  DataFileHarness h;
  EXPECT_FALSE(FindCustomPlugin(h.env, "Demo"));
  EXPECT_TRUE(CustomPluginNames(h.env).empty());
  EXPECT_EQ(RemoveCustomPlugin(h.env, "Demo"), 0);

  CustomPluginItems odd;
  odd.name = "A & B <\"x\">";
  for (const char* name : {"One", "Demo", "Two", "demo"}) {
    CustomPluginItems p = DemoPlugin();
    p.name = name;
    ASSERT_EQ(AddCustomPlugin(h.env, p), 1);
  }
  ASSERT_EQ(AddCustomPlugin(h.env, odd), 1);
  EXPECT_TRUE(FindCustomPlugin(h.env, "DEMO"));
  EXPECT_TRUE(FindCustomPlugin(h.env, odd.name));
  EXPECT_FALSE(FindCustomPlugin(h.env, "Dem"));
  EXPECT_EQ(CustomPluginNames(h.env), (std::vector<std::string>{"One", "Demo", "Two", "demo", odd.name}));

  // Choosing it off, then editing it: chosen again and moved to the end.
  CPluginSpots chosen("Demo", "Custom Plugin");
  ASSERT_EQ(SaveCustomPluginChoice(h.env, chosen, 0), 1);
  CustomPluginItems changed;
  changed.name = "Demo";
  changed.files = {"C:\\new.log"};
  ASSERT_EQ(EditCustomPlugin(h.env, "dEMO", changed), 1);
  EXPECT_EQ(CustomPluginNames(h.env), (std::vector<std::string>{"One", "Two", "demo", odd.name, "Demo"}));
  CSpotCatalog catalog;
  ASSERT_EQ(LoadCustomPlugins(h.env, catalog, h.kCustom), 1);
  EXPECT_EQ(catalog.CustomPlugins().at(4)->ToBeCleaned, 1);
  EXPECT_EQ(catalog.CustomPlugins().at(4)->Spots().at(0)->Folders.at(0).Mask, "new.log");

  ASSERT_EQ(RemoveCustomPlugin(h.env, "DEMO"), 1);  // the first of the two
  EXPECT_EQ(CustomPluginNames(h.env), (std::vector<std::string>{"One", "Two", odd.name, "Demo"}));

  // Editing a plugin that is not there writes nothing.
  h.files.ops.clear();
  EXPECT_EQ(EditCustomPlugin(h.env, "Missing", changed), 0);
  for (const std::string& op : h.files.ops) EXPECT_EQ(op.rfind("read", 0), 0u) << op;
}

TEST(ReadCustomPlugin, GivesTheWizardItsItemsBack) {
  DataFileHarness h;
  CustomPluginItems p = DemoPlugin();
  p.folders.push_back({"C:\\B", false, true});
  ASSERT_EQ(AddCustomPlugin(h.env, p), 1);
  CustomPluginItems back;
  ASSERT_TRUE(ReadCustomPlugin(h.env, "demo", back));
  EXPECT_EQ(back.name, "Demo");
  EXPECT_EQ(back.files, p.files);
  ASSERT_EQ(back.folders.size(), 2u);
  EXPECT_TRUE(back.folders[0].includeSubFolders);
  EXPECT_FALSE(back.folders[0].deleteSubFolders);
  EXPECT_FALSE(back.folders[1].includeSubFolders);
  EXPECT_TRUE(back.folders[1].deleteSubFolders);
  EXPECT_EQ(back.registryKeys, p.registryKeys);
  EXPECT_EQ(back.registryValues, p.registryValues);
  EXPECT_FALSE(ReadCustomPlugin(h.env, "other", back));
  EXPECT_TRUE(back.files.empty());
}

}  // namespace
}  // namespace sh
