// The data entry window's controls and their layout (see data_entry_dlg.h);
// what the window does lives in data_entry_flow.cpp.
#include "records/data_entry_dlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "records/carry_over.h"
#include "records/income_row.h"
#include "settings/payer_check.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "ui/db_grid.h"
#include "ui/logo.h"

namespace records {
namespace {

// The payer panel's background and the current row's cells without focus.
const QColor kMoneyGreen(192, 220, 192);

QLabel *NewLabel(const QString &text, QWidget *parent, const QColor &color = QColor()) {
  auto *label = new QLabel(text, parent);
  if (color.isValid()) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
  }
  return label;
}

QFont Bold(QFont font) {
  font.setBold(true);
  return font;
}

// The nine columns: field, title ('|' between its lines), width in pixels
// and alignment. The number at the end of each title is the column's number
// on the printed form.
std::vector<ui::TGridColumn> GridColumns() {
  const Qt::Alignment centre = Qt::AlignHCenter, right = Qt::AlignRight, left = Qt::AlignLeft;
  struct Spec {
    const char *field;
    const char *title;
    int width;
    Qt::Alignment alignment;
  };
  const Spec specs[] = {
      {kF02, "ЧФЛ*|||   2", 35, centre},
      {kF03, "  И** |||   3", 30, centre},
      {kF04, "ЕГН/ЛН/ЛНЧ/ЕИК| Служебен №|от регисъра на ВЕСКОР| 4", 105, left},
      {kF05, "Собствено име, презиме, фамилно име|||                                5", 210, left},
      {kF06, " Адрес***|Държава||       6", 54, centre},
      {kF07, " Адрес***|   Населено място, пощ.код, ул., №||                            7", 190,
       left},
      {kF10, "   Код |     на| дохода |     8", 45, left},
      {kF08, "      Размер на|          дохода|                   лева|           9", 91, right},
      {kF09, "      Размер на |      удържания|         данък   лева|                 10", 100,
       right},
  };
  std::vector<ui::TGridColumn> columns;
  for (const Spec &s : specs) {
    ui::TGridColumn column;
    column.fieldName = QLatin1String(s.field);
    column.title = QString::fromUtf8(s.title);
    column.width = s.width;
    column.alignment = s.alignment;
    // The titles place their lines with blanks; only the identifier's is centred.
    column.titleAlignment = s.field == kF04 ? Qt::AlignHCenter : Qt::AlignLeft;
    column.readOnly = true;
    columns.push_back(column);
  }
  return columns;
}

// The navigator's hints, one per button of its full set, in button order.
QStringList NavigatorHints() {
  return {QStringLiteral("Първи ред [Ctrl-PgUp]"),
          QStringLiteral("Предишен ред [PgUp]"),
          QStringLiteral("Следващ ред [PgDn]"),
          QStringLiteral("Последен ред [Ctrl-PgDn]"),
          QStringLiteral("Нов ред [Ctrl-Ins]"),
          QStringLiteral("Копие [F8] "),
          QStringLiteral("Редактиране ред"),
          QStringLiteral("Изтриване ред [Ctrl-Del]"),
          QStringLiteral("Запис [F2]"),
          QStringLiteral("Отказ [Esc]"),
          QStringLiteral("Търсене [Ctrl-F]"),
          QStringLiteral("Обновяване")};
}

}  // namespace

TDataEntryDlg::TDataEntryDlg(QWidget *parent) : QDialog(parent), carry_over_(CarryOverRows) {
  setObjectName(QStringLiteral("TDataEntryDlg"));
  setWindowTitle(QStringLiteral("Въвеждане"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  // The table and the two reference tables, shared and without code-page
  // translation; their directory is set when they are opened.
  table_.SetTableName(shell::kIncomeTableName);
  incomes_.SetTableName(shell::kIncomesTableName);
  countries_.SetTableName(shell::kCountriesTableName);
  for (xb::TXbaseDataSet *dataset : {&table_, &incomes_, &countries_})
    dataset->TranslateASCII = false;
  incomes_.ReadOnly = true;
  countries_.ReadOnly = true;
  source_.SetDataSet(&table_);
  table_.AfterPost = [this](xb::TDataSet &) { XbaseDataSet1AfterPost(); };
  table_.AfterDelete = [this](xb::TDataSet &) { XbaseDataSet1AfterDelete(); };
  source_.OnDataChange = [this](xb::TDataSource &, xb::TField *) { UpdatePositionLabel(); };
  source_.OnStateChange = [this](xb::TDataSource &) { UpdatePositionLabel(); };

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(BuildTitle());
  layout->addWidget(BuildPayerPanel());
  layout->addWidget(BuildNotice());
  BuildGrid();
  // The grid takes the height the screen leaves (FitToScreen).
  layout->addWidget(grid_, 1, Qt::AlignLeft);
  layout->addWidget(BuildTotals(), 0, Qt::AlignLeft);
  layout->addWidget(BuildLegend());
  layout->addWidget(BuildButtons());

  // The window sees every key before its controls.
  for (QWidget *w : findChildren<QWidget *>()) w->installEventFilter(this);
  UpdatePositionLabel();
}

TDataEntryDlg::~TDataEntryDlg() {
  source_.SetDataSet(nullptr);
  table_.AfterPost = nullptr;
  table_.AfterDelete = nullptr;
}

QWidget *TDataEntryDlg::BuildTitle() {
  auto *title = new QWidget(this);
  auto *row = new QHBoxLayout(title);
  row->setContentsMargins(0, 0, 0, 0);
  auto *logo = new QLabel(title);
  logo->setObjectName(QStringLiteral("Image1"));
  logo->setPixmap(ui::VeskorLogo());
  row->addWidget(logo);
  QFont big = Bold(font());
  big.setPointSizeF(font().pointSizeF() * 1.4);
  auto *text = NewLabel(
      QStringLiteral("СПРАВКА по ОРВЕЛ за изплатени доходи на физически лица през"), title);
  text->setFont(big);
  year_label_ = NewLabel(QString(), title);
  year_label_->setObjectName(QStringLiteral("YearLabel"));
  year_label_->setFont(big);
  row->addSpacing(12);
  row->addWidget(text);
  row->addWidget(year_label_);
  row->addStretch();
  return title;
}

QLabel *TDataEntryDlg::ValueLabel(const char *name) {
  auto *label = new QLabel(this);
  label->setObjectName(QLatin1String(name));
  label->setFont(Bold(font()));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QWidget *TDataEntryDlg::BuildPayerPanel() {
  auto *panel = new QGroupBox(QStringLiteral("Данни за платеца на дохода"), this);
  panel->setObjectName(QStringLiteral("GroupBox1"));
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, kMoneyGreen);
  panel->setPalette(palette);

  auto value = [this](const char *name, std::function<QString()> get) {
    QLabel *label = ValueLabel(name);
    payer_values_.push_back({label, std::move(get)});
    return label;
  };
  // One line of captions and values, left to right, then a stretch.
  auto *lines = new QVBoxLayout(panel);
  lines->setSpacing(1);
  lines->setContentsMargins(9, 4, 9, 4);
  auto line = [panel, lines](std::initializer_list<QWidget *> widgets) {
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    for (QWidget *w : widgets) {
      w->setParent(panel);
      row->addWidget(w);
    }
    row->addStretch();
    lines->addLayout(row);
  };
  auto caption = [panel](const char *text) { return NewLabel(QString::fromUtf8(text), panel); };

  line({caption("Вид идентификатор:"), value("OwnerNoType", settings::GetOwnerNoType),
        caption("    Идентификатор:"), value("OwnerNo", settings::GetOwnerNo)});
  line({caption("Наименование на предприятието/име на самоосигуряващото се лице:"),
        value("OwnerName", settings::GetOwnerName)});
  line({caption("Адрес за кореспонденция:"), caption("Обл."),
        value("OwnerObl", [] { return settings::GetOwnerObl(); }), caption("  Общ."),
        value("OwnerObst", [] { return settings::GetOwnerObst(); }), caption("  Нас.място"),
        caption("(гр.с.)"), value("OwnerNM", [] { return settings::GetOwnerNM(); }),
        caption("  Пощ.код"), value("OwnerPK", [] { return settings::GetOwnerPK(); })});
  line({caption("                                        "),
        value("OwnerAddress", [] { return settings::ComposeAddress(); })});
  line({caption("За контакт:"), caption("Телефон"), value("OwnerPhone", settings::GetOwnerPhone),
        caption("  Е-mail"), value("OwnerEMail", settings::GetOwnerEMail)});
  line(
      {caption("Данни за представляващия (попълват се само, когато платецът е юридическо лице) "
               ":")});
  line({caption("Трите имена на представляващия"),
        value("AuthorizedPersonName", settings::GetAuthorizedPersonName),
        caption("  ЕГН/ЛН/ЛНЧ/Служебен № от рег.на ВЕСКОР"),
        value("AuthorizedPersonID", settings::GetAuthorizedPersonID)});

  // The status boxes show the saved status; the user cannot change them here.
  auto status_box = [panel](const char *name, const char *text) {
    auto *box = new QCheckBox(QString::fromUtf8(text), panel);
    box->setObjectName(QLatin1String(name));
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
  };
  stopped_box_ = status_box("CheckBox1", settings::kTerminationStatusText);
  target_box_ = status_box("CheckBox2",
                           "Справката е изготвена от правоприемник и съдържа данни за "
                           "изплатени/начислени доходи от преобразуваното или прехвърленото "
                           "предприятие.");
  line({caption("Статус:"), stopped_box_});
  line({caption("             "), target_box_});
  return panel;
}

QWidget *TDataEntryDlg::BuildNotice() {
  auto *notice = new QWidget(this);
  auto *row = new QHBoxLayout(notice);
  row->setContentsMargins(0, 0, 0, 0);
  auto *important = NewLabel(QStringLiteral("  Важно !  "), notice, Qt::red);
  important->setFont(Bold(font()));
  auto *text = NewLabel(
      QStringLiteral("Ако вече сте подали Справката, и след това направите корекции, подайте я "
                     "отново в срока на подаване с всички данни, а не само тези, които променяте."),
      notice);
  text->setWordWrap(true);
  row->addWidget(important, 0, Qt::AlignTop);
  row->addWidget(text, 1);
  return notice;
}

void TDataEntryDlg::BuildGrid() {
  grid_ = new ui::TDBGrid(this);
  grid_->setObjectName(QStringLiteral("CRDBGrid1"));
  grid_->SetColumns(GridColumns());
  grid_->SetDataSource(&source_);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Small titles, so that the four lines fit the narrow columns.
  QFont title_font = font();
  title_font.setPixelSize(10);
  grid_->horizontalHeader()->setFont(title_font);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->OnDrawColumnCell = [this](QPainter &painter, const QStyleOptionViewItem &option, int row,
                                   int column,
                                   xb::TField *) { return DrawCell(painter, option, row, column); };
  int width = grid_->verticalHeader()->width() + 2 * grid_->frameWidth() +
              grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  for (const ui::TGridColumn &c : grid_->Model().Columns()) width += c.width;
  grid_->setFixedWidth(width);
  grid_->setMinimumHeight(GridHeight(kLeastGridRows));
  grid_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  connect(grid_, &QAbstractItemView::clicked, this,
          [this](const QModelIndex &index) { CRDBGrid1CellClick(index.column()); });
  // A double click edits as the navigator's edit button does, and only when
  // that button could be pressed.
  connect(grid_, &QAbstractItemView::doubleClicked, this, [this] {
    if (navigator_->Button(ui::TXbaseNavigateBtn::nbEdit)->isEnabled())
      navigator_->ButtonAction(ui::TXbaseNavigateBtn::nbEdit);
  });
}

QWidget *TDataEntryDlg::BuildTotals() {
  // The two totals stand under the amount columns, the caption before them.
  auto *totals = new QWidget(this);
  auto *row = new QHBoxLayout(totals);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  const auto &columns = grid_->Model().Columns();
  int before = grid_->verticalHeader()->width() + grid_->frameWidth();
  for (std::size_t i = 0; i + 2 < columns.size(); ++i) before += columns[i].width;
  auto *caption = NewLabel(QStringLiteral("Обща сума"), totals);
  caption->setFont(Bold(font()));
  auto *unit = NewLabel(QStringLiteral("(лева) :"), totals);
  row->addStretch();
  row->addWidget(caption);
  row->addSpacing(6);
  row->addWidget(unit);
  row->addSpacing(6);
  totals->setFixedWidth(before);  // widened below by the two totals
  auto total = [&](const char *name, int width) {
    QLabel *label = ValueLabel(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFixedWidth(width - 2);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    row->addWidget(label);
    row->addSpacing(2);
    return label;
  };
  income_total_ = total("SumF08", columns[columns.size() - 2].width);
  tax_total_ = total("SumF09", columns.back().width);
  totals->setFixedWidth(before + columns[columns.size() - 2].width + columns.back().width);
  ShowTotals(AmountTotals());
  return totals;
}

QWidget *TDataEntryDlg::BuildLegend() {
  auto *legend = new QWidget(this);
  auto *grid = new QGridLayout(legend);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(1);
  auto *note = NewLabel(QStringLiteral("Забележка:"), legend, Qt::red);
  note->setFont(Bold(font()));
  grid->addWidget(note, 0, 0);
  const char *lines[][2] = {
      {"ЧФЛ*", "- чуждестранно физическо лице: да/не"},
      {"И**",
       " - идентификатор: 0-лица с ЕГН, 1-лица с ЛН/ЛНЧ, 2-чужд.лица без ЕГН/ЛН/ЛНЧ, "
       "3-самоосиг.лица с БУЛСТАТ, 4-за доходи с код 820,821"},
      {"Адрес***", "- вижте т.6 от Указанията за попълване на справката"}};
  int r = 0;
  for (const auto &l : lines) {
    auto *key = NewLabel(QString::fromUtf8(l[0]), legend);
    key->setFont(Bold(font()));
    grid->addWidget(key, r, 1);
    grid->addWidget(NewLabel(QString::fromUtf8(l[1]), legend), r, 2);
    ++r;
  }
  grid->setColumnStretch(2, 1);
  return legend;
}

QWidget *TDataEntryDlg::BuildButtons() {
  auto *bar = new QWidget(this);
  auto *row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);

  navigator_ = new ui::TXbaseNavigator(bar);
  navigator_->setObjectName(QStringLiteral("XbaseNavigator1"));
  navigator_->SetDataSource(&source_);
  using B = ui::TXbaseNavigateBtn;
  navigator_->SetVisibleButtons(ui::AllNavButtons() & ~ui::NavButtonBit(B::nbCopy) &
                                ~ui::NavButtonBit(B::nbFind));
  navigator_->SetHints(NavigatorHints());
  navigator_->ConfirmDelete = false;
  navigator_->BeforeAction = [this](ui::TXbaseNavigator &, B b) { XbaseNavigator1BeforeAction(b); };
  navigator_->setFixedSize(10 * 30, 28);

  position_label_ = NewLabel(QString(), bar);
  position_label_->setObjectName(QStringLiteral("PositionLabel"));
  position_label_->setMinimumWidth(170);
  position_label_->setFont(Bold(font()));

  // The position label beside the navigator, the buttons at the right end.
  row->addWidget(navigator_);
  row->addSpacing(8);
  row->addWidget(position_label_);
  row->addStretch();
  AddTransferButtons(bar, row);

  print_btn_ = new QToolButton(bar);
  print_btn_->setObjectName(QStringLiteral("SpeedButton1"));
  print_btn_->setToolTip(QStringLiteral("Печат на справката по ОРВЕЛ"));
  const QIcon printer = QIcon::fromTheme(QStringLiteral("document-print"));
  if (printer.isNull()) {
    print_btn_->setText(QStringLiteral("Печат"));
  } else {
    print_btn_->setIcon(printer);
  }
  print_btn_->setMinimumSize(44, 36);
  print_btn_->setEnabled(false);
  connect(print_btn_, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

  export_btn_ = new QPushButton(QStringLiteral("Файл за ВЕСКОР"), bar);
  export_btn_->setObjectName(QStringLiteral("BitBtn1"));
  export_btn_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  export_btn_->setMinimumHeight(36);
  export_btn_->setEnabled(false);
  connect(export_btn_, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

  cancel_btn_ = new QPushButton(QStringLiteral("Изход"), bar);
  cancel_btn_->setObjectName(QStringLiteral("CancelBtn"));
  cancel_btn_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  cancel_btn_->setMinimumHeight(36);
  connect(cancel_btn_, &QPushButton::clicked, this, &QDialog::reject);

  for (QPushButton *b : {export_btn_, cancel_btn_}) b->setAutoDefault(false);
  row->addWidget(print_btn_);
  row->addSpacing(12);
  row->addWidget(export_btn_);
  row->addSpacing(12);
  row->addWidget(cancel_btn_);
  return bar;
}

int TDataEntryDlg::GridHeight(int rows) const {
  return grid_->horizontalHeader()->sizeHint().height() + 2 * grid_->frameWidth() +
         rows * grid_->verticalHeader()->defaultSectionSize() +
         grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void TDataEntryDlg::FitToScreen() {
  // As tall as the screen leaves room for (a title bar and a panel
  // included), the grid between its least and most rows; as wide as the
  // contents need. Centred on the screen.
  QWidget *owner = parentWidget() != nullptr ? parentWidget()->window() : this;
  const QRect available = owner->screen()->availableGeometry();
  layout()->activate();
  const QSize least = layout()->minimumSize();
  const int most = least.height() + GridHeight(kMostGridRows) - GridHeight(kLeastGridRows);
  const int height = std::clamp(available.height() - kFrameAllowance, least.height(), most);
  setFixedSize(least.width(), height);
  move(available.x() + std::max(0, (available.width() - width()) / 2),
       available.y() + std::max(0, (available.height() - kFrameAllowance - height) / 2));
}

void TDataEntryDlg::setVisible(bool visible) {
  if (visible && !isVisible()) FitToScreen();
  QDialog::setVisible(visible);
}

// "Внос" and "Експорт CSV" stand in the free room between the navigator and
// the print button, so that the other controls keep their places.
void TDataEntryDlg::AddTransferButtons(QWidget *bar, QHBoxLayout *row) {
  import_btn_ = new QPushButton(QStringLiteral("Внос"), bar);
  import_btn_->setObjectName(QStringLiteral("ImportBtn"));
  import_btn_->setToolTip(QStringLiteral("Внос на редове от CSV файл или файл за ВЕСКОР"));
  csv_export_btn_ = new QPushButton(QStringLiteral("Експорт CSV"), bar);
  csv_export_btn_->setObjectName(QStringLiteral("CsvExportBtn"));
  csv_export_btn_->setToolTip(QStringLiteral("Редовете в CSV файл за електронна таблица"));
  for (QPushButton *b : {import_btn_, csv_export_btn_}) {
    b->setAutoDefault(false);
    b->setMinimumHeight(36);
    b->setEnabled(false);
    row->addWidget(b);
  }
  connect(import_btn_, &QPushButton::clicked, this, [this] {
    if (import_) import_(*this);
  });
  connect(csv_export_btn_, &QPushButton::clicked, this, [this] {
    if (csv_export_) csv_export_(*this);
  });
  row->addSpacing(12);
}

void TDataEntryDlg::SetImport(Operation operation) {
  import_ = std::move(operation);
  import_btn_->setEnabled(static_cast<bool>(import_));
}

void TDataEntryDlg::SetCsvExport(Operation operation) {
  csv_export_ = std::move(operation);
  csv_export_btn_->setEnabled(static_cast<bool>(csv_export_));
}

void TDataEntryDlg::SetExport(Operation operation) {
  export_ = std::move(operation);
  export_btn_->setEnabled(static_cast<bool>(export_));
}

void TDataEntryDlg::SetPrint(Operation operation) {
  print_ = std::move(operation);
  print_btn_->setEnabled(static_cast<bool>(print_));
}

}  // namespace records
