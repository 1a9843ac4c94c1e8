#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/io/user_interface.h"
#include "gui/io/workspace.h"

namespace visual {

/// A scripted user for tests: answers are queued before the action, everything shown is
/// recorded. A question or dialog without a queued answer is recorded in `unexpected` (and
/// refused), so that each test framework checks it in its own way.
class FakeUserInterface final : public UserInterface {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<std::string> questions;
  std::deque<bool> yesNo;
  std::deque<Answer> yesNoCancel;
  std::deque<std::optional<std::string>> openFiles;
  std::vector<FileDialogSpec> openSpecs;
  std::deque<std::optional<std::string>> saveFiles;
  std::vector<std::string> proposedNames;
  std::deque<std::optional<std::string>> mapFiles;
  std::vector<std::pair<std::string, std::string>> mapDialogs;
  /// Runs the generation dialog; unset means the test did not expect one.
  std::function<bool(GenerationSettings&)> generationDialog;
  std::vector<GenerationSettings> generationShown;
  std::deque<std::optional<int>> picks;
  std::vector<int> pickedFrom;
  std::vector<std::pair<int, int>> progress;
  std::vector<std::string> statusPaths;
  std::vector<std::string> unexpected;

  void showMessage(const std::string& text) override { messages.push_back(text); }
  void showError(const std::string& text) override { errors.push_back(text); }
  bool askYesNo(const std::string& text) override {
    questions.push_back(text);
    return take(yesNo, false, text);
  }
  Answer askYesNoCancel(const std::string& text) override {
    questions.push_back(text);
    return take(yesNoCancel, Answer::Cancel, text);
  }
  std::optional<std::string> chooseOpenFile(const FileDialogSpec& dialog) override {
    openSpecs.push_back(dialog);
    return take(openFiles, std::optional<std::string>(), "open dialog");
  }
  std::optional<std::string> chooseSaveFile(const FileDialogSpec&,
                                            const std::string& proposedName) override {
    proposedNames.push_back(proposedName);
    return take(saveFiles, std::optional<std::string>(), "save dialog");
  }
  std::optional<std::string> chooseMapFile(const std::string& message,
                                           const std::string& fileField) override {
    mapDialogs.emplace_back(message, fileField);
    return take(mapFiles, std::optional<std::string>(), "map file dialog");
  }
  bool showGenerationDialog(GenerationSettings& settings) override {
    generationShown.push_back(settings);
    if (!generationDialog) {
      unexpected.push_back("generation dialog");
      return false;
    }
    return generationDialog(settings);
  }
  std::optional<int> pickLevel(int bits) override {
    pickedFrom.push_back(bits);
    return take(picks, std::optional<int>(), "level picker");
  }
  void progressChanged(int pos, int max) override { progress.emplace_back(pos, max); }
  void showStatusPath(const std::string& path) override { statusPaths.push_back(path); }

 private:
  template <typename T>
  T take(std::deque<T>& queue, T fallback, const std::string& what) {
    if (queue.empty()) {
      unexpected.push_back(what);
      return fallback;
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
  }
};

}  // namespace visual
