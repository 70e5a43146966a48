// Program entry of the ВЕСКОР income report: refuses a second running copy,
// installs the wheel hook, creates the windows once (the main window first)
// and runs the event loop until the main window closes. No command-line
// options are read.
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include "shell/globals.h"
#include "shell/main_window.h"
#include "shell/single_instance.h"
#include "ui/application.h"
#include "ui/ui_driver.h"
#include "ui/wheel_to_arrow_keys.h"

int main(int argc, char **argv) {
  ui::Application app(argc, argv);
  shell::InitAppPaths(QCoreApplication::applicationFilePath());

  // Qt's own texts (Yes, No, Cancel) in Bulgarian.
  QTranslator qt_texts;
  if (qt_texts.load(QLocale(QLocale::Bulgarian), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&qt_texts);
  }

  if (!shell::AcquireInstanceLock()) {
    ui::MessageBox(nullptr, QString(), QStringLiteral("Имате стартирано копие на програмата ..."),
                   ui::Icon::kNone);
    return 0;
  }
  ui::InstallWheelToArrowKeys();
  // The title of the task bar entry and of error boxes. (A display name would be
  // appended to every window caption.)
  QCoreApplication::setApplicationName(QString::fromUtf8(shell::kApplicationTitle));

  shell::TForm1 form;
  shell::CreateProgramWindows(&form);
  if (form.end_requested()) return 0;
  form.show();
  return QApplication::exec();
}
