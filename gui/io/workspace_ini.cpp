#include "gui/io/workspace.h"

#include "gui/io/profile_file.h"
#include "gui/io/workspace_state.h"

namespace visual {

void Workspace::loadIni(const std::string& iniPath) {
  State& s = *state_;
  s.iniPath = iniPath;
  ProfileFile ini;
  std::string error;
  if (!ini.load(iniPath, &error)) {
    s.ui.showMessage(error);
    return;
  }
  s.dirDAT = ini.get("main", "DirDAT_Text", s.dirDAT);
  s.codePage = parseInteger(ini.get("main", "CodePage", "")).value_or(State::kDefaultCodePage);
  const std::string run = asciiLower(ini.get("dir", "cbRun_Checked", "True"));
  s.cbRun = !(run == "false" || run == "0");
  s.fnZARVEX = ini.get("dir", "fnZARVEX_FileName", s.fnZARVEX);
  s.cbTerminal = asciiLower(ini.get("dir", "cbTerminal_Checked", "False")) == "true";
  s.window = {ini.get("window", "Geometry", ""), ini.get("window", "State", ""),
              ini.get("window", "Splitter", "")};
}

void Workspace::saveIni() const {
  const State& s = *state_;
  if (s.iniPath.empty()) return;
  ProfileFile ini;
  std::string error;
  // Loaded first so that keys set by hand (such as CodePage) survive.
  if (ini.load(s.iniPath, &error)) {
    ini.set("main", "DirDAT_Text", s.dirDAT);
    ini.set("dir", "cbRun_Checked", s.cbRun ? "True" : "False");
    ini.set("dir", "fnZARVEX_FileName", s.fnZARVEX);
    ini.set("dir", "cbTerminal_Checked", s.cbTerminal ? "True" : "False");
    if (!s.window.geometry.empty()) {
      ini.set("window", "Geometry", s.window.geometry);
      ini.set("window", "State", s.window.state);
      ini.set("window", "Splitter", s.window.splitter);
    }
    if (ini.save(s.iniPath, &error)) return;
  }
  s.ui.showMessage(error);
}

const std::string& Workspace::catalogueFolder() const {
  return state_->dirDAT;
}

void Workspace::setCatalogueFolder(const std::string& folder) {
  state_->dirDAT = folder;
}

void Workspace::setDefaultConverterPath(const std::string& path) {
  State& s = *state_;
  s.defaultConverter = path;
  if (s.fnZARVEX.empty()) s.fnZARVEX = path;
}

const WindowLayout& Workspace::windowLayout() const {
  return state_->window;
}

void Workspace::setWindowLayout(const WindowLayout& layout) {
  state_->window = layout;
}

}  // namespace visual
