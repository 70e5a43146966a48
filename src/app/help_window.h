// The help window: the HTML help shipped with the program, shown in a
// non-modal window of the program itself, and under it the folder that holds
// the user's files, so the user knows what to back up. Opening it never waits
// and a missing help file is not reported (the window stays empty).
#pragma once

#include <QWidget>

class QLabel;
class QTextBrowser;

namespace app {

class HelpWindow : public QWidget {
 public:
  explicit HelpWindow(QWidget *parent = nullptr);
  // Loads `path` (again), names the program's home (AppDir) and shows the
  // window in front.
  void Open(const QString &path);
  QTextBrowser *browser() const { return browser_; }

 private:
  QTextBrowser *browser_;
  QLabel *home_;
};

// The line under the help that names the home folder.
QString HomeFolderText(const QString &home);

}  // namespace app
