// Copying last year's rows into the income table (see carry_over.h).
#include "records/carry_over.h"

#include <QString>
#include <array>

#include "records/income_records.h"
#include "records/income_row.h"
#include "shell/app_paths.h"
#include "shell/display_texts.h"
#include "ui/engine_text.h"
#include "ui/progress.h"
#include "ui/ui_driver.h"
#include "xbase/dataset/xbase_dataset.h"
#include "xbase/table/write_batch.h"

namespace records {

namespace {

// The recipient's fields that come over; the income code and the amounts
// change every year and are left for the user.
constexpr std::array<const char *, 7> kCopiedFields = {kF01, kF02, kF03, kF04, kF05, kF06, kF07};
constexpr char kZeroAmount[] = "0.00";

bool ConfirmCarryOver(QWidget *parent, const QString &directory) {
  const QString text = QStringLiteral("Прехвърляне на данни от предходна година ") + directory +
                       QLatin1Char('/') + QLatin1String(shell::kIncomeTableName) +
                       QStringLiteral(" ...   ") + QLatin1Char('\n') +
                       QStringLiteral(
                           "(без <Код на дохода>, <Размер на дохода> и <Размер на "
                           "удържания данък>)");
  return ui::MessageBox(parent, QStringLiteral("Потвърдете !"), text, ui::Icon::kWarning,
                        ui::Buttons::kYesNo) == ui::Answer::kYes;
}

void WarnCarryOverRefused(QWidget *parent) {
  ui::MessageBox(parent, QString::fromUtf8(shell::kWarningTitle),
                 QStringLiteral("Отказ от прехвърляне на данни от предходна година...   "),
                 ui::Icon::kWarning);
}

}  // namespace

std::optional<int64_t> CopyPreviousYearRows(xb::XBO_dBHandler &source, xb::XBO_dBHandler &target,
                                            const ui::ProgressCallback &progress) {
  std::array<int, kCopiedFields.size()> from{}, to{};
  for (size_t i = 0; i < kCopiedFields.size(); ++i) {
    from[i] = RequiredField(source, kCopiedFields[i]);
    to[i] = RequiredField(target, kCopiedFields[i]);
  }
  const int f08 = RequiredField(target, kF08);
  const int f09 = RequiredField(target, kF09);
  ReadAheadOn read_ahead(source);
  // Only the records present at the start are read: should the source be
  // the very table being filled, the appended rows are not copied again.
  const int64_t count = source.RecordCount();
  xb::TxbWriteBatch batch(target);
  int64_t copied = 0;
  try {
    for (int64_t r = 1; r <= count; ++r) {
      if (progress && !progress(r - 1, count)) {
        batch.Rollback();
        return std::nullopt;
      }
      source.GoToRecord(r);
      if (source.IsDeleted()) continue;
      target.BlankRecord();
      for (size_t i = 0; i < kCopiedFields.size(); ++i)
        target.StringPut(to[i], source.StringGet(from[i]));
      target.StringPut(f08, kZeroAmount);
      target.StringPut(f09, kZeroAmount);
      target.AppendRecord();
      ++copied;
    }
    if (progress && !progress(count, count)) {
      batch.Rollback();
      return std::nullopt;
    }
  } catch (...) {
    batch.Rollback();
    throw;
  }
  batch.Commit();
  return copied;
}

int CarryOverRows(QWidget *parent, xb::TXbaseDataSet &table, const QString &directory) {
  // The source is read as stored: shared, read-only, no code-page
  // translation, deleted rows passed over, natural order. Its destructor
  // closes it on every way out.
  xb::XBO_dBHandler source(
      ui::EnginePath(directory + QLatin1Char('/') + QLatin1String(shell::kIncomeTableName)),
      /*shared=*/true, /*read_write=*/false);
  if (!ConfirmCarryOver(parent, directory)) {
    WarnCarryOverRefused(parent);
    return 0;
  }

  std::optional<int64_t> copied;
  {
    // The appends went past the dataset: it reads its rows again, whatever
    // the copy's outcome.
    struct ReadAgain {
      xb::TXbaseDataSet &table;
      ~ReadAgain() {
        try {
          table.First();
        } catch (...) {
          // An error of the copy itself is the one that goes on.
        }
      }
    } read_again{table};
    ui::Progress progress(parent, QStringLiteral("Прехвърляне на данни"),
                          QStringLiteral("Прехвърляне на редовете от предходна година ..."),
                          source.RecordCount(), ui::Cancel::kAllowed);
    table.CheckBrowseMode();
    copied = CopyPreviousYearRows(source, *table.Table(), progress.Callback());
  }
  if (!copied) {
    WarnCarryOverRefused(parent);
    return 0;
  }
  // The window's after-save step (the totals, a walk over the whole file)
  // runs once for the whole copy.
  if (*copied > 0 && table.AfterPost) table.AfterPost(table);
  ui::MessageBox(parent, QString::fromUtf8(shell::kInformationTitle),
                 QStringLiteral("Прехвърлени бяха ") + QString::number(*copied) +
                     QStringLiteral(" реда от предходна година "),
                 ui::Icon::kNone);
  return static_cast<int>(*copied);
}

}  // namespace records
