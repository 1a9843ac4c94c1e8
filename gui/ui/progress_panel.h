#pragma once

#include <QWidget>

namespace visual {

/// The progress panel of the status bar: a blue bar over the button face.
class ProgressPanel final : public QWidget {
 public:
  explicit ProgressPanel(QWidget* parent = nullptr);

  /// Sets the values and repaints at once, since long actions keep the event loop waiting.
  void setProgress(int pos, int max);
  int pos() const { return pos_; }
  int max() const { return max_; }
  /// Width of the bar in pixels for the current values.
  int barWidth() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int pos_ = 0;
  int max_ = 1;
};

}  // namespace visual
