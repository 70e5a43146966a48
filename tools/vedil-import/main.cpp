// vedil-import: the program's import and CSV export on the command line.
//
//   vedil-import [--replace] [--dry-run] DATA_DIR FILE
//   vedil-import --export DATA_DIR FILE.csv
//
// DATA_DIR is the data folder holding dvel.dbf and the reference tables; the
// payer's settings are read from vedil.ini in the folder above it. Prints one
// line per rejected line with its reasons, then a summary, in UTF-8. Exit
// status: 0 every line accepted, 1 some rejected (the accepted ones are
// written all the same unless --dry-run), 2 the file could not be read or
// the table not read or written.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "importfile/csv_export.h"
#include "importfile/import_run.h"
#include "records/reference_lookup.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "ui/engine_text.h"
#include "xbase/file/os_system.h"
#include "xbase/xbase_error.h"

namespace {

constexpr int kAllAccepted = 0;
constexpr int kSomeRejected = 1;
constexpr int kCannotRead = 2;

void Print(std::FILE *stream, const QString &text) {
  const QByteArray utf8 = text.toUtf8();
  std::fwrite(utf8.constData(), 1, utf8.size(), stream);
}

int Fail(const QString &message) {
  Print(stderr, message + QLatin1Char('\n'));
  return kCannotRead;
}

int Export(const QString &data_dir, const QString &target) {
  const QString table = QDir(data_dir).filePath(shell::kIncomeTableName);
  std::vector<records::StoredRow> rows;
  try {
    rows = importfile::ReadTableRows(table);
  } catch (const xb::EXbaseError &e) {
    return Fail(ui::EngineErrorText(e.what()));
  }
  const QString error = importfile::WriteCsvFile(target, importfile::RowsCsv(rows));
  if (!error.isEmpty()) return Fail(error);
  Print(stdout, QStringLiteral("Записани редове: %1\n").arg(rows.size()));
  return kAllAccepted;
}

int Import(const QString &data_dir, const QString &file, bool replace, bool dry_run) {
  const QString table = QDir(data_dir).filePath(shell::kIncomeTableName);
  const importfile::ImportSource source = importfile::ReadImportFile(file);
  if (!source.error.isEmpty()) return Fail(source.error);

  records::ReferenceLookup tables;
  importfile::ExistingRows existing;
  try {
    tables.Open(data_dir);
    if (!replace) existing = importfile::ReadExistingRows(table);
  } catch (const xb::EXbaseError &e) {
    return Fail(ui::EngineErrorText(e.what()));
  }
  const std::vector<importfile::LineVerdict> verdicts =
      importfile::CheckLines(source.lines, tables, existing);
  const QString mismatch = importfile::PayerMismatchText(source, settings::GetOwnerNo());
  if (!mismatch.isEmpty())
    Print(stdout, QStringLiteral("Внимание: ") + mismatch + QLatin1Char('\n'));
  for (const importfile::LineVerdict &v : verdicts)
    if (!v.accepted()) Print(stdout, importfile::RejectedLineText(v) + QLatin1Char('\n'));

  const importfile::ImportCounts counts = importfile::CountVerdicts(verdicts);
  qint64 written = 0;
  QString backup;
  if (!dry_run && (counts.accepted > 0 || replace)) {
    const importfile::ImportWriteResult result = importfile::WriteImportedRows(
        table, importfile::AcceptedRows(verdicts),
        replace ? importfile::ImportMode::kReplace : importfile::ImportMode::kAdd,
        QDateTime::currentDateTime());
    if (!result.error.isEmpty()) return Fail(result.error);
    written = result.written;
    backup = result.backup;
  }
  Print(stdout, QStringLiteral("%1: %2 реда, приети %3, отхвърлени %4, записани %5\n")
                    .arg(source.format)
                    .arg(source.lines.size())
                    .arg(counts.accepted)
                    .arg(counts.rejected)
                    .arg(written));
  if (!backup.isEmpty())
    Print(stdout, QStringLiteral("Копие на старата таблица: %1\n").arg(backup));
  return counts.rejected == 0 ? kAllAccepted : kSomeRejected;
}

}  // namespace

int main(int argc, char **argv) {
  xb::os::UseBinaryStandardStreams();
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments().mid(1);
  bool replace = false, dry_run = false, export_rows = false;
  while (!args.isEmpty() && args.front().startsWith(QStringLiteral("--"))) {
    const QString option = args.takeFirst();
    if (option == QLatin1String("--replace"))
      replace = true;
    else if (option == QLatin1String("--dry-run"))
      dry_run = true;
    else if (option == QLatin1String("--export"))
      export_rows = true;
    else
      args.clear(), args << QString() << QString() << QString();  // unknown: usage
  }
  if (args.size() != 2 || (export_rows && (replace || dry_run))) {
    Print(stderr, QStringLiteral("Употреба: vedil-import [--replace] [--dry-run] ДАННИ ФАЙЛ\n"
                                 "          vedil-import --export ДАННИ ФАЙЛ.csv\n"));
    return kCannotRead;
  }
  const QString data_dir = QDir::cleanPath(args.at(0));
  // The settings file lives in the program's home, the folder above data/.
  shell::InitAppHome(QFileInfo(data_dir).absoluteDir().absolutePath(), QStringLiteral("vedil"));
  if (!QFileInfo(data_dir).isDir())
    return Fail(QStringLiteral("Няма папка с данни [%1].").arg(data_dir));
  return export_rows ? Export(data_dir, args.at(1))
                     : Import(data_dir, args.at(1), replace, dry_run);
}
