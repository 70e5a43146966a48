// Importing rows: the verdict of each line (the editor's limits and rules,
// the duplicate rule against the table and the file), the sources (agency
// file with its header, CSV with or without a header line), the bulk write
// in both modes, the round trips through an agency file and a CSV file, and
// input that is no table at all.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "agencyfile/export_file.h"
#include "importfile/csv_export.h"
#include "importfile/import_check.h"
#include "importfile/import_fixture.h"
#include "importfile/import_source.h"
#include "importfile/import_write.h"
#include "records/duplicate_check.h"
#include "shell/app_paths.h"
#include "shell/identifier_checks.h"
#include "support/qt/qt_printers.h"
#include "ui/engine_text.h"
#include "xbase/dataset/xbase_dataset.h"

namespace importfile {
namespace {

using records::StoredRow;
using testing::Egn;
using testing::FakeTables;
using testing::ImportHome;

constexpr records::CurrencyUnits kLev = records::kUnitsPerLev;
const QDateTime kWhen(QDate(2026, 12, 10), QTime(16, 55, 0));

SourceLine Line(int n, RowCells cells) {
  SourceLine line;
  line.line = n;
  line.cells = std::move(cells);
  return line;
}

// A valid person's row: ЕГН number n, code 401.
RowCells Person(int n, const QString &code = "401") {
  return {"0", "0", Egn(n), "Иван Петров", "", "", "100", "10", code};
}

std::vector<LineVerdict> Check(const std::vector<SourceLine> &lines, ExistingRows existing = {}) {
  return CheckLines(lines, FakeTables(), existing);
}

std::vector<StoredRow> Accepted(const std::vector<LineVerdict> &verdicts) {
  std::vector<StoredRow> rows;
  for (const LineVerdict &v : verdicts)
    if (v.accepted()) rows.push_back(v.row);
  return rows;
}

TEST(ImportFixture, MakesValidIdentifiers) {
  for (int n : {0, 1, 7, 999}) EXPECT_TRUE(shell::CheckEGN(Egn(n))) << Egn(n).toStdString();
}

struct VerdictCase {
  const char *name;
  RowCells cells;
  QStringList reasons;
};

TEST(ImportCheck, EachLineGetsTheEditorsMessages) {
  const QString egn = Egn(1);
  const VerdictCase kCases[] = {
      {"valid person", Person(1), {}},
      {"empty line of a person",
       {"", "", "", "", "", "", "", "", ""},
       {"3 Въведете ЕГН", "9 Въведете име на лицето", "19 Въведете код на дохода",
        "15 Въведете размер на дохода"}},
      {"bad check digit",
       {"0", "0", "7501010011", "Иван", "", "", "100", "", "401"},
       {"4 Невалиден ЕГН"}},
      {"foreign person from Bulgaria",
       {"Да", "1", "1002003008", "John", "bg", "x", "1", "", "401"},
       {"22 България е с код-държава <BG>. Изберете друг код"}},
      {"kind 3 for a foreign person",
       {"1", "3", "123456786", "X", "DE", "y", "1", "", "401"},
       {"27 Изберете вид идентификатор"}},
      {"code 901 needs more than 5000",
       {"0", "0", egn, "И", "", "", "5000.00", "", "901"},
       {"25 Размерът на дохода за код 901 трябва да е над 5000 лв."}},
      {"tax above income",
       {"0", "0", egn, "И", "", "", "100", "150", "401"},
       {"16 Размерът на дохода трябва да е по-голям от удържания данък",
        "18 Удържаният данък е по-голям от размера на дохода"}},
      {"condominium without address",
       {"0", "4", "", "", "BG", "", "100", "", "820"},
       {"14 Въведете адрес"}},
      {"names too long and a third decimal",
       {"0", "0", egn, QString(41, 'x'), "", "", "1.005", "", "401"},
       {"Полето <Имена> е по-дълго от 40 знака",
        "Полето <Доход> трябва да е сума с най-много два знака след точката"}},
      {"letters in the identifier and a negative tax",
       {"0", "0", "75O1010010", "И", "", "", "5", "-1", "401"},
       {"Полето <Идентификатор> трябва да е цяло число",
        "Полето <Данък> не може да е отрицателна сума", "4 Невалиден ЕГН"}},
      {"an amount the agency file has no room for",
       {"0", "0", egn, "И", "", "", "10000000000", "", "401"},
       {"Полето <Доход> е по-голямо от 9999999999.99"}},
      {"unknown flag",
       {"2", "0", egn, "И", "", "", "5", "", "401"},
       {"Полето <ЧФЛ> трябва да е 1 (Да) или 0 (Не)"}},
  };
  for (const VerdictCase &c : kCases) {
    SCOPED_TRACE(c.name);
    const std::vector<LineVerdict> v = Check({Line(2, c.cells)});
    ASSERT_EQ(v.size(), 1u);
    // Message texts come from the editor's table; compare by their numbers
    // and the import's own texts.
    QStringList got;
    for (const QString &r : v[0].reasons) got << r;
    ASSERT_EQ(got.size(), c.reasons.size()) << got.join(" | ").toStdString();
    for (int i = 0; i < got.size(); ++i) {
      const QString &want = c.reasons[i];
      const QString number = want.section(' ', 0, 0);
      if (number.toInt() > 0)
        EXPECT_TRUE(got[i].startsWith(number + ' ')) << got[i].toStdString();
      else
        EXPECT_EQ(got[i], want);
    }
  }
}

TEST(ImportCheck, AcceptedRowsAreStoredAsTheEditorStoresThem) {
  const std::vector<LineVerdict> v =
      Check({Line(2, {"да", "1", "1002003008", "John Smith", "de", "Berlin", "1234,5", "", "401"}),
             Line(3, {"0", "4", "", "", "", "", "12", "1.5", "821"})});
  ASSERT_TRUE(v[0].accepted()) << v[0].reasons.join('|').toStdString();
  ASSERT_TRUE(v[1].accepted()) << v[1].reasons.join('|').toStdString();
  EXPECT_EQ(v[0].row, (StoredRow{"1", "1", "1002003008", "John Smith", "DE", "Berlin", "1234.50",
                                 "0.00", "401"}));
  EXPECT_EQ(v[1].row, (StoredRow{"0", "4", "", "", "", "", "12.00", "1.50", "821"}));
}

TEST(ImportCheck, OneRowPerRecipientAndCodeAgainstTableAndFile) {
  ExistingRows existing;
  existing.count = 3;
  existing.keys.emplace(records::DuplicateSearchKey(Egn(1), "401"), 3);
  const std::vector<LineVerdict> v =
      Check({Line(2, Person(1)),                      // in the table as row 3
             Line(3, Person(2)), Line(4, Person(2)),  // twice in the file
             Line(5, Person(2, "301")),               // another code
             Line(6, {"0", "4", "", "", "BG", "Адрес", "5", "", "820"}),
             Line(7, {"0", "4", "", "", "BG", "Адрес", "5", "", "820"}),  // 820 may repeat
             Line(8, {"0", "4", "", "", "", "", "5", "", "821"}),
             Line(9, {"0", "4", "", "", "", "", "5", "", "821"})},  // one interest row only
            existing);
  const bool accepted[] = {false, true, false, true, true, true, true, false};
  for (size_t i = 0; i < v.size(); ++i)
    EXPECT_EQ(v[i].accepted(), accepted[i]) << "line " << v[i].line;
  EXPECT_TRUE(v[0].reasons.value(0).contains("Имате въведен ред (3)"))
      << v[0].reasons.value(0).toStdString();
  EXPECT_TRUE(v[2].reasons.value(0).contains("Ред 3 на файла"))
      << v[2].reasons.value(0).toStdString();
  EXPECT_TRUE(v[7].reasons.value(0).contains("Ред 8 на файла"));
  // Replacing the table: only the file's own lines count.
  EXPECT_TRUE(Check({Line(2, Person(1))})[0].accepted());
}

TEST(ImportCheck, TheTableNeverOutgrowsTheAgencyFile) {
  ExistingRows existing;
  existing.count = kMaxTableRows - 1;
  const std::vector<LineVerdict> v = Check({Line(2, Person(1)), Line(3, Person(2))}, existing);
  EXPECT_TRUE(v[0].accepted());
  ASSERT_FALSE(v[1].accepted());
  EXPECT_TRUE(v[1].reasons[0].contains("99999"));
}

TEST(ImportSource, CsvWithHeaderInAnyOrderOrWithoutInTheFixedOrder) {
  const QString egn = Egn(5);
  ImportSource s = ReadImportBytes(
      ("Code;NAMES;идентификатор;Доход;Бележка\r\n401;Иван;" + egn + ";12,50;x\r\n").toUtf8(),
      "a.csv");
  ASSERT_EQ(s.error, QString());
  ASSERT_EQ(s.lines.size(), 1u);
  EXPECT_EQ(s.lines[0].line, 2);
  EXPECT_EQ(s.lines[0].cells, (RowCells{"", "", egn, "Иван", "", "", "12,50", "", "401"}));

  s = ReadImportBytes(("0\t0\t" + egn + "\t Иван \t\t\t1\t0\t401\r\n").toUtf8(), "b.csv");
  ASSERT_EQ(s.lines.size(), 1u);
  EXPECT_EQ(s.lines[0].line, 1);
  EXPECT_EQ(s.lines[0].cells, (RowCells{"0", "0", egn, "Иван", "", "", "1", "0", "401"}));
  EXPECT_TRUE(s.lines[0].problems.isEmpty());

  s = ReadImportBytes("0;0;1;2;3;4;5;6;7;extra\n", "c.csv");
  EXPECT_EQ(s.lines[0].problems, QStringList{"Редът има повече от 9 колони"});
  EXPECT_EQ(ReadImportBytes("Код;код\n1;2\n", "d.csv").error,
            "Колоната <Код> е посочена два пъти в заглавния ред.");
}

// The agency file's bytes for the rows of the table, as the export writes it.
QByteArray AgencyFileOf(const QString &table_path, const agencyfile::HeaderValues &header) {
  xb::TXbaseDataSet table;
  table.TranslateASCII = false;
  table.SetDatabaseName(ui::EnginePath(QFileInfo(table_path).path()));
  table.SetTableName(shell::kIncomeTableName);
  table.Open();
  const std::optional<agencyfile::AgencyFileText> text =
      agencyfile::BuildAgencyFileFromTable(*table.Table(), table.RecordCount(), header, nullptr);
  EXPECT_EQ(text->error, QString());
  return QByteArray::fromStdString(text->bytes);
}

agencyfile::HeaderValues Header() {
  agencyfile::HeaderValues header;
  header.payer_id = "121212121";
  header.payer_name = "Фирма ООД";
  header.composed_address = "гр.София, ул.Тест 5";
  header.status = "Active";
  header.tax_year = "2025";
  return header;
}

std::vector<agencyfile::DetailValues> SampleDetails() {
  auto detail = [](int n, const char *flag, const char *kind, QString id, const char *names,
                   const char *country, const char *address, records::CurrencyUnits income,
                   records::CurrencyUnits tax, const char *code) {
    return agencyfile::DetailValues{n, flag, kind, id, names, country, address, income, tax, code};
  };
  return {detail(1, "0", "0", Egn(1), "Иван Петров Иванов", "", "", 1234 * kLev + 5000, 0, "401"),
          detail(2, "1", "1", "1002003008", "John Smith", "DE", "Berlin, Hauptstr. 1", 800 * kLev,
                 80 * kLev, "3071"),
          detail(3, "0", "4", "", "", "BG", "София, ж.к. Младост 1, бл.5", 60 * kLev, 0, "820"),
          detail(4, "0", "4", "", "", "", "", 12 * kLev + 3400, kLev, "821"),
          detail(5, "0", "0", Egn(2), "Мария \"Ани\"; Иванова", "", "", 9000 * kLev, 900 * kLev,
                 "901")};
}

TEST(ImportRoundTrip, AgencyFileIntoAnEmptyTableAndOutAgainIsTheSameFile) {
  ImportHome home;
  const std::vector<agencyfile::DetailValues> details = SampleDetails();
  agencyfile::HeaderValues header = Header();
  for (const auto &d : details) header.total_income += d.income, header.total_tax += d.tax;
  const QByteArray file =
      QByteArray::fromStdString(agencyfile::BuildAgencyFileText(header, details).bytes);

  const ImportSource source = ReadImportBytes(file, "121212121.txt");
  ASSERT_EQ(source.error, QString());
  EXPECT_EQ(source.kind, SourceKind::kAgencyFile);
  EXPECT_TRUE(source.has_payer_id);
  EXPECT_EQ(source.payer_id, "121212121");
  const std::vector<LineVerdict> verdicts = Check(source.lines);
  for (const LineVerdict &v : verdicts)
    EXPECT_TRUE(v.accepted()) << v.reasons.join('|').toStdString();
  const ImportWriteResult written =
      WriteImportedRows(home.TablePath(), Accepted(verdicts), ImportMode::kAdd, kWhen);
  ASSERT_EQ(written.error, QString());
  EXPECT_EQ(written.written, 5);
  EXPECT_EQ(AgencyFileOf(home.TablePath(), Header()), file);
}

TEST(ImportRoundTrip, CsvExportThenImportGivesTheSameRows) {
  ImportHome home;
  const std::vector<StoredRow> rows = {
      {"0", "0", Egn(1), "Иван; \"Вани\"", "", "", "1234.50", "0.00", "401"},
      {"1", "2", "0000000000", "Jean\nDupont", "FR", "Paris, 1 rue", "10.00", "1.00", "3071"},
      {"0", "4", "", "", "BG", "гр. Варна", "5.00", "0.00", "820"}};
  ASSERT_EQ(WriteImportedRows(home.TablePath(), rows, ImportMode::kAdd, kWhen).error, QString());
  const QByteArray csv = RowsCsv(ReadTableRows(home.TablePath()));
  EXPECT_TRUE(
      csv.startsWith("\xEF\xBB\xBF"
                     "ЧФЛ;Вид;Идентификатор;Имена;Държава;Адрес;Доход;Данък;Код\r\n"));
  EXPECT_TRUE(csv.contains(";\"1234,50\";\"0,00\";401\r\n"));

  const ImportSource source = ReadImportBytes(csv, "rows.csv");
  ASSERT_EQ(source.error, QString());
  const std::vector<LineVerdict> verdicts = Check(source.lines);
  ASSERT_EQ(Accepted(verdicts).size(), rows.size());
  EXPECT_EQ(Accepted(verdicts), rows);
}

TEST(ImportWrite, AddingAppendsAndReplacingKeepsADatedCopy) {
  ImportHome home;
  const std::vector<StoredRow> first = {{"0", "0", Egn(1), "А", "", "", "1.00", "0.00", "401"}};
  const std::vector<StoredRow> second = {{"0", "0", Egn(2), "Б", "", "", "2.00", "0.00", "401"},
                                         {"0", "0", Egn(3), "В", "", "", "3.00", "0.00", "401"}};
  ASSERT_EQ(WriteImportedRows(home.TablePath(), first, ImportMode::kAdd, kWhen).error, QString());
  ASSERT_EQ(WriteImportedRows(home.TablePath(), second, ImportMode::kAdd, kWhen).error, QString());
  EXPECT_EQ(ReadTableRows(home.TablePath()).size(), 3u);
  QFile::copy(home.TablePath(), shell::DataFile("dvel.ntx"));  // any bytes: it is only copied

  QFile old_table(home.TablePath());
  ASSERT_TRUE(old_table.open(QIODevice::ReadOnly));
  const QByteArray old_bytes = old_table.readAll();
  old_table.close();
  const ImportWriteResult result =
      WriteImportedRows(home.TablePath(), first, ImportMode::kReplace, kWhen);
  ASSERT_EQ(result.error, QString());
  EXPECT_EQ(result.backup, shell::DataFile("dvel-20261210-165500.dbf"));
  QFile backup(result.backup);
  ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
  EXPECT_EQ(backup.readAll(), old_bytes);
  EXPECT_TRUE(QFile::exists(shell::DataFile("dvel-20261210-165500.ntx")));
  EXPECT_EQ(ReadTableRows(home.TablePath()), first);
  EXPECT_FALSE(QFile::exists(shell::DataFile("dvel-import.dbf")));
}

TEST(ImportWrite, ACancelLeavesTheTableAsItWas) {
  ImportHome home;
  std::vector<StoredRow> rows;
  for (int i = 0; i < 2500; ++i)
    rows.push_back({"0", "0", Egn(i % 1000), "А", "", "", "1.00", "0.00", "401"});
  QFile table(home.TablePath());
  ASSERT_TRUE(table.open(QIODevice::ReadOnly));
  const QByteArray before = table.readAll();
  table.close();
  for (ImportMode mode : {ImportMode::kAdd, ImportMode::kReplace}) {
    const ImportWriteResult result = WriteImportedRows(
        home.TablePath(), rows, mode, kWhen.addSecs(mode == ImportMode::kAdd ? 0 : 1),
        [](qint64 done, qint64) { return done < 2000; });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.written, 0);
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_EQ(table.readAll(), before);
    table.close();
  }
}

TEST(ImportBadInput, IsAMessageAndTheTableHoldsExactlyTheAcceptedRows) {
  // Binary and empty files are refused whole.
  QByteArray binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) & 0xFF);
  EXPECT_TRUE(ReadImportBytes(binary, "x.bin").error.startsWith("Файлът не е текстов"));
  EXPECT_EQ(ReadImportBytes("", "e.csv").error, "Файлът [e.csv] е празен.");

  // One line of 8 MB: a rejected line, not a crash.
  ImportSource huge = ReadImportBytes(QByteArray(8 << 20, 'x') + "\n", "h.csv");
  ASSERT_EQ(huge.error, QString());
  ASSERT_EQ(huge.lines.size(), 1u);
  EXPECT_FALSE(Check(huge.lines)[0].accepted());

  // 200 000 lines, every tenth one bad: the table takes exactly the others,
  // as far as the agency file has room.
  ImportHome home;
  QByteArray many;
  for (int i = 0; i < 200000; ++i) {
    const QString id = i % 10 == 9 ? QStringLiteral("123") : Egn(i % 1000);
    many += QStringLiteral("0;0;%1;Лице %2;;;%3;0;401\n").arg(id).arg(i).arg(i % 1000 + 1).toUtf8();
  }
  const ImportSource source = ReadImportBytes(many, "many.csv");
  ASSERT_EQ(source.lines.size(), 200000u);
  const std::vector<LineVerdict> verdicts = Check(source.lines);
  // Egn(i % 1000) with code 401 repeats every 1000 lines: only the first 1000
  // lines' good identifiers are new.
  const std::vector<StoredRow> accepted = Accepted(verdicts);
  EXPECT_EQ(accepted.size(), 900u);
  ASSERT_EQ(WriteImportedRows(home.TablePath(), accepted, ImportMode::kAdd, kWhen).error,
            QString());
  EXPECT_EQ(ReadTableRows(home.TablePath()), accepted);
}

TEST(ImportExport, RejectedLinesCarryTheirNumberAndReasonsAndImportAgain) {
  const QString egn = Egn(4);
  const ImportSource source = ReadImportBytes(
      ("Вид;Идентификатор;Имена;Доход;Код\n0;" + egn + ";Иван;10;401\n0;" + egn + ";;10;401\n")
          .toUtf8(),
      "r.csv");
  const std::vector<LineVerdict> verdicts = Check(source.lines);
  const QByteArray rejected = RejectedLinesCsv(source, verdicts);
  const ImportSource again = ReadImportBytes(rejected, "rejected.csv");
  ASSERT_EQ(again.lines.size(), 1u);
  EXPECT_EQ(again.lines[0].cells, source.lines[1].cells);
  EXPECT_TRUE(rejected.contains(";3;9 "));  // line 3, message 9
}

}  // namespace
}  // namespace importfile
