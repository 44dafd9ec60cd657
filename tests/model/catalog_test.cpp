#include <gtest/gtest.h>

#include "model/catalog.h"

namespace sh {
namespace {

TEST(Catalog, CursorIterationFollowsFileOrderAndStopsAtEnd) {
  CSpotCatalog catalog;
  EXPECT_EQ(catalog.GetFirstGroup(), nullptr);
  CSpotGroup* a = catalog.AddGroup(std::make_unique<CSpotGroup>("A", 0));
  CSpotGroup* b = catalog.AddGroup(std::make_unique<CSpotGroup>("B", 3));
  EXPECT_EQ(catalog.GetFirstGroup(), a);
  EXPECT_EQ(catalog.GetNextGroup(), b);
  EXPECT_EQ(catalog.GetNextGroup(), nullptr);
  EXPECT_EQ(catalog.GetNextGroup(), nullptr);
  // GetFirst starts over.
  EXPECT_EQ(catalog.GetFirstGroup(), a);

  CCleaningSpot* s1 = a->AddSpot(CreateSpot("one", 1));
  CCleaningSpot* s2 = a->AddSpot(CreateSpot("two", 0));
  EXPECT_EQ(a->GetFirstSpot(), s1);
  EXPECT_EQ(a->GetNextSpot(), s2);
  EXPECT_EQ(a->GetNextSpot(), nullptr);
  // A group whose spots were all skipped iterates as empty.
  EXPECT_EQ(b->GetFirstSpot(), nullptr);
  EXPECT_EQ(b->GetNextSpot(), nullptr);
}

TEST(Catalog, NullElementEndsIterationAndResetsCursor) {
  OwnedList<int> list;
  list.Append(std::make_unique<int>(1));
  list.Append(nullptr);
  list.Append(std::make_unique<int>(3));
  ASSERT_NE(list.First(), nullptr);
  EXPECT_EQ(list.Next(), nullptr);
  // The cursor was reset: the next call starts from the first element again.
  int* again = list.Next();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(*again, 1);
}

TEST(Catalog, CreateSpotAndEntriesKeepWhatTheyAreGiven) {
  auto spot = CreateSpot("Temp", 1);
  EXPECT_EQ(spot->GetName(), "Temp");
  EXPECT_EQ(spot->ToBeCleaned, 1);
  EXPECT_EQ(spot->Type, 0);
  EXPECT_TRUE(spot->Description.empty());
  EXPECT_EQ(spot->AddFolder("C:\\T", "*.tmp", 1, 0, 1), 1);
  EXPECT_EQ(spot->AddRegKey(RegRoot::kCurrentUser, "Software\\X"), 1);
  EXPECT_EQ(spot->AddRegValue(RegRoot::kNone, "Software\\Y", ""), 1);
  ASSERT_EQ(spot->Folders.size(), 1u);
  EXPECT_EQ(spot->Folders[0].Mask, "*.tmp");
  EXPECT_EQ(spot->Folders[0].DeleteRootDir, 1);
  EXPECT_EQ(spot->Folders[0].IncludeSubFolders, 0);
  EXPECT_EQ(spot->Folders[0].DeleteSubFolders, 1);
  EXPECT_EQ(spot->RegKeys[0].SubKey, "Software\\X");
  EXPECT_EQ(spot->RegValues[0].Root, RegRoot::kNone);
}

TEST(Catalog, ItemsToCleanTakesChosenSpotsThenInstalledPluginsThenCustom) {
  CSpotCatalog catalog;
  CSpotGroup* g1 = catalog.AddGroup(std::make_unique<CSpotGroup>("G1", 0));
  CSpotGroup* g2 = catalog.AddGroup(std::make_unique<CSpotGroup>("G2", 1));
  g1->AddSpot(CreateSpot("chosen1", 1));
  g1->AddSpot(CreateSpot("not chosen", 0));
  g2->AddSpot(CreateSpot("chosen2", 7));  // any non-zero value counts

  auto plugin = [](const char* name, int installed, int chosen) {
    auto p = std::make_unique<CPluginSpots>(name, "d");
    p->Installed = installed;
    p->ToBeCleaned = chosen;
    p->AddSpot(CreateSpot(name, chosen));
    return p;
  };
  catalog.AddPlugin(plugin("installed+chosen", 1, 1));
  catalog.AddPlugin(plugin("chosen, not installed", 0, 1));
  catalog.AddPlugin(plugin("installed, not chosen", 1, 0));
  auto custom = plugin("custom", 0, 1);  // custom plugins need no presence test
  custom->IsCustom = 1;
  catalog.AddCustomPlugin(std::move(custom));

  std::vector<std::string> names;
  for (const CleanItem& item : catalog.ItemsToClean()) names.push_back(item.Name());
  EXPECT_EQ(names, (std::vector<std::string>{"chosen1", "chosen2", "installed+chosen", "custom"}));

  catalog.ClearCustomPlugins();
  EXPECT_TRUE(catalog.CustomPlugins().empty());
  EXPECT_EQ(catalog.ItemsToClean().size(), 3u);
}

}  // namespace
}  // namespace sh
