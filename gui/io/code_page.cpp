#include "gui/io/code_page.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "gui/io/code_page_system.h"

namespace visual {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The document code pages are single-byte, so each one is held as three 256-entry tables built
// once; conversions are then lookups and need no converter state.
struct CodePageTable {
  std::array<char32_t, 256> decode{};
  std::unordered_map<char32_t, unsigned char> encode;
  std::array<unsigned char, 256> lower{};
};

std::unique_ptr<CodePageTable> buildTable(int codePage) {
  auto table = std::make_unique<CodePageTable>();
  if (!decodeCodePage(codePage, &table->decode)) {
    // A code page that the system does not know is shown as Latin-1: every byte stays
    // visible and round-trips, though letters above 0x7F may show as the wrong characters.
    for (std::size_t b = 0; b < 256; ++b) table->decode[b] = static_cast<char32_t>(b);
  }
  for (std::size_t b = 0; b < 256; ++b) {
    if (table->decode[b] != kUnassigned) {
      table->encode.emplace(table->decode[b], static_cast<unsigned char>(b));
    }
  }
  for (std::size_t b = 0; b < 256; ++b) {
    unsigned char lowered = static_cast<unsigned char>(b);
    if (b >= 'A' && b <= 'Z') {
      lowered = static_cast<unsigned char>(b - 'A' + 'a');
    } else if (b >= 0x80 && table->decode[b] != kUnassigned) {
      const auto found = table->encode.find(lowerLetter(table->decode[b]));
      if (found != table->encode.end()) lowered = found->second;
    }
    table->lower[b] = lowered;
  }
  return table;
}

const CodePageTable& tableFor(int codePage) {
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<CodePageTable>> tables;
  const std::lock_guard<std::mutex> lock(mutex);
  std::unique_ptr<CodePageTable>& slot = tables[codePage];
  if (!slot) slot = buildTable(codePage);
  return *slot;
}

void appendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The character that starts at `*pos`, which moves past it; kUnassigned for a malformed
// sequence, of which only the first byte is consumed.
char32_t nextUtf8(std::string_view text, std::size_t* pos) {
  const auto lead = static_cast<unsigned char>(text[*pos]);
  std::size_t length = 0;
  char32_t c = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    ++*pos;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07, minimum = 0x10000;
  } else {
    ++*pos;
    return kUnassigned;
  }
  if (*pos + length > text.size()) {
    ++*pos;
    return kUnassigned;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[*pos + i]);
    if ((next & 0xC0) != 0x80) {
      ++*pos;
      return kUnassigned;
    }
    c = (c << 6) | (next & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++*pos;
    return kUnassigned;
  }
  *pos += length;
  return c;
}

}  // namespace

std::string toUtf8(std::string_view bytes, int codePage) {
  const CodePageTable& table = tableFor(codePage);
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char b : bytes) {
    const char32_t c = table.decode[static_cast<unsigned char>(b)];
    appendUtf8(c == kUnassigned ? kReplacement : c, &out);
  }
  return out;
}

std::string fromUtf8(std::string_view utf8, int codePage) {
  const CodePageTable& table = tableFor(codePage);
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t c = nextUtf8(utf8, &pos);
    const auto found = table.encode.find(c);
    out.push_back(found == table.encode.end() ? '?' : static_cast<char>(found->second));
  }
  return out;
}

std::string lowerCase(std::string_view bytes, int codePage) {
  const CodePageTable& table = tableFor(codePage);
  std::string out(bytes);
  for (char& b : out) b = static_cast<char>(table.lower[static_cast<unsigned char>(b)]);
  return out;
}

}  // namespace visual
