// See help_window.h.
#include "app/help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/app_paths.h"

namespace app {

QString HomeFolderText(const QString &home) {
  return QStringLiteral(
             "Настройките, таблиците и файловете за ВЕСКОР се пазят в папка:\n%1\n"
             "За резервно копие или за пренасяне на друг компютър копирайте цялата папка.")
      .arg(QDir::toNativeSeparators(home));
}

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Помощ - Справка по ОРВЕЛ"));
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  browser_->document()->setDocumentMargin(14);
  home_ = new QLabel(this);
  home_->setObjectName(QStringLiteral("HomeFolderLabel"));
  home_->setWordWrap(true);
  home_->setTextFormat(Qt::PlainText);
  home_->setTextInteractionFlags(Qt::TextSelectableByMouse);  // the path can be copied
  home_->setContentsMargins(14, 6, 14, 8);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  layout->addWidget(home_);
  resize(760, 620);
}

void HelpWindow::Open(const QString &path) {
  if (QFileInfo(path).isFile()) {
    browser_->setSource(QUrl::fromLocalFile(path));
    browser_->reload();
  } else {
    browser_->clear();
  }
  home_->setText(HomeFolderText(shell::AppDir()));
  show();
  raise();
  activateWindow();
}

}  // namespace app
