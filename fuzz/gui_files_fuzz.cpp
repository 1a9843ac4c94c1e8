// The window program's readers over arbitrary files: the map scan, the type catalogue and the
// settings file. The first byte chooses the reader; the rest is the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui/io/catalogue_reader.h"
#include "gui/io/map_scan.h"
#include "gui/io/profile_file.h"
#include "gui/io/settings_file.h"
#include "gui/model/catalogue.h"
#include "gui/model/map_info.h"
#include "gui/model/rule_table.h"

namespace {

const std::string folder = [] {
  char pattern[] = "/tmp/visualzarvex-fuzz-XXXXXX";
  if (mkdtemp(pattern) == nullptr) std::abort();
  return std::string(pattern);
}();

std::string writeFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = folder + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choice = data[0] % 3;
  ++data;
  --size;
  std::string error;
  if (choice == 0) {
    const std::string path = writeFile("map.mp", data, size);
    visual::MapInfo document;
    visual::RuleTable rules;
    visual::Catalogue catalogue;
    visual::scanMap(path, document, rules, catalogue, {}, &error);
  } else if (choice == 1) {
    // Both a base file and a "-ru" file that may extend it: the file choice and .extends.
    writeFile("Type-F.dat", data, size);
    writeFile("Type-F-ru.dat", data, size);
    visual::Catalogue catalogue;
    visual::loadCatalogue(folder, "F", 1251, catalogue, &error);
  } else {
    const std::string path = writeFile("work.set", data, size);
    visual::ProfileFile profile;
    if (!profile.load(path, &error)) return 0;
    visual::MapInfo document;
    visual::readSettingsHeader(profile, document);
    const int count = visual::readRecordCount(profile);
    for (int n = 1; n <= count && n <= 10000; ++n) visual::readRecord(profile, n);
  }
  return 0;
}
