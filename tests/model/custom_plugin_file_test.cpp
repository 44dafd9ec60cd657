#include <gtest/gtest.h>

#include <string>

#include "model/custom_plugin_file.h"
#include "model/memory_files.h"
#include "model/plugin_file.h"

namespace sh {
namespace {

using test::DataFileHarness;

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
