// Writes the fuzz targets' seed corpora into OUT/<target>/ (normally
// fuzz/corpus; scripts/fuzz-seeds.sh runs it): a few small valid files per
// target, made with the engine's table builder and index builds and with the
// program's own writers of the settings file and the agency file. The clock
// is fixed, so every run writes the same bytes.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "agencyfile/export_file.h"
#include "fuzz_files.h"
#include "records/income_table.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "support/qt/valid_payer.h"
#include "ui/codepage.h"
#include "xbase/file/clock.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"

namespace {

using Row = std::vector<std::string>;

std::string out_dir;

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Seeds are named seed-*, so that writing them anew keeps the inputs of
// earlier findings beside them.
void Put(const std::string &target, const std::string &name, const std::string &bytes) {
  const std::string dir = out_dir + "/" + target;
  mkdir(dir.c_str(), 0755);
  std::ofstream(dir + "/seed-" + name, std::ios::binary) << bytes;
  std::printf("%s/seed-%s: %zu bytes\n", target.c_str(), name.c_str(), bytes.size());
}

// Text in code page 1251 from UTF-8 source text.
std::string Cp(const char *utf8) { return codepage::ToCp1251(QString::fromUtf8(utf8)); }

// ---- Expressions ---------------------------------------------------------------

// The first byte picks the record and the comparison settings (see
// expression_fuzz.cpp); the rest is the text.
void ExpressionSeeds() {
  const struct {
    const char *name;
    char mode;
    const char *text;
  } kSeeds[] = {
      {"key", 0, "f04+f10"},
      {"logic", 1, "UPPER(F04) = \"1234\" .AND. AMOUNT > 10 .OR. .NOT. PAID"},
      {"dates", 2, "DTOS(BORN) + DTOC(BORN + 30) + STR(DOW(BORN), 4)"},
      {"text", 5, "IIF(PAID, SUBSTR(F04, 2, 3), PADL(ALLTRIM(F10), 8, \"*\")) $ \"x\""},
      {"numbers", 12, "ROUND(AMOUNT * 1.2, 2) - MOD(INT(VAL(F01)), 7) + MAX(ABS(-3), LEN(F04))"},
      {"wildcards", 6, "F04 = \"12*\" .AND. STRTRAN(F04, \"1\", \"\xc0\") <> \"\""},
  };
  for (const auto &seed : kSeeds)
    Put("expression_fuzz", seed.name, seed.mode + std::string(seed.text));
}

// ---- Tables and indexes ------------------------------------------------------

std::vector<xb::DbfFieldSpec> IncomeFields() {
  std::vector<xb::DbfFieldSpec> fields;
  for (const QString &line : records::IncomeTableFieldList()) {
    const QStringList p = line.split(QLatin1Char(';'));
    fields.push_back({p[0].toStdString(), p[1].at(0).toLatin1(), p[2].toInt(), p[3].toInt()});
  }
  return fields;
}

// Makes table.dbf in `files` with `rows` (values by field order) and marks
// the records in `deleted` (1-based) as deleted; returns its path.
std::string MakeTable(fuzz::RunFiles &files, const std::vector<xb::DbfFieldSpec> &fields,
                      const std::vector<Row> &rows, const std::vector<int> &deleted = {}) {
  const std::string path = files.Path("table.dbf");
  xb::CreateDbfTable(path, xb::TxbDBFTypes::Clipper, fields);
  xb::XBO_dBHandler t(path, false, true);
  for (const Row &row : rows) {
    t.BlankRecord();
    for (size_t f = 0; f < row.size(); ++f) t.StringPut(static_cast<int>(f + 1), row[f]);
    t.AppendRecord();
  }
  for (int r : deleted) {
    t.GoToRecord(r);
    t.DeleteRecord();
  }
  return path;
}

struct Tag {
  std::string name;  // CDX only
  std::string key;
  std::string for_condition;
  int unique;  // 0 unique, 1 duplicates
  int order;   // 0 ascending, 1 descending, 7 and 8 the same "general"
};

// Builds the tags into table.<ext> beside the table and puts the pair as one
// two-part input.
void PutIndexed(fuzz::RunFiles &files, const std::string &table, const std::string &ext,
                const std::vector<Tag> &tags, const std::string &target, const std::string &name) {
  const std::string index = files.Path("table." + ext);
  {
    xb::XBO_dBHandler t(table, false, true);
    for (const Tag &tag : tags) {
      t.IndexOn(index, tag.name, tag.key, tag.for_condition, tag.unique, tag.order);
    }
  }
  Put(target, name, fuzz::JoinParts({ReadFile(table), ReadFile(index)}));
}

// Income rows: identifier and income code pairs, some repeated.
std::vector<Row> IncomeRows(int count) {
  std::vector<Row> rows;
  const char *codes[] = {"101", "301", "501", "820", "3071"};
  for (int i = 0; i < count; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "75%02d%02d00%02d", i % 12 + 1, i % 28 + 1, i * 7 % 100);
    rows.push_back({std::to_string(i + 1), "0", std::to_string(i % 4), id,
                    Cp(i % 2 ? "Иван Петров" : "Maria Ivanova"), i % 3 ? "BG" : "DE",
                    Cp("гр.София"), std::to_string(100 + i) + ".00", "10.00", codes[i % 5],
                    "20240101120000"});
  }
  rows.push_back(rows[3]);  // the same identifier and income code twice
  return rows;
}

// Names with Latin and Cyrillic letters in both cases, digits and signs, for
// the general collation.
std::vector<Row> NameRows(int count) {
  const char *heads[] = {"Бра", "гер", "Ита", "Фра", "гър", "Ave", "zed", "Ёлк", "Юж", "Я-"};
  const char *tails[] = {"зилия", "мания", "лия", "нция", " 2", "ня", "ЛАНД", "ия!", "ри", ""};
  std::vector<Row> rows;
  for (int i = 0; i < count; ++i) {
    const std::string name = Cp(heads[i % 10]) + Cp(tails[i / 10 % 10]);
    const std::string code = {static_cast<char>('A' + i % 26), static_cast<char>('A' + i / 26)};
    rows.push_back({code, name, std::to_string(i * 37 % 200 - 60),
                    "2024" + std::string(i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) + "15",
                    i % 3 ? "T" : "F"});
  }
  return rows;
}

const std::vector<xb::DbfFieldSpec> kNameFields = {{"CODE", 'C', 2, 0},
                                                   {"NAME", 'C', 20, 0},
                                                   {"AMOUNT", 'N', 8, 2},
                                                   {"BORN", 'D', 8, 0},
                                                   {"PAID", 'L', 1, 0}};

void TableSeeds() {
  {
    fuzz::RunFiles files;
    Put("dbf_fuzz", "income.dbf", ReadFile(MakeTable(files, IncomeFields(), IncomeRows(3), {2})));
  }
  {
    fuzz::RunFiles files;
    Put("dbf_fuzz", "typed.dbf", ReadFile(MakeTable(files, kNameFields, NameRows(6), {4})));
  }
  {
    fuzz::RunFiles files;
    Put("dbf_fuzz", "empty.dbf", ReadFile(MakeTable(files, kNameFields, {})));
  }
  {
    fuzz::RunFiles files;
    const std::string path = files.Path("table.dbf");
    xb::CreateDbfTable(path, xb::TxbDBFTypes::DBaseIV,
                       {{"NAME", 'C', 300, 0}, {"NOTE", 'M', 10, 0}, {"SUM", 'F', 12, 3}});
    xb::XBO_dBHandler t(path, false, true);
    t.BlankRecord();
    t.StringPut(1, Cp("широко поле"));
    t.StringPut(3, "-12.345");
    t.AppendRecord();
    Put("dbf_fuzz", "wide-memo.dbf", ReadFile(path));
  }
}

void NtxSeeds() {
  {
    // The income table's own index: 36 keys of 18 bytes take two leaves.
    fuzz::RunFiles files;
    const std::string t = MakeTable(files, IncomeFields(), IncomeRows(35), {5});
    PutIndexed(files, t, "ntx", {{"", "f04+f10", "", 1, 0}}, "ntx_fuzz", "income-two-levels");
  }
  {
    fuzz::RunFiles files;
    const std::string t = MakeTable(files, kNameFields, NameRows(12), {2});
    PutIndexed(files, t, "ntx", {{"", "AMOUNT", "AMOUNT > -50", 1, 1}}, "ntx_fuzz",
               "number-descending-for");
  }
  {
    fuzz::RunFiles files;
    const std::string t = MakeTable(files, kNameFields, NameRows(12));
    PutIndexed(files, t, "ntx", {{"", "BORN", "", 0, 0}}, "ntx_fuzz", "date-unique");
  }
  {
    fuzz::RunFiles files;
    const std::string t = MakeTable(files, kNameFields, NameRows(8));
    PutIndexed(files, t, "ntx", {{"", "UPPER(NAME)+CODE", "", 1, 7}}, "ntx_fuzz", "general");
  }
  {
    fuzz::RunFiles files;
    const std::string t = MakeTable(files, kNameFields, {});
    PutIndexed(files, t, "ntx", {{"", "NAME", "", 1, 0}}, "ntx_fuzz", "empty");
  }
}

void CdxSeeds() {
  {
    // A pick list's table: names in the general collation over several
    // leaves, codes in machine order.
    fuzz::RunFiles files;
    const std::string t = MakeTable(files, kNameFields, NameRows(60), {7});
    PutIndexed(files, t, "cdx", {{"NAMES", "NAME", "", 1, 7}, {"CODES", "CODE", "", 1, 0}},
               "cdx_fuzz", "names-and-codes");
  }
  {
    fuzz::RunFiles files;
    const std::string t = MakeTable(files, kNameFields, NameRows(10), {3});
    PutIndexed(files, t, "cdx",
               {{"AMOUNT", "AMOUNT", "", 1, 0},
                {"BORN", "BORN", "", 1, 1},
                {"PAID", "NAME", "PAID", 0, 8}},
               "cdx_fuzz", "number-date-for");
  }
  {
    fuzz::RunFiles files;
    const std::string t = MakeTable(files, kNameFields, {});
    PutIndexed(files, t, "cdx", {{"NAME", "NAME", "", 1, 0}}, "cdx_fuzz", "empty");
  }
}

// ---- The settings file ---------------------------------------------------------

// The tests' valid payer, with both addresses filled in and this year.
shell::PayerRecord Payer() {
  shell::PayerRecord v = testing_support::ValidPayerRecord();
  v[shell::kFiscalYear] = "2024";
  v[shell::kOwnerAddr8] = "ж.к.";
  v[shell::kOwnerAddrName8] = "Люлин";
  v[shell::kOwnerAddrBl8] = "бл.";
  v[shell::kOwnerAddrNo8] = "312";
  v[shell::kOwnerAddrVh8] = "А";
  v[shell::kOwnerAddrEt] = "3";
  v[shell::kOwnerAddrAp] = "12";
  v[shell::kOwnerPhone] = "02 123 4567";
  v[shell::kOwnerEMail] = "office@firma.bg";
  v[shell::kAuthorizedPersonName] = "Иван Петров Иванов";
  v[shell::kAuthorizedPersonID] = "7501010010";
  return v;
}

void SettingsSeeds() {
  fuzz::RunFiles files;
  shell::InitAppPaths(QString::fromStdString(files.Path("vedil")));
  const QString ini = shell::SettingsFilePath();
  settings::WriteSettingsTemplate(ini);
  Put("settings_fuzz", "template.ini", ReadFile(ini.toStdString()));
  settings::SavePayerRecord(Payer());
  Put("settings_fuzz", "payer.ini", ReadFile(ini.toStdString()));
  shell::PayerRecord other = Payer();
  other[shell::kOwnerNoType] = "ЕГН";
  other[shell::kOwnerNo] = "7501010010";
  other[shell::kOwnerName] = "\"Агро-2000\"";
  other[shell::kStatus] = "StoppedTarget";
  settings::SavePayerRecord(other);
  Put("settings_fuzz", "payer-egn-quoted.ini", ReadFile(ini.toStdString()));
}

// ---- The agency file -----------------------------------------------------------

constexpr records::CurrencyUnits kLev = records::kUnitsPerLev;

agencyfile::DetailValues Detail(const char *kind, const char *id, const char *names,
                                const char *country, const char *code,
                                records::CurrencyUnits income, records::CurrencyUnits tax) {
  agencyfile::DetailValues d;
  d.foreign_flag = QString::fromUtf8(*country && std::string(country) != "BG" ? "1" : "0");
  d.id_kind = QString::fromUtf8(kind);
  d.identifier = QString::fromUtf8(id);
  d.names = QString::fromUtf8(names);
  d.country = QString::fromUtf8(country);
  d.address = *country ? QStringLiteral("гр.София, ул.Шипка 3") : QString();
  d.income = income;
  d.tax = tax;
  d.income_code = QString::fromUtf8(code);
  return d;
}

void PutAgencyFile(const std::string &name, std::vector<agencyfile::DetailValues> rows) {
  agencyfile::HeaderValues h;
  h.payer_id = QStringLiteral("121212121");
  h.payer_name = QStringLiteral("Фирма ООД");
  h.composed_address = QStringLiteral("ул.Витоша №15 ет.3");
  h.house_number = QStringLiteral("15");
  h.status = QStringLiteral("StoppedTarget");
  h.tax_year = QStringLiteral("2024");
  for (size_t i = 0; i < rows.size(); ++i) {
    rows[i].record_number = static_cast<int>(i + 1);
    h.total_income += rows[i].income;
    h.total_tax += rows[i].tax;
  }
  const agencyfile::AgencyFileText text = agencyfile::BuildAgencyFileText(h, rows);
  if (!text.error.isEmpty()) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), text.error.toStdString().c_str());
    std::exit(1);
  }
  for (const char *target : {"agency_reader_fuzz", "agency_checker_fuzz", "csv_import_fuzz"}) {
    Put(target, name, text.bytes);
  }
}

void AgencySeeds() {
  // Every kind of line the checker accepts.
  PutAgencyFile("correct.txt",
                {Detail("0", "7501010010", "Иван Петров Иванов", "", "101", 1234 * kLev, 0),
                 Detail("3", "121212121", "Фирма ЕТ", "", "30710", 300 * kLev, 30 * kLev),
                 Detail("1", "1000000012", "Hans Mueller", "DE", "501", 50 * kLev, 5 * kLev),
                 Detail("2", "0000000000", "Nikos", "GR", "601", 10 * kLev, kLev),
                 Detail("4", "", "", "BG", "820", 200 * kLev, 20 * kLev),
                 Detail("4", "", "", "", "821", 7 * kLev, 0),
                 Detail("0", "8002020021", "Мария", "", "905", 5000 * kLev + 1, 0)});
  PutAgencyFile("one-line.txt",
                {Detail("0", "9103030035", "Петър", "", "301", 10 * kLev + 5 * kLev / 10, 0)});
  // Faults the writer lets through, for the fault lists: a repeated pair,
  // an unknown country, a code not allowed, a bad check digit.
  PutAgencyFile("faults.txt", {Detail("0", "7501010010", "Иван", "", "101", 10 * kLev, 0),
                               Detail("0", "7501010010", "Иван", "", "101", 10 * kLev, 0),
                               Detail("1", "1000000012", "Jean", "FR", "903", 10 * kLev, 0),
                               Detail("0", "7501010011", "Петър", "", "820", kLev, 2 * kLev)});
}

// ---- Files to import -----------------------------------------------------------

void CsvSeeds() {
  // A header in Bulgarian, UTF-8 with a byte order mark, ';', decimal commas,
  // quotes with a doubled quote and a line break, every kind of row.
  Put("csv_import_fuzz", "header-utf8.csv",
      "\xEF\xBB\xBF"
      "ЧФЛ;Вид;Идентификатор;Имена;Държава;Адрес;Доход;Данък;Код\r\n"
      "0;0;7501010010;\"Иван \"\"Вани\"\" Петров\";;;1234,50;0;401\r\n"
      "Да;1;1000000012;Hans Mueller;de;\"Berlin,\r\nHauptstr. 1\";50;5;401\r\n"
      "0;4;;;BG;гр.София, ж.к. Младост 1;200;20;820\r\n"
      "0;4;;;;;7,5;0;821\r\n");
  // No header, code page 1251, tabs, one bad line.
  Put("csv_import_fuzz", "fixed-cp1251.csv",
      Cp("0\t0\t7501010010\tИван\t\t\t10.50\t1\t401\n"
         "0\t0\t7501010011\tГрешен\t\t\t10\t\t999\n"));
  // Latin names in another order, commas, an unknown column, a character
  // code page 1251 cannot hold.
  Put("csv_import_fuzz", "latin-commas.csv",
      "code,names,identifier,income,note\n401,Zażółć,7501010010,\"12,5\",x\n");
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
    return 2;
  }
  out_dir = argv[1];
  mkdir(out_dir.c_str(), 0755);
  xb::SetClockForTesting(xb::LocalTime{2024, 3, 1, 12, 0, 0, 0});
  ExpressionSeeds();
  TableSeeds();
  NtxSeeds();
  CdxSeeds();
  SettingsSeeds();
  AgencySeeds();
  CsvSeeds();
  return 0;
}
