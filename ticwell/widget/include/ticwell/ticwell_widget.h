#pragma once

// The widget through which a window hosts a Ticwell control: always 24 x 24 pixels, painting a fixed
// bitmap, with the control inside. The window talks to the timer through Control(); the control's
// events are the signals of that object. Lives in its own library so that the control itself needs
// no display.

#include <QtCore/QSize>
#include <QtGui/QPixmap>
#include <QtWidgets/QWidget>
#include <memory>

#include "ticwell/ticwell.h"

#if defined(TICWELL_WIDGET_BUILD_LIBRARY)
#define TICWELL_WIDGET_EXPORT Q_DECL_EXPORT
#else
#define TICWELL_WIDGET_EXPORT Q_DECL_IMPORT
#endif

namespace ticwell {

class TICWELL_WIDGET_EXPORT TicwellWidget : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSide = 24;

  explicit TicwellWidget(QWidget* parent = nullptr);
  // For a control whose benchmark reads other counters.
  explicit TicwellWidget(std::shared_ptr<const CounterSource> counters, QWidget* parent = nullptr);

  Ticwell& Control() { return control_; }
  const Ticwell& Control() const { return control_; }

  // The picture the widget shows.
  static QPixmap Bitmap();

  QSize sizeHint() const override { return QSize(kSide, kSide); }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  Ticwell control_;
  QPixmap bitmap_;
};

}  // namespace ticwell
