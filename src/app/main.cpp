// Program entry of the ВЕСКОР income report: finds the program's home,
// refuses a second running copy of the same user, brings the shipped files
// into the home, installs the wheel hook, creates the windows once (the main
// window first) and runs the event loop until the main window closes. No
// command-line options are read.
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "shell/app_paths.h"
#include "shell/display_texts.h"
#include "shell/program_home.h"
#include "ui/application.h"
#include "ui/logo.h"
#include "ui/ui_driver.h"
#include "ui/wheel_to_arrow_keys.h"

int main(int argc, char **argv) {
  ui::Application app(argc, argv);
  const QString program = QCoreApplication::applicationFilePath();
  shell::InitAppHome(shell::ProgramHomeFor(program), QFileInfo(program).fileName());

  // Qt's own texts (Yes, No, Cancel) in Bulgarian: Qt's installed ones, else
  // the copy built into the program (the Windows build has no Qt installed).
  QTranslator qt_texts;
  for (const QString &dir :
       {QLibraryInfo::path(QLibraryInfo::TranslationsPath), QStringLiteral(":/translations")}) {
    if (qt_texts.load(QLocale(QLocale::Bulgarian), QStringLiteral("qtbase"), QStringLiteral("_"),
                      dir)) {
      QCoreApplication::installTranslator(&qt_texts);
      break;
    }
  }

  if (!app::AcquireInstanceLock()) {
    ui::MessageBox(nullptr, QString(), QStringLiteral("Имате стартирано копие на програмата ..."),
                   ui::Icon::kNone);
    return 0;
  }
  ui::InstallWheelToArrowKeys();
  // The title of the task bar entry and of error boxes. (A display name would be
  // appended to every window caption.)
  QCoreApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));
  // The same icon as the desktop entry's, for the task bar.
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128})
    icon.addPixmap(QPixmap::fromImage(ui::ProgramIcon(size)));
  QApplication::setWindowIcon(icon);

  // Only now, with the lock held, is the home written to.
  const shell::HomeUpdate home =
      shell::UpdateProgramHome(shell::ShippedFilesDir(program), shell::AppDir(), shell::ExeName());
  const QString problem = shell::HomeUpdateProblem(home, shell::AppDir());
  if (!problem.isEmpty()) {
    ui::MessageBox(nullptr, QString::fromUtf8(shell::kWarningTitle), problem,
                   home.home_ready ? ui::Icon::kWarning : ui::Icon::kError);
    // Without a home nothing the user enters could be kept.
    if (!home.home_ready) return 1;
  }

  app::TForm1 form;
  app::CreateProgramWindows(&form);
  if (form.end_requested()) return 0;
  form.show();
  return QApplication::exec();
}
