#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "model/custom_plugin_file.h"
#include "model/data_file.h"
#include "model/memory_files.h"
#include "model/parser_depth.h"
#include "model/plugin_file.h"

namespace sh {
namespace {

using test::DataFileHarness;
using test::MemoryFileStore;

TEST(DataFileBytes, ScrambledWithTheKeyAndReadUpToTheFirstZero) {
  MemoryFileStore files;
  // A key byte in the text scrambles to zero and must read back unharmed.
  const std::string text = std::string("<a x=\"") + static_cast<char>(DataFileKey) + "\"/>";
  ASSERT_EQ(WriteDataFile(files, "f", text), 1);
  ASSERT_EQ(files.files["f"].size(), text.size());
  for (size_t i = 0; i < text.size(); ++i) EXPECT_EQ(files.files["f"][i], static_cast<char>(text[i] ^ DataFileKey));
  EXPECT_EQ(ReadDataFile(files, "f"), text);
  files.PutData("z", std::string("<x/>\0garbage", 12));
  EXPECT_EQ(ReadDataFile(files, "z"), "<x/>");
  EXPECT_EQ(ReadDataFile(files, "missing"), "");
}

// A store prints through the temporary file and replaces the list in one
// step, all under the lock. Whatever fails, the old list stays whole; when
// the temporary file fails the user is told. What an interrupted store left
// behind (beside the list, or as the temporary file) never stops a later one.
TEST(SaveDataDocument, StoresWholeOrNotAtAll) {
  const char kTemp[] = "C:\\Temp\\~swhtmp.tmp";
  const char kPrinted[] =
      "<CustomPlugins>\r\n    <Plugin Name=\"A\">\r\n        <FILES />\r\n    </Plugin>\r\n</CustomPlugins>\r\n";
  const struct {
    const char* what;
    int stuck;  // names beside the list held by a folder or an open file
    bool staleReadOnly, failPrint, failWrite, failReplace, stored;
  } cases[] = {
      {"stored", 0, false, false, false, false, true},
      {"stale read-only files", 0, true, false, false, false, true},
      {"a folder or a held file beside the list", 1, false, false, false, false, true},
      {"three names stuck", 3, true, false, false, false, true},
      {"every name stuck", 4, false, false, false, false, false},
      {"temporary file fails", 0, false, true, false, false, false},
      {"write fails half-way", 0, false, false, true, false, false},
      {"replace fails", 0, false, false, false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DataFileHarness h;
    h.files.tempFolder = "C:\\Temp\\\\";  // trailing backslashes removed
    h.files.PutData("x.swh", "old");
    if (!c.failPrint) h.files.PutData("x.swh.new", "half a list from an interrupted store");
    if (c.staleReadOnly) h.files.PutData(kTemp, "left by a store cut short");
    if (c.staleReadOnly) h.files.readOnly = {kTemp, "x.swh.new"};
    for (int i = 0; i < c.stuck; ++i) h.files.stuck.insert(i ? "x.swh.new" + std::to_string(i) : "x.swh.new");
    if (c.failWrite) h.files.failWrite.insert("x.swh.new");
    h.files.failPrint = c.failPrint;
    h.files.failReplace = c.failReplace;
    h.files.watchLock = &h.lock;
    TiXmlDocument document;
    document.Parse("<CustomPlugins><Plugin Name=\"A\"><FILES /></Plugin></CustomPlugins>");
    EXPECT_EQ(SaveDataDocument(h.env, document, "x.swh"), c.stored ? 1 : 0);
    EXPECT_EQ(h.files.unlockedSteps, 0);
    EXPECT_EQ(h.files.DataText("x.swh"), c.stored ? kPrinted : "old");
    EXPECT_EQ(h.files.files.size(), c.stuck ? 2u : 1u) << "no temporary file, nothing of ours beside the list";
    EXPECT_EQ(h.prompt.asked.size(), c.failPrint ? 1u : 0u);
    for (const auto& asked : h.prompt.asked) EXPECT_EQ(asked.text, "Error occuered while Saving");
  }
}

// The part of the lock that other processes share, as a script.
class ScriptedSharedLock : public ISharedDataFileLock {
 public:
  bool Acquire() override { return !keptElsewhere && ++depth > 0; }
  void Release() override { --depth; }
  bool keptElsewhere = false;
  int depth = 0;
};

// Every reader and writer holds the whole lock for each of its file steps
// (another store in between would be lost, and another process's store
// cannot replace a file held open). While another process keeps it, each
// fails touching nothing, and a writer tells as for a failed store.
TEST(DataFileLock, HeldForEveryFileStepOfEveryReaderAndWriter) {
  CustomPluginItems added;
  added.name = "New";
  const size_t kReaders = 5;
  const std::function<bool(DataFileEnv&)> uses[] = {
      [](DataFileEnv& env) { CSpotCatalog c; return LoadSpotList(env, c, DataFileHarness::kSpotList, 0, nullptr); },
      [](DataFileEnv& env) { CSpotCatalog c; return LoadPluginList(env, c, DataFileHarness::kPluginList, nullptr); },
      [](DataFileEnv& env) { CSpotCatalog c; return LoadCustomPlugins(env, c, DataFileHarness::kCustom); },
      [](DataFileEnv& env) { return CustomPluginNames(env).size() == 1; },
      [](DataFileEnv& env) { CustomPluginItems items; return ReadCustomPlugin(env, "a", items); },
      [](DataFileEnv& env) { return SaveSpotChoice(env, CCleaningSpot("A", 0), 1) == 1; },
      [](DataFileEnv& env) { return SavePluginChoice(env, CPluginSpots("A", ""), 1) == 1; },
      [](DataFileEnv& env) { return SaveCustomPluginChoice(env, CPluginSpots("A", ""), 1) == 1; },
      [&](DataFileEnv& env) { return AddCustomPlugin(env, added) == 1; },
      [](DataFileEnv& env) { return RemoveCustomPlugin(env, "a") == 1; },
      [](DataFileEnv& env) {
        TiXmlDocument document;
        document.Parse("<L />");
        return SaveDataDocument(env, document, DataFileHarness::kCustom) == 1;
      },
  };
  for (size_t i = 0; i < sizeof uses / sizeof uses[0]; ++i) {
    for (bool keptElsewhere : {false, true}) {
      SCOPED_TRACE(std::to_string(i) + (keptElsewhere ? " kept elsewhere" : ""));
      DataFileHarness h;
      ScriptedSharedLock shared;
      shared.keptElsewhere = keptElsewhere;
      CDataFileLock lock(shared);
      DataFileEnv env{h.files, h.machine, h.settings, h.prompt, lock};
      h.files.PutData(h.kSpotList, "<CleaningSpots><G><S name=\"A\" /></G></CleaningSpots>");
      h.files.PutData(h.kPluginList, "<L><P Name=\"A\" /></L>");
      h.files.PutData(h.kCustom, "<L><P Name=\"A\" /></L>");
      h.files.watchLock = &lock;
      EXPECT_EQ(uses[i](env), !keptElsewhere);
      EXPECT_EQ(h.files.steps == 0, keptElsewhere);
      EXPECT_EQ(h.files.unlockedSteps, 0);
      EXPECT_EQ(shared.depth, 0);
      EXPECT_EQ(h.prompt.asked.size(), keptElsewhere && i >= kReaders ? 1u : 0u);
    }
  }
}

// Generated markup against the library itself: the depth pre-scan must see
// every text as the parser does, and the printer must write what the
// library's own print writes. Seeded and bounded; run under the sanitizers
// natively.
std::string LibraryPrint(const TiXmlDocument& document) {
  std::FILE* f = std::tmpfile();
  if (f == nullptr) return "(no temporary file)";
  document.Print(f);
  std::string text(static_cast<size_t>(std::ftell(f)), '\0');
  std::rewind(f);
  text.resize(std::fread(&text[0], 1, text.size(), f));
  std::fclose(f);
  return text;
}

// Element nesting of what the library built: a parse that gave up keeps the
// elements it had entered, so this is how deep it went.
int TreeDepth(const TiXmlNode& node) {
  int deepest = 0;
  for (const TiXmlNode* child = node.FirstChild(); child; child = child->NextSibling())
    deepest = std::max(deepest, TreeDepth(*child));
  return deepest + (node.ToElement() ? 1 : 0);
}

template <size_t N>
const char* Pick(const char* const (&list)[N], std::mt19937& rng) {
  return list[rng() % N];
}

TEST(GeneratedMarkup, PreScanAndPrinterAgreeWithTheLibrary) {
  static const char* const kStarts[] = {"", "\xEF\xBB\xBF", "<?xml version=\"1.0\"?>", "<?xml encoding='&#x55;TF-8'?>",
                                        "<?xml version='1.0' encoding='windows-1252'?>",
                                        " \r\n<!-- c --><?xml encoding=\"latin1\" standalone='yes'?><!DOCTYPE x>"};
  // Mostly well-formed nesting, so that parses go deep before anything ends
  // them; then pieces that move the parser's view of where markup starts.
  static const char* const kNesting[] = {"<a>", "<a>", "<b x='1'>", "</a>", "</b>", "<a/>", " ", "\n", "text"};
  static const char* const kPieces[] = {
      "<b y=\"<\"/>", "<c d=\"&#x\">", "&#x", "x;", "&#", "#;", "&amp;", "&", "\"", "'", "<", ">", "/>", "=",
      "<?xml version='1.0'?>", "<?xml encoding=\"UTF-8\"?>", "<?xml x='>'?>", "<!--", "-->", "<![CDATA[", "]]>",
      "<!DOCTYPE d '>'>", "<!", "\xE2", "\xC3\xA9", "\xEF\xBB\xBF", "\xF0", "\xE9", "<a b=", "</a >", "< a>", "<_u>",
      "</_u>", "<?pi ?>", "x=1 ", "<a x=1>", "<a x=\"1\" x=\"2\">", "</A>", "<e q='say \"hi\"' r=\"&lt;&apos;\"/>",
      "<!-- note -->", "<![CDATA[raw <stuff>]]>", "<t>only text &amp; more</t>"};
  std::mt19937 rng(20240611);
  int parsedWhole = 0, deep = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text = Pick(kStarts, rng);
    for (int n = 1 + static_cast<int>(rng() % 60); n > 0; --n)
      text += rng() % 6 ? Pick(kNesting, rng) : Pick(kPieces, rng);
    TiXmlDocument library, ours;
    library.Parse((text + std::string(8, '\0')).c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    const int depth = TreeDepth(library);
    ASSERT_EQ(ParserNestingDepth(text, 1000), depth) << text;
    // A whole document parses here too and prints as the library prints it.
    const bool whole = !library.Error() && library.RootElement() != nullptr;
    ASSERT_EQ(ParseDataText(text, ours), whole) << text;
    ASSERT_EQ(whole ? PrintDocumentText(ours) : "", whole ? LibraryPrint(library) : "") << text;
    parsedWhole += whole ? 1 : 0;
    deep += depth >= 4 ? 1 : 0;
  }
  // Both outcomes, and real depth, or the comparison proves little.
  EXPECT_GT(parsedWhole, 100) << deep;
  EXPECT_GT(deep, 300) << parsedWhole;
}

}  // namespace
}  // namespace sh
