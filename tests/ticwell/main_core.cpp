// The control's tests run with Qt Core alone: no GUI application, no display.
#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
