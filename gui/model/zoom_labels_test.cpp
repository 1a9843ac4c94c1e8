#include "gui/model/zoom_labels.h"

#include <gtest/gtest.h>

#include "gui/model/names.h"

namespace visual {
namespace {

TEST(ZoomLabels, KnownBitsAndOutside) {
  EXPECT_EQ(zoomLabel(10), "1200 км");
  EXPECT_EQ(zoomLabel(13), "200км");
  EXPECT_EQ(zoomLabel(24), "120 м ");
  EXPECT_EQ(zoomLabel(26), "0 -30 м");
  EXPECT_EQ(zoomLabel(9), "");
  EXPECT_EQ(zoomLabel(27), "");
}

TEST(ZoomLabels, PickerHasSeventeenEntriesFromTenBits) {
  const auto items = levelPickerItems();
  ASSERT_EQ(items.size(), 17u);
  EXPECT_EQ(items.front(), "10 : 1200 км");
  EXPECT_EQ(items[14], "24 : 120 м ");
  EXPECT_EQ(levelPickerPosition(24), 14);
  EXPECT_EQ(levelPickerPosition(30), -1);
}

TEST(Names, KindsMeasuresAndComparisons) {
  EXPECT_EQ(kindTreeName(1), "Polygone");
  EXPECT_EQ(kindListName(2), "Точка");
  EXPECT_EQ(kindScriptName(0), "line");
  EXPECT_EQ(kindScriptName(-1), "");
  EXPECT_EQ(kindScriptName(3), "");
  EXPECT_EQ(measureListName(1), "Длинна");
  EXPECT_EQ(measureScriptName(3), "width");
  EXPECT_EQ(measureScriptName(-1), "");
  EXPECT_EQ(comparisonText(3), ">=");
  EXPECT_EQ(comparisonText(5), "");
  EXPECT_EQ(comparisonItems().size(), 5u);
}

}  // namespace
}  // namespace visual
