#include <gtest/gtest.h>

#include "engine/clean_log.h"

namespace sh {

TEST(FormatSize, StrictBoundaries) {
  EXPECT_EQ(FormatSize(0), "0 bytes");
  EXPECT_EQ(FormatSize(1024), "1024 bytes");
  EXPECT_EQ(FormatSize(1025), "1.00 KB");
  EXPECT_EQ(FormatSize(1536), "1.50 KB");
  EXPECT_EQ(FormatSize(1048576), "1048576 bytes");
  EXPECT_EQ(FormatSize(1048577), "1.00 MB");
  EXPECT_EQ(FormatSize(1073741824), "1073741824 bytes");
  EXPECT_EQ(FormatSize(1073741825), "1.00 GB");
  EXPECT_EQ(FormatSize(5.5 * 1073741824), "5.50 GB");
}

}  // namespace sh
