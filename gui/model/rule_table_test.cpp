#include "gui/model/rule_table.h"

#include <gtest/gtest.h>

#include <string>

namespace visual {
namespace {

RuleRecord row(const std::string& id, int type, const std::string& name = "") {
  RuleRecord r;
  r.Id = id;
  r.Type = type;
  r.eName = name;
  return r;
}

TEST(RuleTable, KeyIsIdAndKindAndCaseSensitive) {
  RuleTable table;
  table.put(row("0x01", 0, "road"));
  table.put(row("0x01", 1, "lake"));
  table.put(row("0x2F06", 2, "upper"));
  ASSERT_NE(table.find("0x01", 0), nullptr);
  EXPECT_EQ(table.find("0x01", 0)->eName, "road");
  EXPECT_EQ(table.find("0x01", 1)->eName, "lake");
  EXPECT_EQ(table.find("0x01", 2), nullptr);
  EXPECT_EQ(table.find("0x2f06", 2), nullptr);
  EXPECT_NE(table.find("0x2F06", 2), nullptr);
}

TEST(RuleTable, PutReplacesInPlaceAndKeepsOrder) {
  RuleTable table;
  table.put(row("0x02", 0, "a"));
  table.put(row("0x01", 0, "b"));
  table.put(row("0x02", 0, "c"));
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table.rows()[0].eName, "c");
  EXPECT_EQ(table.rows()[1].Id, "0x01");
}

TEST(RuleTable, SortByIdThenTypeKeepsLookupsValid) {
  RuleTable table;
  for (const auto& [id, type] : std::initializer_list<std::pair<const char*, int>>{
           {"0x10", 2}, {"0x01", 1}, {"0x0A", 0}, {"0x01", 0}, {"0x0a", 0}})
    table.put(row(id, type, std::string(id) + std::to_string(type)));
  table.sortByIdAndType();
  std::string order;
  for (const auto& r : table.rows()) order += r.Id + "/" + std::to_string(r.Type) + " ";
  EXPECT_EQ(order, "0x01/0 0x01/1 0x0A/0 0x0a/0 0x10/2 ");
  for (const auto& r : table.rows()) {
    const RuleRecord* found = table.find(r.Id, r.Type);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->eName, r.Id + std::to_string(r.Type));
  }
}

TEST(RuleTable, ClearForgetsRows) {
  RuleTable table;
  table.put(row("0x01", 0));
  table.clear();
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(table.find("0x01", 0), nullptr);
}

}  // namespace
}  // namespace visual
