// The checker window; see check_file_dlg.h.
#include "agencyfile/check_file_dlg.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "agencyfile/check_report.h"
#include "agencyfile/country_codes.h"
#include "settings/payer_check.h"
#include "shell/display_texts.h"
#include "shell/window_flags.h"
#include "ui/input.h"
#include "ui/progress.h"
#include "ui/ui_driver.h"

namespace agencyfile {
namespace {

const QColor kPassedColour(0, 128, 0);
const QColor kFailedColour(255, 0, 0);

void SetTextColour(QLabel *label, const QColor &colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text = QString()) {
  auto *label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

QPlainTextEdit *MakeMemo(QWidget *parent, const char *name) {
  auto *memo = new QPlainTextEdit(parent);
  memo->setObjectName(QLatin1String(name));
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return memo;
}

// A fault list's column headings, aligned to its lines.
QLabel *MakeHeadings(QWidget *parent, const char *name) {
  QLabel *label = MakeLabel(parent, name, FaultColumnsHeading());
  label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return label;
}

void Fill(QPlainTextEdit *memo, const QStringList &lines) {
  // Filled in one go and drawn once.
  memo->setUpdatesEnabled(false);
  memo->setPlainText(lines.join(QLatin1Char('\n')));
  memo->setUpdatesEnabled(true);
}

void ScrollToTop(QPlainTextEdit *memo) {
  memo->moveCursor(QTextCursor::Start);
  memo->verticalScrollBar()->setValue(0);
}

}  // namespace

TCheckFileDlg::TCheckFileDlg(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TCheckFileDlg"));
  setWindowTitle(QStringLiteral(" Проверка на файл"));
  auto *layout = new QVBoxLayout(this);

  auto *file_row = new QHBoxLayout;
  file_row->addWidget(MakeLabel(this, "Label1", QString::fromUtf8(kFileNameCaption)));
  static_text1_ = MakeLabel(this, "StaticText1");
  static_text1_->setFrameShape(QFrame::Panel);
  static_text1_->setFrameShadow(QFrame::Sunken);
  file_row->addWidget(static_text1_, 1);
  layout->addLayout(file_row);

  group_box1_ = new QGroupBox(QString::fromUtf8(kHeaderDataCaption), this);
  group_box1_->setObjectName(QStringLiteral("GroupBox1"));
  auto *group = new QGridLayout(group_box1_);
  static_text3_ = MakeLabel(group_box1_, "StaticText3");
  static_text2_ = MakeLabel(group_box1_, "StaticText2");
  for (QLabel *text : {static_text2_, static_text3_}) {
    text->setFrameShape(QFrame::Panel);
    text->setFrameShadow(QFrame::Sunken);
  }
  group->addWidget(MakeLabel(group_box1_, "Label10", QString::fromUtf8(kPayerNameCaption)), 0, 0);
  group->addWidget(static_text3_, 0, 1);
  group->addWidget(MakeLabel(group_box1_, "Label11", QString::fromUtf8(kTaxYearCaption)), 0, 2);
  group->addWidget(static_text2_, 0, 3);
  check_box1_ = new QCheckBox(QString::fromUtf8(settings::kTerminationStatusText), group_box1_);
  check_box1_->setObjectName(QStringLiteral("CheckBox1"));
  check_box2_ = new QCheckBox(QString::fromUtf8(kSuccessorFlagText), group_box1_);
  check_box2_->setObjectName(QStringLiteral("CheckBox2"));
  for (QCheckBox *box : {check_box1_, check_box2_}) box->setEnabled(false);  // display only
  group->addWidget(check_box1_, 1, 0, 1, 4);
  group->addWidget(check_box2_, 2, 0, 1, 4);
  group->setColumnStretch(1, 1);
  layout->addWidget(group_box1_);

  // Stage rows: caption, mark, and for the first two a message. A red
  // asterisk marks the stages that stop at their first fault.
  auto *stages = new QGridLayout;
  const QString stops = QStringLiteral("<span style='color:red'>*</span> ");
  auto caption = [&](const char *name, const QString &text, bool stops_at_first) {
    // Rich text for the red asterisk; the caption's blanks are kept as typed.
    QLabel *label = MakeLabel(this, name,
                              (stops_at_first ? stops : QString()) +
                                  QStringLiteral("<span style='white-space:pre'>") +
                                  text.toHtmlEscaped() + QStringLiteral("</span>"));
    label->setTextFormat(Qt::RichText);
    return label;
  };
  label6_ = MakeLabel(this, "Label6");
  label7_ = MakeLabel(this, "Label7");
  label2_ = MakeLabel(this, "Label2");
  label4_ = MakeLabel(this, "Label4");
  label9_ = MakeLabel(this, "Label9");
  label13_ = MakeLabel(this, "Label13");
  QLabel *sequence_caption = caption("Label5", SequenceStageCaption(), true);
  sequence_caption->setToolTip(QStringLiteral("Проверка последователността на типовете записи"));
  stages->addWidget(caption("Label12", LengthStageCaption(), true), 0, 0);
  stages->addWidget(label6_, 0, 1);
  stages->addWidget(label7_, 0, 2);
  stages->addWidget(sequence_caption, 1, 0);
  stages->addWidget(label2_, 1, 1);
  stages->addWidget(label4_, 1, 2);
  stages->addWidget(caption("Label14", FormalStageCaption(), false), 2, 0);
  stages->addWidget(label9_, 2, 1);
  stages->setColumnStretch(2, 1);
  layout->addLayout(stages);

  memo1_ = MakeMemo(this, "Memo1");
  layout->addWidget(MakeHeadings(this, "Label15"));
  layout->addWidget(memo1_, 1);

  auto *logical = new QHBoxLayout;
  logical->addWidget(caption("Label16", LogicalStageCaption(), false));
  logical->addWidget(label13_);
  logical->addWidget(
      MakeLabel(this, "Label17", QStringLiteral("(ако формалния контрол е успешен).")));
  logical->addStretch(1);
  layout->addLayout(logical);
  memo2_ = MakeMemo(this, "Memo2");
  layout->addWidget(MakeHeadings(this, "Label18"));
  layout->addWidget(memo2_, 1);

  label8_ = MakeLabel(this, "Label8",
                      stops + QStringLiteral("Проверката спира при първа открита грешка ."));
  label8_->setTextFormat(Qt::RichText);
  layout->addWidget(label8_);

  auto *bottom = new QHBoxLayout;
  image2_ = MakeLabel(this, "Image2");
  image2_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
  image2_->hide();
  label3_ = MakeLabel(this, "Label3");
  QFont verdict_font = label3_->font();
  verdict_font.setBold(true);
  label3_->setFont(verdict_font);
  ok_btn_ = new QPushButton(QStringLiteral("Проверка"), this);
  ok_btn_->setObjectName(QStringLiteral("OKBtn"));
  ok_btn_->setDefault(true);
  bit_btn2_ = new QPushButton(QStringLiteral("Изход"), this);
  bit_btn2_->setObjectName(QStringLiteral("BitBtn2"));
  bottom->addWidget(image2_);
  bottom->addWidget(label3_, 1);
  bottom->addWidget(ok_btn_);
  bottom->addWidget(bit_btn2_);
  layout->addLayout(bottom);

  connect(ok_btn_, &QPushButton::clicked, this, &TCheckFileDlg::OKBtnClick);
  connect(bit_btn2_, &QPushButton::clicked, this, &QDialog::reject);  // the cancel button
  resize(900, 640);
}

void TCheckFileDlg::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TCheckFileDlg::hideEvent(QHideEvent *event) {
  image2_->hide();  // FormClose
  QDialog::hideEvent(event);
}

void TCheckFileDlg::FormActivate() {
  static_text1_->setText(QLatin1Char(' ') + shell::FileToCheck + QStringLiteral("  "));
  static_text2_->setText(QString(10, QLatin1Char(' ')));
  static_text3_->setText(QString(20, QLatin1Char(' ')));
  check_box1_->setChecked(false);
  check_box2_->setChecked(false);
  for (QLabel *mark : {label6_, label2_, label9_, label13_, label3_}) mark->clear();
  label4_->setText(
      QStringLiteral("  Проверка за последователни номера на записите: 00000,00001,00002 ..."));
  label7_->setText(QStringLiteral("  Проверка дължината на записите (вкл.интервалите)"));
  SetTextColour(label4_, Qt::black);
  SetTextColour(label7_, Qt::black);
  memo1_->clear();
  memo2_->clear();
  ok_btn_->setEnabled(true);
  ok_btn_->setFocus();
  ui::MovePointerTo(this, ui::CentreOf(ok_btn_));
}

void TCheckFileDlg::SetLabelOk(QLabel *label, bool passed, const QString &message) {
  if (passed) {
    label->setText(QStringLiteral("V"));
    SetTextColour(label, kPassedColour);
  } else {
    label->setText(message.isEmpty() ? QStringLiteral("X") : message);
    SetTextColour(label, kFailedColour);
  }
}

void TCheckFileDlg::OKBtnClick() {
  CheckResult result;
  {
    // A large file takes a while: the stages show their advance and can be
    // stopped, which leaves the window as it was for another try.
    ui::Progress progress(this, windowTitle(), QStringLiteral("Проверка на файла ..."), 0,
                          ui::Cancel::kAllowed);
    CheckOptions options = DefaultCheckOptions();
    options.progress = progress.Callback();
    result = CheckAgencyFile(AgencySource::File(shell::FileToCheck), options);
  }
  if (result.verdict == Verdict::kCancelled) return;
  if (result.verdict == Verdict::kWrongCodePage) {
    ui::MessageBox(this, QStringLiteral("Грешен формат на текстов файл"), WrongCodePageText(),
                   ui::Icon::kError);
    image2_->show();
    return;  // the button stays enabled
  }
  ok_btn_->setEnabled(false);  // one check per opening
  ShowResult(result);
  ShowVerdict(result);
  ScrollToTop(memo1_);
  ScrollToTop(memo2_);
}

void TCheckFileDlg::ShowResult(const CheckResult &result) {
  if (!result.payer_name.isEmpty()) {
    static_text3_->setText(QLatin1Char(' ') + result.payer_name + QLatin1Char(' '));
  }
  if (!result.tax_year.isEmpty()) {
    static_text2_->setText(QLatin1Char(' ') + result.tax_year + QStringLiteral("  "));
  }
  check_box1_->setChecked(result.liquidation_flag);
  check_box2_->setChecked(result.successor_flag);

  // The first two stages show their message beside the mark.
  struct MessageRow {
    const StageMark &mark;
    QLabel *mark_label;
    QLabel *message_label;
  } const message_rows[] = {{result.lengths, label6_, label7_},
                            {result.sequence, label2_, label4_}};
  for (const MessageRow &row : message_rows) {
    if (row.mark.state == StageState::kNotRun) continue;
    const bool passed = row.mark.state == StageState::kPassed;
    SetLabelOk(row.mark_label, passed, QString());
    if (!passed) {
      row.message_label->setText(row.mark.message);
      SetTextColour(row.message_label, kFailedColour);
    }
  }
  for (const auto &[mark, label] :
       {std::pair{&result.formal, label9_}, {&result.logical, label13_}}) {
    if (mark->state != StageState::kNotRun) {
      SetLabelOk(label, mark->state == StageState::kPassed, mark->message);
    }
  }
  Fill(memo1_, result.formal_faults);
  Fill(memo2_, result.logical_faults);
}

void TCheckFileDlg::ShowVerdict(const CheckResult &result) {
  const bool correct = result.verdict == Verdict::kCorrect;
  ui::MovePointerTo(this, QPoint(bit_btn2_->x() + 10, bit_btn2_->y() - 155));
  if (correct) {
    ui::MessageBox(this, QString::fromUtf8(shell::kInformationTitle),
                   VerdictBoxText(result.verdict), ui::Icon::kInformation);
  } else {
    const QString text =
        result.verdict == Verdict::kCannotCheck ? result.error : VerdictBoxText(result.verdict);
    ui::MessageBox(this, QString::fromUtf8(shell::kWarningTitle), text, ui::Icon::kWarning);
  }
  ui::MovePointerTo(this, ui::CentreOf(bit_btn2_) + QPoint(20, 0));
  label3_->setText(VerdictLabelText(result.verdict));
  SetTextColour(label3_, correct ? kPassedColour : kFailedColour);
  image2_->setVisible(!correct);
}

}  // namespace agencyfile
