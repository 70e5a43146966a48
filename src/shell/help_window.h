// The help window: the HTML help shipped beside the program, shown in a
// non-modal window of the program itself. Opening it never waits and a
// missing help file is not reported (the window stays empty).
#pragma once

#include <QWidget>

class QTextBrowser;

namespace shell {

class HelpWindow : public QWidget {
 public:
  explicit HelpWindow(QWidget *parent = nullptr);
  // Loads `path` (again) and shows the window in front.
  void Open(const QString &path);
  QTextBrowser *browser() const { return browser_; }

 private:
  QTextBrowser *browser_;
};

}  // namespace shell
