// The shared part of the two pick lists (see pick_list_dlg.h).
#include "records/pick_list_dlg.h"

#include <QFile>
#include <QKeyEvent>
#include <QPushButton>

#include "records/lookup_rules.h"
#include "shell/app_paths.h"
#include "shell/display_texts.h"
#include "ui/codepage.h"
#include "ui/db_grid.h"
#include "ui/engine_text.h"
#include "ui/ui_driver.h"

namespace records {

ui::TGridColumn ReadOnlyColumn(const char *field, const QString &title, int width) {
  ui::TGridColumn column;
  column.fieldName = QLatin1String(field);
  column.title = title;
  column.width = width;
  column.readOnly = true;
  return column;
}

TPickListDlg::TPickListDlg(QWidget *parent, const char *object_name, const QString &caption,
                           const char *table_name)
    : QDialog(parent) {
  setObjectName(QLatin1String(object_name));
  setWindowTitle(caption);
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

  // The reference tables are read, never written, and hold 1251 text.
  table_.SetTableName(table_name);
  table_.ReadOnly = true;
  table_.TranslateASCII = false;
  source_.SetDataSet(&table_);

  grid_ = new ui::TDBGrid(this);
  grid_->setObjectName(QStringLiteral("DBGrid1"));
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->SetDataSource(&source_);
  grid_->installEventFilter(this);
  connect(grid_, &QAbstractItemView::doubleClicked, this, [this] { BitBtn1Click(); });

  choose_btn_ = new QPushButton(QStringLiteral("Избор"), this);
  choose_btn_->setObjectName(QStringLiteral("BitBtn1"));
  cancel_btn_ = new QPushButton(QStringLiteral("Отказ"), this);
  cancel_btn_->setObjectName(QStringLiteral("BitBtn2"));
  // Enter belongs to the grid (it chooses); no button is pressed by it.
  choose_btn_->setAutoDefault(false);
  cancel_btn_->setAutoDefault(false);
  connect(choose_btn_, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(cancel_btn_, &QPushButton::clicked, this, &QDialog::reject);
}

TPickListDlg::~TPickListDlg() { grid_->SetDataSource(nullptr); }

int TPickListDlg::Execute(TInsertEditDlg &editor) {
  struct Session {
    TPickListDlg &dlg;
    ~Session() {
      dlg.editor_ = nullptr;
      dlg.table_.Close();
    }
  } session{*this};
  editor_ = &editor;
  setResult(QDialog::Rejected);
  table_.SetDatabaseName(ui::EnginePath(data_dir_.isEmpty() ? shell::DataDir() : data_dir_));
  table_.Open();
  FormActivate(editor);
  return ui::ShowModal(this);
}

void TPickListDlg::BitBtn1Click() {
  if (editor_ == nullptr || !table_.Active() || table_.IsEmpty()) return;
  ChooseRow(*editor_);
}

QString TPickListDlg::CurrentText(const char *field) {
  return codepage::FromCp1251(table_.FieldByName(field).AsString());
}

void TPickListDlg::LocateExact(const char *field, const QString &value) {
  table_.Locate(field, {codepage::ToCp1251(value)});
}

void TPickListDlg::Warn(const QString &text) {
  ui::MessageBox(this, QString::fromUtf8(shell::kWarningTitle), text, ui::Icon::kWarning);
}

void TPickListDlg::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  grid_->setFocus();
}

bool TPickListDlg::eventFilter(QObject *watched, QEvent *event) {
  if (watched == grid_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      BitBtn1Click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace records
