// The number-of-persons dialog (see total_persons_dlg.h).
#include "records/total_persons_dlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "records/amount_text.h"
#include "records/persons_count.h"
#include "shell/display_texts.h"
#include "ui/input_filter.h"
#include "ui/ui_driver.h"

namespace records {

TTotalPersonsDlg::TTotalPersonsDlg(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TTotalPersonsDlg"));
  setWindowTitle(QStringLiteral("Брой лица, за които се подава справката"));

  auto *frame = new QGroupBox(this);
  auto *row = new QHBoxLayout(frame);
  row->addWidget(new QLabel(QStringLiteral("Въведете "), frame));
  edit1_ = new QLineEdit(frame);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  edit1_->setMaxLength(7);
  row->addWidget(edit1_);
  // The amount rule of the record editor; the remembered text lives as long
  // as the dialog.
  new ui::InputFilter(edit1_, AmountFilterAccepts);

  ok_btn_ = new QPushButton(QStringLiteral("Запис"), this);
  ok_btn_->setObjectName(QStringLiteral("OKBtn"));
  ok_btn_->setDefault(true);
  cancel_btn_ = new QPushButton(QStringLiteral("Отказ"), this);
  cancel_btn_->setObjectName(QStringLiteral("CancelBtn"));
  connect(ok_btn_, &QPushButton::clicked, this, &TTotalPersonsDlg::OKBtnClick);
  connect(cancel_btn_, &QPushButton::clicked, this, &QDialog::reject);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_btn_);
  buttons->addWidget(cancel_btn_);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TTotalPersonsDlg::AskPersonsCount(qint64 row_count, QString *persons_count) {
  row_count_ = row_count;
  persons_count_ = persons_count;
  const int result = ui::ShowModal(this);
  persons_count_ = nullptr;
  return result;
}

void TTotalPersonsDlg::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  edit1_->setFocus();
}

void TTotalPersonsDlg::Warn(const QString &caption, const QString &text) {
  ui::MessageBox(this, caption, text, ui::Icon::kWarning);
  edit1_->setFocus();
}

void TTotalPersonsDlg::OKBtnClick() {
  const QString text = edit1_->text();
  switch (CheckPersonsCount(text, row_count_)) {
    case PersonsCountCheck::kEmpty:
      Warn(QString(), QString::fromUtf8(kPersonsCountEmptyText));
      return;
    case PersonsCountCheck::kNotWholeNumber:
      Warn(QString(), QString::fromUtf8(kPersonsCountNotWholeText));
      return;
    case PersonsCountCheck::kMoreThanRows:
      Warn(QString::fromUtf8(shell::kWarningTitle), PersonsCountTooLargeText(text, row_count_));
      return;
    case PersonsCountCheck::kAccepted:
      if (persons_count_) *persons_count_ = text;
      accept();
      return;
  }
}

}  // namespace records
