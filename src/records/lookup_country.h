// TLookupCountry: the country pick list of the record editor. It lists
// Countries.dbf ordered by name through the tag "Countries" of Countries.cdx,
// starts on the editor's country code, and writes the chosen code and the
// address caption it gives into the editor. Bulgaria is refused.
#pragma once

#include "records/pick_list_dlg.h"

class QPainter;
class QStyleOptionViewItem;

namespace records {

class TLookupCountry : public TPickListDlg {
 public:
  explicit TLookupCountry(QWidget *parent = nullptr);

 protected:
  void FormActivate(TInsertEditDlg &editor) override;
  void ChooseRow(TInsertEditDlg &editor) override;

 private:
  // Puts the list in name order: the tag "Countries" of Countries.cdx.
  void OpenNameOrder();
  bool DrawCell(QPainter &painter, const QStyleOptionViewItem &option, int row, int column);
};

}  // namespace records
