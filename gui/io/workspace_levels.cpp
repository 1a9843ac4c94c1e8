#include "gui/io/workspace.h"
#include "gui/io/workspace_state.h"

namespace visual {

namespace {

constexpr const char* kNoRoomForLevel =
    "Уровней уже 11, больше в карте не бывает. Удалите один, чтобы добавить новый.";

bool editableRow(const MapInfo& d, int row) {
  return row > 0 && row < d.NewLevels;
}

}  // namespace

void Workspace::changeLevel(int row) {
  State& s = *state_;
  MapInfo& d = s.doc;
  if (!editableRow(d, row)) return;
  const auto r = static_cast<std::size_t>(row);
  const auto bits = s.ui.pickLevel(d.NewLevel[r]);
  if (!bits) return;
  d.NewLevel[r] = *bits;
  s.showSelection();
  s.modified = true;
}

void Workspace::insertLevelBefore(int row) {
  State& s = *state_;
  MapInfo& d = s.doc;
  if (!editableRow(d, row)) return;
  if (d.NewLevels >= kLevelSlots) {
    s.ui.showMessage(kNoRoomForLevel);
    return;
  }
  const auto bits = s.ui.pickLevel(d.NewLevel[static_cast<std::size_t>(row)]);
  if (!bits) return;
  for (int j = d.NewLevels - 1; j >= row; --j) {
    const auto to = static_cast<std::size_t>(j + 1);
    d.NewLevel[to] = d.NewLevel[static_cast<std::size_t>(j)];
    d.NewZoom[to] = j + 1;
  }
  d.NewLevel[static_cast<std::size_t>(row)] = *bits;
  d.NewZoom[static_cast<std::size_t>(row)] = row;
  ++d.NewLevels;
  s.showSelection();
  s.modified = true;
}

void Workspace::deleteLevel(int row) {
  State& s = *state_;
  MapInfo& d = s.doc;
  if (!editableRow(d, row) || d.NewLevels < 3) return;
  for (int j = row; j + 1 < d.NewLevels; ++j) {
    d.NewLevel[static_cast<std::size_t>(j)] = d.NewLevel[static_cast<std::size_t>(j + 1)];
    d.NewZoom[static_cast<std::size_t>(j)] = j;
  }
  --d.NewLevels;
  s.showSelection();
  s.modified = true;
}

void Workspace::defaultLevels() {
  State& s = *state_;
  MapInfo& d = s.doc;
  // Without a map's own levels they would count down from 0 bits.
  if (!s.hasMapLevels()) return;
  d.NewLevels = 5;
  d.NewLevel[0] = d.Level[0];
  d.NewZoom[0] = 0;
  for (int i = 1; i <= 4; ++i) {
    d.NewLevel[static_cast<std::size_t>(i)] = d.NewLevel[0] - 2 * i;
    d.NewZoom[static_cast<std::size_t>(i)] = i;
  }
  if (!s.selection && !s.tree.empty()) s.selection = TreePath{0, -1};
  s.showSelection();
}

}  // namespace visual
