// The map view on a large map: the first picture of the open map and of a new level (reading
// and conversion included), redraws after zoom and pan, and beside them cat of the map and a
// plain conversion with the generator's own script.
//
// Usage: visualzarvex_bench_preview <folder>|<map.mp> <zarvex>   (the folder holds
// zarvex_bench_gen's big.mp, header.txt and rules_levels.cfg; a map of its own is converted with
// the window's script only, leniently when it needs it)
// One-off figures are medians of a few runs, which the shared machine makes noisy.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <vector>

#include "gui/io/fake_user_interface.h"
#include "gui/io/workspace.h"
#include "gui/model/map_view.h"
#include "gui/ui/level_runner.h"
#include "gui/ui/map_painter.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kRedraws = 24;
constexpr int kRuns = 5;

double seconds(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return timer.nsecsElapsed() / 1e9;
}

double median(const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) times.push_back(seconds(work));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Runs a program with its output thrown away; false when it fails.
bool run(const QString& program, const QStringList& arguments, const QString& folder) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start(program, arguments);
  return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}

void paint(const visual::PreviewMap& map, const visual::Viewport& view, QImage& image) {
  QPainter painter(&image);
  visual::paintMap(painter, map, view, {});
}

// Median and slowest of redraws after alternating zooms and pans from the fitted view.
void redraws(const char* name, const visual::PreviewMap& map, const visual::GeoBounds& bounds) {
  visual::Viewport view;
  view.resize(kWidth, kHeight);
  view.setMap(bounds);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  std::vector<double> times;
  for (int i = 0; i < kRedraws; ++i) {
    if (i % 2 == 0)
      view.zoomAbout({kWidth * 0.4, kHeight * 0.6}, i < kRedraws / 2 ? 1.5 : 1 / 1.5);
    else
      view.pan(37, -23);
    times.push_back(seconds([&] { paint(map, view, image); }));
  }
  std::sort(times.begin(), times.end());
  const visual::LevelCounts counts = visual::countsOf(map, 0);
  std::printf("%-24s %8.1f ms median %6.1f ms slowest (%d redraws; %llu objects, %llu points)\n",
              name, times[times.size() / 2] * 1e3, times.back() * 1e3, kRedraws,
              static_cast<unsigned long long>(counts.objects),
              static_cast<unsigned long long>(counts.points));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "Usage: %s <folder>|<map.mp> <zarvex>\n", argv[0]);
    return 1;
  }
  const QFileInfo given(QString::fromLocal8Bit(argv[1]));
  const bool generated = given.isDir();
  // Scratch files go beside the generated map, or into a folder of their own for a given map,
  // whose folder may be read-only.
  const QDir folder(generated ? given.absoluteFilePath() : QDir::temp().absolutePath());
  const QString zarvex = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
  const QString map =
      generated ? folder.absoluteFilePath(QStringLiteral("big.mp")) : given.absoluteFilePath();
  const double megabytes = QFile(map).size() / 1e6;
  std::printf("map: %s, %.1f MB, view %dx%d, medians of %d runs\n",
              QFileInfo(map).fileName().toLocal8Bit().constData(), megabytes, kWidth, kHeight,
              kRuns);

  const double cat = median([&] { run(QStringLiteral("cat"), {map}, folder.path()); });
  std::printf("%-34s %8.3f s\n", "cat", cat);
  if (generated) {
    bool converted = true;
    const double plain = median([&] {
      converted =
          run(zarvex, {"-h", "header.txt", "rules_levels.cfg", "plain.mp"}, folder.path()) &&
          converted;
    });
    QFile::remove(folder.filePath(QStringLiteral("plain.mp")));
    if (!converted) {
      std::fprintf(stderr, "the plain conversion failed\n");
      return 1;
    }
    std::printf("%-34s %8.3f s  (%.1f x cat)\n", "plain conversion (five levels)", plain,
                plain / cat);
  }

  // The window's work on the map: five levels, each type kept down to a level of its own.
  const QString set = folder.filePath(QStringLiteral("work.set"));
  QFile work(set);
  if (!work.open(QIODevice::WriteOnly) ||
      work.write(("[Header]\nID=1\neName=big\nTypeSet=\nFileName=" + map +
                  "\nNewLevels=5\nNewLevel0=24\nNewZoom0=0\nNewLevel1=22\nNewZoom1=1\n"
                  "NewLevel2=20\nNewZoom2=2\nNewLevel3=18\nNewZoom3=3\nNewLevel4=16\n"
                  "NewZoom4=4\n[AllRec]\nRecCount=0\n")
                     .toUtf8()) < 0)
    return 1;
  work.close();
  visual::FakeUserInterface ui;
  ui.openFiles.push_back(set.toStdString());
  visual::Workspace workspace(ui);
  workspace.setCatalogueFolder(VISUALZARVEX_SOURCE_TYPES);
  workspace.load();
  QFile::remove(set);
  if (!ui.messages.empty()) {
    std::fprintf(stderr, "%s\n", ui.messages.front().c_str());
    return 1;
  }
  visual::PreviewInputs inputs = workspace.previewInputs();
  inputs.converter = zarvex.toStdString();
  visual::RuleTable rules;
  for (visual::RuleRecord row : inputs.rules.rows()) {
    row.chVisibleAlways = false;
    row.cbVisibleFrom = 0;
    row.cbVisibleTo = static_cast<int>(std::hash<std::string>{}(row.Id) % 5);
    rules.put(std::move(row));
  }
  inputs.rules = std::move(rules);

  // The same conversion as the view's, alone: its script and header, zarvex to a file.
  visual::LevelRun alone;
  std::string error;
  const QString scratch = folder.absoluteFilePath(QStringLiteral("preview-bench-alone"));
  bool aloneConverted = true;
  const double conversion = median([&] {
    QStringList arguments;
    aloneConverted = QDir().mkpath(scratch) &&
                     visual::prepareLevelRun(inputs, scratch.toStdString(), alone, &error) &&
                     aloneConverted;
    for (std::size_t i = 1; i < alone.command.size(); ++i)
      arguments << QString::fromStdString(alone.command[i]);
    aloneConverted = aloneConverted && run(zarvex, arguments, scratch);
  });
  QDir(scratch).removeRecursively();
  if (!aloneConverted) {
    std::fprintf(stderr, "the window's conversion failed %s\n", error.c_str());
    return 1;
  }
  std::printf("%-34s %8.3f s  (%.1f x cat)\n", "conversion of the window's script", conversion,
              conversion / cat);

  const std::atomic<bool> never{false};
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  visual::Viewport view;
  view.resize(kWidth, kHeight);
  visual::LevelResult source;
  const double first = median([&] {
    source = visual::computeLevels(inputs, nullptr, false, never);
    view.setMap(source.source->map.bounds);
    paint(source.source->map, view, image);
  });
  std::printf("%-34s %8.3f s  (%.1f x cat)\n", "first picture, open map", first, first / cat);
  visual::LevelResult levels;
  const double level = median([&] {
    levels = visual::computeLevels(inputs, source.source, true, never);
    if (levels.levels.size() > 2) paint(levels.levels[2], view, image);
  });
  if (!levels.error.isEmpty() || levels.levels.size() != 5) {
    std::fprintf(stderr, "%s\n", levels.error.toLocal8Bit().constData());
    return 1;
  }
  std::printf("%-34s %8.3f s  (%.1f x cat, %.2f x its conversion alone)\n",
              "first picture, level 2", level, level / cat, level / conversion);

  const visual::GeoBounds& bounds = source.source->map.bounds;
  redraws("redraw, open map", source.source->map, bounds);
  for (int i : {0, 2, 4}) {
    const std::string name = "redraw, level " + std::to_string(i);
    redraws(name.c_str(), levels.levels[static_cast<std::size_t>(i)], bounds);
  }
  std::printf("targets: first picture of a level within 2 s; every redraw within 50 ms\n");
  return 0;
}
