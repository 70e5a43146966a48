// The country pick list (see lookup_country.h).
#include "records/lookup_country.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QVBoxLayout>

#include "records/editor_rules.h"
#include "records/insert_edit_dlg.h"
#include "records/list_cell_colours.h"
#include "records/lookup_rules.h"
#include "shell/app_paths.h"
#include "ui/db_grid.h"

namespace records {

TLookupCountry::TLookupCountry(QWidget *parent)
    : TPickListDlg(parent, "TLookupCountry", QString::fromUtf8(kCountryPickCaption),
                   shell::kCountriesTableName) {
  auto *label = new QLabel(QString::fromUtf8(kCountryPickSortLabel), this);
  label->setObjectName(QStringLiteral("Label1"));
  grid_->SetColumns({ReadOnlyColumn("CODE", QStringLiteral("Код"), 60),
                     ReadOnlyColumn("NAME", QStringLiteral("Наименование"), 60)});
  grid_->OnDrawColumnCell = [this](QPainter &painter, const QStyleOptionViewItem &option, int row,
                                   int column,
                                   xb::TField *) { return DrawCell(painter, option, row, column); };

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(choose_btn_);
  buttons->addWidget(cancel_btn_);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(grid_);
  layout->addLayout(buttons);
}

void TLookupCountry::OpenNameOrder() {
  DataSet().IndexOpen(shell::kCountriesIndexName, "Countries");
}

void TLookupCountry::FormActivate(TInsertEditDlg &editor) {
  OpenNameOrder();
  const QString code = editor.CountryField()->text();
  if (!code.isEmpty()) LocateExact("CODE", code);
}

void TLookupCountry::ChooseRow(TInsertEditDlg &editor) {
  const QString code = CurrentText("CODE");
  const PickCheck check = CheckCountryPick(code);
  if (!check.accepted) {
    Warn(check.warning);
    return;
  }
  editor.CountryField()->setText(code);
  editor.AddressLabel()->setText(CountryAddressCaption(code, CurrentText("NAME")));
  accept();
}

bool TLookupCountry::DrawCell(QPainter &painter, const QStyleOptionViewItem &option, int row,
                              int column) {
  const CellColours colours =
      ListCellColours(row == grid_->Model().CurrentRow(),
                      (option.state & QStyle::State_HasFocus) && grid_->hasFocus());
  painter.fillRect(option.rect, colours.background);
  painter.setPen(colours.text.isValid() ? colours.text : option.palette.color(QPalette::Text));
  const QModelIndex index = grid_->model()->index(row, column);
  const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
  painter.drawText(option.rect.adjusted(3, 0, -3, 0), int(alignment),
                   index.data(Qt::DisplayRole).toString());
  return true;
}

}  // namespace records
