// Copying last year's rows into the income table (see carry_over.h).
#include "records/carry_over.h"

#include <QFile>
#include <array>
#include <exception>

#include "shell/globals.h"
#include "ui/engine_text.h"
#include "ui/ui_driver.h"
#include "xbase/xbase_dataset.h"

namespace records {

namespace {

// The recipient's fields that come over; the income code and the amounts
// change every year and are left for the user.
constexpr std::array<const char *, 7> kCopiedFields = {"F01", "F02", "F03", "F04",
                                                       "F05", "F06", "F07"};
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

// Appends one row to `table` from the source's current row and saves it.
// On an error the half-made row is dropped before the error goes on.
void CopyRow(xb::TXbaseDataSet &source, xb::TDataSet &table) {
  table.Append();
  try {
    for (const char *name : kCopiedFields)
      table.FieldByName(name).SetAsString(source.StringGet(name));
    table.FieldByName("F08").SetAsString(kZeroAmount);
    table.FieldByName("F09").SetAsString(kZeroAmount);
    table.Post();
  } catch (...) {
    if (table.State() == xb::TDataSetState::dsInsert) table.Cancel();
    throw;
  }
}

// Detaches a dataset's after-save event for its lifetime.
class AfterPostPause {
 public:
  explicit AfterPostPause(xb::TDataSet &table) : table_(table), saved_(table.AfterPost) {
    table_.AfterPost = nullptr;
  }
  ~AfterPostPause() { table_.AfterPost = saved_; }
  AfterPostPause(const AfterPostPause &) = delete;
  AfterPostPause &operator=(const AfterPostPause &) = delete;

 private:
  xb::TDataSet &table_;
  xb::TDataSet::TDataSetNotifyEvent saved_;
};

}  // namespace

int CarryOverRows(QWidget *parent, xb::TDataSet &table, const QString &directory) {
  // The source is read as stored: shared, no code-page translation, deleted
  // rows hidden, natural order. Its destructor closes it on every way out.
  xb::TXbaseDataSet source;
  source.Exclusive = false;
  source.TranslateASCII = false;
  source.UseDeleted = false;
  source.SetDatabaseName(ui::EnginePath(directory));
  source.SetTableName(shell::kIncomeTableName);
  source.Open();

  if (!ConfirmCarryOver(parent, directory)) {
    ui::MessageBox(parent, QString::fromUtf8(shell::kWarningTitle),
                   QStringLiteral("Отказ от прехвърляне на данни от предходна година...   "),
                   ui::Icon::kWarning);
    return 0;
  }

  // Only the records present at the start are read: should the source be
  // the very table being filled, the appended rows are not copied again.
  const int last_record = source.RecordCount();
  int count = 0;
  std::exception_ptr stop;
  {
    // The table's after-save step (the window's totals, a walk over the whole
    // file) runs once at the end instead of after every row, which would make
    // the copy quadratic in the number of rows.
    AfterPostPause pause(table);
    try {
      for (source.First(); !source.Eof() && source.RecNo() <= last_record; source.Next()) {
        CopyRow(source, table);
        ++count;
      }
    } catch (...) {
      stop = std::current_exception();
    }
  }
  source.Close();
  if (count > 0 && table.AfterPost) table.AfterPost(table);
  if (stop) std::rethrow_exception(stop);
  ui::MessageBox(parent, QString::fromUtf8(shell::kInformationTitle),
                 QStringLiteral("Прехвърлени бяха ") + QString::number(count) +
                     QStringLiteral(" реда от предходна година "),
                 ui::Icon::kNone);
  return count;
}

}  // namespace records
