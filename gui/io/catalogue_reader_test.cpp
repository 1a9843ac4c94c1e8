#include "gui/io/catalogue_reader.h"

#include <gtest/gtest.h>

#include "gui/io/file_system.h"
#include "gui/io/test_support.h"

namespace visual {
namespace {

std::string nameOf(const Catalogue& catalogue, const std::string& id, int type) {
  const std::string* name = catalogue.name(id, type);
  return name ? *name : "<none>";
}

TEST(CatalogueReader, CheckLooksForTypeFiles) {
  TempFolder folder;
  EXPECT_FALSE(hasTypeFiles(folder.path()));
  EXPECT_FALSE(hasTypeFiles(""));
  folder.write("TYPE-any.DAT", "");
  EXPECT_TRUE(hasTypeFiles(folder.path()));
}

TEST(CatalogueReader, KindMarkersPaddingSeparatorsAndLowerCase) {
  TempFolder folder;
  folder.write("Type-X.dat",
               "; comment 0x99 ignored\r\n"
               "0x0700 Before any marker\r\n"
               "[.Point]\r\n"
               "0x2F06 Bridge\r\n"
               "0x1\tTabbed   Name\r\n"
               "0x0100\r\n"
               ".polyline\r\n"
               "0x1 Major Road\r\n"
               "   0x16  Trail\r\n"
               ".polygon\n"
               "0x1 City\n"
               "no type here\n"
               "0x4C Lake\n"
               "0x4c Water\n");
  Catalogue catalogue;
  std::string error;
  ASSERT_TRUE(loadCatalogue(folder.path(), "X", 1251, catalogue, &error)) << error;
  EXPECT_EQ(nameOf(catalogue, "0x0700", -1), "before any marker");
  EXPECT_EQ(nameOf(catalogue, "0x2f06", 2), "bridge");
  EXPECT_EQ(nameOf(catalogue, "0x0001", 2), "tabbed   name");
  EXPECT_EQ(nameOf(catalogue, "0x0100", 2), "");
  EXPECT_EQ(nameOf(catalogue, "0x01", 0), "major road");
  EXPECT_EQ(nameOf(catalogue, "0x16", 0), "trail");
  EXPECT_EQ(nameOf(catalogue, "0x01", 1), "city");
  EXPECT_EQ(nameOf(catalogue, "0x4c", 1), "water");
  EXPECT_EQ(catalogue.entries().size(), 8u);
}

TEST(CatalogueReader, CyrillicNamesLowerCasedWithTheCodePage) {
  TempFolder folder;
  // "МОСТ" in code page 1251.
  folder.write("Type-R.dat", ".point\n0x2f06 \xCC\xCE\xD1\xD2\n");
  Catalogue catalogue;
  ASSERT_TRUE(loadCatalogue(folder.path(), "R", 1251, catalogue, nullptr));
  EXPECT_EQ(nameOf(catalogue, "0x2f06", 2), "\xEC\xEE\xF1\xF2");
}

TEST(CatalogueReader, FileChoiceAndExtends) {
  TempFolder folder;
  folder.write("Type-X.dat", ".point\n0x0100 Base City\n0x0200 Base Town\n");
  folder.write("Type-X-ru.dat", ".extends x\n.point\n0x0100 Gorod\n0x0300 Derevnya\n");
  folder.write("Type-Y.dat", ".point\n0x0100 Y City\n");
  Catalogue catalogue;
  std::string error;
  // The "-ru" file wins, and extending its own base reads Type-X.dat, not itself.
  ASSERT_TRUE(loadCatalogue(folder.path(), "X", 1251, catalogue, &error)) << error;
  EXPECT_EQ(nameOf(catalogue, "0x0100", 2), "gorod");
  EXPECT_EQ(nameOf(catalogue, "0x0200", 2), "base town");
  EXPECT_EQ(nameOf(catalogue, "0x0300", 2), "derevnya");

  // The empty type set matches every type file; the last "-ru" one is read.
  ASSERT_TRUE(loadCatalogue(folder.path(), "", 1251, catalogue, &error)) << error;
  EXPECT_EQ(nameOf(catalogue, "0x0100", 2), "gorod");

  ASSERT_TRUE(loadCatalogue(folder.path(), "Y", 1251, catalogue, &error));
  EXPECT_EQ(nameOf(catalogue, "0x0100", 2), "y city");
  EXPECT_EQ(nameOf(catalogue, "0x0200", 2), "<none>");
}

TEST(CatalogueReader, ExtendsLateEmptiesAndSelfOnlyIsSkipped) {
  TempFolder folder;
  folder.write("Type-A.dat", ".point\n0x0100 Lost\n.extends b\n0x0200 Kept\n");
  folder.write("Type-B.dat", ".polyline\n0x01 Road\n");
  folder.write("Type-S.dat", ".point\n0x0100 Self\n.extends s\n0x0200 Also\n");
  Catalogue catalogue;
  ASSERT_TRUE(loadCatalogue(folder.path(), "A", 1251, catalogue, nullptr));
  EXPECT_EQ(nameOf(catalogue, "0x0100", 2), "<none>");
  EXPECT_EQ(nameOf(catalogue, "0x01", 0), "road");
  // The extended file's kind marker does not carry back: 0x0200 is still a point.
  EXPECT_EQ(nameOf(catalogue, "0x0200", 2), "kept");

  ASSERT_TRUE(loadCatalogue(folder.path(), "S", 1251, catalogue, nullptr));
  EXPECT_EQ(nameOf(catalogue, "0x0100", 2), "self");
  EXPECT_EQ(nameOf(catalogue, "0x0200", 2), "also");
}

TEST(CatalogueReader, EachFileOfALongChainIsReadOnce) {
  // Every file names the next three times: read again for each line, the 20 files would be
  // read 3^19 times. Each file keeps only what follows its last ".extends".
  TempFolder folder;
  constexpr int kFiles = 20;
  for (int i = 0; i < kFiles; ++i) {
    const std::string n = std::to_string(i);
    std::string text = ".point\n0x" + std::to_string(1000 + i) + " lost " + n + "\n";
    if (i + 1 < kFiles)
      for (int line = 0; line < 3; ++line) text += ".extends c" + std::to_string(i + 1) + "\n";
    text += "0x0100 name " + n + "\n0x" + std::to_string(2000 + i) + " own " + n + "\n";
    folder.write("Type-C" + n + ".dat", text);
  }
  Catalogue catalogue;
  std::string error;
  ASSERT_TRUE(loadCatalogue(folder.path(), "C0", 1251, catalogue, &error)) << error;
  EXPECT_EQ(catalogue.entries().size(), kFiles + 2u);
  EXPECT_EQ(nameOf(catalogue, "0x0100", 2), "name 0");
  EXPECT_EQ(nameOf(catalogue, "0x2019", 2), "own 19");
  EXPECT_EQ(nameOf(catalogue, "0x1019", 2), "lost 19");  // the last file extends none
  EXPECT_EQ(nameOf(catalogue, "0x1000", 2), "<none>");
}

TEST(CatalogueReader, AHugeTypeFileIsRefusedNamingIt) {
  TempFolder folder;
  const std::string base = folder.write("Type-Base.dat", ".point\n0x0100 City\n");
  folder.write("Type-Top.dat", ".extends base\n.point\n0x0200 Town\n");
  std::filesystem::resize_file(base, kMaxTextFileBytes + 1);
  Catalogue catalogue;
  catalogue.define("0x01", 0, "old");
  std::string error;
  EXPECT_FALSE(loadCatalogue(folder.path(), "Top", 1251, catalogue, &error));
  EXPECT_EQ(error, base + ": файл больше 64 МиБ");
  EXPECT_TRUE(catalogue.entries().empty());
}

TEST(CatalogueReader, NoMatchingFileFailsAndEmpties) {
  TempFolder folder;
  folder.write("Type-X.dat", ".point\n0x0100 City\n");
  Catalogue catalogue;
  catalogue.define("0x01", 0, "old");
  std::string error;
  EXPECT_FALSE(loadCatalogue(folder.path(), "Russa", 1251, catalogue, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(catalogue.entries().empty());
}

}  // namespace
}  // namespace visual

#include <filesystem>

#include "gui/io/map_scan.h"

namespace visual {
namespace {

// The sample type files name every type of the example map, in both variants.
TEST(SampleTypeFiles, NameEveryTypeOfTheExampleMap) {
  const std::string types = sourceDir() + "/examples/types";
  const std::string town = sourceDir() + "/examples/town.mp";
  if (!std::filesystem::exists(town)) GTEST_SKIP() << "example map not present";
  Catalogue russian;
  std::string error;
  ASSERT_TRUE(loadCatalogue(types, "Sample", 1251, russian, &error)) << error;
  ASSERT_TRUE(hasTypeFiles(types));
  TempFolder baseOnly;
  baseOnly.write("Type-Sample.dat", readFile(types + "/Type-Sample.dat"));
  Catalogue english;
  ASSERT_TRUE(loadCatalogue(baseOnly.path(), "Sample", 1251, english, &error)) << error;
  EXPECT_EQ(russian.entries().size(), english.entries().size());
  MapInfo doc;
  RuleTable rules;
  ASSERT_TRUE(scanMap(town, doc, rules, russian, {}, &error)) << error;
  ASSERT_FALSE(rules.rows().empty());
  for (const RuleRecord& row : rules.rows()) {
    EXPECT_FALSE(row.eName.empty()) << row.Id << " kind " << row.Type;
    EXPECT_NE(english.name(row.Id, row.Type), nullptr) << row.Id << " kind " << row.Type;
  }
  // "Мост" in code page 1251, lower-cased.
  ASSERT_NE(russian.name("0x6401", 2), nullptr);
  EXPECT_EQ(*russian.name("0x6401", 2), "\xEC\xEE\xF1\xF2");
}

}  // namespace
}  // namespace visual
