#include "ticwell/ticwell_widget.h"

#include <QtGui/QPainter>
#include <QtGui/QResizeEvent>

namespace ticwell {
namespace {

// A stopwatch face.
const char* const kStopwatchXpm[] = {
    "24 24 4 1",
    ". c None",
    "# c #303030",
    "w c #FFFFFF",
    "r c #C00000",
    "........................",
    "..........####..........",
    "..........####..........",
    "...........##...........",
    ".........######.........",
    ".......##########.......",
    ".....###www##www###.....",
    ".....##wwww##wwww##.....",
    "....##wwwww##wwwww##....",
    "...##wwwwww##wwwwww##...",
    "...##wwwwww##wwwwww##...",
    "...#wwwwwww##wwwwwww#...",
    "..###wwwwww##wwwwww###..",
    "..###wwwwww#rrrrrrw###..",
    "..##wwwwwwwwwwwwwwww##..",
    "...#wwwwwwwwwwwwwwww#...",
    "...##wwwwwwwwwwwwww##...",
    "...##wwwwwwwwwwwwww##...",
    "....##wwwwwwwwwwww##....",
    ".....##wwwwwwwwww##.....",
    ".....###www##www###.....",
    ".......##########.......",
    ".........######.........",
    "........................",
};

}  // namespace

TicwellWidget::TicwellWidget(QWidget* parent) : TicwellWidget(nullptr, parent) {}

TicwellWidget::TicwellWidget(std::shared_ptr<const CounterSource> counters, QWidget* parent)
    : QWidget(parent), control_(std::move(counters)), bitmap_(Bitmap()) {
  setFixedSize(kSide, kSide);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QPixmap TicwellWidget::Bitmap() { return QPixmap(kStopwatchXpm); }

void TicwellWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, bitmap_);
}

void TicwellWidget::resizeEvent(QResizeEvent* event) {
  // The fixed size already holds every resize to 24 x 24; this keeps it so even if a host lifts the
  // size limits.
  if (event->size() != QSize(kSide, kSide)) {
    resize(kSide, kSide);
  }
  QWidget::resizeEvent(event);
}

}  // namespace ticwell
