#include "gui/ui/render_command.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <atomic>
#include <charconv>
#include <optional>
#include <unordered_set>

#include "gui/io/config_path.h"
#include "gui/io/user_interface.h"
#include "gui/io/workspace.h"
#include "gui/model/map_view.h"
#include "gui/ui/install_paths.h"
#include "gui/ui/level_runner.h"
#include "gui/ui/map_painter.h"
#include "gui/ui/native_path.h"
#include "gui/ui/preview_style.h"

namespace visual {

namespace {

constexpr const char* kUsage =
    "Usage: visualzarvex --render WORK.set --level source|N --out FILE.png [--size WxH] "
    "[--types DIR] [--zarvex PATH]";
constexpr int kLargestSide = 16384;

// Answers the open dialog with the work file; any message is the command's failure.
class RenderInterface final : public UserInterface {
 public:
  explicit RenderInterface(std::string settings) : settings_(std::move(settings)) {}
  void showMessage(const std::string& text) override { fail(text); }
  bool askYesNo(const std::string&) override { return false; }
  Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
  std::optional<std::string> chooseOpenFile(const FileDialogSpec&) override { return settings_; }
  std::optional<std::string> chooseSaveFile(const FileDialogSpec&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> chooseMapFile(const std::string& message,
                                           const std::string& field) override {
    fail(message + " " + field);
    return std::nullopt;
  }
  bool showGenerationDialog(GenerationSettings&) override { return false; }
  std::optional<int> pickLevel(int) override { return std::nullopt; }
  void progressChanged(int, int) override {}
  void showStatusPath(const std::string&) override {}
  const std::string& failure() const { return failure_; }

 private:
  void fail(const std::string& text) {
    if (failure_.empty()) failure_ = text;
  }
  std::string settings_;
  std::string failure_;
};

std::optional<int> number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<QSize> sizeOf(const std::string& text) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) return std::nullopt;
  const auto width = number(std::string_view(text).substr(0, x));
  const auto height = number(std::string_view(text).substr(x + 1));
  if (!width || !height || *width < 1 || *height < 1 || *width > kLargestSide ||
      *height > kLargestSide)
    return std::nullopt;
  return QSize(*width, *height);
}

}  // namespace

int runRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<std::string> settings, level, output, types, converter;
  QSize size(1024, 768);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool valued = i + 1 < args.size();
    if (arg == "--level" && valued) {
      level = args[++i];
    } else if (arg == "--out" && valued) {
      output = args[++i];
    } else if (arg == "--types" && valued) {
      types = args[++i];
    } else if (arg == "--zarvex" && valued) {
      converter = args[++i];
    } else if (arg == "--size" && valued) {
      const auto parsed = sizeOf(args[++i]);
      if (!parsed) {
        err << kUsage << "\n";
        return 1;
      }
      size = *parsed;
    } else if (!settings && arg.rfind("--", 0) != 0) {
      settings = arg;
    } else {
      err << kUsage << "\n";
      return 1;
    }
  }
  const std::optional<int> levelNumber = level && *level != "source" ? number(*level) : -1;
  if (!settings || !level || !output || !levelNumber || *levelNumber < -1) {
    err << kUsage << "\n";
    return 1;
  }

  RenderInterface ui(*settings);
  Workspace workspace(ui);
  workspace.setDefaultConverterPath(defaultConverterPath());
  workspace.setCatalogueFolder(defaultTypesFolder());
  workspace.loadIni(iniFilePath());
  // As the window does: an ini file without a folder leaves the sample types.
  if (workspace.catalogueFolder().empty()) workspace.setCatalogueFolder(defaultTypesFolder());
  if (types) workspace.setCatalogueFolder(*types);
  workspace.load();
  if (!ui.failure().empty()) {
    // The settings reader's own messages may not say which file they are about.
    if (ui.failure().find(*settings) == std::string::npos) err << *settings << ": ";
    err << ui.failure() << "\n";
    return 1;
  }
  if (!workspace.generateEnabled()) {
    err << "Файл карты (*.mp) не загружен или перемещен!\n";
    return 1;
  }
  PreviewInputs inputs = workspace.previewInputs();
  if (converter) inputs.converter = *converter;
  const int levels = inputs.document.NewLevels;
  if (*levelNumber >= levels) {
    err << *settings << ": нет уровня " << *levelNumber << " (уровней " << levels << ")\n";
    return 1;
  }
  const std::atomic<bool> never{false};
  const LevelResult result = computeLevels(inputs, nullptr, *levelNumber >= 0, never);
  if (!result.error.isEmpty()) {
    err << result.error.toStdString() << "\n";
    return 1;
  }
  const PreviewMap& map =
      *levelNumber < 0 ? result.source->map : result.levels[static_cast<std::size_t>(*levelNumber)];

  // Fitted to the open map, so that pictures of different levels lie over each other.
  Viewport view;
  view.resize(size.width(), size.height());
  view.setMap(result.source->map.bounds);
  QImage image(size, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    paintMap(painter, map, view, styleOf(workspace, std::nullopt));
  }
  QSaveFile file(shownPath(*output));
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
    err << *output << ": " << file.errorString().toStdString() << "\n";
    return 1;
  }
  const LevelCounts counts =
      *levelNumber < 0 ? countsOf(*result.source) : countsOf(map, result.source->points);
  const int bits =
      *levelNumber < 0 ? 0 : inputs.document.NewLevel[static_cast<std::size_t>(*levelNumber)];
  out << levelTitle(*levelNumber, bits) << ": объектов " << counts.objects << ", точек "
      << counts.points << " (" << shareText(counts) << " точек исходной карты)\n";
  return 0;
}

}  // namespace visual
