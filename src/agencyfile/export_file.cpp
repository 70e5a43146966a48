// Building and writing the agency file; see export_file.h.
#include "agencyfile/export_file.h"

#include <QSaveFile>

#include "agencyfile/export_rows.h"
#include "records/income_row.h"
#include "settings/payer_settings.h"
#include "ui/codepage.h"
#include "xbase/dataset.h"

namespace agencyfile {

ExportRows ReadExportRows(xb::TDataSet &table) {
  ExportRows out;
  for (table.First(); !table.Eof(); table.Next()) {
    DetailValues row;
    row.record_number = table.RecNo();
    row.foreign_flag = records::RowGet(table, records::kF02);
    row.id_kind = records::RowGet(table, records::kF03);
    row.identifier = records::RowGet(table, records::kF04);
    row.names = records::RowGet(table, records::kF05);
    row.country = records::RowGet(table, records::kF06);
    row.address = records::RowGet(table, records::kF07);
    row.income_code = records::RowGet(table, records::kF10);
    const QString income = records::RowGet(table, records::kF08);
    const QString tax = records::RowGet(table, records::kF09);
    const std::optional<records::CurrencyUnits> income_value = records::ReadAmount(income);
    const std::optional<records::CurrencyUnits> tax_value = records::ReadAmount(tax);
    if (!income_value || !tax_value) {
      out.error = QStringLiteral("Ред %1: сумата [%2] не е число.")
                      .arg(row.record_number)
                      .arg(income_value ? tax : income);
      return out;
    }
    row.income = *income_value;
    row.tax = *tax_value;
    out.total_income += row.income;
    out.total_tax += row.tax;
    out.rows.push_back(std::move(row));
  }
  return out;
}

HeaderValues HeaderFromSettings(records::CurrencyUnits total_income,
                                records::CurrencyUnits total_tax) {
  HeaderValues header;
  header.payer_id = settings::GetOwnerNo();
  header.payer_name = settings::GetOwnerName();
  header.composed_address = settings::ComposeAddress();
  header.house_number = settings::GetOwnerAddrNo();
  header.total_income = total_income;
  header.total_tax = total_tax;
  header.status = settings::GetStatus();
  header.tax_year = settings::GetFiscalYear();
  return header;
}

AgencyFileText BuildAgencyFileText(const HeaderValues &header,
                                   const std::vector<DetailValues> &rows) {
  if (rows.size() > static_cast<size_t>(kMaxDetailRecords))
    return {{}, QStringLiteral("Редовете на файла са повече от %1.").arg(kMaxDetailRecords)};
  AgencyFileText out;
  out.bytes.reserve((rows.size() + 1) * (kRecordLength + 2));
  auto append = [&out](const BuiltRecord &record) {
    if (!record.ok()) {
      out.error = record.error;
      return false;
    }
    out.bytes += codepage::ToCp1251(record.text);
    out.bytes += kLineEnd;
    return true;
  };
  if (!append(BuildHeaderRecord(header))) return {{}, out.error};
  for (const DetailValues &row : rows)
    if (!append(BuildDetailRecord(row))) return {{}, out.error};
  return out;
}

QString WriteAgencyFile(const QString &path, const std::string &bytes) {
  QSaveFile file(path);
  const bool ok = file.open(QIODevice::WriteOnly) &&
                  file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                      static_cast<qint64>(bytes.size()) &&
                  file.commit();
  if (ok) return {};
  return QStringLiteral("Файлът [%1] не може да бъде записан: %2").arg(path, file.errorString());
}

}  // namespace agencyfile
