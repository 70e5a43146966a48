// TConfigDlg, the payer data dialog: the only writer of the settings file. It
// shows the 31 payer values read from the file, filters the numeric fields,
// copies the correspondence address, checks the values one at a time
// (payer_check.h) and saves them. It emits PayerDataSaved after a save, for
// the main window to enable data entry and show the new name.
#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "shell/payer_record.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace settings {

class TConfigDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TConfigDlg(QWidget *parent = nullptr);

  // Checks the payer data: with messages, the dialog's values, showing the
  // first problem and focusing its control; without, the settings file's,
  // silently. True when something is missing or invalid.
  bool CheckPayerData(bool with_messages);
  // The 31 values as the controls hold them (lists give their selected
  // entry's text, the status word comes from the check boxes).
  shell::PayerRecord TakePayerDataFromDialog() const;

  void OKBtnClick();
  void CancelBtnClick();
  void BitBtn1Click();

  // Esc acts as "Изход".
  void reject() override;
  // Each showing fits the dialog to the screen it opens on.
  void setVisible(bool visible) override;

 signals:
  void PayerDataSaved();

 protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void BuildControls();
  void FitToScreen();
  void FormActivate();
  // Saves, reloads PayerData, tells the main window, closes; false (and the
  // dialog stays open) when the check fails or the file cannot be written.
  bool SaveAndClose();
  void FocusField(QWidget *control);
  void ComboBox2Change(int index);
  void LimitIdentifier();
  // The control of a payer value, by PayerData index.
  QLineEdit *Edit(shell::PayerIndex index) const;
  QComboBox *List(shell::PayerIndex index) const;

  // Each value's control as the payer values' table names it; none for the
  // status word.
  std::array<QWidget *, shell::kPayerValueCount> control_ = {};
  QCheckBox *check1_ = nullptr;
  QCheckBox *check2_ = nullptr;
  QPushButton *ok_ = nullptr;
  QPushButton *cancel_ = nullptr;
  QToolButton *copy_ = nullptr;
  QLabel *logo_ = nullptr;
  QWidget *form_ = nullptr;  // every control but the footer's
  QScrollArea *scroll_ = nullptr;
  QString activation_copy_;
};

}  // namespace settings
