#include "gui/ui/progress_panel.h"

#include <QPainter>
#include <algorithm>

namespace visual {

ProgressPanel::ProgressPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("progress"));
  setFixedWidth(110);
  setMinimumHeight(16);
}

void ProgressPanel::setProgress(int pos, int max) {
  pos_ = pos;
  max_ = max;
  repaint();
}

int ProgressPanel::barWidth() const {
  if (max_ == 0) return 0;
  // 64 bits: a scan's position times the width may not fit an int.
  const long long bar = static_cast<long long>(width()) * pos_ / max_;
  return static_cast<int>(std::clamp<long long>(bar, 0, width()));
}

void ProgressPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().button());
  const int bar = barWidth();
  if (bar > 0) painter.fillRect(QRect(0, 0, bar, height()), Qt::blue);
}

}  // namespace visual
