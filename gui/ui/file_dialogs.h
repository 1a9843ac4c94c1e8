#pragma once

#include <QString>
#include <optional>
#include <string>

#include "gui/io/user_interface.h"

class QWidget;

namespace visual {

/// The filter form "Description|*.ext|Other|*.*" as Qt's "Description (*.ext *.EXT);;Other (*.*)".
/// Each pattern is offered in both letter cases, since the filters were written for a file
/// system that ignores case.
QString toQtFilter(const std::string& filter);

/// Whether a file dialog picks an existing file or names one to write.
enum class FileDialogMode { Open, Save };

/// Runs a modal file dialog starting at `start` (a file or a folder); nothing when cancelled.
std::optional<QString> runFileDialog(QWidget* parent, const FileDialogSpec& request,
                                     FileDialogMode mode, const QString& start);

}  // namespace visual
