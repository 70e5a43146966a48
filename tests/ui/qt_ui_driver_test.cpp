// The real open-file dialog of the running program's UI driver, looked at
// while it is open: which files its filter lists.
#include "ui/qt_ui_driver.h"

#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QTimer>

#include "support/common/temp_dir.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFileBytes;

// The names the open dialog lists once its folder is read (empty when it
// never lists any); closes the dialog.
QStringList ListedNames() {
  QStringList names;
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 5000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    if (dialog == nullptr) continue;
    auto *list = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"));
    if (list == nullptr || list->model()->rowCount(list->rootIndex()) == 0) continue;
    for (int r = 0; r < list->model()->rowCount(list->rootIndex()); ++r)
      names << list->model()->index(r, 0, list->rootIndex()).data().toString();
    dialog->reject();
    break;
  }
  names.sort();
  return names;
}

// The filter's pattern is written in upper case; files on a file system that
// tells letter case apart are listed whatever case their names have.
TEST(QtUiDriver, OpenFileListsTheFilterInAnyLetterCase) {
  TempDir dir;
  for (const char *name : {"report.txt", "OTHER.TXT", "Mixed.Txt", "notes.dat", "txt"})
    WriteFileBytes(dir.File(name), "x");
  const QString previous = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(dir.path()));

  ui::OpenFileRequest request;
  request.title = QStringLiteral("Проверка на файл .TXT");
  request.filter_description = QStringLiteral("Text files (*.txt)");
  request.filter_pattern = QStringLiteral("*.TXT");
  QStringList names;
  QTimer::singleShot(0, [&names] { names = ListedNames(); });
  const ui::OpenFileResult result = ui::QtUiDriver().OpenFile(request);
  QDir::setCurrent(previous);

  EXPECT_FALSE(result.accepted);
  EXPECT_EQ(names, QStringList({"Mixed.Txt", "OTHER.TXT", "report.txt"}));
}

}  // namespace
