#include "gui/io/generate_command.h"

#include <optional>

#include "gui/io/config_path.h"
#include "gui/io/file_system.h"
#include "gui/io/shell.h"
#include "gui/io/user_interface.h"
#include "gui/io/workspace.h"

namespace visual {

namespace {

constexpr const char* kUsage =
    "Usage: visualzarvex --generate WORK.set [--types DIR] [--zarvex PATH] [--run]";
constexpr const char* kDone = "Все файлы созданы";

// Answers as the user of the command asked: the settings file for the open dialog, Yes to
// overwriting, the default names with the run box as asked; any other message is a failure.
class CommandInterface final : public UserInterface {
 public:
  CommandInterface(std::string settings, std::optional<std::string> converter, bool run)
      : settings_(std::move(settings)), converter_(std::move(converter)), run_(run) {}

  void attach(Workspace& workspace) { workspace_ = &workspace; }

  void showMessage(const std::string& text) override {
    if (text == kDone)
      done_ = true;
    else if (failure_.empty())
      failure_ = text;
  }
  bool askYesNo(const std::string&) override { return true; }
  Answer askYesNoCancel(const std::string&) override { return Answer::No; }
  std::optional<std::string> chooseOpenFile(const FileDialogSpec&) override { return settings_; }
  std::optional<std::string> chooseSaveFile(const FileDialogSpec&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> chooseMapFile(const std::string& message,
                                           const std::string&) override {
    if (failure_.empty()) failure_ = message;
    return std::nullopt;
  }
  bool showGenerationDialog(GenerationSettings& settings) override {
    settings.cbRun = run_;
    if (converter_) settings.fnZARVEX = *converter_;
    if (!workspace_->confirmCreate(settings)) return false;
    written_ = settings;
    return true;
  }
  std::optional<int> pickLevel(int) override { return std::nullopt; }
  void progressChanged(int, int) override {}
  void showStatusPath(const std::string&) override {}

  bool done() const { return done_ && failure_.empty(); }
  const std::string& failure() const { return failure_; }
  const GenerationSettings& written() const { return written_; }

 private:
  std::string settings_;
  std::optional<std::string> converter_;
  bool run_;
  Workspace* workspace_ = nullptr;
  bool done_ = false;
  std::string failure_;
  GenerationSettings written_;
};

}  // namespace

int runGenerateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<std::string> settings, types, converter;
  bool run = false;
  std::size_t i = 0;
  if (i < args.size() && args[i] == "--generate") ++i;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--run") {
      run = true;
    } else if ((arg == "--types" || arg == "--zarvex") && i + 1 < args.size()) {
      (arg == "--types" ? types : converter) = args[++i];
    } else if (!settings && arg.rfind("--", 0) != 0) {
      settings = arg;
    } else {
      err << kUsage << "\n";
      return 1;
    }
  }
  if (!settings) {
    err << kUsage << "\n";
    return 1;
  }
  CommandInterface ui(*settings, converter, run);
  Workspace workspace(ui);
  ui.attach(workspace);
  // The conversion runs in this command's own streams, and its exit code is the command's.
  const auto printWritten = [&ui, &out] {
    const GenerationSettings& written = ui.written();
    out << written.fnTXT << "\n" << written.fnCFG << "\n" << written.fnBAT << "\n";
  };
  int converterExit = -1;
  workspace.setShellStarter([&](const ConverterRun& conversion) {
    printWritten();
    out.flush();
    converterExit = runConversion(conversion);
    return converterExit >= 0;
  });
  workspace.loadIni(iniFilePath());
  if (types) workspace.setCatalogueFolder(*types);
  workspace.load();
  if (ui.failure().empty()) {
    if (!workspace.generateEnabled()) {
      err << "Файл карты (*.mp) не загружен или перемещен!\n";
      return 1;
    }
    workspace.generate();
  }
  const bool ran = run && converterExit >= 0;
  if (!ui.done() && !ran) {
    err << (ui.failure().empty() ? std::string(kUsage) : ui.failure()) << "\n";
    return 1;
  }
  // What the page "Header" would have said about the map, for whoever reads the run.
  if (const std::string note = workspace.headerView().readNote; !note.empty()) err << note << "\n";
  if (ran) return converterExit <= 2 ? converterExit : 1;
  printWritten();
  return 0;
}

}  // namespace visual
