// The income code pick list (see lookup_income.h).
#include "records/lookup_income.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "records/insert_edit_dlg.h"
#include "records/lookup_rules.h"
#include "shell/app_paths.h"
#include "ui/db_grid.h"

namespace records {

TLookupIncome::TLookupIncome(QWidget *parent)
    : TPickListDlg(parent, "TLookupIncome", QString::fromUtf8(kIncomePickCaption),
                   shell::kIncomesTableName) {
  grid_->SetColumns({ReadOnlyColumn("CODE", QStringLiteral("Код"), 60)});

  auto *label = new QLabel(QString::fromUtf8(kIncomePickDescriptionLabel), this);
  label->setObjectName(QStringLiteral("Label1"));
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("DBMemo1"));
  memo_->setReadOnly(true);
  memo_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(0, 255, 0); }"));
  // The box follows the current row while the table is open.
  source_.OnDataChange = [this](xb::TDataSource &, xb::TField *) { ShowDescription(); };

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(choose_btn_);
  buttons->addWidget(cancel_btn_);
  auto *layout = new QGridLayout(this);
  layout->addWidget(grid_, 0, 0, 2, 1);
  layout->addWidget(label, 0, 1);
  layout->addWidget(memo_, 1, 1);
  layout->addLayout(buttons, 2, 0, 1, 2);
  layout->setColumnStretch(1, 1);
}

void TLookupIncome::ShowDescription() {
  xb::TDataSet &table = DataSet();
  const bool has_row = table.Active() && !table.IsEmpty();
  memo_->setPlainText(has_row ? CurrentText("Name") : QString());
}

void TLookupIncome::FormActivate(TInsertEditDlg &editor) {
  const QString code = editor.CodeField()->text();
  if (!code.isEmpty()) LocateExact("CODE", code);
  ShowDescription();
}

void TLookupIncome::ChooseRow(TInsertEditDlg &editor) {
  const QString code = CurrentText("CODE");
  const PickCheck check = CheckIncomePick(code, editor.SelectedKind());
  if (!check.accepted) {
    Warn(check.warning);
    return;
  }
  editor.CodeField()->setText(code);
  editor.CodeNameBox()->setPlainText(memo_->toPlainText());
  accept();
}

}  // namespace records
