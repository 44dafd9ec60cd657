// The shipped lists as `make windows` packs them (installed beside the
// programs), on a sample of their entries: the traces an installation leaves
// are laid where Windows or the program keeps them, swhclean cleans one row
// by its name, and exactly that row's traces go while their neighbours stay.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <iterator>

#include "app/child_process.h"
#include "paths/known_locations_win.h"

namespace sh {
namespace {

using namespace sh::test;

enum class List { kSpot, kPlugin };

struct Value {  // a REG_SZ value under HKEY_CURRENT_USER
  const char* key;
  const char* name;
};

// Paths start with a folder token below. A neighbour ending in a backslash is
// a folder the traces made that must stay; the others are laid as files.
// For a plugin, what its presence test looks for is laid as a neighbour.
struct Row {
  const char* name;
  List list;
  std::vector<const char*> files;
  std::vector<Value> values;
  std::vector<const char*> keepFiles;
  std::vector<Value> keepValues;
};

const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

// Wine makes none of these folders (WER, Explorer's thumbcache folder, the
// jump-list folders) nor the Office keys: the rows make them as Windows does.
const Row kRows[] = {
    {"Thumbnail Cache", List::kSpot,
     {":LOCAL_APPDATA:\\Microsoft\\Windows\\Explorer\\thumbcache_96.db",
      ":LOCAL_APPDATA:\\Microsoft\\Windows\\Explorer\\thumbcache_idx.db"},
     {},
     {":LOCAL_APPDATA:\\Microsoft\\Windows\\Explorer\\iconcache_32.db",
      ":LOCAL_APPDATA:\\Microsoft\\Windows\\Explorer\\thumbcache_96.db.bak"},
     {}},
    {"Windows Error Reports (User)", List::kSpot,
     {":LOCAL_APPDATA:\\Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_demo.exe_4f2\\Report.wer",
      ":LOCAL_APPDATA:\\Microsoft\\Windows\\WER\\ReportQueue\\AppHang_demo.exe_9a1\\WERInternalMetadata.xml"},
     {},
     {":LOCAL_APPDATA:\\Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_demo.exe_4f2\\",
      ":LOCAL_APPDATA:\\Microsoft\\Windows\\WER\\ERC\\statecache.xml"},
     {}},
    {"Jump Lists (Recent Items and Pins)", List::kSpot,
     {":Recent:\\AutomaticDestinations\\5f7b5f1e01b83767.automaticDestinations-ms"},
     {},
     {":Recent:\\CustomDestinations\\5f7b5f1e01b83767.customDestinations-ms", ":Recent:\\Plan.docx.lnk",
      ":Recent:\\AutomaticDestinations\\notes.txt"},
     {}},
    {"Explorer Search Box History", List::kSpot, {},
     {{"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery", "0"},
      {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery", "MRUListEx"}},
     {},
     {{kExplorer, "ShTestNeighbour"}, {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths", "url1"}}},
    {"Word Recent Files (2010-2016)", List::kSpot, {},
     {{"Software\\Microsoft\\Office\\14.0\\Word\\File MRU", "Item 1"},
      {"Software\\Microsoft\\Office\\16.0\\Word\\File MRU", "Item 1"}},
     {},
     {{"Software\\Microsoft\\Office\\16.0\\Word\\Place MRU", "Item 1"},
      {"Software\\Microsoft\\Office\\16.0\\Word\\Options", "ShTestNeighbour"},
      {"Software\\Microsoft\\Office\\16.0\\Word\\User MRU\\AD_0815\\File MRU", "Item 1"}}},
    {"Microsoft Edge", List::kPlugin,
     {":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Default\\History",
      ":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Default\\Visited Links",
      ":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Default\\Cache\\Cache_Data\\data_1",
      ":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Default\\Code Cache\\js\\index",
      ":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Default\\GPUCache\\data_0"},
     {},
     {":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Default\\Bookmarks",
      ":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Default\\Login Data",
      ":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Default\\Current Session",
      ":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Default\\Cache\\Cache_Data\\",
      ":LOCAL_APPDATA:\\Microsoft\\Edge\\User Data\\Profile 1\\History"},
     {}},
    {"Telegram Desktop", List::kPlugin,
     {":APPDATA:\\Telegram Desktop\\tdata\\user_data\\cache\\0\\A1B2C3D4",
      ":APPDATA:\\Telegram Desktop\\tdata\\user_data\\media_cache\\1\\E5F60718"},
     {},
     {":APPDATA:\\Telegram Desktop\\Telegram.exe", ":APPDATA:\\Telegram Desktop\\tdata\\key_datas",
      ":APPDATA:\\Telegram Desktop\\tdata\\D877F783D5D3EF8C\\maps",
      ":APPDATA:\\Telegram Desktop\\tdata\\user_data\\cache\\0\\"},
     {}},
    {"qBittorrent", List::kPlugin,
     {":LOCAL_APPDATA:\\qBittorrent\\logs\\qbittorrent.log", ":LOCAL_APPDATA:\\qBittorrent\\logs\\qbittorrent.log.bak1"},
     {},
     {":LOCAL_APPDATA:\\qBittorrent\\BT_backup\\0123abcd.fastresume",
      ":LOCAL_APPDATA:\\qBittorrent\\BT_backup\\0123abcd.torrent", ":APPDATA:\\qBittorrent\\qBittorrent.ini"},
     {}},
    // A key entry takes the whole list with its numbered subkeys; the XI list
    // belongs to another plugin.
    {"Adobe Acrobat Reader DC", List::kPlugin, {},
     {{"Software\\Adobe\\Acrobat Reader\\DC\\AVGeneral\\cRecentFiles\\c1", "tDIText"},
      {"Software\\Adobe\\Acrobat Reader\\DC\\AVGeneral\\cRecentFiles\\c2", "tDIText"},
      {"Software\\Adobe\\Acrobat Reader\\DC\\AVGeneral\\cRecentFolders\\c1", "tDIText"}},
     {},
     {{"Software\\Adobe\\Acrobat Reader\\DC\\AVGeneral", "bExpandRHPInViewer"},
      {"Software\\Adobe\\Acrobat Reader\\DC\\Privileged", "bProtectedMode"},
      {"Software\\Adobe\\Acrobat Reader\\11.0\\AVGeneral\\cRecentFiles\\c1", "tDIText"}}},
    // Value entries in a key that also holds the program's settings.
    {"Paint.NET", List::kPlugin, {},
     {{"Software\\Paint.NET", "MRU0"}, {"Software\\Paint.NET", "MRU0Thumb"}, {"Software\\Paint.NET", "MRU9"}},
     {},
     {{"Software\\Paint.NET", "MRUMax"}, {"Software\\Paint.NET", "Width"}}},
};

// The folder tokens, asked of the shell itself rather than through the
// program's macros, which are part of what is checked.
std::string Place(const std::string& text) {
  static const struct {
    const char* token;
    int csidl;
  } kFolders[] = {{":APPDATA:", CSIDL_APPDATA},
                  {":LOCAL_APPDATA:", CSIDL_LOCAL_APPDATA},
                  {":COMMON_APPDATA:", CSIDL_COMMON_APPDATA},
                  {":Recent:", CSIDL_RECENT},
                  {":PF:", CSIDL_PROGRAM_FILES}};
  for (const auto& f : kFolders)
    if (text.rfind(f.token, 0) == 0) return GetSpecialFolder(f.csidl, true) + text.substr(std::strlen(f.token));
  if (text.rfind(":LOCAL_LOW:", 0) == 0) return GetLocalLowFolder() + text.substr(11);
  ADD_FAILURE() << "no folder token in " << text;
  return "C:\\nowhere";
}

bool HasValue(const Value& v) {
  DWORD type = 0;
  std::string data;
  return ReadRaw(HKEY_CURRENT_USER, v.key, v.name, type, data);
}

class ShippedLists : public InstalledProgramTest {
 protected:
  // A file laid in its folder, made where missing; both go again.
  void Lay(const std::string& path) {
    std::vector<std::string> missing;
    for (size_t slash = path.find_last_of('\\'); slash > 3 && !Exists(path.substr(0, slash));
         slash = path.find_last_of('\\', slash - 1))
      missing.push_back(path.substr(0, slash));
    MakeDirs(path.substr(0, path.find_last_of('\\')));
    made_.insert(made_.end(), missing.rbegin(), missing.rend());
    WriteBytes(path, 700);
    made_.push_back(path);
  }
  void TearDown() override {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it)
      if (!DeleteFileA(it->c_str())) RemoveDirectoryA(it->c_str());
  }
  ChildResult Run(const std::string& arguments) {
    return RunChild(ChildLaunch(kInstalledConsole, arguments, own_.path()));
  }
  RegistryGuard registry_;
  std::vector<std::string> made_;
  // The children's output files, out of the temporary folder: under Wine one
  // can outlive its child, and the console tests' seeded clean empties that folder.
  ScratchDir own_{"shipped", "C:"};
};

TEST_F(ShippedLists, EachSampleRowTakesItsTracesAndLeavesItsNeighbours) {
  for (const char* list : {"Splst.swh", "Plglst.swh"})
    ASSERT_TRUE(CopyFileA((std::string("C:\\SweepHarbor\\") + list).c_str(), (data / list).c_str(), FALSE)) << list;
  for (const Row& row : kRows) {
    for (const auto* files : {&row.files, &row.keepFiles})
      for (const char* f : *files)
        if (f[std::strlen(f) - 1] != '\\') Lay(Place(f));
    for (const auto* values : {&row.values, &row.keepValues})
      for (const Value& v : *values) registry_.SetString(HKEY_CURRENT_USER, v.key, v.name, "trace");
  }
  // Each row is found in its own list, a plugin as installed.
  const std::string listing = Run("--list").output;
  const size_t plugins = listing.find("\nPlugins (");
  for (const Row& row : kRows) {
    const size_t at = listing.find(std::string("] ") + row.name + " ");
    ASSERT_NE(at, std::string::npos) << row.name << " is not listed";
    EXPECT_EQ(at > plugins, row.list == List::kPlugin) << row.name;
    if (row.list == List::kPlugin) {
      EXPECT_EQ(listing.substr(at, listing.find('\n', at) - at).find("not installed"), std::string::npos) << row.name;
    }
  }
  for (size_t i = 0; i < std::size(kRows); ++i) {
    const Row& row = kRows[i];
    SCOPED_TRACE(row.name);
    ChildResult clean = Run(std::string("--clean \"") + row.name + "\"");
    EXPECT_EQ(clean.exitCode, 0);
    EXPECT_NE(clean.output.find("1 of 1 rows cleaned"), std::string::npos) << clean.output;
    for (const char* f : row.files) EXPECT_FALSE(Exists(Place(f))) << f;
    for (const Value& v : row.values) EXPECT_FALSE(HasValue(v)) << v.key << " " << v.name;
    for (const char* f : row.keepFiles) EXPECT_TRUE(Exists(Place(f))) << f;
    for (const Value& v : row.keepValues) EXPECT_TRUE(HasValue(v)) << v.key << " " << v.name;
    // The rows still to come lost nothing.
    for (size_t later = i + 1; later < std::size(kRows); ++later) {
      for (const char* f : kRows[later].files) EXPECT_TRUE(Exists(Place(f))) << f;
      for (const Value& v : kRows[later].values) EXPECT_TRUE(HasValue(v)) << v.key << " " << v.name;
    }
  }
}

}  // namespace
}  // namespace sh
