// vedil-icon OUT_DIR SIZE...: writes OUT_DIR/vedil-SIZE.png for each SIZE,
// drawn by ui::ProgramIcon. Exit status 1 when a file cannot be written, 2 for
// a wrong command line.
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "ui/logo.h"

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 3) {
    std::fputs("usage: vedil-icon OUT_DIR SIZE...\n", stderr);
    return 2;
  }
  const QDir out(args.at(1));
  for (const QString &arg : args.mid(2)) {
    bool ok = false;
    const int size = arg.toInt(&ok);
    if (!ok || size < 1 || size > 1024) {
      std::fprintf(stderr, "vedil-icon: not a size: %s\n", qUtf8Printable(arg));
      return 2;
    }
    const QString path = out.filePath(QStringLiteral("vedil-%1.png").arg(size));
    if (!ui::ProgramIcon(size).save(path, "PNG")) {
      std::fprintf(stderr, "vedil-icon: cannot write %s\n", qUtf8Printable(path));
      return 1;
    }
  }
  return 0;
}
