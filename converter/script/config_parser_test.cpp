#include "converter/script/config_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converter/script/script_test_support.h"

namespace zarvex {
namespace {

using scripttest::inFile;
using scripttest::parseScript;
using scripttest::runScript;
using scripttest::scriptError;

struct ErrorCase {
  const char* script;
  const char* message;
  int32_t line;
};

class ScriptErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ScriptErrorTest, RaisesMessageAtLine) {
  const ErrorCase& c = GetParam();
  const auto error = scriptError(c.script);
  ASSERT_TRUE(error) << c.script;
  EXPECT_EQ(error->message, c.message) << c.script;
  EXPECT_EQ(error->line, c.line) << c.script;
}

// Each script puts the offending token on a line of its own where that tells something.
const ErrorCase kErrorCases[] = {
    {"file \"a\" { }\n;", "Expected 'file'", 1},
    {"// header\nfiles \"a\" { }", "Expected 'file'", 1},
    {"file \"a\" { }\n\"b\"", "Expected 'file'", 1},
    {"\n\nfile\n{ }", "Expected file name", 3},
    {"file a { }", "Expected file name", 0},
    {"file \"a\"\nexport", "Expected '{'", 1},
    {"file \"a\" {\ncase export\n=true { } }", "Expected '{'", 2},
    {"file \"a\" {\ncase true export = false; }", "Expected '{'", 1},
    {"file \"a\" {\n5 }", "Expected variable name or '}'", 1},
    {"file \"a\" {\n\"label\" = \"x\"; }", "Expected variable name or '}'", 1},
    {"file \"a\" {\n; }", "Expected variable name or '}'", 1},
    {"file \"a\" {\ncase true { }\n; }", "Expected variable name or '}'", 2},
    {"file \"a\" {\nexport = true;\n", "Expected variable name or '}'", 2},
    {"file \"a\" {\nlabel = \"a\" \"b\"; }", "Expected ';'", 1},
    {"file \"a\" {\ntype = 0X2F06; }", "Expected ';'", 1},
    {"file \"a\" {\nexport = true\n}", "Expected ';'", 2},
    {"file \"a\" {\nexport += true; }", "Expected '='", 1},
    {"file \"a\" {\nkind\n: point; }", "Expected '='", 2},
    {"file \"a\" {\nlayer_max - 1; }", "Expected '=' or '+='", 1},
    {"file \"a\" {\nlabel : \"x\"; }", "Expected '=' or '+='", 1},
    {"file \"a\" {\nintattr \"n\" -= 1; }", "Expected '=' or '+='", 1},
    {"file \"a\" {\ntype + 1; }", "Expected '+='", 1},
    {"file \"a\" {\nlabel +\n\"x\"; }", "Expected '+='", 2},
    {"file \"a\" {\ncase Colour = 1 { } }", "Unknown variable: colour", 1},
    {"file \"a\" {\narea = 1; }", "Unknown variable: area", 1},
    {"file \"a\" {\nkinds = point; }", "Unknown variable: kinds", 1},
    {"file \"a\" {\ntype = colour; }", "Unknown variable: colour", 1},
    {"file \"a\" {\nlabel = colour; }", "Unknown variable: colour", 1},
    {"file \"a\" {\nlabel = area; }", "Unknown variable: area", 1},
    {"file \"a\" {\nattr RoadID = \"1\"; }", "Attr name expected", 1},
    {"file \"a\" {\nintattr\n5 = 1; }", "Attr name expected", 2},
    {"file \"a\" {\ncase attr = \"x\" { } }", "Attr name expected", 1},
    {"file \"a\" {\ncase 5=type { } }", "Boolean expression expected", 1},
    {"file \"a\" {\ncase !\n\"x\" { } }", "Boolean expression expected", 2},
    {"file \"a\" {\nexport = \"yes\"; }", "Boolean expression expected", 1},
    {"file \"a\" {\ncase type ! 5 { } }", "Expect !=", 1},
    {"file \"a\" {\ncase label !\n< \"x\" { } }", "Expect !=", 2},
    {"file \"a\" {\ncase kind ! point { } }", "Expect !=", 1},
    {"file \"a\" {\ncase layer_max + 3 { } }", "Expect =, !=, >, <, >=, <=", 1},
    {"file \"a\" {\ncase area { } }", "Expect =, !=, >, <, >=, <=", 1},
    {"file \"a\" {\ncase label < \"x\" { } }", "Expected = or !=", 1},
    {"file \"a\" {\ncase kind > point { } }", "Expected = or !=", 1},
    {"file \"a\" {\ncase layer_max => 3 { } }", "Integer expression expected", 1},
    {"file \"a\" {\ncase layer_max == 3 { } }", "Integer expression expected", 1},
    {"file \"a\" {\nlayer_max = - 1; }", "Integer expression expected", 1},
    {"file \"a\" {\ntype = \"x\"; }", "Integer expression expected", 1},
    {"file \"a\" {\nlabel = 5; }", "String expression expected", 1},
    {"file \"a\" {\ncase label != ; }", "String expression expected", 1},
    {"file \"a\" {\nkind = 5; }", "Kind expression expected", 1},
    {"file \"a\" {\ncase kind = \"point\" { } }", "Kind expression expected", 1},
    {"file \"a\" {\ncase kind = town { } }",
     "Type constant expected (point, line, polygon or restriction)", 1},
    {"file \"a\" {\nkind = kind; }", "Type constant expected (point, line, polygon or restriction)",
     1},
};

INSTANTIATE_TEST_SUITE_P(Messages, ScriptErrorTest, ::testing::ValuesIn(kErrorCases));

TEST(ConfigParserTest, EmptyScriptOrCommentsOnlyGiveNoEntries) {
  EXPECT_EQ(parseScript(""), nullptr);
  EXPECT_EQ(parseScript("// nothing\n/* at\nall */\n"), nullptr);
}

TEST(ConfigParserTest, EntriesAreLinkedFrontFirst) {
  const auto entries = parseScript("file \"A\" { }\nfile \"B\" { export = false; }\n");
  ASSERT_NE(entries, nullptr);
  EXPECT_EQ(entries->fileName, "B");
  ASSERT_NE(entries->next, nullptr);
  EXPECT_EQ(entries->next->fileName, "A");
  EXPECT_EQ(entries->next->next, nullptr);
  EXPECT_NE(entries->block.first, nullptr);
  EXPECT_EQ(entries->next->block.first, nullptr);
}

TEST(ConfigParserTest, FileNameKeepsCaseAndLosesEscapes) {
  const auto entries = parseScript("FILE \"C:\\\\Maps\\\\Town.MP\" { }");
  ASSERT_NE(entries, nullptr);
  EXPECT_EQ(entries->fileName, "C:\\Maps\\Town.MP");
}

TEST(ConfigParserTest, FailedFileStatementLinksNoEntry) {
  std::unique_ptr<ObjectConfImpl> entries;
  scripttest::ScriptFile file("file \"A\" { }\nfile \"B\" { export = 1; }");
  Tokenizer tokenizer(file.get());
  tokenizer.setScriptProfile();
  ConfigParserImpl parser(tokenizer, entries);
  EXPECT_TRUE(parser.parseFileStatement());
  EXPECT_THROW(parser.parseFileStatement(), ParserException);
  ASSERT_NE(entries, nullptr);
  EXPECT_EQ(entries->fileName, "A");
  EXPECT_EQ(entries->next, nullptr);
}

TEST(ConfigParserTest, WordsAreCaseInsensitive) {
  MapObject object;
  object.type = 0x2f;
  const auto a = runScript(
      "FILE \"m\" { EXPORT = False; Label = \"Kept\"; CASE TYPE = 0x2F { "
      "Layer_Max = 3; } }",
      object);
  EXPECT_FALSE(a.exportObject);
  EXPECT_EQ(a.label, "Kept");
  EXPECT_EQ(a.layerMax, 3);
}

TEST(ConfigParserTest, HexNeedsLowerCaseX) {
  MapObject object;
  object.type = 0x2f06;
  EXPECT_EQ(runScript(inFile("case type=0x2F06 { label = \"hit\"; }"), object).label, "hit");
  EXPECT_EQ(runScript(inFile("type = 0x2F07;"), object).type, 0x2f07);
}

TEST(ConfigParserTest, NegativeNumberNeedsNoBlankAfterMinus) {
  MapObject object;
  object.endLevel = 4;
  EXPECT_EQ(runScript(inFile("layer_max = -1;"), object).layerMax, -1);
}

struct KindCase {
  const char* word;
  ObjectKind kind;
};

TEST(ConfigParserTest, AllNineKindConstantsAssignAndCompare) {
  const KindCase cases[] = {
      {"point", ObjectKind::Point},         {"Line", ObjectKind::Line},
      {"POLYGON", ObjectKind::Polygon},     {"Restriction", ObjectKind::Restriction},
      {"Countries", ObjectKind::Countries}, {"regions", ObjectKind::Regions},
      {"districts", ObjectKind::Districts}, {"cities", ObjectKind::Cities},
      {"zipcodes", ObjectKind::ZipCodes},
  };
  for (const KindCase& c : cases) {
    const std::string word = c.word;
    MapObject object;
    EXPECT_EQ(runScript(inFile("kind = " + word + ";"), object).kind, c.kind) << word;
    object.kind = c.kind;
    const auto a =
        runScript(inFile("case kind = " + word + " { label = \"eq\"; } case kind != " + word +
                         " { export = false; }"),
                  object);
    EXPECT_EQ(a.label, "eq") << word;
    EXPECT_TRUE(a.exportObject) << word;
  }
}

TEST(ConfigParserTest, PointLineAndPolygonAreIntegerVariablesOutsideKind) {
  MapObject object;
  const auto a = runScript(inFile("type = -1; point = 0x2f; line = 5; polygon = line;"), object);
  EXPECT_EQ(a.pointType, 0x2f);
  EXPECT_EQ(a.lineType, 5);
  EXPECT_EQ(a.polygonType, 5);
}

struct CompareCase {
  const char* op;
  bool below, equal, above;
};

TEST(ConfigParserTest, IntegerComparisons) {
  const CompareCase cases[] = {
      {"=", false, true, false}, {"!=", true, false, true}, {"! =", true, false, true},
      {"<", true, false, false}, {"<=", true, true, false}, {"< =", true, true, false},
      {">", false, false, true}, {">=", false, true, true}, {"> =", false, true, true},
  };
  for (const CompareCase& c : cases) {
    const std::string script =
        inFile(std::string("case layer_max ") + c.op + "3 { label = \"y\"; }");
    const bool expected[] = {c.below, c.equal, c.above};
    for (int32_t level = 2; level <= 4; ++level) {
      MapObject object;
      object.endLevel = level;
      EXPECT_EQ(runScript(script, object).label == "y", expected[level - 2])
          << c.op << " with layer_max " << level;
    }
  }
}

TEST(ConfigParserTest, ComparisonsAreSigned) {
  MapObject object;
  object.type = -1;
  EXPECT_EQ(runScript(inFile("case type < 0 { label = \"neg\"; }"), object).label, "neg");
}

TEST(ConfigParserTest, AssignedConditions) {
  MapObject object;
  object.type = 0x2f;
  object.city = TriState::True;
  const auto a =
      runScript(inFile("export = type = 0x2f; index = !city; direction = true;"), object);
  EXPECT_TRUE(a.exportObject);
  EXPECT_FALSE(a.index);
  EXPECT_TRUE(a.direction);
  object.type = 0x30;
  EXPECT_FALSE(runScript(inFile("export = type = 0x2f;"), object).exportObject);
}

// The shape the window program generates: one case per type code, one per kind inside it.
constexpr const char* kGeneratedScript = R"(file "C:\\maps\\town.mp"
 {
  export=false;
  case type=0x01
   {
    case kind=line  // road
     {
      export=true;
      layer_min=1;
      layer_max=4;
      case label=""
       {
        label="Unnamed";
       }
      label+=" st";
     }
    case kind=polygon  // yard
     {
      export=true;
      case area>5
       {
        layer_min=0;
        layer_max=1;
        kind=line;
       }
     }
   }
  case kind=Restriction { export=true; }
  case kind=Countries { export=true; }
 }
)";

TEST(ConfigParserTest, GeneratedScriptShape) {
  const auto entries = parseScript(kGeneratedScript);
  ASSERT_NE(entries, nullptr);
  EXPECT_EQ(entries->fileName, "C:\\maps\\town.mp");
  EXPECT_EQ(entries->next, nullptr);

  const auto run = [&](ObjectKind kind, int32_t type, const std::string& label) {
    MapObject object;
    object.kind = kind;
    object.type = type;
    object.label = label;
    ObjectAttributes attributes;
    scripttest::applyEntry(*entries, object, attributes);
    return attributes;
  };
  auto a = run(ObjectKind::Line, 1, "");
  EXPECT_TRUE(a.exportObject);
  EXPECT_EQ(a.layerMin, 1);
  EXPECT_EQ(a.layerMax, 4);
  EXPECT_EQ(a.label, "Unnamed st");
  EXPECT_EQ(run(ObjectKind::Line, 1, "Main").label, "Main st");
  EXPECT_FALSE(run(ObjectKind::Line, 2, "").exportObject);
  a = run(ObjectKind::Polygon, 1, "");
  EXPECT_TRUE(a.exportObject);
  EXPECT_EQ(a.kind, ObjectKind::Polygon);
  EXPECT_TRUE(run(ObjectKind::Restriction, 0, "").exportObject);
  EXPECT_TRUE(run(ObjectKind::Countries, 0, "").exportObject);
  EXPECT_FALSE(run(ObjectKind::Regions, 0, "").exportObject);
}

std::string nestedCases(int32_t depth) {
  std::string script = "file \"m\" {\n";
  for (int32_t i = 0; i < depth; ++i) script += "case true {\n";
  script += "label = \"deep\";\n";
  for (int32_t i = 0; i < depth; ++i) script += "}\n";
  return script + "}\n";
}

std::string negations(int32_t count) {
  std::string script = "file \"m\" {\ncase ";
  for (int32_t i = 0; i < count; ++i) script += "!\n";
  return script + "false { label = \"odd\"; }\n}\n";
}

TEST(ConfigParserTest, CaseNestingIsBoundedAt1000) {
  EXPECT_EQ(runScript(nestedCases(ConfigParserImpl::MaxNesting), MapObject()).label, "deep");
  const auto error = scriptError(nestedCases(ConfigParserImpl::MaxNesting + 1));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message, "Nesting too deep");
  EXPECT_EQ(error->line, 1001);
  EXPECT_FALSE(scriptError(nestedCases(ConfigParserImpl::MaxNesting) + nestedCases(500)));
}

TEST(ConfigParserTest, NegationRunIsBoundedAt1000) {
  EXPECT_EQ(runScript(negations(1000), MapObject()).label, "");
  EXPECT_EQ(runScript(negations(999), MapObject()).label, "odd");
  const auto error = scriptError(negations(1001));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message, "Nesting too deep");
  EXPECT_EQ(error->line, 1001);
}

TEST(ConfigParserTest, HostileNestingFailsCleanly) {
  std::string deep;
  for (int32_t i = 0; i < 200000; ++i) deep += "case !true { ";
  const auto cases = scriptError("file \"m\" { " + deep);
  ASSERT_TRUE(cases);
  EXPECT_EQ(cases->message, "Nesting too deep");
  const auto nots = scriptError("file \"m\" { export = " + std::string(200000, '!') + "true; }");
  ASSERT_TRUE(nots);
  EXPECT_EQ(nots->message, "Nesting too deep");
}

// A parser that adds names through the extension points, as a derived language would.
class ExtendedParser final : public ConfigParserImpl {
 public:
  using ConfigParserImpl::ConfigParserImpl;

  std::unique_ptr<SetVar> makeSetVar(const std::string& name) override {
    if (name == "even") return std::make_unique<EvenSet>();
    return nullptr;
  }
  std::unique_ptr<StringExpr> makeStringRVar(const std::string& name) override {
    if (name == "source") return std::make_unique<SourceName>();
    return nullptr;
  }
  void beginFile(ObjectConfImpl& entry) override { begun.push_back(entry.fileName); }

  static inline std::vector<std::string> begun;

 private:
  class EvenSet final : public SetVar {
   public:
    bool contains(const MapObject&, int32_t value) const override { return value % 2 == 0; }
  };
  class SourceName final : public StringExpr {
   public:
    std::string get(const MapObject& object, const ObjectAttributes&) const override {
      return object.locFileName();
    }
  };
};

TEST(ConfigParserTest, ExtensionPointsAddSetAndStringNames) {
  ExtendedParser::begun.clear();
  const auto entries = parseScript<ExtendedParser>(
      "file \"one\" { }\n"
      "file \"two\" { case even = type { label = \"even\"; } case even != type { label = "
      "\"odd\"; } case source = \"x.mp\" { text = source; } }");
  EXPECT_EQ(ExtendedParser::begun, (std::vector<std::string>{"one", "two"}));
  ASSERT_NE(entries, nullptr);
  MapObject object;
  object.locFile = std::make_shared<const std::string>("x.mp");
  for (const auto& [type, label] : {std::pair{4, "even"}, std::pair{7, "odd"}}) {
    object.type = type;
    ObjectAttributes attributes;
    scripttest::applyEntry(*entries, object, attributes);
    EXPECT_EQ(attributes.label, label);
    EXPECT_EQ(attributes.text, "x.mp");
  }
  // Read-only names stay read-only, and set variables take the string operators' messages.
  EXPECT_THROW(parseScript<ExtendedParser>("file \"a\" { source = \"y\"; }"), ParserException);
  try {
    parseScript<ExtendedParser>("file \"a\" { case even < 2 { } }");
    FAIL() << "no error";
  } catch (const ParserException& e) {
    EXPECT_EQ(e.message, "Expected = or !=");
  }
}

}  // namespace
}  // namespace zarvex
