#include "gui/io/workspace.h"

#include <array>

#include "gui/io/generator.h"
#include "gui/io/replacing_file.h"
#include "gui/io/workspace_state.h"

namespace visual {

namespace {

constexpr const char* kOverwriteAll = "Переписать файлы?";
constexpr const char* kAllWritten = "Все файлы созданы";
constexpr const char* kShellFailed = "Батник не запустился, выполните вручную!";

// A converter kept in the ini that has gone (an old build, another machine) gives way to the one
// found at start-up.
const std::string& converterToRun(const std::string& kept, const std::string& found) {
  return fileExists(kept) || !fileExists(found) ? kept : found;
}

}  // namespace

void Workspace::setShellStarter(std::function<bool(const ConverterRun&)> start) {
  state_->shell = std::move(start);
}

void Workspace::generate() {
  State& s = *state_;
  s.progress(0, static_cast<int>(s.md.size()));
  const std::string base = withoutExtension(s.doc.FileName);
  const std::string& converter = converterToRun(s.fnZARVEX, s.defaultConverter);
  GenerationSettings settings{base + ".txt", base + ".cfg", base + ".bat", base + "_multilevel.mp",
                              converter,     s.cbRun,       s.cbTerminal};
  if (!s.ui.showGenerationDialog(settings)) {
    s.resetProgress();
    return;
  }
  s.fnZARVEX = settings.fnZARVEX;
  s.cbRun = settings.cbRun;
  s.cbTerminal = settings.cbTerminal;
  if (s.storeRule(State::Binding::Keep)) s.modified = true;
  s.md.sortByIdAndType();
  // The map may have been edited since it was opened.
  s.readMode.refresh(s.doc.FileName);
  const std::vector<CommandWord> command = converterCommand(
      settings.fnZARVEX, settings.fnTXT, settings.fnCFG, settings.fnNewMP, s.readMode.lenient());
  // All three are complete before any replaces its old file, so that a failure leaves the old
  // ones as they were.
  ReplacingFile header, script, batch;
  std::string error;
  bool written = header.open(settings.fnTXT) && writeHeader(s.doc, header, &error) &&
                 header.finish() && script.open(settings.fnCFG);
  if (written) {
    script.write(scriptText(s.doc, s.md, [&s](int pos) { s.progress(pos); }));
    written = script.finish() && batch.open(settings.fnBAT);
  }
  if (written) {
    batch.write(batchText(command));
    written = batch.finish() && header.commit() && script.commit() && batch.commit();
  }
  s.resetProgress();
  if (!written) {
    for (const ReplacingFile* file : {&header, &script, &batch})
      if (error.empty()) error = file->error();
    s.ui.showMessage(error);
    return;
  }
  if (!settings.cbRun) {
    s.ui.showMessage(kAllWritten);
    return;
  }
  // The old converted map goes only now, so that a failed run is not mistaken for its result.
  if (fileExists(settings.fnNewMP) && !deleteFile(settings.fnNewMP, &error)) {
    s.ui.showMessage(error);
    return;
  }
  if (!s.shell({settings.fnBAT, argumentVector(command), settings.cbTerminal}))
    s.ui.showMessage(std::string(kShellFailed) + "\n" + settings.fnBAT);
}

bool Workspace::confirmCreate(const GenerationSettings& settings) {
  State& s = *state_;
  if (!fileExists(settings.fnZARVEX)) {
    std::string text = kNoConverter;
    if (!settings.fnZARVEX.empty()) text += "\n" + settings.fnZARVEX + ": файл не найден";
    s.ui.showMessage(text);
    return false;
  }
  const std::array paths = {&settings.fnTXT, &settings.fnCFG, &settings.fnBAT, &settings.fnNewMP};
  const bool existing =
      std::any_of(paths.begin(), paths.end(), [](const std::string* p) { return fileExists(*p); });
  // Nothing is deleted here: generation replaces each file only once its new content is whole.
  return !existing || s.ui.askYesNo(kOverwriteAll);
}

PreviewInputs Workspace::previewInputs() {
  State& s = *state_;
  PreviewInputs inputs{s.doc, s.md, false, converterToRun(s.fnZARVEX, s.defaultConverter),
                       s.codePage};
  // The edits are applied to the copy only: looking at the map stores nothing.
  if (std::optional<RuleRecord> row = s.edited()) inputs.rules.put(std::move(*row));
  inputs.rules.sortByIdAndType();
  if (!s.doc.FileName.empty()) s.readMode.refresh(s.doc.FileName);
  inputs.lenient = s.readMode.lenient();
  return inputs;
}

}  // namespace visual
