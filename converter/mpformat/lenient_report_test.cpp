#include "converter/mpformat/lenient_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zarvex {
namespace {

using Item = LenientReport::Item;
using Lines = std::vector<std::string>;

TEST(LenientReportTest, SumsUpSkippedThenKeptInTheOrderFirstMet) {
  LenientReport report;
  report.add(Item::HeaderKey, "MG", 3);
  report.add(Item::ObjectKey, "Direction", 40);
  report.add(Item::CommentLine, "", 41);
  report.add(Item::Section, "[WPT]", 50);
  report.add(Item::HeaderValue, "Elevation", 4);
  report.add(Item::HeaderKey, "Transparent", 5);
  report.add(Item::ObjectKey, "Direction", 60);
  report.add(Item::ObjectKey, "NonStdField", 61);
  report.add(Item::CommentLine, "", 62);
  // Read in place of a known key or accepted as a closing line: nothing is lost, so not summed.
  report.add(Item::LevelsAsEndLevel, "Levels", 70);
  report.add(Item::SectionEnd, "[END-RGN40]", 71);
  EXPECT_EQ(report.summaryLines(),
            (Lines{"Skipped: header keys MG 1, Transparent 1; header values Elevation 1; "
                   "sections [WPT] 1; comment lines 2",
                   "Kept: object keys Direction 2, NonStdField 1"}));
  EXPECT_EQ(report.entries().size(), 9u);
  EXPECT_EQ(report.entries()[1].name, "Direction");
  EXPECT_EQ(report.entries()[1].firstLine, 40);
}

TEST(LenientReportTest, LinesOnlyForWhatHappened) {
  LenientReport none;
  EXPECT_TRUE(none.summaryLines().empty());
  LenientReport kept;
  kept.add(Item::ObjectKey, "X", 1);
  EXPECT_EQ(kept.summaryLines(), Lines{"Kept: object keys X 1"});
  LenientReport quiet;
  quiet.add(Item::LevelsAsEndLevel, "Levels", 1);
  EXPECT_FALSE(quiet.empty());
  EXPECT_TRUE(quiet.summaryLines().empty());
}

TEST(LenientReportTest, ManyNamesAreCutShort) {
  LenientReport report;
  for (int i = 0; i < 13; ++i) report.add(Item::ObjectKey, "K" + std::to_string(i), i);
  EXPECT_EQ(report.summaryLines(),
            Lines{"Kept: object keys K0 1, K1 1, K2 1, K3 1, K4 1, K5 1, K6 1, K7 1, K8 1, K9 1, "
                  "and 3 more"});
}

// Reports of consecutive parts of a map merge into the report of the whole.
TEST(LenientReportTest, MergeEqualsOneReportOverBothParts) {
  const struct {
    Item item;
    const char* name;
    int32_t line;
  } events[] = {
      {Item::HeaderKey, "MG", 2},   {Item::ObjectKey, "A", 10}, {Item::Section, "[WPT]", 20},
      {Item::ObjectKey, "B", 30},   {Item::ObjectKey, "A", 40}, {Item::CommentLine, "", 50},
      {Item::Section, "[WPT]", 60}, {Item::ObjectKey, "C", 70},
  };
  for (size_t split = 0; split <= std::size(events); ++split) {
    SCOPED_TRACE(split);
    LenientReport whole, first, second;
    for (size_t i = 0; i < std::size(events); ++i) {
      whole.add(events[i].item, events[i].name, events[i].line);
      (i < split ? first : second).add(events[i].item, events[i].name, events[i].line);
    }
    first.merge(second);
    ASSERT_EQ(first.entries().size(), whole.entries().size());
    for (size_t i = 0; i < whole.entries().size(); ++i) {
      EXPECT_EQ(first.entries()[i].item, whole.entries()[i].item);
      EXPECT_EQ(first.entries()[i].name, whole.entries()[i].name);
      EXPECT_EQ(first.entries()[i].count, whole.entries()[i].count);
      EXPECT_EQ(first.entries()[i].firstLine, whole.entries()[i].firstLine);
    }
    // The merged report keeps counting as one.
    first.add(Item::ObjectKey, "A", 99);
    EXPECT_EQ(first.entries()[1].count, 3u);
  }
}

}  // namespace
}  // namespace zarvex
