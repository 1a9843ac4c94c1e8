#include "converter/driver/header_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace zarvex {
namespace {

std::string expand(const std::string& text, const std::string& id, const std::string& name) {
  std::string result;
  for (char c : text) result += c == '%' ? id : c == '$' ? name : std::string(1, c);
  return result + "\n\n";
}

// Markers on either side of every piece boundary, at the very start and end, and templates
// that end exactly on a boundary.
TEST(HeaderWriterTest, MarkersAreReplacedWhereverThePiecesEnd) {
  const size_t piece = kHeaderPieceSize;
  std::vector<std::string> templates = {"", "%", "$", "%$%", "ID=%\r\nName=$\r\n", "no markers"};
  for (size_t length : {piece - 1, piece, piece + 1, 2 * piece, 3 * piece + 7}) {
    std::string text(length, 'x');
    for (size_t at : {size_t{0}, piece - 1, piece, 2 * piece - 1, 2 * piece, length - 1})
      if (at < length) text[at] = at % 2 == 0 ? '%' : '$';
    templates.push_back(text);
    templates.push_back(std::string(length, '%'));
  }
  std::string path = testing::TempDir() + "header-XXXXXX";
  const int fd = mkstemp(path.data());
  ASSERT_GE(fd, 0);
  close(fd);
  DriverSettings settings;
  settings.headerFile = path;
  settings.mapId = "12345678";
  settings.mapName = "Town $%";  // a replacement is not scanned again
  for (const std::string& text : templates) {
    SCOPED_TRACE("template of " + std::to_string(text.size()) + " bytes");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    writeHeader(settings, out, stderr);
    std::string written(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    ASSERT_EQ(std::fread(written.data(), 1, written.size(), out), written.size());
    std::fclose(out);
    std::string expected = expand(text, "12345678", "Town $%");
#ifdef _WIN32
    // The template is read as text there, which turns each CR LF into a line end of its own.
    for (std::size_t at; (at = expected.find("\r\n")) != std::string::npos;) expected.erase(at, 1);
#endif
    EXPECT_EQ(written, expected);
  }
  std::remove(path.c_str());
}

}  // namespace
}  // namespace zarvex
