#include "gui/io/level_preview.h"

#include <filesystem>

#include "gui/io/file_system.h"
#include "gui/io/generator.h"
#include "gui/io/replacing_file.h"

namespace visual {

bool prepareLevelRun(const PreviewInputs& inputs, const std::string& folder, LevelRun& run,
                     std::string* error) {
  if (inputs.document.FileName.empty()) {
    if (error) *error = "Файл карты (*.mp) не загружен или перемещен!";
    return false;
  }
  // The converter runs in `folder` and reads the script's map name relative to it.
  MapInfo document = inputs.document;
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(document.FileName, ignored);
  if (!absolute.empty()) document.FileName = absolute.string();
  const std::string header = joinPath(folder, "preview.txt");
  const std::string script = joinPath(folder, "preview.cfg");
  run.output = joinPath(folder, "preview.mp");
  ReplacingFile headerFile, scriptFile;
  std::string failure;
  bool written = headerFile.open(header) && writeHeader(document, headerFile, &failure) &&
                 headerFile.commit() && scriptFile.open(script);
  if (written) {
    scriptFile.write(scriptText(document, inputs.rules, [](int) {}));
    written = scriptFile.commit();
  }
  if (!written) {
    if (failure.empty()) failure = headerFile.error();
    if (failure.empty()) failure = scriptFile.error();
    if (error) *error = failure;
    return false;
  }
  run.command = argumentVector(
      converterCommand(inputs.converter, header, script, run.output, inputs.lenient));
  return true;
}

}  // namespace visual
