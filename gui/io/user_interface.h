#pragma once

#include <optional>
#include <string>

namespace visual {

struct GenerationSettings;

/// A file dialog: title, filter in the form "Description|*.ext|Other|*.*", default extension.
struct FileDialogSpec {
  std::string title;
  std::string filter;
  std::string defaultExtension;
};

/// Everything the logic asks or tells the user goes through here, so that tests drive every path
/// with a scripted fake and the windows only show what they are given. Texts are UTF-8.
class UserInterface {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~UserInterface() = default;

  /// A message box with an OK button.
  virtual void showMessage(const std::string& text) = 0;
  /// A message box about a failure; by default an ordinary one.
  virtual void showError(const std::string& text) { showMessage(text); }
  /// A question with the answers Yes and No; true for Yes.
  virtual bool askYesNo(const std::string& text) = 0;
  /// A question with the answers Yes, No and Cancel.
  virtual Answer askYesNoCancel(const std::string& text) = 0;
  /// An open dialog for an existing file; nothing when cancelled.
  virtual std::optional<std::string> chooseOpenFile(const FileDialogSpec& dialog) = 0;
  /// A save dialog proposing `proposedName`; nothing when cancelled.
  virtual std::optional<std::string> chooseSaveFile(const FileDialogSpec& dialog,
                                                    const std::string& proposedName) = 0;
  /// The map file dialog ("Выберите файл карты") with its message and file field preset;
  /// the file field's text on "Ok", nothing on "Отмена".
  virtual std::optional<std::string> chooseMapFile(const std::string& message,
                                                   const std::string& fileField) = 0;
  /// The generation dialog ("Генерация") over `settings`, which it edits. Its button "Создать"
  /// must call Workspace::confirmCreate and close with OK only when that returns true.
  /// True when it closed with OK.
  virtual bool showGenerationDialog(GenerationSettings& settings) = 0;
  /// The level picker for `bits`; the picked bits on "Ok", nothing on "Отмена".
  virtual std::optional<int> pickLevel(int bits) = 0;
  /// The progress bar's values changed; repaint it now (long actions run on this thread).
  virtual void progressChanged(int pos, int max) = 0;
  /// Status panel 0 shows `path`.
  virtual void showStatusPath(const std::string& path) = 0;
};

}  // namespace visual
