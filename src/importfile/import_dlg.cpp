// The import preview window (see import_dlg.h).
#include "importfile/import_dlg.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "importfile/csv_export.h"
#include "importfile/import_preview_model.h"
#include "importfile/import_run.h"
#include "shell/app_paths.h"
#include "shell/display_texts.h"
#include "ui/progress.h"
#include "ui/ui_driver.h"

namespace importfile {

namespace {

// Lines checked between two repaints of the preview.
constexpr size_t kLinesPerStep = 2000;
const QString kCaption = QStringLiteral("Внос");

}  // namespace

TImportDlg::TImportDlg(QWidget *parent, const QString &file, ImportSource source,
                       const QString &data_dir, const QString &settings_payer_id)
    : QDialog(parent),
      source_(std::move(source)),
      table_path_(QDir(data_dir).filePath(shell::kIncomeTableName)) {
  setObjectName(QStringLiteral("TImportDlg"));
  setWindowTitle(QStringLiteral("Внос на редове"));
  tables_.Open(data_dir);
  existing_ = ReadExistingRows(table_path_);

  auto *layout = new QVBoxLayout(this);
  auto *file_label = new QLabel(
      QStringLiteral("Файл: %1  (%2)").arg(QDir::toNativeSeparators(file), source_.format), this);
  file_label->setObjectName(QStringLiteral("FileLabel"));
  layout->addWidget(file_label);
  const QString mismatch = PayerMismatchText(source_, settings_payer_id);
  if (!mismatch.isEmpty()) {
    auto *warning = new QLabel(mismatch, this);
    warning->setObjectName(QStringLiteral("PayerWarning"));
    warning->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0); font-weight: bold"));
    layout->addWidget(warning);
  }

  model_ = new ImportPreviewModel(source_, verdicts_, this);
  view_ = new QTableView(this);
  view_->setObjectName(QStringLiteral("PreviewGrid"));
  view_->setModel(model_);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->verticalHeader()->hide();
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
  view_->horizontalHeader()->setStretchLastSection(true);
  view_->setMinimumSize(900, 360);
  layout->addWidget(view_, 1);

  counts_ = new QLabel(this);
  counts_->setObjectName(QStringLiteral("CountsLabel"));
  layout->addWidget(counts_);

  auto *mode_row = new QHBoxLayout;
  add_ = new QRadioButton(QStringLiteral("Добавяне към редовете в таблицата"), this);
  add_->setObjectName(QStringLiteral("AddRadio"));
  replace_ = new QRadioButton(QStringLiteral("Замяна на редовете в таблицата"), this);
  replace_->setObjectName(QStringLiteral("ReplaceRadio"));
  add_->setChecked(true);
  auto *group = new QButtonGroup(this);
  group->addButton(add_);
  group->addButton(replace_);
  // The duplicate rule looks at the table's rows only when they stay.
  connect(add_, &QRadioButton::toggled, this, [this] { StartCheck(); });
  mode_row->addWidget(add_);
  mode_row->addWidget(replace_);
  mode_row->addStretch();
  layout->addLayout(mode_row);

  auto *buttons = new QHBoxLayout;
  rejected_btn_ = new QPushButton(QStringLiteral("Отхвърлените редове във файл..."), this);
  rejected_btn_->setObjectName(QStringLiteral("RejectedBtn"));
  ok_btn_ = new QPushButton(QStringLiteral("Запис"), this);
  ok_btn_->setObjectName(QStringLiteral("OKBtn"));
  auto *cancel = new QPushButton(QStringLiteral("Отказ"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  for (QPushButton *b : {rejected_btn_, ok_btn_, cancel}) b->setAutoDefault(false);
  connect(rejected_btn_, &QPushButton::clicked, this, [this] { SaveRejectedClick(); });
  connect(ok_btn_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(rejected_btn_);
  buttons->addStretch();
  buttons->addWidget(ok_btn_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  StartCheck();
}

TImportDlg::~TImportDlg() = default;

ImportMode TImportDlg::Mode() const {
  return replace_->isChecked() ? ImportMode::kReplace : ImportMode::kAdd;
}

void TImportDlg::StartCheck() {
  ++generation_;
  verdicts_.clear();
  model_->VerdictsCleared();
  checker_ = std::make_unique<ImportChecker>(
      tables_, Mode() == ImportMode::kAdd ? existing_ : ExistingRows{});
  verdicts_.reserve(source_.lines.size());
  UpdateCounts();
  QTimer::singleShot(0, this, [this, generation = generation_] {
    if (generation == generation_) CheckSome();
  });
}

void TImportDlg::CheckSome() {
  const size_t end = std::min(source_.lines.size(), verdicts_.size() + kLinesPerStep);
  while (verdicts_.size() < end)
    verdicts_.push_back(checker_->Check(source_.lines[verdicts_.size()]));
  model_->VerdictsAdded();
  UpdateCounts();
  if (CheckFinished()) return;
  QTimer::singleShot(0, this, [this, generation = generation_] {
    if (generation == generation_) CheckSome();
  });
}

void TImportDlg::FinishCheck() {
  while (!CheckFinished()) CheckSome();
}

void TImportDlg::UpdateCounts() {
  const ImportCounts counts = CountVerdicts(verdicts_);
  QString text = QStringLiteral("Редове във файла: %1   приети: %2   отхвърлени: %3")
                     .arg(source_.lines.size())
                     .arg(counts.accepted)
                     .arg(counts.rejected);
  if (!CheckFinished()) text += QStringLiteral("   (проверяват се...)");
  counts_->setText(text);
  ok_btn_->setEnabled(CheckFinished() && (counts.accepted > 0 || Mode() == ImportMode::kReplace));
  rejected_btn_->setEnabled(CheckFinished() && counts.rejected > 0);
}

void TImportDlg::OKBtnClick() {
  if (!CheckFinished()) return;
  const std::vector<records::StoredRow> rows = AcceptedRows(verdicts_);
  if (Mode() == ImportMode::kReplace &&
      ui::MessageBox(this, QStringLiteral("Потвърдете !"),
                     QStringLiteral("Редовете в таблицата (%1) ще бъдат заменени с приетите %2 "
                                    "реда.\nСтарата таблица ще бъде запазена като копие до нея.\n"
                                    "Продължавате ли ?")
                         .arg(existing_.count)
                         .arg(rows.size()),
                     ui::Icon::kQuestion, ui::Buttons::kYesNo) != ui::Answer::kYes) {
    return;
  }
  ImportWriteResult result;
  {
    ui::Progress progress(this, kCaption, QStringLiteral("Запис на редовете..."),
                          static_cast<int64_t>(rows.size()), ui::Cancel::kAllowed);
    result = WriteImportedRows(table_path_, rows, Mode(), QDateTime::currentDateTime(),
                               progress.Callback());
  }
  if (!result.error.isEmpty()) {
    ui::MessageBox(this, QString::fromUtf8(shell::kWarningTitle),
                   result.error + QStringLiteral("\nТаблицата не е променена."),
                   ui::Icon::kWarning);
    return;
  }
  if (result.cancelled) {
    ui::MessageBox(this, QString::fromUtf8(shell::kInformationTitle),
                   QStringLiteral("Отказ: не е записан нито един ред."), ui::Icon::kInformation);
    return;
  }
  written_ = result.written;
  QString text = QStringLiteral("Записани бяха %1 реда.").arg(result.written);
  if (!result.backup.isEmpty())
    text += QStringLiteral("\nКопие на старата таблица: %1")
                .arg(QDir::toNativeSeparators(result.backup));
  ui::MessageBox(this, QString::fromUtf8(shell::kInformationTitle), text, ui::Icon::kInformation);
  accept();
}

void TImportDlg::SaveRejectedClick() {
  ui::OpenFileRequest request;
  request.parent = this;
  request.title = QStringLiteral("Отхвърлените редове");
  request.filter_description = QStringLiteral("CSV файлове (*.csv)");
  request.filter_pattern = QStringLiteral("*.csv");
  request.must_exist = false;
  request.for_saving = true;
  const ui::OpenFileResult chosen = ui::OpenFileDialog(request);
  if (!chosen.accepted) return;
  const QString error = WriteCsvFile(chosen.path, RejectedLinesCsv(source_, verdicts_));
  if (!error.isEmpty()) {
    ui::MessageBox(this, QString::fromUtf8(shell::kWarningTitle), error, ui::Icon::kWarning);
    return;
  }
  ui::MessageBox(this, QString::fromUtf8(shell::kInformationTitle),
                 QStringLiteral("Отхвърлените редове са записани във файла %1")
                     .arg(QDir::toNativeSeparators(chosen.path)),
                 ui::Icon::kInformation);
}

}  // namespace importfile
