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
    std::fprintf(err, "%s: File not found.\n", path.c_str());
    return;
  }
  const std::string& mapId = settings.mapIdOrDefault();
  const std::string& mapName = settings.mapNameOrDefault();
  std::string copy;
  char chunk[16384];
  std::size_t count;
  while ((count = std::fread(chunk, 1, sizeof chunk, input.get())) > 0) {
    for (std::size_t k = 0; k < count; ++k) {
      if (chunk[k] == '%')
        copy += mapId;
      else if (chunk[k] == '$')
        copy += mapName;
      else
        copy += chunk[k];
    }
  }
  // A template that names a directory opens on Linux and fails only here, with EISDIR.
  if (std::ferror(input.get())) throw IOException(std::strerror(errno));
  copy += "\n\n";
  std::fwrite(copy.data(), 1, copy.size(), out);
}

}  // namespace zarvex
