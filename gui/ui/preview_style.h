#pragma once

#include <optional>
#include <utility>

#include "gui/io/workspace.h"
#include "gui/ui/map_painter.h"

namespace visual {

/// The kind and type of the tree's selected object type; nothing when a root is selected.
std::optional<std::pair<int, int>> selectedType(const Workspace& workspace);

/// The tree entry of a kind and type of the open map, if the tree lists it.
std::optional<TreePath> treePathOf(const Workspace& workspace, int kind, int type);

/// The style of the view for the workspace: the types its rules name are described, and
/// `highlight` is drawn highlighted.
PaintStyle styleOf(const Workspace& workspace, std::optional<std::pair<int, int>> highlight);

}  // namespace visual
