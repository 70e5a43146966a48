// Building and writing the agency file; see export_file.h.
#include "agencyfile/export_file.h"

#include <QSaveFile>

#include "records/income_records.h"
#include "records/income_row.h"
#include "settings/payer_settings.h"
#include "ui/codepage.h"
#include "xbase/table/db_handler.h"

namespace agencyfile {
namespace {

void AppendLine(std::string *out, const QString &record) {
  *out += codepage::ToCp1251(record);
  *out += kLineEnd;
}

}  // namespace

bool AgencyFileComposer::AddDetail(const DetailValues &row) {
  if (!error_.isEmpty()) return false;
  if (count_ >= kMaxDetailRecords) {
    error_ = TooManyRecordsText();
    too_many_ = true;
    return false;
  }
  const BuiltRecord record = BuildDetailRecord(row);
  if (!record.ok()) {
    error_ = record.error;
    return false;
  }
  if (details_.empty()) details_.reserve(1024 * (kRecordLength + 2));
  AppendLine(&details_, record.text);
  total_income_ += RoundedToCents(row.income);
  total_tax_ += RoundedToCents(row.tax);
  ++count_;
  return true;
}

AgencyFileText AgencyFileComposer::Finish(HeaderValues header) {
  // Too many rows is told first, then the header's fault, then a detail's.
  if (too_many_) return {{}, error_};
  header.total_income = total_income_;
  header.total_tax = total_tax_;
  const BuiltRecord record = BuildHeaderRecord(header);
  if (!record.ok()) return {{}, record.error};
  if (!error_.isEmpty()) return {{}, error_};
  AgencyFileText out;
  out.bytes.reserve(details_.size() + kRecordLength + 2);
  AppendLine(&out.bytes, record.text);
  out.bytes += details_;
  return out;
}

AgencyFileText BuildAgencyFileText(const HeaderValues &header,
                                   const std::vector<DetailValues> &rows) {
  AgencyFileComposer builder;
  for (const DetailValues &row : rows)
    if (!builder.AddDetail(row)) break;
  return builder.Finish(header);
}

ExportRowReader::ExportRowReader(xb::XBO_dBHandler &table)
    : table_(table),
      f02_(records::RequiredField(table, records::kF02)),
      f03_(records::RequiredField(table, records::kF03)),
      f04_(records::RequiredField(table, records::kF04)),
      f05_(records::RequiredField(table, records::kF05)),
      f06_(records::RequiredField(table, records::kF06)),
      f07_(records::RequiredField(table, records::kF07)),
      f08_(records::RequiredField(table, records::kF08)),
      f09_(records::RequiredField(table, records::kF09)),
      f10_(records::RequiredField(table, records::kF10)) {}

ExportRow ExportRowReader::Read() {
  using records::RecordText;
  ExportRow out;
  DetailValues &row = out.values;
  row.record_number = static_cast<int>(table_.RecordNumber());
  row.foreign_flag = RecordText(table_, f02_);
  row.id_kind = RecordText(table_, f03_);
  row.identifier = RecordText(table_, f04_);
  row.names = RecordText(table_, f05_);
  row.country = RecordText(table_, f06_);
  row.address = RecordText(table_, f07_);
  row.income_code = RecordText(table_, f10_);
  const QString income = RecordText(table_, f08_);
  const QString tax = RecordText(table_, f09_);
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
  return out;
}

std::optional<AgencyFileText> BuildAgencyFileFromTable(xb::XBO_dBHandler &table, int64_t rows,
                                                       const HeaderValues &header,
                                                       const ui::ProgressCallback &progress) {
  ExportRowReader reader(table);
  records::ReadAheadOn read_ahead(table);
  const int64_t count = table.RecordCount();
  AgencyFileComposer composer;
  for (int64_t r = 1; r <= count && composer.count() < rows; ++r) {
    if (progress && !progress(composer.count(), rows)) return std::nullopt;
    table.GoToRecord(r);
    if (table.IsDeleted()) continue;
    const ExportRow row = reader.Read();
    if (!row.error.isEmpty()) return AgencyFileText{{}, row.error};
    if (!composer.AddDetail(row.values)) break;
  }
  if (progress && !progress(rows, rows)) return std::nullopt;
  return composer.Finish(header);
}

HeaderValues HeaderFromSettings() {
  HeaderValues header;
  header.payer_id = settings::GetOwnerNo();
  header.payer_name = settings::GetOwnerName();
  header.composed_address = settings::ComposeAddress();
  header.house_number = settings::GetOwnerAddrNo();
  header.status = settings::GetStatus();
  header.tax_year = settings::GetFiscalYear();
  return header;
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
