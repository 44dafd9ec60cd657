// The update against the test run's own web server on 127.0.0.1, which
// serves C:\shfixture\updates of the test prefix. Wine's URLDownloadToFile
// reports success on a 404 and stores the error page as the file; the web
// client reads the HTTP status instead, which works alike on Wine and
// Windows.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/child_process.h"
#include "app/cleaner_app_win.h"
#include "engine/browser_windows_win.h"
#include "engine/win_cleaners_win.h"
#include "support/fake_shell.h"
#include "support/recorders.h"
#include "toolkit/text.h"
#include "ui/main/recording_session.h"
#include "update/update_dlg_win.h"
#include "update/web_client_win.h"

namespace sh {
namespace {

using namespace sh::test;

const std::string kNewSpots =
    SpotList(SpotXml("TEMP", "C:\\t", "*.tmp") + SpotXml("Logs", "C:\\l", "*.log") + SpotXml("New", "C:\\n", "*"), 6);

std::string Scrambled(std::string text) {
  ScrambleBytes(text);
  return text;
}

// A folder of the server's own, emptied at the end; skipped when the test
// run started no server (a suite run by hand).
class UpdateServer : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* server = std::getenv("SH_TEST_UPDATE_SERVER");
    if (server == nullptr || !Exists("C:\\shfixture\\updates")) GTEST_SKIP() << "no test web server";
    folder = std::make_unique<ScratchDir>("updates", "C:\\shfixture\\updates");
    base = std::string(server) + FileNamePart(folder->path()) + "/";
    settings.values["path"] = data.path();
    settings.values["TestUpdateBase"] = base;
  }
  void Put(const std::string& name, const std::string& bytes) { ASSERT_TRUE(WriteExact(Wide(*folder / name), bytes)); }
  void Serve(const std::string& spotList) {
    Put(kSpotListPage, "<HTML><BODY>\r\n 6 \r\n</BODY></HTML>");
    Put(kPluginListPage, "<body>0</body>");
    Put(kSpotListFile, Scrambled(spotList));
  }

  std::unique_ptr<ScratchDir> folder;
  std::string base;
  ScratchDir data{"update-data"};
  MapSettings settings;
  ScriptedPrompt prompt;
  FixedClock clock{LocalTime{2026, 12, 5, 8, 1, 9}};
  CWinWebClient web;
};

TEST_F(UpdateServer, TheWebClientTakesOnlyWholeAnswersOfStatus200) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 7);
  Put("blob.zip", bytes);
  std::string body, why;
  EXPECT_TRUE(web.Get(base + "blob.zip", body, why)) << why;
  EXPECT_EQ(body, bytes);
  EXPECT_FALSE(web.Get(base + "missing.zip", body, why));
  EXPECT_NE(why.find("404"), std::string::npos) << why;
  EXPECT_TRUE(body.empty());
  EXPECT_FALSE(web.Get("http://127.0.0.1:1/", body, why)) << "nothing listens on port 1";
}

// The start-up's loop for a missing spot list, through the update dialog
// and the setting that points the program at the test server.
TEST_F(UpdateServer, AMissingSpotListIsDownloadedAtStartOrTheUserIsToldWhy) {
  RecordingSession session;
  FakeShell shell;
  CWinBrowserWindows browsers{prompt};
  CWinSpotCleaners cleaners{settings, prompt};
  AppServices services{prompt, settings, session, shell, clock, browsers, cleaners.cleaner(), web};
  for (bool served : {true, false}) {
    SCOPED_TRACE(served ? "served" : "not served");
    if (served) Serve(kNewSpots);
    else DeleteFileA((*folder / kSpotListFile).c_str());
    DeleteFileA((data / "Splst.swh").c_str());
    prompt.asked.clear();
    prompt.answers = {PromptAnswer::kYes, PromptAnswer::kYes};  // download a new list; yes, now
    CCleanerApp app("SweepHarborUpdateTest" + std::to_string(GetCurrentProcessId()));
    app.updateWaitMs = 10;
    EXPECT_EQ(app.LoadPluginFiles(services, nullptr), served);
    if (served) {
      EXPECT_EQ(app.catalog().Groups().size(), 1u);
      continue;
    }
    // The page offers 6, the file is missing: the download fails, and the
    // last word names the file and the address.
    ASSERT_FALSE(prompt.asked.empty());
    const std::string last = prompt.asked.back().text;
    EXPECT_NE(last.find(data / "Splst.swh"), std::string::npos) << last;
    EXPECT_NE(last.find(base + kSpotListFile), std::string::npos) << last;
    EXPECT_NE(last.find("404"), std::string::npos) << last;
  }
}

}  // namespace
}  // namespace sh
