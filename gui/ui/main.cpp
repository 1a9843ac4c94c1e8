#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <iostream>
#include <string>
#include <vector>

#include "gui/io/config_path.h"
#include "gui/io/generate_command.h"
#include "gui/io/shell.h"
#include "gui/io/standard_streams.h"
#include "gui/ui/install_paths.h"
#include "gui/ui/main_window.h"
#include "gui/ui/render_command.h"

int main(int argc, char* argv[]) {
  visual::guardStandardStreams();
  // The command-line generation must run without a display, so it comes before QApplication.
  if (argc > 1 && std::string(argv[1]) == "--generate") {
    return visual::runGenerateCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                      std::cerr);
  }
  // Pictures without a display: the offscreen platform needs no window system.
  if (argc > 1 && std::string(argv[1]) == "--render") {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return visual::runRenderCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                    std::cerr);
  }
#ifndef _WIN32
  if (argc > 2 && std::string(argv[1]) == visual::kHoldOption)
    return visual::runAndHold(std::vector<std::string>(argv + 2, argv + argc));
#endif

  QApplication app(argc, argv);
  QTranslator translator;
  if (translator.load(QStringLiteral("qtbase_ru"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&translator);
  }
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("visualzarvex")));

  visual::MainWindowSetup setup;
  setup.iniPath = visual::iniFilePath();
  setup.converterPath = visual::defaultConverterPath();
  setup.typesFolder = visual::defaultTypesFolder();
  visual::MainWindow window(setup);
  window.show();
  return app.exec();
}
