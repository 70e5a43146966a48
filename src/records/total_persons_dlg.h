// TTotalPersonsDlg: asks for the number of natural persons the report covers,
// which cannot be counted from the rows (one person may have several rows).
// The export and the printing ask for it before they run; the text accepted
// is kept by the data entry window as PersonsCount.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace records {

class TTotalPersonsDlg : public QDialog {
 public:
  explicit TTotalPersonsDlg(QWidget *parent = nullptr);

  // Shows the dialog modally for a table of `row_count` rows. On "Запис" with
  // an accepted number, *persons_count becomes the text exactly as typed and
  // the result is QDialog::Accepted; otherwise *persons_count is unchanged.
  int AskPersonsCount(qint64 row_count, QString *persons_count);

  // "Запис": the checks, then closing with OK when the number is accepted.
  void OKBtnClick();

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  void Warn(const QString &caption, const QString &text);

  QLineEdit *edit1_;
  QPushButton *ok_btn_;
  QPushButton *cancel_btn_;
  qint64 row_count_ = 0;
  QString *persons_count_ = nullptr;
};

}  // namespace records
