// Agency files for the checker's tests; see agency_file_fixture.h.
#include "agency_file_fixture.h"

#include <gtest/gtest.h>

#include "ui/codepage.h"

namespace agencyfile::testing {

DetailValues Person(const char *egn, records::CurrencyUnits income, records::CurrencyUnits tax,
                    const char *code) {
  DetailValues d;
  d.foreign_flag = QStringLiteral("0");
  d.id_kind = QStringLiteral("0");
  d.identifier = QString::fromLatin1(egn);
  d.names = QStringLiteral("Иван Петров Иванов");
  d.income = income;
  d.tax = tax;
  d.income_code = QString::fromLatin1(code);
  return d;
}

DetailValues Foreigner(const char *country, const char *lnch) {
  DetailValues d = Person(lnch);
  d.foreign_flag = QStringLiteral("1");
  d.id_kind = QStringLiteral("1");
  d.names = QStringLiteral("Hans Mueller");
  d.country = QString::fromLatin1(country);
  d.address = QStringLiteral("Berlin, Hauptstraße 1");
  return d;
}

DetailValues KindFour(const char *code) {
  DetailValues d = Person("", 200 * kLev, 20 * kLev, code);
  d.id_kind = QStringLiteral("4");
  d.names.clear();
  if (QByteArray(code) == "820") {
    d.country = QStringLiteral("BG");
    d.address = QStringLiteral("гр.София, ул.Шипка 3");
  }
  return d;
}

AgencyFileBuilder::AgencyFileBuilder() {
  header.payer_id = QStringLiteral("121212121");
  header.payer_name = QStringLiteral("Фирма ООД");
  header.composed_address = QStringLiteral("гр.София, ул.Тест 5");
  header.status = QStringLiteral("Active");
  header.tax_year = QStringLiteral("2024");
}

AgencyFileBuilder &AgencyFileBuilder::Add(DetailValues detail) {
  details.append(detail);
  return *this;
}

QStringList AgencyFileBuilder::Lines() const {
  HeaderValues h = header;
  h.total_income = 0;
  h.total_tax = 0;
  QStringList lines;
  for (int i = 0; i < details.size(); ++i) {
    DetailValues d = details[i];
    d.record_number = i + 1;
    h.total_income += d.income;
    h.total_tax += d.tax;
    const BuiltRecord built = BuildDetailRecord(d);
    EXPECT_TRUE(built.ok()) << built.error.toStdString();
    lines.append(built.text);
  }
  const BuiltRecord built = BuildHeaderRecord(h);
  EXPECT_TRUE(built.ok()) << built.error.toStdString();
  lines.prepend(built.text);
  return lines;
}

QByteArray FileBytes(const QStringList &lines) {
  QByteArray bytes;
  for (const QString &line : lines) {
    bytes += QByteArray::fromStdString(codepage::ToCp1251(line));
    bytes += kLineEnd;
  }
  return bytes;
}

void Put(QStringList *lines, int line, int position, const QString &text) {
  (*lines)[line - 1].replace(position - 1, text.size(), text);
}

CheckResult CheckBytes(const QByteArray &bytes, int year, const ui::ProgressCallback &progress) {
  CheckOptions options;
  options.current_year = year;
  options.progress = progress;
  options.countries = [](QSet<QString> *codes, QString *) {
    *codes = {QStringLiteral("BG"), QStringLiteral("DE"), QStringLiteral("GR")};
    return true;
  };
  return CheckAgencyFile(AgencySource::Memory(bytes, QStringLiteral("test.txt")), options);
}

CheckResult CheckLines(const QStringList &lines, int year) {
  return CheckBytes(FileBytes(lines), year);
}

}  // namespace agencyfile::testing
