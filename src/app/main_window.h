// TForm1, the main window: prepares the working environment when it is
// created (data directory, income table, silent payer data check), shows the
// title and the payer's name, and offers the five commands (data entry, check
// of another product's agency file, payer data, help, exit). Every other
// window is modal and opened from here or from the data entry window.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;

namespace agencyfile {
class TCheckFileDlg;
}  // namespace agencyfile

namespace records {
class TDataEntryDlg;
class TInsertEditDlg;
class TLookupCountry;
class TLookupIncome;
class TTotalPersonsDlg;
}  // namespace records

namespace settings {
class TConfigDlg;
}

namespace app {

class HelpWindow;

// " Справка по ОРВЕЛ  ver. 7.0 (2019)    " followed by the payer's name.
QString MainWindowCaption(const QString &owner_name);
inline constexpr char kVersionText[] = "ver. 7.0 (2019)";
inline constexpr char kApplicationTitle[] = "Справка по ОРВЕЛ";

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // Runs the creation step: help file, data directory, income table,
  // silent payer data check.
  TForm1();
  ~TForm1() override;

  // The other windows of the program, created after the main window (see
  // CreateProgramWindows). A command whose window is not there is disabled.
  void SetConfigDlg(settings::TConfigDlg *dialog);
  void SetDataEntryDlg(QDialog *dialog);
  void SetCheckFileDlg(QDialog *dialog);

  // Enables the data entry command (after a successful save of payer data).
  void EnableDataEntry();
  // The open-file dialog for the agency file to examine; the chosen path, or
  // empty text when cancelled.
  QString PickFileToCheck(const QString &extension);
  // True when the creation step asked for the program to end (the income
  // table failed its check); the entry then leaves the event loop at once.
  bool end_requested() const { return end_requested_; }

  void BitBtn1Click();
  void BitBtn5Click();
  void BitBtn2Click();
  void BitBtn4Click();
  void BitBtn3Click();

  HelpWindow *help_window() const { return help_.get(); }

 protected:
  bool event(QEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void BuildControls();
  void FormCreate();
  void FormActivate();
  void UpdateCommands();
  // Moves the pointer to `point` in this window's client coordinates.
  void PointerTo(QPoint point);
  QPoint RightOfCentre(const QWidget *button) const;

  QPushButton *btn1_ = nullptr;  // "Въвеждане"
  QPushButton *btn2_ = nullptr;  // "Данни за платеца"
  QPushButton *btn3_ = nullptr;  // "Изход"
  QPushButton *btn4_ = nullptr;  // "Помощ"
  QPushButton *btn5_ = nullptr;  // "Проверка"
  QLabel *label1_ = nullptr;
  QLabel *label2_ = nullptr;
  QLabel *label3_ = nullptr;
  QLabel *label4_ = nullptr;
  QLabel *label5_ = nullptr;
  QLabel *label6_ = nullptr;
  QLabel *image1_ = nullptr;
  std::unique_ptr<HelpWindow> help_;
  QString help_file_;
  settings::TConfigDlg *config_dlg_ = nullptr;
  QDialog *data_entry_dlg_ = nullptr;
  QDialog *check_file_dlg_ = nullptr;
  bool data_entry_allowed_ = false;
  bool end_requested_ = false;
};

// The program's windows besides the main window, created once at start-up in
// the order of the program, children of the main window (which deletes them)
// and attached to it.
struct ProgramWindows {
  settings::TConfigDlg *config_dlg = nullptr;
  agencyfile::TCheckFileDlg *check_file_dlg = nullptr;
  records::TDataEntryDlg *data_entry_dlg = nullptr;
  records::TInsertEditDlg *insert_edit_dlg = nullptr;
  records::TTotalPersonsDlg *total_persons_dlg = nullptr;
  // The record editor's pick lists, children of the editor.
  records::TLookupCountry *lookup_country = nullptr;
  records::TLookupIncome *lookup_income = nullptr;
};
ProgramWindows CreateProgramWindows(TForm1 *main_window);

}  // namespace app
