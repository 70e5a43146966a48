// The record editor (see insert_edit_dlg.h).
#include "records/insert_edit_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "records/amount_text.h"
#include "records/complete_amount.h"
#include "records/duplicate_check.h"
#include "records/field_limits.h"
#include "records/income_row.h"
#include "records/income_table.h"
#include "records/stored_row.h"
#include "shell/app_paths.h"
#include "shell/display_texts.h"
#include "shell/window_flags.h"
#include "ui/input.h"
#include "ui/input_filter.h"
#include "ui/logo.h"
#include "ui/ui_driver.h"
#include "xbase/dataset/dataset.h"

namespace records {

namespace {

QLineEdit *NewEdit(QWidget *parent, const char *name, int limit) {
  auto *edit = new QLineEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setMaxLength(limit);
  return edit;
}

QLabel *NewLabel(QWidget *parent, const char *name, const QString &text) {
  auto *label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

QToolButton *NewLookupButton(QWidget *parent, const char *name) {
  auto *button = new QToolButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setText(QStringLiteral("..."));
  button->setFocusPolicy(Qt::NoFocus);
  button->setEnabled(false);
  return button;
}

}  // namespace

TInsertEditDlg::TInsertEditDlg(QWidget *parent)
    : QDialog(parent), find_duplicate_(FindDuplicateRow) {
  setObjectName(QStringLiteral("TInsertEditDlg"));
  setWindowTitle(QStringLiteral("Нов запис"));

  auto *box = new QGroupBox(this);
  auto *grid = new QGridLayout(box);
  int row = 0;

  grid->addWidget(new QLabel(QStringLiteral("(2) ЧФЛ (Чуждестранно Физическо Лице)"), box), row, 0);
  radio_no_ = new QRadioButton(QStringLiteral("Не"), box);
  radio_no_->setObjectName(QStringLiteral("RadioButton1"));
  radio_yes_ = new QRadioButton(QStringLiteral("Да"), box);
  radio_yes_->setObjectName(QStringLiteral("RadioButton2"));
  radio_no_->setChecked(true);
  auto *radios = new QHBoxLayout;
  radios->addWidget(radio_no_);
  radios->addWidget(radio_yes_);
  radios->addStretch();
  grid->addLayout(radios, row++, 1, 1, 2);

  grid->addWidget(new QLabel(QStringLiteral("(3) И (идентификатор)"), box), row, 0);
  combo1_ = new QComboBox(box);
  combo1_->setObjectName(QStringLiteral("ComboBox1"));
  grid->addWidget(combo1_, row++, 1, 1, 2);

  label1_ = NewLabel(box, "Label1",
                     QStringLiteral("(4) ЕГН / ЛНЧ / Служебен номер от регистъра на ВЕСКОР / ЕИК "
                                    "по Булстат"));
  edit1_ = NewEdit(box, "Edit1", kIdentifierLimit);
  grid->addWidget(label1_, row, 0);
  grid->addWidget(edit1_, row++, 1, 1, 2);

  label2_ = NewLabel(box, "Label2", QStringLiteral("(5) Собствено име, презиме и фамилно име"));
  edit2_ = NewEdit(box, "Edit2", kNamesLimit);
  grid->addWidget(label2_, row, 0);
  grid->addWidget(edit2_, row++, 1, 1, 2);

  label3_ = NewLabel(box, "Label3", QStringLiteral("(6) Държава"));
  edit3_ = NewEdit(box, "Edit3", kCountryLimit);
  speed1_ = NewLookupButton(box, "SpeedButton1");
  grid->addWidget(label3_, row, 0);
  grid->addWidget(edit3_, row, 1);
  grid->addWidget(speed1_, row++, 2, Qt::AlignLeft);

  label4_ = NewLabel(box, "Label4", QString::fromUtf8(kAddressAbroadCaption));
  edit4_ = NewEdit(box, "Edit4", kAddressLimit);
  grid->addWidget(label4_, row, 0);
  grid->addWidget(edit4_, row++, 1, 1, 2);

  grid->addWidget(new QLabel(QStringLiteral("(8) Код на дохода"), box), row, 0);
  edit7_ = NewEdit(box, "Edit7", kCodeLimit);
  speed3_ = NewLookupButton(box, "SpeedButton3");
  grid->addWidget(edit7_, row, 1);
  grid->addWidget(speed3_, row++, 2, Qt::AlignLeft);

  grid->addWidget(new QLabel(QStringLiteral("Наименование на дохода"), box), row, 0);
  memo1_ = new QPlainTextEdit(box);
  memo1_->setObjectName(QStringLiteral("Memo1"));
  memo1_->setReadOnly(true);
  memo1_->setFocusPolicy(Qt::NoFocus);
  memo1_->setMaximumHeight(60);
  grid->addWidget(memo1_, row++, 1, 1, 2);

  grid->addWidget(new QLabel(QStringLiteral("(9) Размер на дохода в лева"), box), row, 0);
  edit5_ = NewEdit(box, "Edit5", kAmountLimit);
  grid->addWidget(edit5_, row++, 1);

  grid->addWidget(new QLabel(QStringLiteral("(10) Размер на удържания данък в лева"), box), row, 0);
  edit6_ = NewEdit(box, "Edit6", kAmountLimit);
  grid->addWidget(edit6_, row++, 1);

  ok_btn_ = new QPushButton(QStringLiteral("Запис"), this);
  ok_btn_->setObjectName(QStringLiteral("OKBtn"));
  cancel_btn_ = new QPushButton(QStringLiteral("Отказ"), this);
  cancel_btn_->setObjectName(QStringLiteral("CancelBtn"));
  for (QPushButton *b : {ok_btn_, cancel_btn_}) b->setAutoDefault(false);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_btn_);
  buttons->addWidget(cancel_btn_);

  auto *logo = new QLabel(this);
  logo->setPixmap(ui::VeskorLogo());
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(logo, 0, Qt::AlignLeft);
  layout->addWidget(box);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  filter1_ = new ui::InputFilter(edit1_, WholeNumberFilterAccepts);
  filter7_ = new ui::InputFilter(edit7_, WholeNumberFilterAccepts);
  filter5_ = new ui::InputFilter(edit5_, AmountFilterAccepts);
  filter6_ = new ui::InputFilter(edit6_, AmountFilterAccepts);

  connect(radio_no_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) RadioButton1Click();
  });
  connect(radio_yes_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) RadioButton2Click();
  });
  connect(combo1_, &QComboBox::activated, this, [this] { ComboBox1Change(); });
  connect(ok_btn_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(cancel_btn_, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
  connect(speed1_, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
  connect(speed3_, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
  connect(qApp, &QApplication::focusChanged, this, &TInsertEditDlg::OnFocusChanged);
  for (QWidget *w : findChildren<QWidget *>()) w->installEventFilter(this);
  installEventFilter(this);
}

TInsertEditDlg::~TInsertEditDlg() = default;

void TInsertEditDlg::SetCountryPickList(PickList pick) {
  pick_country_ = std::move(pick);
  speed1_->setEnabled(pick_country_ && edit3_->isEnabled());
}

void TInsertEditDlg::SetIncomePickList(PickList pick) {
  pick_income_ = std::move(pick);
  speed3_->setEnabled(pick_income_ && edit7_->isEnabled());
}

int TInsertEditDlg::SelectedKind() const { return combo1_->currentIndex(); }

// ---- Field states ------------------------------------------------------------

void TInsertEditDlg::FillKinds(int count, int selected) {
  const QSignalBlocker block(combo1_);
  combo1_->clear();
  combo1_->addItems(shell::IdKindNames().mid(0, count));
  combo1_->setCurrentIndex(selected >= 0 && selected < count ? selected : -1);
}

void TInsertEditDlg::SetPersonFieldsEnabled(bool on) {
  for (QWidget *w : {static_cast<QWidget *>(label1_), static_cast<QWidget *>(edit1_),
                     static_cast<QWidget *>(label2_), static_cast<QWidget *>(edit2_)}) {
    w->setEnabled(on);
  }
}

void TInsertEditDlg::SetCountryEnabled(bool on) {
  label3_->setEnabled(on);
  edit3_->setEnabled(on);
  speed1_->setEnabled(on && pick_country_);
}

void TInsertEditDlg::SetAddressEnabled(bool on) {
  label4_->setEnabled(on);
  edit4_->setEnabled(on);
}

void TInsertEditDlg::SetCodeEnabled(bool on) {
  edit7_->setEnabled(on);
  speed3_->setEnabled(on && pick_income_);
}

void TInsertEditDlg::ShowCodeName(const QString &code) {
  const std::optional<QString> name =
      code.isEmpty() ? std::nullopt : lookup_.IncomeName(code.trimmed());
  memo1_->setPlainText(name.value_or(QString()));
}

void TInsertEditDlg::LoadIdentifier(const QString &value) {
  // A stored identifier longer than the field's limit is shown whole, as
  // stored, instead of being cut.
  edit1_->setMaxLength(std::max<int>(kIdentifierLimit, value.size()));
  edit1_->setText(value);
}

int TInsertEditDlg::StoredKindOfRow() const {
  const QString f03 = RowGet(*table_, kF03);
  const QChar kind = f03.isEmpty() ? QLatin1Char('0') : f03.at(0);
  return kind >= QLatin1Char('0') && kind <= QLatin1Char('4') ? kind.digitValue() : kKindNone;
}

QString TInsertEditDlg::StoredCodeOfRow() const { return RowGet(*table_, kF10); }

EditorValues TInsertEditDlg::Gather() const {
  EditorValues v;
  v.row = GatherValues();
  v.kind_count = combo1_->count();
  v.person_enabled = edit1_->isEnabled();
  v.country_enabled = edit3_->isEnabled();
  v.address_enabled = edit4_->isEnabled();
  v.code_enabled = edit7_->isEnabled();
  v.address_caption = label4_->text();
  v.identifier_limit = edit1_->maxLength();
  v.insert_mode = insert_mode_;
  // The stored row is read while it is being edited, as "Не" and "Да" need it.
  if (!insert_mode_ && table_ != nullptr && table_->State() == xb::TDataSetState::dsEdit) {
    v.stored_kind = StoredKindOfRow();
    v.stored_code = StoredCodeOfRow();
  }
  return v;
}

void TInsertEditDlg::ShowStep(const EditorStep &step) {
  const EditorValues &v = step.values;
  {
    const QSignalBlocker block_no(radio_no_);
    const QSignalBlocker block_yes(radio_yes_);
    (v.row.foreign ? radio_yes_ : radio_no_)->setChecked(true);
  }
  if (combo1_->count() != v.kind_count) {
    FillKinds(v.kind_count, v.row.kind);
  } else if (combo1_->currentIndex() != v.row.kind) {
    const QSignalBlocker block(combo1_);
    combo1_->setCurrentIndex(v.row.kind);
  }
  if (edit1_->maxLength() != v.identifier_limit) edit1_->setMaxLength(v.identifier_limit);
  const std::pair<QLineEdit *, const QString *> texts[] = {
      {edit1_, &v.row.identifier}, {edit2_, &v.row.names}, {edit3_, &v.row.country},
      {edit4_, &v.row.address},    {edit7_, &v.row.code},  {edit5_, &v.row.income},
      {edit6_, &v.row.tax}};
  for (const auto &[edit, text] : texts) {
    if (edit->text() == *text) continue;
    if (text->isEmpty()) {
      edit->clear();
    } else {
      edit->setText(*text);
    }
  }
  // The texts are in place before any control is disabled: disabling the
  // control that has the focus moves the focus on, which can leave a field
  // and run its check. The groups follow the order of the tab chain.
  SetPersonFieldsEnabled(v.person_enabled);
  SetCountryEnabled(v.country_enabled);
  SetAddressEnabled(v.address_enabled);
  SetCodeEnabled(v.code_enabled);
  label4_->setText(v.address_caption);
  if (step.code_name == CodeNameShown::kLookedUp) ShowCodeName(edit7_->text());
  if (step.code_name == CodeNameShown::kCleared) memo1_->clear();
  switch (step.focus) {
    case EditorFocus::kKept:
      break;
    case EditorFocus::kIdentifier:
      edit1_->setFocus();
      break;
    case EditorFocus::kAddress:
      edit4_->setFocus();
      break;
    case EditorFocus::kIncome:
      edit5_->setFocus();
      break;
    case EditorFocus::kFirstInput:
      ui::FocusInputControl(edit1_->isEnabled() ? static_cast<QWidget *>(edit1_) : combo1_);
      break;
  }
}

// ---- Activation ----------------------------------------------------------------

void TInsertEditDlg::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TInsertEditDlg::FormActivate() {
  lookup_.Open(data_dir_.isEmpty() ? shell::DataDir() : data_dir_);
  ShowStep(Activated(Gather()));
  insert_mode_ = shell::InsertMode;
  if (insert_mode_) {
    ActivateForInsert();
  } else {
    ActivateForEdit();
  }
}

void TInsertEditDlg::ActivateForInsert() {
  setWindowTitle(QStringLiteral("Нов запис"));
  table_->Append();
  for (ui::InputFilter *f : {filter1_, filter5_, filter6_, filter7_}) f->Forget();
  ShowStep(NewRowShown(Gather()));
}

void TInsertEditDlg::ActivateForEdit() {
  setWindowTitle(QStringLiteral("Редактиране"));
  table_->Edit();
  const StoredRowView view =
      ViewOfStoredRow(RowGet(*table_, kF02), RowGet(*table_, kF03), RowGet(*table_, kF10));
  ShowStep(StoredRowShown(Gather(), view));

  // A stored value that its field's filter refuses leaves the field empty
  // rather than showing the text of an earlier row.
  for (ui::InputFilter *f : {filter1_, filter5_, filter6_, filter7_}) f->Forget();
  LoadIdentifier(RowGet(*table_, kF04));
  edit2_->setText(RowGet(*table_, kF05));
  edit3_->setText(RowGet(*table_, kF06));
  edit4_->setText(RowGet(*table_, kF07));
  edit5_->setText(RowGet(*table_, kF08));
  edit6_->setText(RowGet(*table_, kF09));
  edit7_->setText(RowGet(*table_, kF10));
  ShowCodeName(edit7_->text());
  if (view.foreign) {
    if (const auto name = lookup_.CountryName(edit3_->text())) {
      label4_->setText(CountryAddressCaption(edit3_->text(), *name));
    }
  }
}

// ---- "Не", "Да" and the kind list ----------------------------------------------

void TInsertEditDlg::RadioButton1Click() { ShowStep(ForeignOff(Gather())); }

void TInsertEditDlg::RadioButton2Click() { ShowStep(ForeignOn(Gather())); }

void TInsertEditDlg::ComboBox1Change() { ShowStep(KindChosen(Gather())); }

// ---- Leaving fields ----------------------------------------------------------------

void TInsertEditDlg::OnFocusChanged(QWidget *old, QWidget *now) {
  if (!old || old->window() != this || !isVisible()) return;
  if (old == edit1_) filter1_->Forget();
  if (old == edit5_) filter5_->Forget();
  if (old == edit6_) filter6_->Forget();
  if (old == edit7_) filter7_->Forget();
  // Only a move inside the window is leaving a field: a message box or the
  // window closing is not.
  if (!now || now->window() != this || now == cancel_btn_) return;
  if (old == edit3_) Edit3Exit();
  if (old == edit6_) Edit6Exit();
  if (old == edit7_) Edit7Exit();
}

void TInsertEditDlg::Warn(const QString &caption, const QString &text) {
  ui::MessageBox(this, caption, text, ui::Icon::kWarning);
}

void TInsertEditDlg::Edit3Exit() {
  if (edit3_->text().isEmpty()) return;
  const CountryExitCheck check = CheckCountryOnExit(edit3_->text());
  if (check.result != CountryExitCheck::kNotTwoLatinLetters) edit3_->setText(check.code);
  std::optional<QString> name;
  if (check.result == CountryExitCheck::kLookUp) name = lookup_.CountryName(check.code);
  if (name) {
    label4_->setText(CountryAddressCaption(check.code, *name));
    return;
  }
  Warn(QString(),
       QString::fromUtf8(check.result == CountryExitCheck::kNotTwoLatinLetters
                             ? kNotTwoLatinLettersText
                         : check.result == CountryExitCheck::kBulgaria ? kBulgariaNotAllowedText
                                                                       : kUnknownCountryText));
  label4_->setText(QString::fromUtf8(kAddressAbroadCaption));
  edit3_->setFocus();
}

void TInsertEditDlg::Edit6Exit() {
  if (edit6_->text().isEmpty()) edit6_->setText(QStringLiteral("0.00"));
}

void TInsertEditDlg::Edit7Exit() {
  if (edit7_->text().isEmpty()) return;
  const int kind = SelectedKind();
  const CodeExitCheck check = CheckCodeOnExit(edit7_->text(), kind);
  edit7_->setText(check.code);
  switch (check.result) {
    case CodeExitCheck::kNotAllowed:
      Warn(QString::fromUtf8(shell::kWarningTitle), check.warning);
      memo1_->clear();
      edit7_->setFocus();
      return;
    case CodeExitCheck::kWrongKind:
      memo1_->clear();
      Warn(QString::fromUtf8(shell::kWarningTitle), check.warning);
      edit7_->clear();
      edit7_->setFocus();
      return;
    case CodeExitCheck::kAccepted: {
      // Kept in the row at once; it becomes permanent only with "Запис".
      const bool bound = kind == kKindCondominium || kind == kKindBankInterest;
      RowPut(*table_, kF10, bound ? check.code.leftJustified(5, QLatin1Char(' ')) : check.code);
      ShowCodeName(check.code);
      return;
    }
  }
}

// ---- Keys --------------------------------------------------------------------------

bool TInsertEditDlg::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::KeyPress && isVisible()) {
    if (KeyPress(static_cast<QKeyEvent *>(event))) return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool TInsertEditDlg::KeyPress(QKeyEvent *event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    focusNextPrevChild(!(event->modifiers() & Qt::ShiftModifier));
    return true;
  }
  if (key == Qt::Key_F && (event->modifiers() & Qt::ControlModifier)) {
    ui::MessageBox(this, QStringLiteral("Грешка при търсене"),
                   QStringLiteral("Не сте в подходящо поле !     "), ui::Icon::kWarning);
    return true;
  }
  if (key == Qt::Key_Escape) {
    CancelBtnClick();
    return true;
  }
  return false;
}

// ---- Lookups -------------------------------------------------------------------------

void TInsertEditDlg::SpeedButton1Click() {
  if (!pick_country_) return;
  pick_country_(*this);
  ReturnFromPickList();
  ui::SimulateTab();
}

void TInsertEditDlg::SpeedButton2Click() {
  if (!pick_income_) return;
  pick_income_(*this);
  ReturnFromPickList();
  edit7_->setFocus();
  edit5_->setFocus();
}

void TInsertEditDlg::ReturnFromPickList() {
  // The window system gives the activation back to this window some time
  // after the pick list closed; until then focus moves change no focus and
  // leave no field, so the field checks would not run. Taking it back at
  // once restores the focus to the control that had it.
  if (isVisible() && !isActiveWindow()) QApplication::setActiveWindow(this);
}

// ---- Saving and cancelling -------------------------------------------------------------

RowValues TInsertEditDlg::GatherValues() const {
  RowValues row;
  row.foreign = radio_yes_->isChecked();
  row.kind = SelectedKind();
  row.identifier = edit1_->text();
  row.names = edit2_->text();
  row.country = edit3_->text();
  row.address = edit4_->text();
  row.code = edit7_->text();
  row.income = edit5_->text();
  row.tax = edit6_->text();
  return row;
}

void TInsertEditDlg::WriteRow(const RowValues &values) {
  // An empty tax is stored, and shown, as "0.00".
  if (edit6_->text().isEmpty()) edit6_->setText(QStringLiteral("0.00"));
  const StoredRow row = StoreRow(values);
  RowPut(*table_, kF02, row.foreign_flag);
  RowPut(*table_, kF03, row.kind);
  RowPut(*table_, kF04, row.identifier);
  RowPut(*table_, kF05, row.names);
  RowPut(*table_, kF06, row.country);
  RowPut(*table_, kF07, row.address);
  RowPut(*table_, kF08, row.income);
  RowPut(*table_, kF09, row.tax);
  RowPut(*table_, kF10, row.code);
  table_->Post();
}

void TInsertEditDlg::OKBtnClick() {
  // The row that is checked is the row that is saved.
  RowValues row = GatherValues();
  if (row.foreign) {
    row.country = CountryCodeUpper(row.country);
    edit3_->setText(row.country);
  }
  const QList<int> messages = ValidateRow(row, lookup_);
  if (!messages.isEmpty()) {
    Warn(QStringLiteral("Задължителни полета, контрол на данните"),
         ValidationWarningText(messages));
    ui::FocusInputControl(findChild<QWidget *>(MessageControlName(messages.first())));
    return;
  }

  const QString &identifier = row.identifier;
  const QString &code = row.code;
  const qint64 found = find_duplicate_ ? find_duplicate_(identifier, code) : 0;
  const qint64 duplicate =
      DuplicateToReport(found, !insert_mode_, insert_mode_ ? 0 : table_->RecNo(), identifier, code);
  if (duplicate != 0) {
    Warn(QStringLiteral("Предупреждение"), DuplicateWarningText(duplicate, identifier, code));
    ui::FocusInputControl(edit1_->isEnabled() ? static_cast<QWidget *>(edit1_) : combo1_);
    return;
  }

  WriteRow(row);
  if (!insert_mode_) {
    ui::MessageBox(this, QString::fromUtf8(shell::kInformationTitle),
                   QStringLiteral("Успешен запис на промените !     "), ui::Icon::kInformation);
    accept();
    return;
  }
  ui::MessageBox(this, QString::fromUtf8(shell::kInformationTitle),
                 QStringLiteral("Успешен запис !     "), ui::Icon::kInformation);
  ResetForNextRow();
}

void TInsertEditDlg::ResetForNextRow() {
  ShowStep(NextRowShown(Gather()));
  table_->Append();
}

void TInsertEditDlg::CancelBtnClick() {
  memo1_->clear();
  reject();  // done() cancels the unsaved row
}

void TInsertEditDlg::done(int result) {
  if (table_ && (table_->State() == xb::TDataSetState::dsInsert ||
                 table_->State() == xb::TDataSetState::dsEdit)) {
    table_->Cancel();
  }
  lookup_.Close();
  QDialog::done(result);
}

}  // namespace records
