#include "ticwell/ticwell_widget.h"

#include <gtest/gtest.h>

#include <QtGui/QImage>
#include <QtWidgets/QVBoxLayout>
#include <QtWidgets/QWidget>

#include "ticwell_test_support.h"

namespace ticwell {
namespace {

using testing_support::EventLog;
using testing_support::RunUntil;

TEST(TicwellWidgetTest, StaysTwentyFourPixelsSquare) {
  TicwellWidget alone;
  alone.resize(100, 50);
  EXPECT_EQ(alone.size(), QSize(24, 24));

  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* hosted = new TicwellWidget;
  layout->addWidget(hosted);
  window.resize(300, 300);
  window.show();
  EXPECT_EQ(hosted->size(), QSize(24, 24));
}

TEST(TicwellWidgetTest, PaintsItsFixedBitmap) {
  TicwellWidget widget;
  const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage bitmap = TicwellWidget::Bitmap().toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(shown.size(), QSize(24, 24));
  ASSERT_EQ(bitmap.size(), QSize(24, 24));
  int opaque = 0;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      if (qAlpha(bitmap.pixel(x, y)) == 255) {
        ++opaque;
        EXPECT_EQ(shown.pixel(x, y), bitmap.pixel(x, y)) << x << "," << y;
      }
    }
  }
  EXPECT_GT(opaque, 200);
}

TEST(TicwellWidgetTest, HostedControlTicks) {
  QWidget window;
  auto* timer = new TicwellWidget(&window);
  window.show();
  EventLog log(timer->Control());
  timer->Control().SetInterval(10);
  timer->Control().SetEnabled(true);
  EXPECT_TRUE(RunUntil([&] { return log.timer >= 2; }));
}

}  // namespace
}  // namespace ticwell
