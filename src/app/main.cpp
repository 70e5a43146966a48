// Program entry of the ВЕСКОР income report.
#include <QApplication>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  return 0;
}
