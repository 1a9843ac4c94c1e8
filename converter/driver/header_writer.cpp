#include "converter/driver/header_writer.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "converter/driver/input_file.h"
#include "converter/tokenizer/errors.h"

namespace zarvex {

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

void writeHeader(const DriverSettings& settings, FILE* out, FILE* err) {
  const std::string& path = settings.headerPath();
  std::unique_ptr<FILE, FileCloser> input(openInput(path));
  if (!input) {
    if (errno != ENOENT) throw IOException(std::strerror(errno));
    std::fprintf(err, "%s: File not found.\n", path.c_str());
    return;
  }
  const std::string& mapId = settings.mapIdOrDefault();
  const std::string& mapName = settings.mapNameOrDefault();
  // Copied through in pieces, so that a template of any length, or an endless device, costs one
  // piece of memory; the markers are single bytes, so a piece boundary never splits one.
  char piece[kHeaderPieceSize];
  std::size_t count;
  while ((count = std::fread(piece, 1, sizeof piece, input.get())) > 0) {
    const char* const end = piece + count;
    const char* run = piece;
    for (const char* p = piece; p != end; ++p) {
      if (*p != '%' && *p != '$') continue;
      std::fwrite(run, 1, static_cast<std::size_t>(p - run), out);
      const std::string& value = *p == '%' ? mapId : mapName;
      std::fwrite(value.data(), 1, value.size(), out);
      run = p + 1;
    }
    std::fwrite(run, 1, static_cast<std::size_t>(end - run), out);
    // The driver reports the failed output; an endless template would never end otherwise.
    if (std::ferror(out)) return;
  }
  // A template that names a directory opens on Linux and fails only here, with EISDIR.
  if (std::ferror(input.get())) throw IOException(std::strerror(errno));
  std::fputs("\n\n", out);
}

}  // namespace zarvex
