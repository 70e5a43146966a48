// See config_dlg.h.
#include "settings/config_dlg.h"

#include <algorithm>
#include <vector>

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
#include "settings/payer_fields.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "ui/input_filter.h"
#include "ui/logo.h"
#include "ui/ui_driver.h"
#include "xbase/file/clock.h"

namespace settings {
namespace {

// The value controls in tab order; the two buttons, the check boxes and the
// copy button follow them.
// clang-format off
constexpr shell::PayerIndex kTabOrder[] = {
    shell::kFiscalYear, shell::kOwnerNoType, shell::kOwnerNo, shell::kOwnerName,
    shell::kOwnerObl, shell::kOwnerObst, shell::kOwnerNM, shell::kOwnerPK,
    shell::kOwnerAddr, shell::kOwnerAddrName, shell::kOwnerAddrBl,
    shell::kOwnerAddrNo, shell::kOwnerAddrVh, shell::kOwnerAddrEt, shell::kOwnerAddrAp,
    shell::kOwnerObl8, shell::kOwnerObst8, shell::kOwnerNM8, shell::kOwnerPK8,
    shell::kOwnerAddr8, shell::kOwnerAddrName8, shell::kOwnerAddrBl8,
    shell::kOwnerAddrNo8, shell::kOwnerAddrVh8, shell::kOwnerAddrEt8, shell::kOwnerAddrAp8,
    shell::kOwnerPhone, shell::kOwnerEMail, shell::kAuthorizedPersonName, shell::kAuthorizedPersonID,
};
// clang-format on

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

TConfigDlg::TConfigDlg(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TConfigDlg"));
  setWindowTitle(QStringLiteral(" Данни за платеца"));
  // No close box: the dialog is left through its buttons or Esc.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  BuildControls();
  // The year list is built once, from the date at start-up.
  const int year = xb::Now().year;
  List(shell::kFiscalYear)->addItems({QString::number(year - 1), QString::number(year)});
  List(shell::kFiscalYear)->setCurrentIndex(0);
}

QLineEdit *TConfigDlg::Edit(shell::PayerIndex index) const {
  return static_cast<QLineEdit *>(control_[index]);
}

QComboBox *TConfigDlg::List(shell::PayerIndex index) const {
  return static_cast<QComboBox *>(control_[index]);
}

void TConfigDlg::BuildControls() {
  using shell::PayerIndex;
  for (const PayerField &field : kPayerFields) {
    QWidget *control = nullptr;
    if (field.kind == PayerControl::kList) {
      control = new QComboBox(this);
    } else if (field.kind == PayerControl::kEdit) {
      auto *edit = new QLineEdit(this);
      edit->setMaxLength(field.limit);
      if (field.numeric) {
        new ui::InputFilter(edit, ui::IsWholeNumber, ui::InputFilter::EmptyText::kNotRemembered);
      }
      control = edit;
    } else {
      continue;
    }
    control->setObjectName(QLatin1String(field.control));
    if (field.green) control->setStyleSheet(QLatin1String(kGreen));
    control_[field.index] = control;
  }
  List(shell::kOwnerNoType)
      ->addItems({QString::fromUtf8(kKindServiceNo), QString::fromUtf8(kKindEik)});
  for (PayerIndex i : {shell::kOwnerAddr, shell::kOwnerAddr8})
    List(i)->addItems({"ул.", "бул.", "кв.", "ж.к."});
  for (PayerIndex i : {shell::kOwnerAddrBl, shell::kOwnerAddrBl8})
    List(i)->addItems({QString(), "бл."});
  List(shell::kFiscalYear)->setMinimumWidth(80);
  for (PayerIndex i : {shell::kOwnerAddr, shell::kOwnerAddr8}) List(i)->setMinimumWidth(75);
  for (PayerIndex i : {shell::kOwnerAddrBl, shell::kOwnerAddrBl8}) List(i)->setMinimumWidth(65);
  connect(List(shell::kOwnerNoType), &QComboBox::activated, this, &TConfigDlg::ComboBox2Change);
  // However the kind changes (the user, or the activation), the identifier
  // field takes the length of that kind (see LimitIdentifier).
  connect(List(shell::kOwnerNoType), &QComboBox::currentIndexChanged, this,
          [this] { LimitIdentifier(); });
  connect(Edit(shell::kOwnerNo), &QLineEdit::textChanged, this, [this] { LimitIdentifier(); });
  for (PayerIndex i : {shell::kOwnerNo, shell::kOwnerName}) {
    QFont bold = Edit(i)->font();
    bold.setBold(true);
    Edit(i)->setFont(bold);
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
  ident->addWidget(List(shell::kFiscalYear), 1, 0);
  ident->addWidget(Label(QStringLiteral("Вид идентификатор"), this), 0, 1);
  ident->addWidget(List(shell::kOwnerNoType), 1, 1);
  ident->addWidget(Label(QStringLiteral("Идентификатор"), this), 0, 2);
  ident->addWidget(Edit(shell::kOwnerNo), 1, 2);
  ident->setColumnStretch(1, 1);
  heading->addLayout(ident);
  top->addLayout(heading, 1);
  form->addLayout(top);

  auto *name = new QVBoxLayout;
  name->setSpacing(2);
  name->addWidget(Label(
      QStringLiteral("Наименование на предприятието / Име на самоосигуряващото се лице"), this));
  name->addWidget(Edit(shell::kOwnerName));
  form->addLayout(name);

  // The two addresses share one layout: region, municipality, town, postal
  // code; then kind of street, name, block prefix, number, entrance, floor,
  // flat. `first` is the region of the address; its other values follow it in
  // PayerData's order.
  auto address = [this](const QString &heading, int first, shell::PayerIndex bl, QWidget *extra) {
    auto at = [first](int offset) { return shell::PayerIndex(first + offset); };
    auto *box = new QGroupBox(heading, this);
    auto *grid = new QGridLayout(box);
    const char *captions[] = {"Област", "Община", "Нас.място", "Пощенски код"};
    for (int i = 0; i < 4; ++i) {
      grid->addWidget(Label(QString::fromUtf8(captions[i]), box), 0, i * 2);
      grid->addWidget(Edit(at(i)), 1, i * 2, 1, 2);
    }
    auto *street = new QHBoxLayout;
    street->addWidget(List(at(4)));
    street->addWidget(Edit(at(5)), 3);
    street->addWidget(List(bl));
    const std::pair<const char *, int> parts[] = {{"№", 6}, {"вх.", 7}, {"ет.", 8}, {"ап.", 9}};
    for (const auto &[caption, offset] : parts) {
      street->addWidget(Label(QString::fromUtf8(caption), box));
      Edit(at(offset))->setFixedWidth(offset == 6 ? 60 : 36);
      street->addWidget(Edit(at(offset)));
    }
    grid->addLayout(street, 2, 0, 1, 8);
    if (extra != nullptr) grid->addWidget(extra, 0, 8, 3, 1, Qt::AlignVCenter);
    return box;
  };
  form->addWidget(address(QStringLiteral("Адрес за кореспонденция "), shell::kOwnerObl,
                          shell::kOwnerAddrBl, nullptr));
  form->addWidget(address(QStringLiteral("Адрес по чл.8 от ДОПК"), shell::kOwnerObl8,
                          shell::kOwnerAddrBl8, copy_));

  // The contacts and the representative side by side.
  auto *contact = new QGroupBox(QStringLiteral("Данни за контакт"), this);
  auto *contact_grid = new QGridLayout(contact);
  contact_grid->addWidget(Label(QStringLiteral("Телефон"), contact), 0, 0);
  contact_grid->addWidget(Edit(shell::kOwnerPhone), 1, 0);
  contact_grid->addWidget(Label(QStringLiteral("e-Mail"), contact), 2, 0);
  contact_grid->addWidget(Edit(shell::kOwnerEMail), 3, 0);
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
  person_grid->addWidget(Edit(shell::kAuthorizedPersonName), 2, 0);
  person_grid->addWidget(Label(QStringLiteral("ЕГН/ЛН/ЛНЧ/Служ.№ от рег.на ВЕСКОР"), person), 1, 1);
  person_grid->addWidget(Edit(shell::kAuthorizedPersonID), 2, 1);
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
  std::vector<QWidget *> order;
  for (shell::PayerIndex index : kTabOrder) order.push_back(control_[index]);
  order.insert(order.end(), {ok_, cancel_, check1_, check2_, copy_});
  for (size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
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
  SelectEntry(List(shell::kFiscalYear), file[shell::kFiscalYear]);
  SelectEntry(List(shell::kOwnerNoType), file[shell::kOwnerNoType]);
  // The identifier is put in whole and limited by its kind below.
  Edit(shell::kOwnerNo)->setMaxLength(kLongestIdentifier);
  for (const PayerField &field : kPayerFields) {
    if (field.kind == PayerControl::kEdit) {
      Edit(field.index)->setText(file[field.index]);
    } else if (field.kind == PayerControl::kList && field.index != shell::kFiscalYear &&
               field.index != shell::kOwnerNoType) {
      SelectEntry(List(field.index), file[field.index]);
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
  const int limit = Selected(List(shell::kOwnerNoType)) == QString::fromUtf8(kKindEik) ? 13 : 10;
  Edit(shell::kOwnerNo)->setMaxLength(std::max<int>(limit, Edit(shell::kOwnerNo)->text().size()));
}

shell::PayerRecord TConfigDlg::TakePayerDataFromDialog() const {
  shell::PayerRecord values;
  for (const PayerField &field : kPayerFields) {
    if (field.kind == PayerControl::kEdit) values[field.index] = Edit(field.index)->text();
    if (field.kind == PayerControl::kList) values[field.index] = Selected(List(field.index));
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
  const QString warning = IdentifierWarning(shell::PayerData[shell::kOwnerNoType],
                                            Edit(shell::kOwnerNo)->text().size());
  const PayerProblem problem = FindPayerProblem(shell::PayerData, warning, xb::Now().year);
  if (problem.value == 0) return false;
  ui::MessageBox(this, QStringLiteral("Предупреждение"),
                 problem.warning + QStringLiteral("  ...        "), ui::Icon::kWarning);
  if (QWidget *control = control_[problem.value - 1]) FocusField(control);
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
  for (const auto &[from, to] : kAddressCopy) {
    if (kPayerFields[from].kind == PayerControl::kList) {
      List(to)->setCurrentIndex(List(from)->currentIndex());
    } else {
      Edit(to)->setText(Edit(from)->text());
    }
  }
}

}  // namespace settings
