// The whole agency file check of a file of 99 999 detail lines (half of
// them foreign persons, a few hundred repeated lines), beside a plain read
// of the same file line by line. Run on tmpfs: the figure is the ratio.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "plain_read.h"

#include "agencyfile/agency_check.h"
#include "agencyfile/agency_record.h"
#include "agencyfile/country_codes.h"
#include "shell/identifier_checks.h"
#include "ui/codepage.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"

namespace {

constexpr int kDetails = 99999;
constexpr int kRepeatEvery = 333;  // about 300 lines repeat the one two lines before

// The nine digits of `n` followed by the check digit that `check` accepts.
template <typename Check>
QString WithCheckDigit(int n, Check check) {
  const QString nine = QString::number(n).rightJustified(9, QLatin1Char('0'));
  for (char digit = '0'; digit <= '9'; ++digit) {
    if (check(nine + QLatin1Char(digit))) return nine + QLatin1Char(digit);
  }
  return QString();
}

struct Fixture {
  QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists()
                        ? QStringLiteral("/dev/shm/agencyXXXXXX")
                        : QString()};
  QString file;
  QString countries;

  Fixture() {
    countries = dir.filePath(QStringLiteral("Countries.dbf"));
    xb::CreateDbfTable(countries.toStdString(), xb::TxbDBFTypes::DBaseIV,
                       {{"CODE", 'C', 2, 0}, {"NAME", 'C', 30, 0}});
    {
      xb::XBO_dBHandler table(countries.toStdString(), false, true);
      for (const char *code : {"AT", "BE", "BG", "DE", "FR", "GR", "IT", "RO", "TR", "US"}) {
        table.BlankRecord();
        table.StringPut("CODE", code);
        table.AppendRecord();
      }
    }
    agencyfile::HeaderValues header;
    header.payer_id = QStringLiteral("121212121");
    header.payer_name = QStringLiteral("Фирма ООД");
    header.status = QStringLiteral("Active");
    header.tax_year = QStringLiteral("2024");
    QByteArray details;
    int person = 100000;
    QString last_identifier[2];  // by foreign flag: a repeat keeps its kind
    for (int i = 1; i <= kDetails; ++i) {
      agencyfile::DetailValues d;
      d.record_number = i;
      const bool foreign = i % 2 == 0;
      d.foreign_flag = foreign ? QStringLiteral("1") : QStringLiteral("0");
      d.id_kind = foreign ? QStringLiteral("1") : QStringLiteral("0");
      if (i % kRepeatEvery == 0) {
        d.identifier = last_identifier[foreign];
      } else {
        QString id;
        while (id.isEmpty()) {
          id = foreign ? WithCheckDigit(++person, shell::CheckLNCh)
                       : WithCheckDigit(++person, shell::CheckEGN);
        }
        d.identifier = id;
      }
      last_identifier[foreign] = d.identifier;
      d.names = QStringLiteral("Иван Петров Иванов");
      d.country = foreign ? QStringLiteral("DE") : QString();
      d.address = foreign ? QStringLiteral("Berlin, Hauptstrasse 1") : QString();
      d.income = (1000 + i % 700) * records::kUnitsPerLev;
      d.tax = (i % 100) * records::kUnitsPerLev;
      d.income_code = QStringLiteral("401");
      header.total_income += d.income;
      header.total_tax += d.tax;
      details +=
          QByteArray::fromStdString(codepage::ToCp1251(agencyfile::BuildDetailRecord(d).text));
      details += agencyfile::kLineEnd;
    }
    QByteArray bytes =
        QByteArray::fromStdString(codepage::ToCp1251(agencyfile::BuildHeaderRecord(header).text));
    bytes += agencyfile::kLineEnd;
    bytes += details;
    file = dir.filePath(QStringLiteral("121212121.txt"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) std::abort();
  }
};

Fixture &TheFixture() {
  static Fixture fixture;
  return fixture;
}

void BM_PlainRead(benchmark::State &state) { bench::PlainRead(state, TheFixture().file); }
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_WholeCheck(benchmark::State &state) {
  const Fixture &f = TheFixture();
  agencyfile::CheckOptions options;
  options.current_year = 2024;
  options.countries = agencyfile::CountriesTableLoader(f.countries);
  for (auto _ : state) {
    const agencyfile::CheckResult r =
        agencyfile::CheckAgencyFile(agencyfile::AgencySource::File(f.file), options);
    if (r.logical_faults.size() < 250 || r.formal.state != agencyfile::StageState::kPassed) {
      state.SkipWithError("unexpected result");
    }
    state.counters["faults"] = r.logical_faults.size();
  }
}
BENCHMARK(BM_WholeCheck)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
