#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "shields/favorites_order.h"
#include "shields/protection_shield.h"
#include "shields/shield_fakes.h"
#include "support/recorders.h"
#include "toolkit/text.h"

namespace sh {
namespace {

constexpr BrowserRoot kUser = BrowserRoot::kUser;
constexpr BrowserRoot kMachine = BrowserRoot::kMachine;

// The shields over a browser, a Favorites folder and a hosts file held here.
struct Rig : IBrowserSettings, IFavoritesFolder, IHostsFile {
  explicit Rig(const std::string& shields) {
    for (const char* name : {"ShieldHomePage", "ShieldHijack", "ShieldFavorites", "ShieldSilent"})
      if (shields.find(std::string(name).substr(6)) != std::string::npos) settings.values[name] = "1";
    User("Start Page") = "http://mine.example/";
    User("Search Page") = "http://search.example/";
    Machine("Search Page") = "http://machine.example/";
    shield.LoadFlags();
    shield.StartShields();
  }
  std::string Read(BrowserRoot root, const std::string& name) override { return browser[{root, name}]; }
  void Write(BrowserRoot root, const std::string& name, const std::string& value) override {
    browser[{root, name}] = value;
  }
  std::vector<FavoriteItem> Read() override { return favorites; }
  void DeleteLater(const std::string& path) override { deleted.push_back(path); }
  bool Read(std::string& out) override { return (out = hosts), true; }
  bool Write(const std::string& in) override { return (hosts = in), true; }
  std::string& User(const std::string& name) { return browser[{kUser, name}]; }
  std::string& Machine(const std::string& name) { return browser[{kMachine, name}]; }
  void AddFavorite(const std::string& name, const std::string& url) {
    favorites.push_back({"C:\\Fav\\" + name, true, url});
  }

  std::map<std::pair<BrowserRoot, std::string>, std::string> browser;
  std::vector<FavoriteItem> favorites;
  std::vector<std::string> deleted;  // by the favorites' deleter
  std::string hosts;
  test::MapSettings settings;
  test::FakeQuestion question;
  CProtectionShield shield{{*this, question, settings, *this, *this}};
};

// Each case: the shields on, what another program writes, the user's
// answers; then the questions' titles in order and what the browser holds.
// Starting resets the home page only under the home page shield.
TEST(ProtectionShield, RegistryChangesAreAskedInOrderAndUndoneOrTakenIn) {
  struct Case {
    const char* what;
    const char* shields;
    std::vector<std::pair<const char*, const char*>> userWrites, machineWrites;
    std::vector<bool> answers;
    std::vector<std::string> titles;
    std::map<std::string, std::string> userAfter;  // value name -> value
  };
  const std::string home = "IE Home Page Changed", settings = "IE Settings Changed";
  const Case cases[] = {
      {"case only", "HomePage Hijack", {{"Start Page", "ABOUT:Blank"}}, {}, {}, {}, {}},
      {"home refused", "HomePage", {{"Start Page", "http://bad/"}}, {}, {false}, {home},
       {{"Start Page", "about:blank"}}},
      {"all four, answered in turn", "HomePage Hijack",
       {{"Start Page", "http://a/"}, {"Search Page", "http://b/"}, {"Local Page", "c"}, {"Search Bar", "d"}}, {},
       {true, false, true, false}, {home, settings, settings, settings},
       {{"Start Page", "http://a/"}, {"Search Page", "http://search.example/"}, {"Local Page", "c"},
        {"Search Bar", ""}}},
      {"silent undoes without asking", "Hijack Silent", {{"Search Page", "http://b/"}}, {}, {}, {},
       {{"Search Page", "http://search.example/"}, {"Start Page", "http://mine.example/"}}},
      {"a deleted value is allowed unasked", "Hijack", {{"Search Page", ""}}, {}, {}, {}, {{"Search Page", ""}}},
      {"hijack shield off", "HomePage", {{"Search Page", "http://b/"}}, {}, {}, {},
       {{"Search Page", "http://b/"}, {"Start Page", "about:blank"}}},
      {"no shield on", "Silent", {{"Start Page", "http://a/"}}, {}, {}, {}, {{"Start Page", "http://a/"}}},
      // The machine's value is checked against its own snapshot (and put
      // back there when refused).
      {"machine value", "Hijack", {}, {{"Search Page", "http://m2/"}}, {false}, {settings}, {}},
      {"unrelated machine value", "Hijack", {}, {{"Window Pos", "1"}}, {}, {}, {}},
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
    EXPECT_EQ(rig.Machine("Search Page"), "http://machine.example/");
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
  rig.AddFavorite("kept.url", "http://kept/");
  rig.shield.StartShields();
  rig.AddFavorite("ad.url", "http://ad/?q=%s%n");
  rig.AddFavorite("news.url", "http://news/");
  // The browser announces the same addition again while the question is up.
  rig.question.whileOpen = [&rig] { rig.shield.OnFavoritesChange(); };
  rig.question.answers = {false, true};
  rig.shield.OnFavoritesChange();
  EXPECT_EQ(rig.question.texts, (std::vector<std::string>{
                                    "(http://ad/?q=%s%n) has been added to your favorites list. Allow this addition?",
                                    "(http://news/) has been added to your favorites list. Allow this addition?"}));
  EXPECT_EQ(rig.deleted, std::vector<std::string>{"C:\\Fav\\ad.url"});
  // Allowed news.url is in the snapshot now; ad.url is pending until its
  // deleter reports, then asked about again if it is still there.
  rig.question.whileOpen = nullptr;
  rig.shield.OnFavoritesChange();
  EXPECT_EQ(rig.question.titles.size(), 2u);
  rig.shield.OnFavoriteDeleted("C:\\Fav\\other.url");
  EXPECT_EQ(rig.shield.pending_favorite(), "C:\\Fav\\news.url");
  rig.favorites.erase(rig.favorites.begin() + 2);  // news.url removed, ad.url renamed:
  rig.favorites[1].path = "C:\\Fav\\ad2.url";
  rig.shield.OnFavoritesChange();
  EXPECT_EQ(rig.question.titles.size(), 3u);
}

// A folder cannot be deleted by its deleter: it stays new and, once the
// deleter has reported, is refused again at the next notification.
TEST(ProtectionShield, SilentModeRefusesANewFolderAgainAtEachNotification) {
  Rig rig("Favorites Silent");
  rig.favorites.push_back({"C:\\Fav\\Offers", false, ""});
  for (int round = 0; round < 2; ++round) {
    rig.shield.OnFavoritesChange();
    rig.shield.OnFavoritesChange();  // before its deleter reports: nothing
    rig.shield.OnFavoriteDeleted("C:\\Fav\\Offers");
  }
  EXPECT_EQ(rig.deleted, std::vector<std::string>(2, "C:\\Fav\\Offers"));
  EXPECT_TRUE(rig.question.titles.empty());
}

TEST(ProtectionShield, RefusedHostsLinesGoAndTheRestOfTheFileStays) {
  Rig rig("Hijack");
  rig.hosts = "# hosts\r\n127.0.0.1   localhost\r\n";
  rig.shield.StartShields();
  // Entries compared by their words in lower case; comments and blank lines are none.
  rig.hosts +=
      "  10.0.0.1 \t Ads.Example b  # added\r\n# 10.0.0.9 old\r\n\r\n127.0.0.1 LOCALHOST\r\n"
      "10.0.0.1\tads.example B\r\n8.8.8.8 ok.example";
  rig.question.answers = {false, true, true};
  rig.shield.OnHostsChange();
  EXPECT_EQ(rig.question.texts.front(),
            "An Attempt was made to add (10.0.0.1 ads.example b) in Hosts File, Allow this addition?");
  EXPECT_EQ(rig.question.titles.size(), 3u);  // the localhost line again, and ok.example; the duplicate not
  EXPECT_EQ(rig.hosts,
            "# hosts\r\n127.0.0.1   localhost\r\n# 10.0.0.9 old\r\n\r\n127.0.0.1 LOCALHOST\r\n8.8.8.8 ok.example");
}

// The Favorites listing in the browser's menu order, from crafted values.
void Put32(std::string& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i) & 0xFF);
}
void Put16(std::string& b, uint16_t v) { b += static_cast<char>(v & 0xFF), b += static_cast<char>(v >> 8); }
void PutWide(std::string& b, const std::string& ascii) {
  for (char c : ascii) Put16(b, static_cast<uint16_t>(c));
  Put16(b, 0);
}

// One entry as the browser stores it: size, position, item id size and
// type, a gap to the short name, the name, then an extension block with
// the long name 20 bytes in.
std::string Entry(uint32_t position, uint16_t type, const std::string& shortName, const std::string& longName = "") {
  std::string body;
  Put32(body, position);
  Put16(body, 0);
  Put16(body, type);
  body += std::string(10, '\0');
  if (type & 0x4) {
    PutWide(body, shortName);
  } else {
    body += shortName + '\0';
    if ((shortName.size() + 1) % 2) body += '\0';
  }
  if (!longName.empty()) {
    body += std::string(20, 'x');
    PutWide(body, longName);
  }
  std::string e;
  Put32(e, static_cast<uint32_t>(body.size() + 4));
  return e + body;
}

std::string Value(uint32_t count, const std::vector<std::string>& entries) {
  std::string v(16, 'h');
  Put32(v, count);
  for (const std::string& e : entries) v += e;
  return v;
}

std::string Narrow(const std::u16string& w) { return std::string(w.begin(), w.end()); }

std::vector<std::string> Paths(const std::string& value, std::vector<FolderEntry> disk = {}) {
  FavoritesSources s{"C:\\Fav", value, std::move(disk), true, Narrow, [](const std::string& p) { return p + "#"; }};
  std::vector<std::string> out;
  for (const FavoriteItem& f : ListFavorites(s)) out.push_back(f.path + (f.isFile ? "" : "/"));
  return out;
}

TEST(MenuOrder, ListingsFromCraftedValues) {
  struct Case {
    const char* what;
    std::string value;
    std::vector<std::string> paths;
  };
  const Case cases[] = {
      {"by position, long names, folders", Value(3, {Entry(2, 2, "NEWS~1.URL", "News.url"), Entry(0, 0, "Links"),
                                                  Entry(1, 6, "Mail.url")}),
       {"C:\\Fav\\Links/", "C:\\Fav\\Mail.url", "C:\\Fav\\News.url"}},
      {"no stored position: the sequence number", Value(2, {Entry(0xFFFFFFFB, 2, "b.url"), Entry(0xFFFFFFFB, 2, "a.url")}),
       {"C:\\Fav\\b.url", "C:\\Fav\\a.url"}},
      {"position past the count", Value(2, {Entry(5, 2, "far.url"), Entry(0, 2, "near.url")}), {"C:\\Fav\\near.url"}},
      {"size 0 ends the walk", Value(2, {std::string(4, '\0') + "junk", Entry(0, 2, "a.url")}), {}},
      {"entry past the end", Value(1, {Entry(0, 2, "a.url").substr(0, 20)}), {}},
      {"no terminator inside the entry", Value(2, {Entry(0, 2, "a.url").substr(0, 27).replace(0, 1, "\x1b"), Entry(1, 2, "b.url")}),
       {"C:\\Fav\\b.url"}},
      {"names that lead out of the folder", Value(3, {Entry(0, 2, "..\\..\\boot.ini"), Entry(1, 2, "C:x"), Entry(2, 2, "..")}),
       {}},
      {"a path too long", Value(1, {Entry(0, 2, std::string(260, 'n'))}), {}},
      {"count 0", Value(0, {Entry(0, 2, "a.url")}), {}},
      {"too short for a count", "short", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Paths(c.value), c.paths);
  }
}

TEST(MenuOrder, TheFolderFollowsTheMenuOrder) {
  const std::string value = Value(1, {Entry(0, 2, "b.url")});
  EXPECT_EQ(Paths(value, {{".", true}, {"..", true}, {"desktop.INI", false}, {"B.URL", false}, {"a.url", false},
                          {"Links", true}}),
            (std::vector<std::string>{"C:\\Fav\\b.url", "C:\\Fav\\a.url", "C:\\Fav\\Links/"}));
  FavoritesSources s{"C:\\Fav\\", value, {}, false, Narrow, [](const std::string&) { return std::string(3000, 'u'); }};
  const std::vector<FavoriteItem> list = ListFavorites(s);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].url.size(), 2083u);
}

// Random damage to a valid value never reads outside it (the sanitizers
// watch) and never yields a path outside the folder.
TEST(MenuOrder, MutatedValuesStayInsideTheirBytesAndTheFolder) {
  const std::string good = Value(3, {Entry(2, 2, "NEWS~1.URL", "News.url"), Entry(0, 6, "a.url"), Entry(1, 0, "Links")});
  std::mt19937 random(20261207);
  for (int round = 0; round < 20000; ++round) {
    std::string v = good;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) v[random() % v.size()] = static_cast<char>(random());
    if (round % 7 == 0) v.resize(random() % v.size());
    for (const std::string& path : Paths(v)) {
      ASSERT_EQ(path.rfind("C:\\Fav\\", 0), 0u);
      ASSERT_EQ(path.find_first_of("\\/:", 7), path.back() == '/' ? path.size() - 1 : std::string::npos) << path;
    }
  }
}

}  // namespace
}  // namespace sh
