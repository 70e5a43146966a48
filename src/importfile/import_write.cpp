// The bulk write of imported rows (see import_write.h).
#include "importfile/import_write.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <memory>

#include "ui/codepage.h"
#include "ui/engine_text.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/file/os_file.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_format.h"
#include "xbase/table/write_batch.h"
#include "xbase/xbase_error.h"

namespace importfile {

namespace {

constexpr qint64 kProgressStep = 1000;
constexpr qsizetype kHeaderSize = static_cast<qsizetype>(xb::dbf::kHeaderSize);
constexpr std::array<const char *, 9> kFields = {"F02", "F03", "F04", "F05", "F06",
                                                 "F07", "F08", "F09", "F10"};

QString CannotWrite(const QString &path, const QString &reason) {
  return QStringLiteral("Таблицата [%1] не може да бъде записана: %2").arg(path, reason);
}

// Appends the rows to the open table inside one write batch; on a failure
// or a cancel the batch is rolled back so that the table is as it was.
void AppendRows(xb::XBO_dBHandler &table, const std::vector<records::StoredRow> &rows,
                const WriteProgress &progress, ImportWriteResult &result) {
  std::array<int, kFields.size()> numbers{};
  for (size_t f = 0; f < kFields.size(); ++f) {
    numbers[f] = table.FindField(kFields[f]);
    if (numbers[f] == 0) {
      result.error = CannotWrite(QString::fromStdString(table.FileName()),
                                 QStringLiteral("няма поле %1").arg(QLatin1String(kFields[f])));
      return;
    }
  }
  const qint64 total = static_cast<qint64>(rows.size());
  xb::TxbWriteBatch batch(table);
  try {
    for (const records::StoredRow &row : rows) {
      const QString *values[] = {&row.foreign_flag, &row.kind,    &row.identifier,
                                 &row.names,        &row.country, &row.address,
                                 &row.income,       &row.tax,     &row.code};
      table.BlankRecord();
      for (size_t f = 0; f < kFields.size(); ++f)
        table.StringPut(numbers[f], codepage::ToCp1251(*values[f]));
      table.AppendRecord();
      ++result.written;
      if (progress && result.written % kProgressStep == 0 && !progress(result.written, total)) {
        result.cancelled = true;
        batch.Rollback();
        result.written = 0;
        return;
      }
    }
    batch.Commit();
    if (progress) progress(total, total);
  } catch (const xb::EXbaseError &e) {
    result.error = ui::EngineErrorText(e.what());
    result.written = 0;
    try {
      batch.Rollback();
    } catch (const xb::EXbaseError &) {
      // The rollback's own failure changes nothing of what is reported.
    }
  }
}

// Copies `from` to `to`; false with the result's error set on a failure.
bool CopyFile(const QString &from, const QString &to, ImportWriteResult &result) {
  QFile source(from);
  if (source.copy(to)) return true;
  result.error = QStringLiteral("Копието [%1] на [%2] не може да бъде направено: %3")
                     .arg(to, from, source.errorString());
  return false;
}

// A table file with the header of `table_path` and no records.
bool WriteEmptyCopy(const QString &table_path, const QString &target, ImportWriteResult &result) {
  QFile source(table_path);
  QByteArray header;
  if (source.open(QIODevice::ReadOnly)) header = source.read(kHeaderSize);
  if (header.size() < kHeaderSize) {
    result.error =
        CannotWrite(table_path, QStringLiteral("заглавието ѝ не може да бъде прочетено"));
    return false;
  }
  const uint16_t length = xb::GetLE16(header.constData() + xb::dbf::kOffHeaderLength);
  source.seek(0);
  header = source.read(length);
  if (length < kHeaderSize || header.size() != length) {
    result.error = CannotWrite(table_path, QStringLiteral("заглавието ѝ е повредено"));
    return false;
  }
  xb::PutLE32(header.data() + xb::dbf::kOffRecordCount, 0);
  header += '\x1A';
  QFile out(target);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(header) != header.size() ||
      !out.flush()) {
    result.error = CannotWrite(target, out.errorString());
    return false;
  }
  return true;
}

void ReplaceRows(const QString &table_path, const std::vector<records::StoredRow> &rows,
                 const QDateTime &when, const WriteProgress &progress, ImportWriteResult &result) {
  const QString index_path = QFileInfo(table_path).path() + QStringLiteral("/") +
                             QFileInfo(table_path).completeBaseName() + QStringLiteral(".ntx");
  const QString temp = QFileInfo(table_path).path() + QStringLiteral("/") +
                       QFileInfo(table_path).completeBaseName() + QStringLiteral("-import.dbf");
  try {
    // Opened alone: refused while any other program has the table open.
    xb::XBO_dBHandler alone(ui::EnginePath(table_path), false, false);
  } catch (const xb::EXbaseError &e) {
    result.error = ui::EngineErrorText(e.what());
    return;
  }
  const QString backup = BackupName(table_path, when, QStringLiteral(".dbf"));
  if (!CopyFile(table_path, backup, result)) return;
  if (QFile::exists(index_path) &&
      !CopyFile(index_path, BackupName(table_path, when, QStringLiteral(".ntx")), result))
    return;
  result.backup = backup;
  QFile::remove(temp);
  if (!WriteEmptyCopy(table_path, temp, result)) return;
  try {
    xb::XBO_dBHandler table(ui::EnginePath(temp), false, true);
    AppendRows(table, rows, progress, result);
  } catch (const xb::EXbaseError &e) {
    result.error = ui::EngineErrorText(e.what());
  }
  if (result.error.isEmpty() && !result.cancelled &&
      !xb::os::RenameFile(ui::EnginePath(temp), ui::EnginePath(table_path))) {
    result.error =
        CannotWrite(table_path, QStringLiteral("новата таблица не може да замени старата"));
  }
  if (!result.error.isEmpty() || result.cancelled) {
    QFile::remove(temp);
    result.written = 0;
  }
}

}  // namespace

QString BackupName(const QString &table_path, const QDateTime &when, const QString &ext) {
  const QFileInfo info(table_path);
  return info.path() + QStringLiteral("/") + info.completeBaseName() + QStringLiteral("-") +
         when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + ext;
}

ImportWriteResult WriteImportedRows(const QString &table_path,
                                    const std::vector<records::StoredRow> &rows, ImportMode mode,
                                    const QDateTime &when, const WriteProgress &progress) {
  ImportWriteResult result;
  if (mode == ImportMode::kReplace) {
    ReplaceRows(table_path, rows, when, progress, result);
    return result;
  }
  if (rows.empty()) return result;
  try {
    xb::XBO_dBHandler table(ui::EnginePath(table_path), true, true);
    AppendRows(table, rows, progress, result);
  } catch (const xb::EXbaseError &e) {
    result.error = ui::EngineErrorText(e.what());
  }
  return result;
}

}  // namespace importfile
