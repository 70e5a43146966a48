// TLookupIncome: the income code pick list of the record editor. It lists
// the codes of Incomes.dbf with the current code's description beside them,
// starts on the editor's code, keeps codes 820 and 821 for the condominium
// and interest kinds (and those kinds for them), and writes the chosen code
// and its description into the editor.
#pragma once

#include "records/pick_list_dlg.h"

class QPlainTextEdit;

namespace records {

class TLookupIncome : public TPickListDlg {
 public:
  explicit TLookupIncome(QWidget *parent = nullptr);

  // The description box, bound to the field "Name" of the current row.
  QPlainTextEdit *DescriptionBox() const { return memo_; }

 protected:
  void FormActivate(TInsertEditDlg &editor) override;
  void ChooseRow(TInsertEditDlg &editor) override;

 private:
  void ShowDescription();

  QPlainTextEdit *memo_;
};

}  // namespace records
