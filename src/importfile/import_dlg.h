// TImportDlg, the import preview ("Внос"): every line of the chosen file with
// its verdict, filled while the lines are checked; the counts; the choice to
// add the accepted rows to the table or to replace its rows with them; "Запис"
// writes them in one bulk write with progress, and the rejected lines can be
// saved as a CSV file with their reasons. Nothing is written before "Запис".
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

#include "importfile/import_check.h"
#include "importfile/import_source.h"
#include "importfile/import_write.h"
#include "records/reference_lookup.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

namespace importfile {

class ImportPreviewModel;

class TImportDlg : public QDialog {
 public:
  // `source` read from `file`; the table and reference tables in `data_dir`;
  // the payer identifier of the settings for the header's comparison. Reads
  // the reference tables and the table's rows (engine errors are thrown).
  TImportDlg(QWidget *parent, const QString &file, ImportSource source, const QString &data_dir,
             const QString &settings_payer_id);
  ~TImportDlg() override;

  // Checks the lines still waiting, all at once (the window does it a piece
  // at a time while it is shown).
  void FinishCheck();
  bool CheckFinished() const { return verdicts_.size() == source_.lines.size(); }
  const std::vector<LineVerdict> &Verdicts() const { return verdicts_; }
  // How many rows "Запис" wrote; 0 before.
  qint64 Written() const { return written_; }

  void OKBtnClick();
  void SaveRejectedClick();

 private:
  void StartCheck();
  void CheckSome();
  void UpdateCounts();
  ImportMode Mode() const;

  ImportSource source_;
  QString table_path_;
  records::ReferenceLookup tables_;
  ExistingRows existing_;
  std::unique_ptr<ImportChecker> checker_;
  std::vector<LineVerdict> verdicts_;
  qint64 written_ = 0;
  int generation_ = 0;  // a restarted check drops the pieces of the last one

  ImportPreviewModel *model_ = nullptr;
  QTableView *view_ = nullptr;
  QLabel *counts_ = nullptr;
  QRadioButton *add_ = nullptr;
  QRadioButton *replace_ = nullptr;
  QPushButton *ok_btn_ = nullptr;
  QPushButton *rejected_btn_ = nullptr;
};

}  // namespace importfile
