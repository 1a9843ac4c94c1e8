#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/io/user_interface.h"
#include "gui/io/workspace.h"

namespace visual {

/// Answers the logic's questions and dialogs from queues filled by a test, and records what it
/// was shown. A call with an empty queue is recorded in `unexpected` and answered with a refusal.
class ScriptedUserInterface final : public UserInterface {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<std::string> unexpected;
  std::vector<int> pickedFor;
  std::vector<std::string> proposedNames;
  std::string statusPath;
  int progressCalls = 0;

  std::deque<bool> yesNo;
  std::deque<Answer> yesNoCancel;
  std::deque<std::optional<std::string>> openFiles;
  std::deque<std::optional<std::string>> saveFiles;
  std::deque<std::optional<std::string>> mapFiles;
  std::deque<std::optional<int>> levels;
  /// Plays the generation dialog: edits the settings, returns whether it closed with OK.
  std::function<bool(GenerationSettings&)> generation;

  void showMessage(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string& text) override {
    questions.push_back(text);
    return take(yesNo, false, "askYesNo " + text);
  }
  Answer askYesNoCancel(const std::string& text) override {
    questions.push_back(text);
    return take(yesNoCancel, Answer::Cancel, "askYesNoCancel " + text);
  }
  std::optional<std::string> chooseOpenFile(const FileDialogSpec& request) override {
    return take(openFiles, std::optional<std::string>(), "chooseOpenFile " + request.title);
  }
  std::optional<std::string> chooseSaveFile(const FileDialogSpec& request,
                                            const std::string& proposedName) override {
    proposedNames.push_back(proposedName);
    return take(saveFiles, std::optional<std::string>(), "chooseSaveFile " + request.title);
  }
  std::optional<std::string> chooseMapFile(const std::string& message,
                                           const std::string&) override {
    return take(mapFiles, std::optional<std::string>(), "chooseMapFile " + message);
  }
  bool showGenerationDialog(GenerationSettings& settings) override {
    if (!generation) {
      unexpected.push_back("showGenerationDialog");
      return false;
    }
    return generation(settings);
  }
  std::optional<int> pickLevel(int bits) override {
    pickedFor.push_back(bits);
    return take(levels, std::optional<int>(), "pickLevel");
  }
  void progressChanged(int, int) override { ++progressCalls; }
  void showStatusPath(const std::string& path) override { statusPath = path; }

 private:
  template <typename T>
  T take(std::deque<T>& queue, T refusal, const std::string& call) {
    if (queue.empty()) {
      unexpected.push_back(call);
      return refusal;
    }
    T answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace visual
