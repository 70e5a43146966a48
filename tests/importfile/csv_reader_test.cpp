// The CSV reader: encodings and separators found from the bytes, quoting,
// line numbers of records that span lines, and what it says about bytes that
// are no text or characters code page 1251 cannot hold.
#include "importfile/csv_reader.h"

#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

namespace importfile {
namespace {

struct Case {
  const char *name;
  QByteArray bytes;
  TextEncoding encoding;
  char separator;
  std::vector<QStringList> records;
};

TEST(CsvReader, FindsEncodingAndSeparatorAndUnquotes) {
  const QByteArray cp1251_name("\xC8\xE2\xE0\xED", 4);  // "Иван" in code page 1251
  const Case kCases[] = {
      {"utf8 with bom, semicolons",
       "\xEF\xBB\xBF"
       "a;Иван;1,50\r\nb;;\r\n",
       TextEncoding::kUtf8WithBom,
       ';',
       {{"a", "Иван", "1,50"}, {"b", "", ""}}},
      {"utf8 without bom, commas, quoted comma",
       "a,\"1,50\",Иван\n",
       TextEncoding::kUtf8,
       ',',
       {{"a", "1,50", "Иван"}}},
      {"cp1251, tabs",
       "a\t" + cp1251_name + "\t2\r\n",
       TextEncoding::kCp1251,
       '\t',
       {{"a", "Иван", "2"}}},
      {"doubled quotes and a line break in quotes",
       "\"say \"\"hi\"\"\";\"two\r\nlines\";x\n",
       TextEncoding::kUtf8,
       ';',
       {{"say \"hi\"", "two\nlines", "x"}}},
      {"blank records are left out, lone CR ends a line",
       "a;b\r;\r\n\n c ;d",
       TextEncoding::kUtf8,
       ';',
       {{"a", "b"}, {" c ", "d"}}},
      {"Ctrl-Z ends the file", "a;b\r\n\x1A junk", TextEncoding::kUtf8, ';', {{"a", "b"}}},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.name);
    const CsvText csv = ReadCsv(c.bytes);
    EXPECT_EQ(csv.error, QString());
    EXPECT_EQ(csv.encoding, c.encoding);
    EXPECT_EQ(csv.separator, QLatin1Char(c.separator));
    ASSERT_EQ(csv.records.size(), c.records.size());
    for (size_t r = 0; r < c.records.size(); ++r) {
      EXPECT_EQ(csv.records[r].cells, c.records[r]);
      EXPECT_TRUE(csv.records[r].problems.isEmpty())
          << csv.records[r].problems.join(QLatin1Char('|')).toStdString();
    }
  }
}

TEST(CsvReader, RecordsKnowTheLineTheyStartOn) {
  const CsvText csv = ReadCsv("h;h\n\"a\nb\nc\";1\n\nlast;2\n");
  ASSERT_EQ(csv.records.size(), 3u);
  EXPECT_EQ(csv.records[1].line, 2);
  EXPECT_EQ(csv.records[2].line, 6);
}

TEST(CsvReader, ACharacterOutsideCp1251NamesItsLineAndColumn) {
  // "€" fits code page 1251, "ł" does not; columns count characters.
  const CsvText csv = ReadCsv("a;€\n\"x\ny\";Zał\n");
  ASSERT_EQ(csv.records.size(), 2u);
  EXPECT_TRUE(csv.records[0].problems.isEmpty());
  ASSERT_EQ(csv.records[1].problems.size(), 1);
  EXPECT_EQ(csv.records[1].problems[0],
            "Знакът \"ł\" (U+0142) на ред 3, колона 6 не може да се запише в кодова таблица 1251");
}

TEST(CsvReader, BadBytesAreProblemsOrErrorsNeverSilentChanges) {
  // A byte order mark promises UTF-8: a byte that breaks it is named.
  CsvText csv = ReadCsv(
      "\xEF\xBB\xBF"
      "ok;1\nb\xFF;2\n");
  ASSERT_EQ(csv.records.size(), 2u);
  EXPECT_EQ(csv.records[1].problems, QStringList{"Неправилен знак в UTF-8 на ред 2, колона 2"});

  csv = ReadCsv("a;\"open\nb;c\n");
  ASSERT_EQ(csv.records.size(), 1u);
  EXPECT_EQ(csv.records[0].problems,
            QStringList{"Кавичките, отворени на ред 1, колона 3, не са затворени"});

  EXPECT_EQ(ReadCsv(QByteArray("a;b\nc\0d\n", 8)).error,
            "Файлът не е текстов: на ред 2 има нулев байт.");
  EXPECT_EQ(ReadCsv(" ;\r\n;;\r\n").error, "Файлът не съдържа нито един ред с данни.");

  QByteArray wide;
  for (int i = 0; i < 100; ++i) wide += "x;";
  csv = ReadCsv(wide);
  ASSERT_EQ(csv.records.size(), 1u);
  EXPECT_EQ(csv.records[0].cells.size(), kMaxCsvCells);
  EXPECT_EQ(csv.records[0].problems.size(), 1);
}

TEST(CsvReader, WrittenLinesReadBackTheSame) {
  const QStringList cells = {"plain", "a;b", "say \"hi\"", "two\nlines", " padded ", "", "Иван"};
  const CsvText csv = ReadCsv(CsvLine(cells, QLatin1Char(';')) + "\r\n");
  ASSERT_EQ(csv.records.size(), 1u);
  EXPECT_EQ(csv.records[0].cells, cells);
}

}  // namespace
}  // namespace importfile
