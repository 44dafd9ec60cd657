#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <string>
#include <vector>

#include "model/custom_plugin_file.h"
#include "model/data_file.h"
#include "model/memory_files.h"
#include "model/plugin_file.h"

namespace sh {
namespace {

using test::DataFileHarness;
using test::MemoryFileStore;

TEST(ScrambleBytes, KeyedXorIsItsOwnInverse) {
  EXPECT_NE(DataFileKey, 0);
  std::string text = "<a x=\"1\"/>";
  std::string bytes = text;
  ScrambleBytes(bytes);
  for (size_t i = 0; i < text.size(); ++i)
    EXPECT_EQ(static_cast<unsigned char>(bytes[i]), static_cast<unsigned char>(text[i]) ^ DataFileKey);
  ScrambleBytes(&bytes[0], bytes.size());
  EXPECT_EQ(bytes, text);
}

TEST(ReadDataFile, UnscramblesUpToTheFirstZeroByte) {
  MemoryFileStore files;
  files.PutData("a", std::string("<x/>\0garbage", 12));
  EXPECT_EQ(ReadDataFile(files, "a"), "<x/>");
  files.files["empty"] = "";
  EXPECT_EQ(ReadDataFile(files, "empty"), "");
  EXPECT_EQ(ReadDataFile(files, "missing"), "");
  // A key byte in the text scrambles to zero and reads back unharmed.
  std::string withKey = "a";
  withKey += static_cast<char>(DataFileKey);
  withKey += "b";
  files.PutData("k", withKey);
  EXPECT_EQ(ReadDataFile(files, "k"), withKey);
}

TEST(WriteDataFile, ScramblesAndReplacesTheTargetInOneStep) {
  MemoryFileStore files;
  files.PutData("C:\\d\\list.swh", "old");
  ASSERT_EQ(WriteDataFile(files, "C:\\d\\list.swh", "new text"), 1);
  const std::vector<std::string> ops = files.ops;
  EXPECT_EQ(files.DataText("C:\\d\\list.swh"), "new text");
  EXPECT_EQ(files.files.size(), 1u);  // nothing left beside it
  EXPECT_EQ(ops, (std::vector<std::string>{"write C:\\d\\list.swh.new",
                                                 "replace C:\\d\\list.swh.new -> C:\\d\\list.swh"}));
}

TEST(WriteDataFile, FailureKeepsTheOldFileWhole) {
  MemoryFileStore files;
  files.PutData("t", "old document");
  files.failWrite.insert("t.new");
  EXPECT_EQ(WriteDataFile(files, "t", "new document"), 0);
  EXPECT_EQ(files.DataText("t"), "old document");
  EXPECT_FALSE(files.Has("t.new"));

  files.failWrite.clear();
  files.failReplace = true;
  EXPECT_EQ(WriteDataFile(files, "t", "new document"), 0);
  EXPECT_EQ(files.DataText("t"), "old document");
  EXPECT_FALSE(files.Has("t.new"));
}

// What an interrupted store may have left beside the target never stops a
// later one.
TEST(WriteDataFile, StaleFilesBesideTheTargetGiveWay) {
  struct Case {
    const char* what;
    std::vector<std::string> stuck;  // names held by a folder or an open file
    bool readOnly;                   // the stale "t.new" is read-only
    bool stored;
  };
  const Case cases[] = {
      {"stale read-only file", {}, true, true},
      {"folder or held file", {"t.new"}, false, true},
      {"three names stuck", {"t.new", "t.new1", "t.new2"}, true, true},
      {"every name stuck", {"t.new", "t.new1", "t.new2", "t.new3"}, false, false},
  };
  for (const Case& c : cases) {
    MemoryFileStore files;
    files.PutData("t", "old");
    files.PutData("t.new", "half a list from an interrupted store");
    if (c.readOnly) files.readOnly.insert("t.new");
    files.stuck.insert(c.stuck.begin(), c.stuck.end());
    EXPECT_EQ(WriteDataFile(files, "t", "new list"), c.stored ? 1 : 0) << c.what;
    EXPECT_EQ(files.DataText("t"), c.stored ? "new list" : "old") << c.what;
    // Nothing of ours is left: only the target and what could not be freed.
    EXPECT_EQ(files.files.size(), files.stuck.count("t.new") ? 2u : 1u) << c.what;
  }
}

TEST(ParseDataText, RefusesWhatIsNoDocument) {
  TiXmlDocument a, b, c, d, e;
  EXPECT_FALSE(ParseDataText("", a));
  EXPECT_FALSE(ParseDataText("<!-- only a comment -->", b));
  EXPECT_FALSE(ParseDataText("<a><b></a>", c));
  EXPECT_FALSE(ParseDataText("just text", d));
  EXPECT_TRUE(ParseDataText("\xEF\xBB\xBF<?xml version=\"1.0\"?><a/>", e));  // byte order mark
}

TEST(ParseDataText, RefusesNestingDeeperThanAnyList) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  TiXmlDocument a;
  EXPECT_FALSE(ParseDataText(deep, a));
  // Hidden behind quotes, declarations and comments the parser would see
  // differently: refused too, never parsed.
  std::string tricky;
  for (int i = 0; i < 5000; ++i) tricky += "<a><?xml version='></a>'?>";
  TiXmlDocument b;
  EXPECT_FALSE(ParseDataText(tricky, b));
  std::string utf8;
  for (int i = 0; i < 5000; ++i) utf8 += "<a>\xE2</a>";
  TiXmlDocument c;
  EXPECT_FALSE(ParseDataText("<?xml version=\"1.0\"?>" + utf8, c));
  // Character references that run over end tags, in text and in values:
  // deep enough to overflow the stack were they parsed.
  for (const char* part : {"<a>&#x</a>x;", "<a b=\"&#x\"></a>x;\">", "<a>&#</a>#;"}) {
    std::string hidden = "<r>";
    for (int i = 0; i < 200000; ++i) hidden += part;
    TiXmlDocument f;
    EXPECT_FALSE(ParseDataText(hidden, f)) << part;
  }
  std::string deep101;
  for (int i = 0; i < 101; ++i) deep101 += "<a>";
  for (int i = 0; i < 101; ++i) deep101 += "</a>";
  TiXmlDocument g;
  EXPECT_FALSE(ParseDataText(deep101, g)) << "one level past the limit";
  // Width is no problem, and neither is a reasonable depth.
  std::string wide = "<r>";
  for (int i = 0; i < 20000; ++i) wide += "<a b=\"x/>\"/><c></c>";
  wide += "</r>";
  TiXmlDocument d;
  EXPECT_TRUE(ParseDataText(wide, d));
  std::string fifty;
  for (int i = 0; i < 50; ++i) fifty += "<a q='>'>";
  for (int i = 0; i < 50; ++i) fifty += "</a>";
  TiXmlDocument e;
  EXPECT_TRUE(ParseDataText(fifty, e));
}

// Lists the parser reads whole must never be refused for the way their
// markup looks; `value` is the first spot's name as read.
TEST(ParseDataText, AcceptsWhatTheParserReadsWhole) {
  struct Case {
    std::string text;
    const char* value;
  };
  const Case cases[] = {
      {"<L><S name=\"Logs < 1 day\" /></L>", "Logs < 1 day"},
      {"<L><S name=\"Logs > 1 day\" /></L>", "Logs > 1 day"},
      {"<L><S name='<a><b></L>' /></L>", "<a><b></L>"},
      {"<?xml version=\"1.0\" encoding=\"windows-1252\" ?><L><S name=\"Caf\xE9 < 1 day\" /></L>", "Caf\xE9 < 1 day"},
      {"\xEF\xBB\xBF<L><S name=\"Caf\xC3\xA9 <\" /></L>", "Caf\xC3\xA9 <"},
      {"<L><S name=\"deep\">" + [] {
         std::string nest;
         for (int i = 0; i < 98; ++i) nest += "<n a='<'>";
         for (int i = 0; i < 98; ++i) nest += "</n>";
         return nest;
       }() + "</S></L>",
       "deep"},  // 100 levels
  };
  for (const Case& c : cases) {
    TiXmlDocument document;
    ASSERT_TRUE(ParseDataText(c.text, document)) << c.text;
    EXPECT_STREQ(document.RootElement()->FirstChildElement()->Attribute("name"), c.value);
  }
}

TEST(ParseDataText, LegacyDeclarationsKeepSingleByteLetters) {
  // In a windows-1252 document an accented letter next to a quote is an
  // ordinary letter; the same bytes under a UTF-8 declaration are refused.
  const std::string body = "<r><s name=\"Caf\xE9\"><i/></s></r>";
  TiXmlDocument legacy, utf8;
  EXPECT_TRUE(ParseDataText("<?xml version=\"1.0\" encoding=\"windows-1252\" ?>" + body, legacy));
  EXPECT_STREQ(legacy.RootElement()->FirstChildElement()->Attribute("name"), "Caf\xE9");
  EXPECT_FALSE(ParseDataText("<?xml version=\"1.0\"?>" + body, utf8));
}

TEST(ParseDataText, TextEndingInsideAMultiByteSequence) {
  // The parser steps past the end of such a text; it must find zeros there.
  TiXmlDocument a, b;
  EXPECT_FALSE(ParseDataText("<?xml version=\"1.0\"?><a b=\"\xF0", a));
  EXPECT_FALSE(ParseDataText("\xEF\xBB\xBF<a>\xE2", b));
}

TEST(PrintDocumentText, SameBytesAsTheLibrarysStreamPrint) {
  const char* const documents[] = {
      "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?>\n<!DOCTYPE x>\n<!-- c -->\n"
      "<r a=\"1\" q='say \"hi\"' e=\"&amp;&lt;&gt;&apos;\">\n  <e/>\n  <t>only text &amp; more</t>\n"
      "  <m>text<b x=\"y\"/>tail<!-- inner --></m>\n  <c><![CDATA[raw <stuff>]]></c>\n"
      "  <d><e><f g=\"h\"/></e></d>\n</r>\n<second/>",
      "<a>\xE9t\xE9</a>",
      "<CustomPlugins><Plugin Name=\"A\" ToBeCleaned=\"1\"><FILES /><FOLDERS><FOLDER Name=\"C:\\x\" /></FOLDERS>"
      "</Plugin></CustomPlugins>",
  };
  for (const char* text : documents) {
    TiXmlDocument document;
    ASSERT_TRUE(ParseDataText(text, document)) << text;
    EXPECT_EQ(PrintDocumentText(document), test::LibraryPrint(document)) << text;
  }
  TiXmlDocument built;
  TiXmlElement root("Root");
  root.SetAttribute("Name", "quote\" and 'apostrophe'");
  built.InsertEndChild(root);
  EXPECT_EQ(PrintDocumentText(built), test::LibraryPrint(built));
}

class SaveDataDocumentTest : public ::testing::Test {
 protected:
  SaveDataDocumentTest() {
    document.Parse("<CustomPlugins><Plugin Name=\"A\" ToBeCleaned=\"1\"><FILES /></Plugin></CustomPlugins>");
  }
  DataFileHarness h;
  TiXmlDocument document;
};

TEST_F(SaveDataDocumentTest, PrintsThroughTheTemporaryFileWithCrLf) {
  ASSERT_EQ(SaveDataDocument(h.env, document, "C:\\Data\\CutmPlg.swh"), 1);
  const std::vector<std::string> ops = h.files.ops;
  EXPECT_EQ(h.files.DataText("C:\\Data\\CutmPlg.swh"),
            "<CustomPlugins>\r\n    <Plugin Name=\"A\" ToBeCleaned=\"1\">\r\n        <FILES />\r\n"
            "    </Plugin>\r\n</CustomPlugins>\r\n");
  EXPECT_EQ(ops, (std::vector<std::string>{
                             "print C:\\Temp\\~swhtmp.tmp", "read C:\\Temp\\~swhtmp.tmp",
                             "write C:\\Data\\CutmPlg.swh.new",
                             "replace C:\\Data\\CutmPlg.swh.new -> C:\\Data\\CutmPlg.swh",
                             "remove C:\\Temp\\~swhtmp.tmp"}));
  EXPECT_FALSE(h.files.Has("C:\\Temp\\~swhtmp.tmp"));
  EXPECT_TRUE(h.prompt.asked.empty());
}

TEST_F(SaveDataDocumentTest, HoldsTheLockForEveryFileStep) {
  h.files.watchLock = &h.lock;
  h.files.tempFolder = "C:\\Temp\\\\";  // trailing backslashes removed
  ASSERT_EQ(SaveDataDocument(h.env, document, "x.swh"), 1);
  EXPECT_EQ(h.files.ops.front(), "print C:\\Temp\\~swhtmp.tmp");
  ASSERT_EQ(h.files.lockHeld.size(), h.files.ops.size());
  for (bool held : h.files.lockHeld) EXPECT_TRUE(held);
  EXPECT_TRUE(h.lock.TryEnter());  // given back
  h.lock.Leave();
}

TEST_F(SaveDataDocumentTest, TemporaryFileFailureTellsAndStoresNothing) {
  h.files.PutData("x.swh", "old");
  h.files.failPrint = true;
  h.files.watchLock = &h.lock;
  EXPECT_EQ(SaveDataDocument(h.env, document, "x.swh"), 0);
  ASSERT_EQ(h.prompt.asked.size(), 1u);
  EXPECT_EQ(h.prompt.asked[0].text, "Error occuered while Saving");
  EXPECT_EQ(h.prompt.asked[0].kind, PromptKind::kOk);
  EXPECT_EQ(h.files.DataText("x.swh"), "old");
  // The box is shown after the lock is given back.
  EXPECT_TRUE(h.lock.TryEnter());
  h.lock.Leave();
}

TEST_F(SaveDataDocumentTest, StaleReadOnlyTemporaryFileIsReplaced) {
  h.files.files["C:\\Temp\\~swhtmp.tmp"] = "left by a store cut short";
  h.files.readOnly.insert("C:\\Temp\\~swhtmp.tmp");
  ASSERT_EQ(SaveDataDocument(h.env, document, "x.swh"), 1);
  EXPECT_TRUE(h.prompt.asked.empty());
  EXPECT_FALSE(h.files.Has("C:\\Temp\\~swhtmp.tmp"));
}

TEST_F(SaveDataDocumentTest, TargetFailureLeavesTheOldDocumentSilently) {
  h.files.PutData("x.swh", "old");
  h.files.failWrite.insert("x.swh.new");
  EXPECT_EQ(SaveDataDocument(h.env, document, "x.swh"), 0);
  EXPECT_EQ(h.files.DataText("x.swh"), "old");
  EXPECT_TRUE(h.prompt.asked.empty());
  EXPECT_FALSE(h.files.Has("C:\\Temp\\~swhtmp.tmp"));
  EXPECT_FALSE(h.files.Has("x.swh.new"));
}

// Every way a data file is changed reads it under the lock and keeps the
// lock until it is stored: another store in between would be lost.
TEST(ChangeDataDocument, EveryChangeHoldsTheLockFromReadToStore) {
  const char* spots = "<CleaningSpots><G name=\"g\"><S name=\"A\" ToBeCleaned=\"0\" /></G></CleaningSpots>";
  const char* plugins = "<Plugins><P Name=\"Pa\" ToBeCleaned=\"0\" /></Plugins>";
  CSpotCatalog catalog;
  CSpotGroup* group = catalog.AddGroup(std::make_unique<CSpotGroup>("g", 0));
  group->AddSpot(CreateSpot("A", 1));
  const CCleaningSpot spot("A", 1);
  const CPluginSpots plugin("Pa", "");
  CustomPluginItems added;
  added.name = "New";
  const struct {
    const char* what;
    const char* path;
    std::function<int(DataFileEnv&)> change;
  } cases[] = {
      {"one spot", DataFileHarness::kSpotList, [&](DataFileEnv& env) { return SaveSpotChoice(env, spot, 1); }},
      {"every spot", DataFileHarness::kSpotList, [&](DataFileEnv& env) { return SaveAllSpotChoices(env, catalog); }},
      {"one plugin", DataFileHarness::kPluginList, [&](DataFileEnv& env) { return SavePluginChoice(env, plugin, 1); }},
      {"one custom plugin", DataFileHarness::kCustom,
       [&](DataFileEnv& env) { return SaveCustomPluginChoice(env, plugin, 1); }},
      {"adding a custom plugin", DataFileHarness::kCustom,
       [&](DataFileEnv& env) { return AddCustomPlugin(env, added); }},
      {"removing a custom plugin", DataFileHarness::kCustom,
       [&](DataFileEnv& env) { return RemoveCustomPlugin(env, "pa"); }},
  };
  for (const auto& c : cases) {
    DataFileHarness h;
    h.files.PutData(h.kSpotList, spots);
    h.files.PutData(h.kPluginList, plugins);
    h.files.PutData(h.kCustom, plugins);
    h.files.watchLock = &h.lock;
    EXPECT_EQ(c.change(h.env), 1) << c.what;
    ASSERT_EQ(h.files.ops.size(), h.files.lockHeld.size());
    ASSERT_FALSE(h.files.ops.empty()) << c.what;
    EXPECT_EQ(h.files.ops.front(), std::string("read ") + c.path) << c.what;
    for (size_t i = 0; i < h.files.ops.size(); ++i) EXPECT_TRUE(h.files.lockHeld[i]) << c.what << ": " << h.files.ops[i];
    EXPECT_TRUE(h.lock.TryEnter()) << c.what << ": given back";
    h.lock.Leave();
  }
}

// Every reader of a data file reads it under the lock: another process's
// store cannot replace a file held open, nor may it be opened meanwhile.
TEST(ReadDataDocument, EveryReaderReadsUnderTheLock) {
  const char* plugins = "<Plugins><P Name=\"Pa\" ToBeCleaned=\"0\" /></Plugins>";
  const struct {
    const char* what;
    const char* path;
    std::function<bool(DataFileEnv&)> read;
  } cases[] = {
      {"spot list", DataFileHarness::kSpotList,
       [](DataFileEnv& env) {
         CSpotCatalog catalog;
         return LoadSpotList(env, catalog, DataFileHarness::kSpotList, 0, nullptr) == 1;
       }},
      {"plugin list", DataFileHarness::kPluginList,
       [](DataFileEnv& env) {
         CSpotCatalog catalog;
         return LoadPluginList(env, catalog, DataFileHarness::kPluginList, nullptr) == 1;
       }},
      {"custom plugins", DataFileHarness::kCustom,
       [](DataFileEnv& env) {
         CSpotCatalog catalog;
         return LoadCustomPlugins(env, catalog, DataFileHarness::kCustom) == 1;
       }},
      {"custom plugin names", DataFileHarness::kCustom,
       [](DataFileEnv& env) { return CustomPluginNames(env).size() == 1; }},
      {"finding a custom plugin", DataFileHarness::kCustom,
       [](DataFileEnv& env) { return FindCustomPlugin(env, "pa"); }},
      {"one custom plugin's items", DataFileHarness::kCustom,
       [](DataFileEnv& env) {
         CustomPluginItems items;
         return ReadCustomPlugin(env, "Pa", items);
       }},
  };
  for (const auto& c : cases) {
    DataFileHarness h;
    h.files.PutData(h.kSpotList, "<CleaningSpots><G name=\"g\"><S name=\"A\" /></G></CleaningSpots>");
    h.files.PutData(h.kPluginList, plugins);
    h.files.PutData(h.kCustom, plugins);
    h.files.watchLock = &h.lock;
    EXPECT_TRUE(c.read(h.env)) << c.what;
    EXPECT_EQ(h.files.ops, (std::vector<std::string>{std::string("read ") + c.path})) << c.what;
    EXPECT_EQ(h.files.lockHeld, (std::vector<bool>{true})) << c.what;
  }
}

// The part of the lock that other processes share, as a script: refused, or
// held (depth counted) while the file steps run.
class ScriptedSharedLock : public ISharedDataFileLock {
 public:
  bool Acquire() override {
    if (refuse) return false;
    ++depth;
    return true;
  }
  void Release() override { --depth; }
  bool refuse = false;
  int depth = 0;
};

// Another process keeps the shared lock: the store fails as a store whose
// temporary file fails, told after this process's lock is given back.
TEST(ChangeDataDocument, SharedLockKeptElsewhereFailsTheStoreWithItsMessage) {
  const struct {
    const char* what;
    std::function<int(DataFileEnv&)> store;
  } cases[] = {
      {"a document", [](DataFileEnv& env) {
         TiXmlDocument document;
         document.Parse("<CleaningSpots />");
         return SaveDataDocument(env, document, DataFileHarness::kSpotList);
       }},
      {"a choice", [](DataFileEnv& env) { return SaveSpotChoice(env, CCleaningSpot("A", 0), 1); }},
  };
  for (const auto& c : cases) {
    for (bool refuse : {true, false}) {
      MemoryFileStore files;
      test::FakeMachine machine;
      test::MapSettings settings;
      settings.values["path"] = "C:\\Data";
      test::ScriptedPrompt prompt;
      ScriptedSharedLock shared;
      shared.refuse = refuse;
      CDataFileLock lock(shared);
      DataFileEnv env{files, machine, settings, prompt, lock};
      files.PutData(DataFileHarness::kSpotList, "<CleaningSpots><G><S name=\"A\" ToBeCleaned=\"0\" /></G></CleaningSpots>");
      const std::string before = files.files[DataFileHarness::kSpotList];
      EXPECT_EQ(c.store(env), refuse ? 0 : 1) << c.what;
      EXPECT_EQ(files.files[DataFileHarness::kSpotList] == before, refuse) << c.what;
      EXPECT_EQ(prompt.asked.size(), refuse ? 1u : 0u) << c.what;
      if (refuse && !prompt.asked.empty()) {
        EXPECT_EQ(prompt.asked[0].text, "Error occuered while Saving");
        EXPECT_EQ(prompt.asked[0].kind, PromptKind::kOk);
        EXPECT_TRUE(files.ops.empty()) << c.what << ": nothing touched without the lock";
      }
      EXPECT_EQ(shared.depth, 0) << c.what;
      EXPECT_TRUE(lock.TryEnter()) << c.what;
      lock.Leave();
    }
  }
}

}  // namespace
}  // namespace sh
