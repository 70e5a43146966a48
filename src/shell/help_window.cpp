// See help_window.h.
#include "shell/help_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace shell {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Помощ - Справка по ОРВЕЛ"));
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  browser_->document()->setDocumentMargin(14);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(760, 620);
}

void HelpWindow::Open(const QString &path) {
  if (QFileInfo(path).isFile()) {
    browser_->setSource(QUrl::fromLocalFile(path));
    browser_->reload();
  } else {
    browser_->clear();
  }
  show();
  raise();
  activateWindow();
}

}  // namespace shell
