// TCheckFileDlg: the window in which the user checks an agency file made by
// another product. Each opening allows one check of the file in FileToCheck;
// the window shows the header data, a mark per stage, the two fault lists
// and the verdict. The check itself is CheckAgencyFile (agency_check.h).
#pragma once

#include <QDialog>

#include "agencyfile/agency_check.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace agencyfile {

class TCheckFileDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TCheckFileDlg(QWidget *parent = nullptr);

  // Runs the check of FileToCheck and shows its result.
  void OKBtnClick();
  // The stage mark: "V" in green when passed, else the message (or "X") in red.
  static void SetLabelOk(QLabel *label, bool passed, const QString &message);

 protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;

 private:
  // Prepares the window for one check; runs on every opening.
  void FormActivate();
  void ShowResult(const CheckResult &result);
  void ShowVerdict(const CheckResult &result);

  QLabel *static_text1_;
  QGroupBox *group_box1_;
  QLabel *static_text2_;
  QLabel *static_text3_;
  QCheckBox *check_box1_;
  QCheckBox *check_box2_;
  QLabel *label2_;
  QLabel *label3_;
  QLabel *label4_;
  QLabel *label6_;
  QLabel *label7_;
  QLabel *label8_;
  QLabel *label9_;
  QLabel *label13_;
  QPlainTextEdit *memo1_;
  QPlainTextEdit *memo2_;
  QLabel *image2_;
  QPushButton *ok_btn_;
  QPushButton *bit_btn2_;
};

}  // namespace agencyfile
