// Column names and the cells of a row (see import_columns.h).
#include "importfile/import_columns.h"

namespace importfile {

namespace {

constexpr ColumnName kNames[kColumnCount] = {
    {"ЧФЛ", "foreign", "F02"},
    {"Вид", "kind", "F03"},
    {"Идентификатор", "identifier", "F04"},
    {"Имена", "names", "F05"},
    {"Държава", "country", "F06"},
    {"Адрес", "address", "F07"},
    {"Доход", "income", "F08"},
    {"Данък", "tax", "F09"},
    {"Код", "code", "F10"},
};

QString DecimalPoint(const QString &amount) {
  if (amount.count(QLatin1Char(',')) == 1 && !amount.contains(QLatin1Char('.'))) {
    QString text = amount;
    return text.replace(QLatin1Char(','), QLatin1Char('.'));
  }
  return amount;
}

QString DecimalComma(const QString &amount) {
  QString text = amount;
  return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

}  // namespace

const ColumnName &NameOfColumn(int column) { return kNames[column]; }

QStringList HeaderCells() {
  QStringList cells;
  for (const ColumnName &name : kNames) cells << QString::fromUtf8(name.bulgarian);
  return cells;
}

const records::FieldLabels &ColumnLabels() {
  static const records::FieldLabels labels = [] {
    records::FieldLabels l;
    QString *fields[kColumnCount] = {&l.foreign, &l.kind,   &l.identifier, &l.names, &l.country,
                                     &l.address, &l.income, &l.tax,        &l.code};
    for (int c = 0; c < kColumnCount; ++c) *fields[c] = QString::fromUtf8(kNames[c].bulgarian);
    return l;
  }();
  return labels;
}

std::optional<int> ColumnOfName(const QString &cell) {
  const QString name = cell.trimmed();
  for (int c = 0; c < kColumnCount; ++c) {
    for (const char *alias : {kNames[c].bulgarian, kNames[c].latin, kNames[c].field}) {
      if (name.compare(QString::fromUtf8(alias), Qt::CaseInsensitive) == 0) return c;
    }
  }
  return std::nullopt;
}

std::optional<std::vector<int>> HeaderColumns(const QStringList &cells, QString *error) {
  std::vector<int> columns;
  bool any = false;
  std::array<bool, kColumnCount> seen{};
  for (const QString &cell : cells) {
    const std::optional<int> column = ColumnOfName(cell);
    columns.push_back(column.value_or(-1));
    if (!column) continue;
    any = true;
    if (seen[*column]) {
      *error = QStringLiteral("Колоната <%1> е посочена два пъти в заглавния ред.")
                   .arg(QString::fromUtf8(kNames[*column].bulgarian));
    }
    seen[*column] = true;
  }
  if (!any) return std::nullopt;
  return columns;
}

records::StoredRow StoredTexts(const RowCells &cells) {
  records::StoredRow row;
  const QString &flag = cells[kForeignColumn];
  if (flag.compare(QStringLiteral("Да"), Qt::CaseInsensitive) == 0)
    row.foreign_flag = QStringLiteral("1");
  else if (flag.compare(QStringLiteral("Не"), Qt::CaseInsensitive) == 0)
    row.foreign_flag = QStringLiteral("0");
  else
    row.foreign_flag = flag;
  row.kind = cells[kKindColumn];
  row.identifier = cells[kIdentifierColumn];
  row.names = cells[kNamesColumn];
  row.country = cells[kCountryColumn];
  row.address = cells[kAddressColumn];
  row.income = DecimalPoint(cells[kIncomeColumn]);
  row.tax = DecimalPoint(cells[kTaxColumn]);
  row.code = cells[kCodeColumn];
  return row;
}

RowCells CellsOfRow(const records::StoredRow &row) {
  return {row.foreign_flag, row.kind,    row.identifier,           row.names,
          row.country,      row.address, DecimalComma(row.income), DecimalComma(row.tax),
          row.code};
}

}  // namespace importfile
