// Test entry for everything above the engine: an offscreen QApplication, then
// GoogleTest. The platform is set here because test discovery runs the program
// without CTest's environment.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
