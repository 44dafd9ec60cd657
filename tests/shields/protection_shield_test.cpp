#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shields/hosts_file.h"
#include "shields/protection_shield.h"
#include "support/recorders.h"
#include "shields/shield_fakes.h"
#include "toolkit/text.h"

namespace sh {
namespace {

using test::FakeBrowser;
using test::FakeFavorites;
using test::FakeHosts;
using test::FakeQuestion;
constexpr BrowserRoot kUser = BrowserRoot::kUser;
constexpr BrowserRoot kMachine = BrowserRoot::kMachine;

struct Rig {
  explicit Rig(const std::string& shields) {
    for (const char* name : {"ShieldHomePage", "ShieldHijack", "ShieldFavorites", "ShieldSilent"})
      if (shields.find(std::string(name).substr(6)) != std::string::npos) settings.values[name] = "1";
    User("Start Page") = "http://mine.example/";
    User("Search Page") = "http://search.example/";
    Machine("Search Page") = "http://machine.example/";
    shield.LoadFlags();
    shield.StartShields();
  }
  std::string& User(const std::string& name) { return browser.values[{kUser, name}]; }
  std::string& Machine(const std::string& name) { return browser.values[{kMachine, name}]; }
  test::MapSettings settings;
  FakeBrowser browser;
  FakeQuestion question;
  FakeFavorites favorites;
  FakeHosts hosts;
  CProtectionShield shield{{browser, question, settings, favorites, hosts}};
};

TEST(ProtectionShield, StartResetsTheHomePageOnlyUnderTheHomePageShield) {
  EXPECT_EQ(Rig("Hijack").User("Start Page"), "http://mine.example/");
  EXPECT_EQ(Rig("HomePage").User("Start Page"), "about:blank");
}

// Each case: the shields on, what another program writes, the user's
// answers; then the questions' titles in order and what the browser holds.
TEST(ProtectionShield, RegistryChangesAreAskedInOrderAndUndoneOrTakenIn) {
  struct Case {
    const char* what;
    const char* shields;
    std::vector<std::pair<const char*, const char*>> userWrites, machineWrites;
    std::vector<bool> answers;
    std::vector<std::string> titles;
    std::map<std::string, std::string> userAfter;  // value name -> value
    const char* machineSearchAfter;
  };
  const std::string home = "IE Home Page Changed", settings = "IE Settings Changed";
  const Case cases[] = {
      {"case only", "HomePage Hijack", {{"Start Page", "ABOUT:Blank"}}, {}, {}, {}, {}, "http://machine.example/"},
      {"home refused", "HomePage", {{"Start Page", "http://bad/"}}, {}, {false}, {home},
       {{"Start Page", "about:blank"}}, "http://machine.example/"},
      {"all four, answered in turn", "HomePage Hijack",
       {{"Start Page", "http://a/"}, {"Search Page", "http://b/"}, {"Local Page", "c"}, {"Search Bar", "d"}}, {},
       {true, false, true, false}, {home, settings, settings, settings},
       {{"Start Page", "http://a/"}, {"Search Page", "http://search.example/"}, {"Local Page", "c"}, {"Search Bar", ""}},
       "http://machine.example/"},
      {"silent undoes without asking", "Hijack Silent", {{"Search Page", "http://b/"}}, {}, {}, {},
       {{"Search Page", "http://search.example/"}}, "http://machine.example/"},
      {"a deleted value is allowed unasked", "Hijack", {{"Search Page", ""}}, {}, {}, {}, {{"Search Page", ""}},
       "http://machine.example/"},
      {"hijack shield off", "HomePage", {{"Search Page", "http://b/"}}, {}, {}, {}, {{"Search Page", "http://b/"}},
       "http://machine.example/"},
      {"no shield on", "Silent", {{"Start Page", "http://a/"}}, {}, {}, {}, {{"Start Page", "http://a/"}},
       "http://machine.example/"},
      {"machine value against its own snapshot", "Hijack", {}, {{"Search Page", "http://m2/"}}, {false}, {settings},
       {}, "http://machine.example/"},
      {"unrelated machine value", "Hijack", {}, {{"Window Pos", "1"}}, {}, {}, {}, "http://machine.example/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig(c.shields);
    rig.question.answers = c.answers;
    for (const auto& [name, value] : c.userWrites) rig.User(name) = value;
    for (const auto& [name, value] : c.machineWrites) rig.Machine(name) = value;
    rig.shield.OnRegistryChange(c.userWrites.empty() ? kMachineSettingsWatch : kUserSettingsWatch);
    EXPECT_EQ(rig.question.titles, c.titles);
    for (const auto& [name, value] : c.userAfter) EXPECT_EQ(rig.User(name), value) << name;
    EXPECT_EQ(rig.Machine("Search Page"), c.machineSearchAfter);
    if (!c.titles.empty() && c.titles[0] == home) {
      EXPECT_EQ(rig.question.texts[0], "An Attempt was made to change your home page from (about:blank) to (" +
                                           std::string(c.userWrites[0].second) + "), Allow this change?");
    }
    // An allowed home page is the one kept from now on, across starts too.
    if (std::string(c.shields).find("HomePage") != std::string::npos) {
      EXPECT_TRUE(EqualsNoCase(CSettings(rig.settings).KeepURL(), rig.User("Start Page")));
    }
  }
}

TEST(ProtectionShield, FavoritesAskOncePerNewEntryAndDeleteWhatIsRefused) {
  Rig rig("Favorites");
  rig.favorites.Add("kept.url", "http://kept/");
  rig.shield.StartShields();
  rig.favorites.Add("ad.url", "http://ad/?q=%s%n");
  rig.favorites.Add("news.url", "http://news/");
  // The browser announces the same addition again while the question is up.
  rig.question.whileOpen = [&rig] { rig.shield.OnFavoritesChange(); };
  rig.question.answers = {false, true};
  rig.shield.OnFavoritesChange();
  EXPECT_EQ(rig.question.texts, (std::vector<std::string>{
                                    "(http://ad/?q=%s%n) has been added to your favorites list. Allow this addition?",
                                    "(http://news/) has been added to your favorites list. Allow this addition?"}));
  EXPECT_EQ(rig.favorites.deleted, std::vector<std::string>{"C:\\Fav\\ad.url"});
  // Allowed news.url is in the snapshot now; ad.url is pending until its
  // deleter reports, then asked about again if it is still there.
  rig.question.whileOpen = nullptr;
  rig.shield.OnFavoritesChange();
  EXPECT_EQ(rig.question.titles.size(), 2u);
  rig.shield.OnFavoriteDeleted("C:\\Fav\\other.url");
  EXPECT_EQ(rig.shield.pending_favorite(), "C:\\Fav\\news.url");
  rig.favorites.items.erase(rig.favorites.items.begin() + 2);  // news.url removed, ad.url renamed:
  rig.favorites.items[1].path = "C:\\Fav\\ad2.url";
  rig.shield.OnFavoritesChange();
  EXPECT_EQ(rig.question.titles.size(), 3u);
}

// A folder cannot be deleted by its deleter: it stays new and, once the
// deleter has reported, is refused again at the next notification.
TEST(ProtectionShield, SilentModeRefusesANewFolderAgainAtEachNotification) {
  Rig rig("Favorites Silent");
  rig.favorites.items.push_back({"C:\\Fav\\Offers", false, ""});
  for (int round = 0; round < 2; ++round) {
    rig.shield.OnFavoritesChange();
    rig.shield.OnFavoritesChange();  // before its deleter reports: nothing
    rig.shield.OnFavoriteDeleted("C:\\Fav\\Offers");
  }
  EXPECT_EQ(rig.favorites.deleted, std::vector<std::string>(2, "C:\\Fav\\Offers"));
  EXPECT_TRUE(rig.question.titles.empty());
}

TEST(ProtectionShield, RefusedHostsLinesGoAndTheRestOfTheFileStays) {
  Rig rig("Hijack");
  rig.hosts.text = "# hosts\r\n127.0.0.1   localhost\r\n";
  rig.shield.StartShields();
  rig.hosts.text += "10.0.0.1 Ads.Example  # added\r\n127.0.0.1 LOCALHOST\r\n10.0.0.1\tads.example\r\n8.8.8.8 ok.example";
  rig.question.answers = {false, true, true};
  rig.shield.OnHostsChange();
  EXPECT_EQ(rig.question.texts.front(), "An Attempt was made to add (10.0.0.1 ads.example) in Hosts File, Allow this addition?");
  EXPECT_EQ(rig.question.titles.size(), 3u);  // the localhost line again, and ok.example; the duplicate not
  EXPECT_EQ(rig.hosts.text, "# hosts\r\n127.0.0.1   localhost\r\n127.0.0.1 LOCALHOST\r\n8.8.8.8 ok.example");
}

TEST(HostsFile, EntryKeys) {
  EXPECT_EQ(HostsEntryKey("  10.0.0.1 \t A.example b  # note\r\n"), "10.0.0.1 a.example b");
  EXPECT_EQ(HostsEntryKey("# 10.0.0.1 a\n"), "");
  EXPECT_EQ(HostsEntryKey("\r\n"), "");
}

}  // namespace
}  // namespace sh
