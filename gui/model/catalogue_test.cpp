#include "gui/model/catalogue.h"

#include <gtest/gtest.h>

namespace visual {
namespace {

TEST(Catalogue, LaterDefinitionReplacesName) {
  Catalogue catalogue;
  catalogue.define("0x01", 0, "first");
  catalogue.define("0x01", 1, "polygon");
  catalogue.define("0x01", 0, "second");
  ASSERT_EQ(catalogue.entries().size(), 2u);
  ASSERT_NE(catalogue.name("0x01", 0), nullptr);
  EXPECT_EQ(*catalogue.name("0x01", 0), "second");
  EXPECT_EQ(catalogue.name("0x01", 2), nullptr);
}

TEST(Catalogue, ChoicesOfOneKindSorted) {
  Catalogue catalogue;
  catalogue.define("0x2f06", 2, "bridge");
  catalogue.define("0x0100", 2, "city");
  catalogue.define("0x01", 0, "road");
  catalogue.define("0x0200", -1, "unmarked");
  EXPECT_EQ(catalogue.choices(2), (std::vector<std::string>{"0x0100:city", "0x2f06:bridge"}));
  EXPECT_EQ(catalogue.choices(1), std::vector<std::string>{});
}

}  // namespace
}  // namespace visual
