// Choices stored into the same data files by several processes at once:
// two copies of the window program, or swhclean beside it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/child_process.h"
#include "app/cleaner_app_win.h"
#include "app/data_loader_win.h"
#include "app/installed_program.h"
#include "model/data_file_win.h"
#include "model/plugin_file.h"
#include "settings/registry_settings_win.h"
#include "support/recorders.h"
#include "support/test_thread.h"
#include "support/win_fs.h"

namespace sh {
namespace {

using namespace sh::test;

// A folder for the spots to name.
class ChoiceSavingProcess : public InstalledProgramTest {
 protected:
  ScratchDir tree{"choices-tree"};
};

// One writer of the save race, run as a child process: stores its own
// spot's and plugin's choices in turn, both 0 then both 1, for at least
// SH_WRITER_MS, ending on 1 or on 0 as SH_WRITER_FINAL says; it starts when
// the test sets the event SH_WRITER_GO, after every writer has set its
// SH_WRITER_READY. "window" stores
// through the window program's application object and its data-file lock;
// "console" runs swhclean --choose / --unchoose.
TEST(DISABLED_ChoiceWriter, Run) {
  const std::string kind = ChildEnvironment("SH_WRITER_KIND");
  if (kind.empty()) GTEST_SKIP() << "only run by ProcessesStoringChoicesAtOnceLoseNothing";
  const std::string spot = ChildEnvironment("SH_WRITER_SPOT"), plugin = ChildEnvironment("SH_WRITER_PLUGIN");
  const int final = std::atoi(ChildEnvironment("SH_WRITER_FINAL").c_str());
  const DWORD ms = static_cast<DWORD>(std::atoi(ChildEnvironment("SH_WRITER_MS").c_str()));
  CCleanerApp app("SweepHarborChoiceWriter");
  CRegistrySettingsStore settings;
  test::ScriptedPrompt prompt;
  CWinDataFiles data(settings, prompt, app.lock());
  ScopedHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, ChildEnvironment("SH_WRITER_READY").c_str()));
  ScopedHandle go(OpenEventA(SYNCHRONIZE, FALSE, ChildEnvironment("SH_WRITER_GO").c_str()));
  ASSERT_TRUE(ready.valid() && go.valid());
  SetEvent(ready.get());
  ASSERT_EQ(WaitForSingleObject(go.get(), 30000), WAIT_OBJECT_0);
  const DWORD start = GetTickCount();
  int stores = 0;
  for (int round = 0;; ++round) {
    const int value = (round + final + 1) % 2;
    if (kind == "window") {
      EXPECT_EQ(SaveSpotChoice(data.env(), CCleaningSpot(spot, 1 - value), value), 1) << "round " << round;
      EXPECT_EQ(SavePluginChoice(data.env(), CPluginSpots(plugin, ""), value), 1) << "round " << round;
    } else {
      ScratchDir output("console-output");  // a name of its own for each run's output
      ChildLaunch launch;
      launch.exe = kInstalledConsole;
      launch.outputFolder = output.path();
      launch.arguments = std::string(value ? "--choose " : "--unchoose ") + spot + " " + plugin;
      ChildResult console = RunChild(launch);
      EXPECT_EQ(console.exitCode, 0) << console.output;
      EXPECT_NE(console.output.find("2 changed"), std::string::npos) << console.output;
    }
    stores += 2;
    if (value == final && GetTickCount() - start >= ms) break;
  }
  EXPECT_TRUE(prompt.asked.empty()) << prompt.asked.front().text;
  std::printf("%d choices stored\n", stores);
}

// Two processes store choices into the same two lists at the same time:
// two copies of the window program, or swhclean beside the window. Every
// store goes through, both lists stay whole and readable, and each choice
// is what its last writer set.
TEST_F(ChoiceSavingProcess, ProcessesStoringChoicesAtOnceLoseNothing) {
  const char* spotNames[] = {"Alpha", "Beta", "Gamma", "Delta"};
  const char* pluginNames[] = {"PlugA", "PlugB", "PlugC"};
  const struct {
    const char* what;
    const char* kinds[2];
  } cases[] = {{"two copies of the window", {"window", "window"}},
               {"swhclean beside the window", {"window", "console"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string spots = "<CleaningSpots Version=\"2\"><Group name=\"G\" GroupType=\"0\">";
    for (const char* name : spotNames)
      spots += std::string("<Spot name=\"") + name + "\" ToBeCleaned=\"0\"><Items><Item Type=\"0\" name=\"" +
               tree.path() + "\" flags=\"*.tmp\" /></Items></Spot>";
    spots += "</Group></CleaningSpots>";
    std::string plugins = "<PluginList Version=\"5\">";
    for (const char* name : pluginNames)
      plugins += std::string("<Plugin Name=\"") + name + "\" ToBeCleaned=\"0\"><FIND_DATA><FILE Name=\"" + tree.path() +
                 "\" /></FIND_DATA></Plugin>";
    plugins += "</PluginList>";
    ASSERT_EQ(WriteDataFile(data / "Splst.swh", spots), 1);
    ASSERT_EQ(WriteDataFile(data / "Plglst.swh", plugins), 1);

    // Writer i owns spot i and plugin i and ends on 1 - i. Each child is
    // made once the one before has started: the environment it is given is
    // this process's for that moment.
    const std::string tag = std::to_string(GetCurrentProcessId());
    const std::string goName = "sh_writers_go_" + tag;
    ScopedHandle go(CreateEventA(nullptr, TRUE, FALSE, goName.c_str()));
    ScratchDir outputs[2] = {ScratchDir("writer"), ScratchDir("writer")};
    ChildResult results[2];
    TestThread writers[2];
    for (int i = 0; i < 2; ++i) {
      const std::string readyName = "sh_writer_ready_" + tag + "_" + std::to_string(i);
      ScopedHandle ready(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
      writers[i] = TestThread([&, i, readyName] {
        ChildLaunch launch;
        launch.arguments = "--gtest_color=no --gtest_also_run_disabled_tests --gtest_filter=DISABLED_ChoiceWriter.*";
        launch.environment = {{"SH_WRITER_KIND", c.kinds[i]},       {"SH_WRITER_SPOT", spotNames[i]},
                              {"SH_WRITER_PLUGIN", pluginNames[i]}, {"SH_WRITER_FINAL", std::to_string(1 - i)},
                              {"SH_WRITER_MS", "3000"},             {"SH_WRITER_READY", readyName},
                              {"SH_WRITER_GO", goName}};
        launch.outputFolder = outputs[i].path();
        launch.timeoutMs = 120000;
        results[i] = RunChild(launch);
      });
      EXPECT_EQ(WaitForSingleObject(ready.get(), 30000), WAIT_OBJECT_0) << "writer " << i << " did not start";
    }
    SetEvent(go.get());
    for (TestThread& w : writers) w.Join();
    for (const ChildResult& r : results) EXPECT_TRUE(r.PassedOne()) << r.output;

    MapSettings settings;
    settings.values["path"] = data.path();
    CRegistrySettingsStore stored;
    CWinFileStore files;
    CWinPluginEnvironment machine(stored);
    test::ScriptedPrompt prompt;
    CDataFileLock lock;
    DataFileEnv env{files, machine, settings, prompt, lock};
    CSpotCatalog catalog;
    int spotVersion = 0, pluginVersion = 0;
    ASSERT_EQ(LoadSpotList(env, catalog, data / "Splst.swh", 0, &spotVersion), 1) << "the spot list is readable";
    ASSERT_EQ(LoadPluginList(env, catalog, data / "Plglst.swh", &pluginVersion), 1) << "the plugin list is readable";
    EXPECT_EQ(spotVersion, 2);
    EXPECT_EQ(pluginVersion, 5);
    ASSERT_EQ(catalog.Groups().size(), 1u);
    std::vector<std::string> seen;
    for (const auto& s : catalog.Groups().at(0)->Spots())
      seen.push_back(s->Name + "=" + std::to_string(s->ToBeCleaned));
    for (const auto& p : catalog.Plugins()) seen.push_back(p->Name + "=" + std::to_string(p->ToBeCleaned));
    EXPECT_EQ(seen, (std::vector<std::string>{"Alpha=1", "Beta=0", "Gamma=0", "Delta=0", "PlugA=1", "PlugB=0",
                                              "PlugC=0"}));
    EXPECT_EQ(List(data.path()), (std::vector<std::string>{"Plglst.swh", "Splst.swh"})) << "nothing left beside them";
  }
}

}  // namespace
}  // namespace sh
