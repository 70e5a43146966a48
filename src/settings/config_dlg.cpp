// See config_dlg.h.
#include "settings/config_dlg.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "settings/payer_check.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "ui/input_filter.h"
#include "ui/logo.h"
#include "ui/ui_driver.h"
#include "xbase/clock.h"

namespace settings {
namespace {

constexpr const char *kControlOfValue[shell::kPayerValueCount] = {
    "ComboBox1", "ComboBox2", "Edit1",     "Edit2",  "Edit3",  "Edit4",     "Edit5",     "Edit6",
    "ComboBox3", "Edit7",     "Edit19",    "Edit20", "Edit21", "Edit22",    "Edit10",    "Edit11",
    "Edit12",    "Edit13",    "ComboBox4", "Edit14", "Edit15", "Edit16",    "Edit17",    "Edit18",
    "Edit8",     "Edit9",     "Edit23",    "Edit24", "",       "ComboBox5", "ComboBox6",
};

struct EditSpec {
  int number;
  int max_length;
  bool numeric;
  bool green;
};

constexpr EditSpec kEdits[] = {
    {1, 10, true, true},   {2, 40, false, true},  {3, 15, false, true},   {4, 15, false, true},
    {5, 25, false, true},  {6, 4, true, true},    {7, 27, false, true},   {19, 4, false, true},
    {20, 1, false, false}, {21, 2, true, false},  {22, 2, true, false},   {10, 15, false, true},
    {11, 15, false, true}, {12, 25, false, true}, {13, 4, true, true},    {14, 27, false, true},
    {15, 4, false, true},  {16, 1, false, false}, {17, 2, true, false},   {18, 2, true, false},
    {8, 20, false, false}, {9, 60, false, false}, {23, 50, false, false}, {24, 10, true, false},
};

// Long enough for any identifier a settings file may hold.
constexpr int kLongestIdentifier = 32767;

const char kGreen[] = "background-color: #b9f5b9;";
const char kRedItalic[] = "color: #c00000; font-style: italic;";

// The text of a list's selected entry, or empty text when none is selected.
QString Selected(const QComboBox *combo) {
  return combo->currentIndex() < 0 ? QString() : combo->currentText();
}

// Selects the entry equal to `text` ignoring case, or nothing.
void SelectEntry(QComboBox *combo, const QString &text) {
  int found = -1;
  for (int i = 0; i < combo->count(); ++i) {
    if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
      found = i;
      break;
    }
  }
  combo->setCurrentIndex(found);
}

QString JoinInSaveOrder(const shell::PayerRecord &values) {
  QString joined;
  for (shell::PayerIndex index : PayerSaveOrder()) joined += values[index];
  return joined;
}

QLabel *Label(const QString &text, QWidget *parent) { return new QLabel(text, parent); }

}  // namespace

const char *ControlNameOfPayerValue(int index) { return kControlOfValue[index]; }

TConfigDlg::TConfigDlg(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TConfigDlg"));
  setWindowTitle(QStringLiteral(" Данни за платеца"));
  // No close box: the dialog is left through its buttons or Esc.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  BuildControls();
  // The year list is built once, from the date at start-up.
  const int year = xb::Now().year;
  combo_[1]->addItems({QString::number(year - 1), QString::number(year)});
  combo_[1]->setCurrentIndex(0);
}

void TConfigDlg::BuildControls() {
  for (int i = 1; i <= 6; ++i) {
    combo_[i] = new QComboBox(this);
    combo_[i]->setObjectName(QStringLiteral("ComboBox%1").arg(i));
    combo_[i]->setStyleSheet(QLatin1String(kGreen));
  }
  combo_[2]->addItems({QString::fromUtf8(kKindServiceNo), QString::fromUtf8(kKindEik)});
  for (int i : {3, 4}) combo_[i]->addItems({"ул.", "бул.", "кв.", "ж.к."});
  for (int i : {5, 6}) combo_[i]->addItems({QString(), "бл."});
  combo_[1]->setMinimumWidth(80);
  for (int i : {3, 4}) combo_[i]->setMinimumWidth(75);
  for (int i : {5, 6}) combo_[i]->setMinimumWidth(65);
  connect(combo_[2], &QComboBox::activated, this, &TConfigDlg::ComboBox2Change);
  // However the kind changes (the user, or the activation), the identifier
  // field takes the length of that kind (see LimitIdentifier).
  connect(combo_[2], &QComboBox::currentIndexChanged, this, [this] { LimitIdentifier(); });

  for (const EditSpec &spec : kEdits) {
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("Edit%1").arg(spec.number));
    edit->setMaxLength(spec.max_length);
    if (spec.green) edit->setStyleSheet(QLatin1String(kGreen));
    if (spec.numeric) {
      new ui::InputFilter(edit, ui::IsWholeNumber, ui::InputFilter::EmptyText::kNotRemembered);
    }
    edit_[spec.number] = edit;
  }
  connect(edit_[1], &QLineEdit::textChanged, this, [this] { LimitIdentifier(); });
  for (int i : {1, 2}) {
    QFont bold = edit_[i]->font();
    bold.setBold(true);
    edit_[i]->setFont(bold);
  }

  check1_ = new QCheckBox(this);
  check1_->setObjectName(QStringLiteral("CheckBox1"));
  check2_ = new QCheckBox(this);
  check2_->setObjectName(QStringLiteral("CheckBox2"));
  ok_ = new QPushButton(QStringLiteral("Запис"), this);
  ok_->setObjectName(QStringLiteral("OKBtn"));
  cancel_ = new QPushButton(QStringLiteral("Изход"), this);
  cancel_->setObjectName(QStringLiteral("CancelBtn"));
  cancel_->setToolTip(QStringLiteral("Отказ от промените на параметрите"));
  for (QPushButton *b : {ok_, cancel_}) {
    b->setAutoDefault(false);
    b->setMinimumSize(110, 30);
  }
  copy_ = new QToolButton(this);
  copy_->setObjectName(QStringLiteral("BitBtn1"));
  copy_->setText(QStringLiteral("⇩"));
  copy_->setToolTip(QStringLiteral("Копиране от Адрес за кореспонденция"));
  connect(ok_, &QPushButton::clicked, this, &TConfigDlg::OKBtnClick);
  connect(cancel_, &QPushButton::clicked, this, &TConfigDlg::CancelBtnClick);
  connect(copy_, &QToolButton::clicked, this, &TConfigDlg::BitBtn1Click);

  // ---- layout ----
  // The form scrolls when the screen is too low for it; the footer with the
  // two buttons always shows (FitToScreen).
  auto *root = new QVBoxLayout(this);
  form_ = new QWidget;
  auto *form = new QVBoxLayout(form_);
  form->setContentsMargins(0, 0, 0, 0);
  // The logo, and beside it the title over the year and the identifier.
  auto *top = new QHBoxLayout;
  logo_ = new QLabel(this);
  logo_->setObjectName(QStringLiteral("Image1"));
  logo_->setFixedSize(85, 57);
  top->addWidget(logo_, 0, Qt::AlignTop);
  auto *title = Label(QStringLiteral("Данни  за  платеца на дохода"), this);
  QFont title_font = title->font();
  title_font.setPointSize(title_font.pointSize() + 5);
  title_font.setBold(true);
  title->setFont(title_font);
  auto *heading = new QVBoxLayout;
  heading->setSpacing(2);
  heading->addWidget(title, 0, Qt::AlignHCenter);
  auto *ident = new QGridLayout;
  ident->setVerticalSpacing(2);
  ident->addWidget(Label(QStringLiteral("Данъчна год."), this), 0, 0);
  ident->addWidget(combo_[1], 1, 0);
  ident->addWidget(Label(QStringLiteral("Вид идентификатор"), this), 0, 1);
  ident->addWidget(combo_[2], 1, 1);
  ident->addWidget(Label(QStringLiteral("Идентификатор"), this), 0, 2);
  ident->addWidget(edit_[1], 1, 2);
  ident->setColumnStretch(1, 1);
  heading->addLayout(ident);
  top->addLayout(heading, 1);
  form->addLayout(top);

  auto *name = new QVBoxLayout;
  name->setSpacing(2);
  name->addWidget(Label(
      QStringLiteral("Наименование на предприятието / Име на самоосигуряващото се лице"), this));
  name->addWidget(edit_[2]);
  form->addLayout(name);

  // The two addresses share one layout: region, municipality, town, postal
  // code; then kind of street, name, block prefix, number, entrance, floor, flat.
  auto address = [this](const QString &heading, int obl, int addr, int name, int bl, int no, int vh,
                        int et, int ap, QWidget *extra) {
    auto *box = new QGroupBox(heading, this);
    auto *grid = new QGridLayout(box);
    const char *captions[] = {"Област", "Община", "Нас.място", "Пощенски код"};
    for (int i = 0; i < 4; ++i) {
      grid->addWidget(Label(QString::fromUtf8(captions[i]), box), 0, i * 2);
      grid->addWidget(edit_[obl + i], 1, i * 2, 1, 2);
    }
    auto *street = new QHBoxLayout;
    street->addWidget(combo_[addr]);
    street->addWidget(edit_[name], 3);
    street->addWidget(combo_[bl]);
    const std::pair<const char *, int> parts[] = {{"№", no}, {"вх.", vh}, {"ет.", et}, {"ап.", ap}};
    for (const auto &[caption, number] : parts) {
      street->addWidget(Label(QString::fromUtf8(caption), box));
      edit_[number]->setFixedWidth(number == no ? 60 : 36);
      street->addWidget(edit_[number]);
    }
    grid->addLayout(street, 2, 0, 1, 8);
    if (extra != nullptr) grid->addWidget(extra, 0, 8, 3, 1, Qt::AlignVCenter);
    return box;
  };
  form->addWidget(
      address(QStringLiteral("Адрес за кореспонденция "), 3, 3, 7, 5, 19, 20, 21, 22, nullptr));
  form->addWidget(
      address(QStringLiteral("Адрес по чл.8 от ДОПК"), 10, 4, 14, 6, 15, 16, 17, 18, copy_));

  // The contacts and the representative side by side.
  auto *contact = new QGroupBox(QStringLiteral("Данни за контакт"), this);
  auto *contact_grid = new QGridLayout(contact);
  contact_grid->addWidget(Label(QStringLiteral("Телефон"), contact), 0, 0);
  contact_grid->addWidget(edit_[8], 1, 0);
  contact_grid->addWidget(Label(QStringLiteral("e-Mail"), contact), 2, 0);
  contact_grid->addWidget(edit_[9], 3, 0);
  contact_grid->setRowStretch(4, 1);
  auto *people = new QHBoxLayout;
  people->addWidget(contact, 2);

  auto *person = new QGroupBox(QStringLiteral("Данни за представляващия"), this);
  auto *person_grid = new QGridLayout(person);
  auto *legal = Label(QStringLiteral("(попълват се ако платеца е юрид.лице)"), person);
  legal->setStyleSheet(QLatin1String(kRedItalic));
  person_grid->addWidget(legal, 0, 0, 1, 2);
  person_grid->addWidget(Label(QStringLiteral("Собствено име, презиме и фамилно име"), person), 1,
                         0);
  person_grid->addWidget(edit_[23], 2, 0);
  person_grid->addWidget(Label(QStringLiteral("ЕГН/ЛН/ЛНЧ/Служ.№ от рег.на ВЕСКОР"), person), 1, 1);
  person_grid->addWidget(edit_[24], 2, 1);
  person_grid->setColumnStretch(0, 2);
  person_grid->setColumnStretch(1, 1);
  person_grid->setRowStretch(3, 1);
  people->addWidget(person, 3);
  form->addLayout(people);

  auto *flags = new QGroupBox(QStringLiteral("Отбележете, ако"), this);
  auto *flags_grid = new QGridLayout(flags);
  flags_grid->addWidget(check1_, 0, 0, Qt::AlignTop);
  flags_grid->addWidget(
      Label(QStringLiteral("Справката се подава при прекратяване с ликвидация или с \n"
                           "обявяване в несъстоятелност в срока по чл. 162 от ЗКПО"),
            flags),
      0, 1);
  flags_grid->addWidget(check2_, 1, 0, Qt::AlignTop);
  flags_grid->addWidget(
      Label(QStringLiteral("Справката е изготвена от правоприемник и съдържа данни за \n"
                           "изплатени/начислени доходи от преобразув./прехвърл. предприятие"),
            flags),
      1, 1);
  flags_grid->setColumnStretch(1, 1);
  form->addWidget(flags);

  auto *bottom = new QHBoxLayout;
  auto *footer =
      Label(QStringLiteral("Полетата със зелен фон трябва да бъдат задължително попълнени"), this);
  footer->setStyleSheet(QLatin1String(kRedItalic));
  bottom->addWidget(footer, 1);
  bottom->addWidget(ok_);
  bottom->addWidget(cancel_);
  scroll_ = new QScrollArea(this);
  scroll_->setWidget(form_);
  scroll_->setWidgetResizable(true);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setFocusPolicy(Qt::NoFocus);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  root->addWidget(scroll_, 1);
  root->addLayout(bottom);
  // Whatever gets the focus (Tab, Enter, a warning) is scrolled into view.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
    if (now != nullptr && form_->isAncestorOf(now)) scroll_->ensureWidgetVisible(now, 10, 10);
  });

  // Tab order of the table of controls.
  QWidget *order[] = {combo_[1], combo_[2], edit_[1],  edit_[2],  edit_[3],  edit_[4],  edit_[5],
                      edit_[6],  combo_[3], edit_[7],  combo_[5], edit_[19], edit_[20], edit_[21],
                      edit_[22], edit_[10], edit_[11], edit_[12], edit_[13], combo_[4], edit_[14],
                      combo_[6], edit_[15], edit_[16], edit_[17], edit_[18], edit_[8],  edit_[9],
                      edit_[23], edit_[24], ok_,       cancel_,   check1_,   check2_,   copy_};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  // Enter moves on like Tab everywhere in the dialog, buttons included.
  for (QWidget *w : order) w->installEventFilter(this);
  FitToScreen();
}

void TConfigDlg::FitToScreen() {
  // The whole form when the screen has room for it (a title bar and a
  // panel allowed for), else as tall as the screen with the form scrolling.
  QWidget *owner = parentWidget() != nullptr ? parentWidget()->window() : this;
  const QRect available = owner->screen()->availableGeometry();
  constexpr int kFrameAllowance = 40;
  const QSize form = form_->sizeHint();
  const QMargins margins = layout()->contentsMargins();
  const int footer = layout()->itemAt(1)->sizeHint().height() + layout()->spacing();
  const int natural = form.height() + footer + margins.top() + margins.bottom();
  const int height = std::min(natural, std::max(200, available.height() - kFrameAllowance));
  int width = std::max(form.width() + margins.left() + margins.right(), 760);
  if (height < natural) width += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  setFixedSize(width, height);
}

void TConfigDlg::setVisible(bool visible) {
  if (visible && !isVisible()) FitToScreen();
  QDialog::setVisible(visible);
}

bool TConfigDlg::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      focusNextChild();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TConfigDlg::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

void TConfigDlg::FormActivate() {
  logo_->setPixmap(ui::VeskorLogo());
  const shell::PayerRecord file = ReadPayerRecord();
  SelectEntry(combo_[1], file[shell::kFiscalYear]);
  SelectEntry(combo_[2], file[shell::kOwnerNoType]);
  // The identifier is put in whole and limited by its kind below.
  edit_[1]->setMaxLength(kLongestIdentifier);
  for (int i = 0; i < shell::kPayerValueCount; ++i) {
    const QString name = QLatin1String(kControlOfValue[i]);
    if (name.startsWith(QLatin1String("Edit"))) {
      edit_[name.mid(4).toInt()]->setText(file[i]);
    } else if (i != shell::kFiscalYear && i != shell::kOwnerNoType && !name.isEmpty()) {
      SelectEntry(combo_[name.mid(8).toInt()], file[i]);
    }
  }
  bool termination = check1_->isChecked();
  bool successor = check2_->isChecked();
  if (StatusFlags(file[shell::kStatus], &termination, &successor)) {
    check1_->setChecked(termination);
    check2_->setChecked(successor);
  }
  LimitIdentifier();
  // "Изход" asks only about what the user changed, so the reference is what
  // the controls show now, not the file: a fresh file's empty status word
  // shows as "Active", a year that is not offered as no selection.
  activation_copy_ = JoinInSaveOrder(TakePayerDataFromDialog());
}

void TConfigDlg::LimitIdentifier() {
  // A ЕИК has 9 or 13 digits (a ЕГН as ЕИК 10), the service number 10. An
  // identifier already longer than its kind allows is kept as it is, for the
  // check to refuse, rather than cut.
  const int limit = Selected(combo_[2]) == QString::fromUtf8(kKindEik) ? 13 : 10;
  edit_[1]->setMaxLength(std::max<int>(limit, edit_[1]->text().size()));
}

shell::PayerRecord TConfigDlg::TakePayerDataFromDialog() const {
  shell::PayerRecord values;
  for (int i = 0; i < shell::kPayerValueCount; ++i) {
    const QString name = QLatin1String(kControlOfValue[i]);
    if (name.startsWith(QLatin1String("Edit"))) {
      values[i] = edit_[name.mid(4).toInt()]->text();
    } else if (name.startsWith(QLatin1String("ComboBox"))) {
      values[i] = Selected(combo_[name.mid(8).toInt()]);
    }
  }
  values[shell::kStatus] = StatusWord(check1_->isChecked(), check2_->isChecked());
  return values;
}

void TConfigDlg::ComboBox2Change(int index) {
  // The chosen kind goes into the payer data in memory at once, before any
  // save, as the program always did; the check no longer needs it (it takes
  // the dialog's values first). Until the next load an unsaved choice stays in
  // memory after "Изход" without saving, and the export's second report takes
  // the kind from there.
  if (index == 0) shell::PayerData[shell::kOwnerNoType] = QString::fromUtf8(kKindServiceNo);
  if (index == 1) shell::PayerData[shell::kOwnerNoType] = QString::fromUtf8(kKindEik);
}

void TConfigDlg::FocusField(QWidget *control) {
  if (qobject_cast<QLineEdit *>(control) != nullptr ||
      qobject_cast<QComboBox *>(control) != nullptr ||
      qobject_cast<QCheckBox *>(control) != nullptr) {
    control->setFocus(Qt::OtherFocusReason);
  }
}

bool TConfigDlg::CheckPayerData(bool with_messages) {
  if (!with_messages) return CheckPayerDataSilently();
  const QString path = shell::SettingsFilePath();
  if (!QFileInfo::exists(path)) WriteSettingsTemplate(path);
  shell::PayerData = TakePayerDataFromDialog();
  // The identifier's warning follows the kind the dialog shows.
  const QString warning =
      IdentifierWarning(shell::PayerData[shell::kOwnerNoType], edit_[1]->text().size());
  const PayerProblem problem = FindPayerProblem(shell::PayerData, warning, xb::Now().year);
  if (problem.value == 0) return false;
  ui::MessageBox(this, QStringLiteral("Предупреждение"),
                 problem.warning + QStringLiteral("  ...        "), ui::Icon::kWarning);
  if (!problem.control.isEmpty()) FocusField(findChild<QWidget *>(problem.control));
  return true;
}

bool TConfigDlg::SaveAndClose() {
  try {
    if (CheckPayerData(true)) return false;
    SavePayerRecord(TakePayerDataFromDialog());
    LoadPayerData();
  } catch (const SettingsWriteError &e) {
    // The old file is intact and the dialog keeps what was typed.
    ui::MessageBox(this, QStringLiteral("Грешка"), QString::fromStdString(e.what()),
                   ui::Icon::kError);
    return false;
  }
  emit PayerDataSaved();
  done(QDialog::Accepted);
  return true;
}

void TConfigDlg::OKBtnClick() { SaveAndClose(); }

void TConfigDlg::CancelBtnClick() {
  if (JoinInSaveOrder(TakePayerDataFromDialog()) == activation_copy_) {
    done(QDialog::Rejected);
    return;
  }
  switch (ui::MessageBox(this, QStringLiteral("Изход"),
                         QStringLiteral("Има промени в параметрите. Да се съхранят ли ?      "),
                         ui::Icon::kQuestion, ui::Buttons::kYesNoCancel)) {
    case ui::Answer::kYes:
      SaveAndClose();
      break;
    case ui::Answer::kNo:
      done(QDialog::Rejected);
      break;
    default:
      try {
        CheckPayerData(true);
      } catch (const SettingsWriteError &e) {
        ui::MessageBox(this, QStringLiteral("Грешка"), QString::fromStdString(e.what()),
                       ui::Icon::kError);
      }
      break;
  }
}

void TConfigDlg::reject() { CancelBtnClick(); }

void TConfigDlg::BitBtn1Click() {
  const std::pair<int, int> edits[] = {{3, 10},  {4, 11},  {5, 12},  {6, 13}, {7, 14},
                                       {19, 15}, {20, 16}, {21, 17}, {22, 18}};
  for (const auto &[from, to] : edits) edit_[to]->setText(edit_[from]->text());
  combo_[4]->setCurrentIndex(combo_[3]->currentIndex());
  combo_[6]->setCurrentIndex(combo_[5]->currentIndex());
}

}  // namespace settings
