// Creation and check of the income table (see income_table.h).
#include "records/income_table.h"

#include <QDir>
#include <QFile>
#include <exception>

#include "records/duplicate_check.h"
#include "shell/app_paths.h"
#include "shell/display_texts.h"
#include "ui/engine_text.h"
#include "ui/ui_driver.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/table/dbf_table.h"

namespace records {

QStringList IncomeTableFieldList() {
  return {"F01;C;5;0",  "F02;C;1;0",  "F03;C;1;0",  "F04;C;13;0", "F05;C;40;0",     "F06;C;2;0",
          "F07;C;40;0", "F08;C;13;0", "F09;C;13;0", "F10;C;5;0",  "DATETIME;C;20;0"};
}

QString IncomeCodeFieldProblem(char type, int width) {
  if (type == 'C' && width == 5) return QString();
  const QString found = type == '\0' ? QString() : QLatin1Char(type) + QString::number(width);
  return QStringLiteral("Некоректен тип и/или дължина  - <") + found + QStringLiteral(">") +
         QStringLiteral(" на поле код доход, коректните са <C5> ...    ");
}

namespace {

void CreateIncomeTable(const std::string &path) {
  std::vector<xb::DbfFieldSpec> fields;
  for (const QString &line : IncomeTableFieldList()) {
    const QStringList parts = line.split(QLatin1Char(';'));
    fields.push_back(
        {parts[0].toStdString(), parts[1].at(0).toLatin1(), parts[2].toInt(), parts[3].toInt()});
  }
  xb::CreateDbfTable(path, xb::TxbDBFTypes::DBaseIV, fields);
  xb::XBO_dBHandler opened(path, true, true);  // opened once and closed again
}

}  // namespace

bool PrepareIncomeTable(QWidget *parent) {
  QDir().mkpath(shell::DataDir());
  const QString file = shell::DataFile(shell::kIncomeTableName);
  const std::string path = ui::EnginePath(file);
  if (!QFile::exists(file)) {
    // A failed creation is not reported here: the data entry window reports
    // the table it cannot open.
    try {
      CreateIncomeTable(path);
    } catch (const std::exception &) {
    }
    return true;
  }
  xb::XBO_dBHandler table(path, true, false);
  const int f10 = table.FindField("F10");
  const QString problem =
      IncomeCodeFieldProblem(f10 ? table.FieldType(f10) : '\0', f10 ? table.FieldWidth(f10) : 0);
  if (problem.isEmpty()) return true;
  ui::MessageBox(parent, QString::fromUtf8(shell::kWarningTitle), problem, ui::Icon::kWarning);
  return false;
}

qint64 FindDuplicateRow(const QString &identifier, const QString &code) {
  const std::string table_path = ui::EnginePath(shell::DataFile(shell::kIncomeTableName));
  const std::string index_path = ui::EnginePath(shell::DataFile(kDuplicateIndexFile));
  xb::TxbDBFTable table(table_path, true, false);
  constexpr int kDuplicatesAllowed = 1;
  constexpr int kAscending = 0;
  table.Table().IndexOn(index_path, kDuplicateIndexTag, kDuplicateIndexKey, "", kDuplicatesAllowed,
                        kAscending);
  table.SetUseDeleted(false);
  table.Table().IndexOpen(index_path, kDuplicateIndexTag);
  table.GoTop();
  if (SkipsDuplicateSearch(identifier, code)) return 0;
  return table.Table().FindInTag(kDuplicateIndexTag, DuplicateSearchKey(identifier, code));
}

}  // namespace records
