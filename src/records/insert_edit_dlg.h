// TInsertEditDlg: the record editor, the one window where rows of the income
// table are typed. It works on the data entry window's table dataset: on
// activation it appends a row (insert mode) or puts the current row into edit
// state (edit mode), moves the controls into the state the identifier kind
// asks for, checks fields as the user leaves them, and on "Запис" validates
// the row (ValidateRow), refuses a second row for the same recipient and code
// (FindDuplicateRow) and saves. Closing cancels whatever is unsaved.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "records/editor_rules.h"
#include "records/editor_states.h"
#include "records/reference_lookup.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace ui {
class InputFilter;
}
namespace xb {
class TDataSet;
}

namespace records {

class TInsertEditDlg : public QDialog {
 public:
  // Finds a saved row with the identifier and code: its record number, 0
  // when none (FindDuplicateRow over the table file).
  using DuplicateFinder = std::function<qint64(const QString &identifier, const QString &code)>;
  // Shows a pick list (country or income code) modally.
  using PickList = std::function<void(TInsertEditDlg &)>;

  explicit TInsertEditDlg(QWidget *parent = nullptr);
  ~TInsertEditDlg() override;

  // The data entry window's table dataset (not owned) and the directory of
  // the reference tables (the program's data directory when not set). The
  // duplicate search is FindDuplicateRow unless replaced.
  void SetTableDataSet(xb::TDataSet *table) { table_ = table; }
  void SetDataDir(const QString &dir) { data_dir_ = dir; }
  void SetDuplicateFinder(DuplicateFinder finder) { find_duplicate_ = std::move(finder); }
  // The pick lists behind the two lookup buttons; the buttons stay disabled
  // while none is set.
  void SetCountryPickList(PickList pick);
  void SetIncomePickList(PickList pick);

  // The controls the pick lists write into, and the kind they read.
  QLineEdit *CountryField() const { return edit3_; }
  QLineEdit *CodeField() const { return edit7_; }
  QLabel *AddressLabel() const { return label4_; }
  QPlainTextEdit *CodeNameBox() const { return memo1_; }
  int SelectedKind() const;

  // Handlers, named after their control and event.
  void RadioButton1Click();  // "Не" chosen
  void RadioButton2Click();  // "Да" chosen
  void ComboBox1Change();
  void Edit3Exit();
  void Edit6Exit();
  void Edit7Exit();
  void OKBtnClick();
  void CancelBtnClick();
  void SpeedButton1Click();
  void SpeedButton2Click();

 protected:
  void showEvent(QShowEvent *event) override;
  void done(int result) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void FormActivate();
  void ActivateForInsert();
  void ActivateForEdit();
  void FillKinds(int count, int selected);
  void SetPersonFieldsEnabled(bool on);
  void SetCountryEnabled(bool on);
  void SetAddressEnabled(bool on);
  void SetCodeEnabled(bool on);
  void ShowCodeName(const QString &code);
  void LoadIdentifier(const QString &value);
  // The editor's state as the controls hold it, and showing a rule's result.
  EditorValues Gather() const;
  void ShowStep(const EditorStep &step);
  void ResetForNextRow();
  void OnFocusChanged(QWidget *old, QWidget *now);
  // After a pick list closed: this window active again, so that the focus
  // moves that follow leave fields and run their checks.
  void ReturnFromPickList();
  bool KeyPress(QKeyEvent *event);
  RowValues GatherValues() const;
  void WriteRow(const RowValues &row);
  void Warn(const QString &caption, const QString &text);
  // The stored kind of the row being edited (first character of F03, "0"
  // when blank), as an index of the kind list; kKindNone when not 0 to 4.
  int StoredKindOfRow() const;
  QString StoredCodeOfRow() const;

  xb::TDataSet *table_ = nullptr;
  QString data_dir_;
  DuplicateFinder find_duplicate_;
  PickList pick_country_;
  PickList pick_income_;
  ReferenceLookup lookup_;
  bool insert_mode_ = false;

  QRadioButton *radio_no_;
  QRadioButton *radio_yes_;
  QComboBox *combo1_;
  QLabel *label1_, *label2_, *label3_, *label4_;
  QLineEdit *edit1_, *edit2_, *edit3_, *edit4_, *edit5_, *edit6_, *edit7_;
  QToolButton *speed1_, *speed3_;
  QPlainTextEdit *memo1_;
  QPushButton *ok_btn_, *cancel_btn_;
  ui::InputFilter *filter1_, *filter5_, *filter6_, *filter7_;
};

}  // namespace records
