// See main_window.h. Client coordinates of the controls matter: the pointer
// is placed relative to them after each command. Times New Roman and Courier
// New resolve to their metric twins (Liberation Serif and Mono) on Linux.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "agencyfile/check_file_dlg.h"
#include "agencyfile/export_run.h"
#include "app/help_window.h"
#include "importfile/import_operations.h"
#include "records/data_entry_dlg.h"
#include "records/income_table.h"
#include "records/insert_edit_dlg.h"
#include "records/lookup_country.h"
#include "records/lookup_income.h"
#include "records/total_persons_dlg.h"
#include "settings/config_dlg.h"
#include "settings/payer_check.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "shell/window_flags.h"
#include "ui/application.h"
#include "ui/engine_text.h"
#include "ui/input.h"
#include "ui/logo.h"
#include "ui/ui_driver.h"

namespace app {
namespace {

QFont TimesFont(int pixels, bool bold) {
  QFont font(QStringLiteral("Times New Roman"));
  font.setStyleHint(QFont::Serif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace

QString MainWindowCaption(const QString &owner_name) {
  return QStringLiteral(" Справка по ОРВЕЛ  ") + QLatin1String(kVersionText) +
         QStringLiteral("    ") + owner_name;
}

TForm1::TForm1() : QWidget(nullptr) {
  setObjectName(QStringLiteral("TForm1"));
  // Fixed size, the close box only.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(972, 675);
  BuildControls();
  if (QScreen *screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  FormCreate();
  FormActivate();
}

TForm1::~TForm1() = default;

void TForm1::BuildControls() {
  struct ButtonSpec {
    QPushButton **button;
    const char *name;
    QRect geometry;
    const char *caption;
    const char *hint;
    QStyle::StandardPixmap glyph;
  };
  const ButtonSpec buttons[] = {
      {&btn1_, "BitBtn1", QRect(88, 96, 140, 44), "Въвеждане",
       "Въвеждане на данни за физически лица, на които са изплатени доходи по ОРВЕЛ",
       QStyle::SP_FileDialogDetailedView},
      {&btn5_, "BitBtn5", QRect(235, 96, 140, 44), "Проверка",
       "Проверка на текстов файл (съгласно утвърден от ВЕСКОР формат) създаден с друг продукт",
       QStyle::SP_DialogApplyButton},
      {&btn2_, "BitBtn2", QRect(380, 96, 208, 44), "Данни за платеца",
       "Идентификационни данни за платеца на доходи по ОРВЕЛ", QStyle::SP_FileDialogInfoView},
      {&btn4_, "BitBtn4", QRect(593, 96, 140, 44), "Помощ",
       "Описание на предназначението на програмата и работата с нея", QStyle::SP_DialogHelpButton},
      {&btn3_, "BitBtn3", QRect(738, 96, 140, 44), "Изход", "Изход от програмата",
       QStyle::SP_DialogCloseButton},
  };
  for (const ButtonSpec &spec : buttons) {
    auto *b = new QPushButton(QString::fromUtf8(spec.caption), this);
    b->setObjectName(QLatin1String(spec.name));
    b->setGeometry(spec.geometry);
    b->setToolTip(QString::fromUtf8(spec.hint));
    b->setFont(TimesFont(19, true));
    b->setIcon(style()->standardIcon(spec.glyph));
    b->setLayoutDirection(Qt::RightToLeft);  // glyph to the right of the caption
    b->setAutoDefault(false);
    *spec.button = b;
  }
  setTabOrder(btn1_, btn5_);
  setTabOrder(btn5_, btn2_);
  setTabOrder(btn2_, btn4_);
  setTabOrder(btn4_, btn3_);
  connect(btn1_, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
  connect(btn5_, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
  connect(btn2_, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
  connect(btn4_, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
  connect(btn3_, &QPushButton::clicked, this, &TForm1::BitBtn3Click);

  auto label = [this](const char *name, const QString &text, QPoint at, const QFont &font,
                      const QColor &color) {
    auto *l = new QLabel(text, this);
    l->setObjectName(QLatin1String(name));
    l->setFont(font);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, color);
    l->setPalette(palette);
    l->adjustSize();
    l->move(at);
    return l;
  };
  // The title ОРВЕЛ: "ОР" and "ЕЛ" in black, "В" in red inside a large red "О".
  QFont courier(QStringLiteral("Courier New"));
  courier.setStyleHint(QFont::Courier);
  courier.setPixelSize(69);
  label6_ = label("Label6", QStringLiteral("О"), QPoint(428, 308), courier, Qt::red);
  label6_->setGeometry(428, 308, 41, 74);
  label6_->setAlignment(Qt::AlignCenter);
  label2_ = label("Label2", QStringLiteral("ОР"), QPoint(389, 325), TimesFont(32, true), Qt::black);
  label4_ = label("Label4", QStringLiteral("В"), QPoint(440, 328), TimesFont(27, true), Qt::red);
  label5_ = label("Label5", QStringLiteral("ЕЛ"), QPoint(471, 326), TimesFont(32, true), Qt::black);
  label5_->setGeometry(471, 326, 108, 36);
  label2_->move(label6_->x() - label2_->width(), 325);
  // Centre the red letter on the ring's glyph (not on the ring's label box).
  const QFontMetrics ring(courier);
  const int ring_baseline = label6_->y() + (label6_->height() - ring.height()) / 2 + ring.ascent();
  const QPoint ring_centre(
      label6_->geometry().center().x(),
      ring_baseline + ring.tightBoundingRect(QStringLiteral("О")).center().y());
  const QFontMetrics letter(label4_->font());
  const int letter_centre =
      letter.ascent() + letter.tightBoundingRect(QStringLiteral("В")).center().y();
  label4_->move(ring_centre.x() - label4_->width() / 2 + 1, ring_centre.y() - letter_centre);
  label6_->installEventFilter(this);
  // The version under the title; the pointer rests on it before the exit
  // question.
  label3_ = label("Label3", QLatin1String(kVersionText), QPoint(454, 376), font(), Qt::black);

  image1_ = new QLabel(this);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setGeometry(438, 575, 81, 65);
  image1_->setAlignment(Qt::AlignCenter);
  label1_ = label("Label1", QStringLiteral("ВЕСКОР"), QPoint(398, 631), TimesFont(14, true),
                  QColor(0x1f, 0x3c, 0x88));
  // From its place, wide and tall enough to have the name centred under the
  // logo and clear of it.
  label1_->setFixedSize(2 * (image1_->geometry().center().x() - label1_->x()) + 1,
                        label1_->height() + 8);
  label1_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
}

void TForm1::FormCreate() {
  help_file_ = shell::HelpFilePath();
  // The income table is created, or its income code field checked; a failed
  // check (warned about inside) or an unreadable table ends the program.
  try {
    if (!records::PrepareIncomeTable(this)) end_requested_ = true;
  } catch (const std::exception &e) {
    ui::ShowEscapedError(e.what());
    end_requested_ = true;
  }
  try {
    data_entry_allowed_ = !settings::CheckPayerDataSilently();
  } catch (const settings::SettingsWriteError &e) {
    data_entry_allowed_ = false;
    ui::MessageBox(this, QStringLiteral("Грешка"), ui::EngineErrorText(e.what()), ui::Icon::kError);
  }
  UpdateCommands();
}

void TForm1::SetConfigDlg(settings::TConfigDlg *dialog) {
  config_dlg_ = dialog;
  if (dialog != nullptr) {
    connect(dialog, &settings::TConfigDlg::PayerDataSaved, this, [this] {
      EnableDataEntry();
      setWindowTitle(MainWindowCaption(shell::PayerData[shell::kOwnerName]));
    });
  }
  UpdateCommands();
}

void TForm1::SetDataEntryDlg(QDialog *dialog) {
  data_entry_dlg_ = dialog;
  UpdateCommands();
}

void TForm1::SetCheckFileDlg(QDialog *dialog) {
  check_file_dlg_ = dialog;
  UpdateCommands();
}

void TForm1::EnableDataEntry() {
  data_entry_allowed_ = true;
  UpdateCommands();
}

void TForm1::UpdateCommands() {
  btn1_->setEnabled(data_entry_allowed_ && data_entry_dlg_ != nullptr);
  btn5_->setEnabled(check_file_dlg_ != nullptr);
  btn2_->setEnabled(config_dlg_ != nullptr);
}

bool TForm1::event(QEvent *event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QWidget::event(event);
}

void TForm1::FormActivate() {
  image1_->setPixmap(ui::VeskorLogo());
  setWindowTitle(MainWindowCaption(settings::GetOwnerName()));
  label3_->setText(QLatin1String(kVersionText));
}

void TForm1::PointerTo(QPoint point) { ui::MovePointerTo(this, point); }

QPoint TForm1::RightOfCentre(const QWidget *button) const {
  return ui::CentreOf(button) + QPoint(45, 0);
}

void TForm1::BitBtn1Click() {
  if (data_entry_dlg_ == nullptr) return;
  PointerTo(QPoint(label5_->x() - 45, label5_->y() + label5_->height() / 2 + 15));
  ui::ShowModal(data_entry_dlg_);
  PointerTo(RightOfCentre(btn3_));
}

void TForm1::BitBtn5Click() {
  if (check_file_dlg_ == nullptr) return;
  PointerTo(QPoint(label5_->x(), label5_->y() + label5_->height() / 2));
  shell::FileToCheck = PickFileToCheck(QStringLiteral("txt"));
  if (!shell::FileToCheck.isEmpty()) ui::ShowModal(check_file_dlg_);
  PointerTo(RightOfCentre(btn5_));
}

void TForm1::BitBtn2Click() {
  if (config_dlg_ == nullptr) return;
  ui::ShowModal(config_dlg_);
  PointerTo(RightOfCentre(btn2_));
}

void TForm1::BitBtn4Click() {
  if (!help_) {
    help_ = std::make_unique<HelpWindow>();
    help_->move(geometry().topLeft() + QPoint(100, 60));
  }
  help_->Open(help_file_);
  PointerTo(RightOfCentre(btn4_));
}

void TForm1::BitBtn3Click() { close(); }

QString TForm1::PickFileToCheck(const QString &extension) {
  ui::OpenFileRequest request;
  request.parent = this;
  request.title = QStringLiteral("Проверка на файл .") + extension.toUpper();
  request.filter_description = QStringLiteral("Text files (*.") + extension + QLatin1Char(')');
  request.filter_pattern = QStringLiteral("*.") + extension.toUpper();
  request.must_exist = true;
  // Queued before the dialog opens, so the dialog takes them as its first input.
  for (int i = 0; i < 7; ++i) ui::SimulateTab();
  ui::SimulateKey(Qt::Key_Down);
  ui::SimulateKey(Qt::Key_Up);
  ui::SimulateKey(Qt::Key_End, Qt::ControlModifier);
  const ui::OpenFileResult result = ui::OpenFileDialog(request);
  if (result.accepted) return result.path;
  ui::MessageBox(this, QStringLiteral("Проверка на файл"),
                 QStringLiteral("Отказ ...") + result.file_name_field, ui::Icon::kInformation);
  return QString();
}

void TForm1::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm1::closeEvent(QCloseEvent *event) {
  PointerTo(QPoint(label3_->x(), label3_->y() + label3_->height() / 2 - 5));
  const ui::Answer answer = ui::MessageBox(
      this, QStringLiteral("Изход"), QStringLiteral("Сигурни ли сте, че искате да излезете ?  "),
      ui::Icon::kQuestion, ui::Buttons::kYesNo);
  if (answer != ui::Answer::kYes) {
    event->ignore();
    return;
  }
  if (help_) help_->close();
  event->accept();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
  if (watched == label6_ && event->type() == QEvent::MouseButtonDblClick) {
    ui::MessageBox(this, QStringLiteral("ОРВЕЛ"),
                   QStringLiteral("Справка по ОРВЕЛ, версия 7.0 (2019).\n"
                                  "Програма за изготвяне и проверка на справката за доходите, "
                                  "изплатени на физически лица."),
                   ui::Icon::kInformation);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

ProgramWindows CreateProgramWindows(TForm1 *main_window) {
  ProgramWindows windows;
  windows.config_dlg = new settings::TConfigDlg(main_window);
  main_window->SetConfigDlg(windows.config_dlg);
  windows.check_file_dlg = new agencyfile::TCheckFileDlg(main_window);
  main_window->SetCheckFileDlg(windows.check_file_dlg);

  auto *data_entry = new records::TDataEntryDlg(main_window);
  windows.data_entry_dlg = data_entry;
  windows.insert_edit_dlg = new records::TInsertEditDlg(data_entry);
  windows.total_persons_dlg = new records::TTotalPersonsDlg(data_entry);
  windows.lookup_country = new records::TLookupCountry(windows.insert_edit_dlg);
  windows.lookup_income = new records::TLookupIncome(windows.insert_edit_dlg);
  windows.insert_edit_dlg->SetCountryPickList(
      [list = windows.lookup_country](records::TInsertEditDlg &editor) { list->Execute(editor); });
  windows.insert_edit_dlg->SetIncomePickList(
      [list = windows.lookup_income](records::TInsertEditDlg &editor) { list->Execute(editor); });
  data_entry->SetRecordEditor(windows.insert_edit_dlg);
  data_entry->SetPersonsDialog(windows.total_persons_dlg);
  data_entry->SetExport([](records::TDataEntryDlg &window) {
    agencyfile::ExportAgencyFile(agencyfile::HostOf(window));
  });
  data_entry->SetPrint([](records::TDataEntryDlg &window) {
    agencyfile::PrintIncomeReport(agencyfile::HostOf(window));
  });
  data_entry->SetImport(importfile::ImportRowsFromFile);
  data_entry->SetCsvExport(importfile::ExportRowsToCsv);
  main_window->SetDataEntryDlg(data_entry);
  return windows;
}

}  // namespace app
