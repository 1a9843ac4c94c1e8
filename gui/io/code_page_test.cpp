#include "gui/io/code_page.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

namespace visual {
namespace {

std::string byte(int b) {
  return std::string(1, static_cast<char>(b));
}

TEST(CodePageTest, EveryAssignedByteOf1251RoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const std::string utf8 = toUtf8(byte(b), 1251);
    if (b == 0x98) {
      EXPECT_EQ(utf8, "\xEF\xBF\xBD");
      continue;
    }
    EXPECT_NE(utf8, "\xEF\xBF\xBD") << b;
    EXPECT_EQ(fromUtf8(utf8, 1251), byte(b)) << b;
  }
}

struct Mapping {
  int codePage;
  int byte;
  const char* utf8;
};

TEST(CodePageTest, BytesShowAsTheirCharacters) {
  const Mapping cases[] = {
      {1251, 0x41, "A"},
      {1251, 0xC0, "А"},
      {1251, 0xFF, "я"},
      {1251, 0xA8, "Ё"},
      {1251, 0xB9, "№"},
      {1251, 0x88, "€"},
      {1251, 0x80, "Ђ"},
      {866, 0x80, "А"},
      {866, 0xF1, "ё"},
      {1252, 0xE9, "é"},
      {1252, 0x80, "€"},
      // A code page the converter library does not know reads as Latin-1.
      {99999, 0xE9, "é"},
      {99999, 0x80, "\xC2\x80"},
  };
  for (const Mapping& c : cases) {
    EXPECT_EQ(toUtf8(byte(c.byte), c.codePage), c.utf8) << c.codePage << " " << c.byte;
    EXPECT_EQ(fromUtf8(c.utf8, c.codePage), byte(c.byte)) << c.codePage << " " << c.byte;
  }
}

TEST(CodePageTest, ConvertsWholeTexts) {
  EXPECT_EQ(toUtf8("\xCC\xEE\xF1\xF2 0x2f06", 1251), "Мост 0x2f06");
  EXPECT_EQ(fromUtf8("Мост 0x2f06", 1251), "\xCC\xEE\xF1\xF2 0x2f06");
  EXPECT_EQ(toUtf8("", 1251), "");
  EXPECT_EQ(toUtf8(std::string("a\0b", 3), 1251), std::string("a\0b", 3));
}

TEST(CodePageTest, WhatTheCodePageLacksBecomesAQuestionMark) {
  const std::pair<std::string, std::string> cases[] = {
      {"日本", "??"},
      {"a\xFF"
       "b",
       "a?b"},        // not UTF-8 at all
      {"\xD0", "?"},  // cut short
      {"\xD0"
       "a",
       "?a"},                   // continuation missing
      {"\xC0\x80", "??"},       // overlong NUL
      {"\xED\xA0\x80", "???"},  // surrogate
      {"\xEF\xBF\xBD", "?"},    // the replacement character itself
      {"é", "?"},               // Latin letter absent from 1251
  };
  for (const auto& [utf8, expected] : cases) {
    EXPECT_EQ(fromUtf8(utf8, 1251), expected) << utf8;
  }
}

TEST(CodePageTest, LowersCyrillicCapitalsOf1251) {
  for (int b = 0xC0; b <= 0xDF; ++b) {
    EXPECT_EQ(lowerCase(byte(b), 1251), byte(b + 0x20)) << b;
    EXPECT_EQ(lowerCase(byte(b + 0x20), 1251), byte(b + 0x20)) << b;
  }
  const std::pair<int, int> others[] = {
      {0xA8, 0xB8},  // Ё
      {0x80, 0x90},  // Ђ
      {0x81, 0x83},  // Ѓ
      {0x8A, 0x9A},  // Љ
      {0x8C, 0x9C},  // Њ
      {0x8D, 0x9D},  // Ќ
      {0x8E, 0x9E},  // Ћ
      {0x8F, 0x9F},  // Џ
      {0xA1, 0xA2},  // Ў
      {0xA3, 0xBC},  // Ј
      {0xA5, 0xB4},  // Ґ
      {0xAA, 0xBA},  // Є
      {0xAF, 0xBF},  // Ї
      {0xB2, 0xB3},  // І
      {0xBD, 0xBE},  // Ѕ
  };
  for (const auto& [upper, lower] : others) {
    EXPECT_EQ(lowerCase(byte(upper), 1251), byte(lower)) << upper;
  }
}

TEST(CodePageTest, LowersOnlyLetters) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += byte(b);
  const std::string lowered = lowerCase(all, 1251);
  ASSERT_EQ(lowered.size(), 256u);
  int changed = 0;
  for (int b = 0; b < 256; ++b) {
    if (lowered[static_cast<std::size_t>(b)] != all[static_cast<std::size_t>(b)]) ++changed;
  }
  // 26 ASCII capitals, 32 of А-Я and the 15 other Cyrillic capitals.
  EXPECT_EQ(changed, 26 + 32 + 15);
  EXPECT_EQ(lowerCase(".POLYLINE Type=0x2F06 [\xCC\xEE\xF1\xF2]", 1251),
            ".polyline type=0x2f06 [\xEC\xEE\xF1\xF2]");
}

TEST(CodePageTest, LowersLettersOfOtherCodePages) {
  EXPECT_EQ(lowerCase("\x80\x8F\x90\xF0", 866), "\xA0\xAF\xE0\xF1");  // А П Р Ё
  EXPECT_EQ(lowerCase("\xC0\xC9\xDE", 1252), "\xE0\xE9\xFE");         // À É Þ
  EXPECT_EQ(lowerCase("\xDF", 1252), "\xDF");                         // ß has no capital
}

#ifdef _WIN32
TEST(CodePageTest, ConsoleLineIsInTheOemCodePage) {
  const std::string line = "\"C:\\zarvex.exe\" -h \"C:\\maps\\town.txt\" \"a b.cfg\"";
  EXPECT_EQ(toConsole(line), line);
  const int ansi = static_cast<int>(::GetACP());
  const int oem = static_cast<int>(::GetOEMCP());
  ASSERT_NE(ansi, oem);
  int converted = 0;
  for (int b = 0x80; b < 0x100; ++b) {
    const std::string character = toUtf8(byte(b), ansi);
    const std::string inOem = fromUtf8(character, oem);
    if (character == "\xEF\xBF\xBD" || inOem == "?") continue;
    EXPECT_EQ(toConsole("x" + byte(b)), "x" + inOem) << b;
    ++converted;
  }
  // Both code pages of every Windows language share letters above ASCII.
  EXPECT_GT(converted, 30);
}
#else
TEST(CodePageTest, ConsoleLineKeepsTheBytesOnPosix) {
  const std::string line = "\"/opt/zarvex\" -h \"/карты/town.txt\" \"a b.cfg\" \"out.mp\"";
  EXPECT_EQ(toConsole(line), line);
}
#endif

}  // namespace
}  // namespace visual
