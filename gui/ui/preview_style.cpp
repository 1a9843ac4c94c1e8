#include "gui/ui/preview_style.h"

#include <memory>
#include <set>

namespace visual {

std::optional<std::pair<int, int>> selectedType(const Workspace& workspace) {
  const std::optional<TreePath> path = workspace.selection();
  if (!path || path->child < 0 || path->root < 0) return std::nullopt;
  const auto& roots = workspace.tree();
  if (static_cast<std::size_t>(path->root) >= roots.size()) return std::nullopt;
  const auto& children = roots[static_cast<std::size_t>(path->root)].children;
  if (static_cast<std::size_t>(path->child) >= children.size()) return std::nullopt;
  const TreeEntry& entry = children[static_cast<std::size_t>(path->child)];
  const std::optional<int> type = typeCodeValue(entry.id);
  if (!type) return std::nullopt;
  return std::pair(entry.kind, *type);
}

std::optional<TreePath> treePathOf(const Workspace& workspace, int kind, int type) {
  const auto& roots = workspace.tree();
  for (std::size_t r = 0; r < roots.size(); ++r) {
    if (roots[r].kind != kind) continue;
    for (std::size_t c = 0; c < roots[r].children.size(); ++c)
      if (typeCodeValue(roots[r].children[c].id) == type)
        return TreePath{static_cast<int>(r), static_cast<int>(c)};
  }
  return std::nullopt;
}

PaintStyle styleOf(const Workspace& workspace, std::optional<std::pair<int, int>> highlight) {
  auto described = std::make_shared<std::set<std::pair<int, int>>>();
  for (const RuleRecord& row : workspace.rules()) {
    if (row.eName.empty()) continue;
    if (const std::optional<int> type = typeCodeValue(row.Id)) described->insert({row.Type, *type});
  }
  return {[described](int kind, int type) {
            return described->count({kind, type}) > 0;
          },
          highlight};
}

}  // namespace visual
