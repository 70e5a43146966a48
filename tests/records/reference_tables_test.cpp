// The shipped reference tables: the committed files are exactly what the
// generator builds from the committed sources, they hold what the program
// looks up, and wrong sources are refused.
#include "records/reference_tables_build.h"

#include <gtest/gtest.h>

#include <QDir>
#include <set>

#include "support/common/temp_dir.h"
#include "ui/codepage.h"
#include "xbase/table/db_handler.h"

namespace records {
namespace {

const QString kSources = QStringLiteral(VEDIL_SOURCE_DIR "/tools/reftables/sources");
const std::string kShipped = VEDIL_SOURCE_DIR "/data/tables/";

TEST(ReferenceTables, CommittedFilesMatchTheGenerator) {
  testing_support::TempDir dir;
  QString error;
  ASSERT_TRUE(BuildReferenceTables(kSources, QString::fromStdString(dir.path()), &error))
      << error.toStdString();
  for (const char *name : {"Countries.dbf", "Countries.cdx", "Incomes.dbf"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(testing_support::ReadFileBytes(dir.File(name)),
              testing_support::ReadFileBytes(kShipped + name));
  }
}

// The name in the row whose CODE is `code`, or "" when none.
QString NameOf(const std::string &table_file, const QString &code, int64_t *rows) {
  xb::XBO_dBHandler table(table_file, true, false);
  *rows = table.RecordCount();
  for (table.GoToRecord(xb::kGoFirst); !table.Eof(); table.GoToRecord(xb::kGoNext)) {
    if (codepage::FromCp1251(table.StringGet("Code")) == code) {
      return codepage::FromCp1251(table.StringGet("Name"));
    }
  }
  return QString();
}

TEST(ReferenceTables, ShippedTablesHoldWhatTheProgramLooksUp) {
  int64_t rows = 0;
  EXPECT_EQ(NameOf(kShipped + "Countries.dbf", "BG", &rows), "България");
  EXPECT_EQ(NameOf(kShipped + "Countries.dbf", "DE", &rows), "Германия");
  EXPECT_EQ(rows, 249);
  EXPECT_EQ(NameOf(kShipped + "Incomes.dbf", "821", &rows), "Лихви по банкови сметки");
  EXPECT_FALSE(NameOf(kShipped + "Incomes.dbf", "30714", &rows).isEmpty());
  EXPECT_EQ(rows, 65);

  // The tag "Countries" walks every country once, ordered by the name's bytes.
  xb::XBO_dBHandler countries(kShipped + "Countries.dbf", true, false);
  countries.IndexOpen("Countries.cdx", "countries");
  std::set<int64_t> records;
  std::string previous;
  for (countries.GoToRecord(xb::kGoFirst); !countries.Eof(); countries.GoToRecord(xb::kGoNext)) {
    records.insert(countries.RecordNumber());
    const std::string name = countries.StringGet("Name");
    EXPECT_LE(previous, name);
    previous = name;
  }
  EXPECT_EQ(records.size(), 249u);
  const int64_t germany = countries.FindInTag("Countries", codepage::ToCp1251("Германия"));
  ASSERT_GT(germany, 0);
  countries.GoToRecord(germany);
  EXPECT_EQ(countries.StringGet("Code"), "DE");
}

TEST(ReferenceTables, WrongSourcesAreRefused) {
  const struct {
    const char *name, *countries, *message;
  } cases[] = {
      {"no tab", "BG България\n", "expected a code, a tab and a name"},
      {"code twice", "BG\tБългария\nBG\tБългария\n", "code BG given twice"},
      {"small letters", "BG\tБългария\nde\tГермания\n", "de is not two capital Latin letters"},
      {"no Bulgaria", "DE\tГермания\n", "no row for BG"},
      {"name outside 1251", "BG\tБългария\nJP\t日本\n", "name outside code page 1251"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempDir dir;
    testing_support::WriteFileBytes(dir.File("countries.tsv"), c.countries);
    QString error;
    EXPECT_FALSE(ReadCountriesSource(QString::fromStdString(dir.File("countries.tsv")), &error));
    EXPECT_TRUE(error.contains(c.message)) << error.toStdString();
  }
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.File("incomes.tsv"), "301\tДоходи\n");
  QString error;
  EXPECT_FALSE(ReadIncomesSource(QString::fromStdString(dir.File("incomes.tsv")), &error));
  EXPECT_TRUE(error.contains("income code 302 is missing")) << error.toStdString();
  testing_support::WriteFileBytes(dir.File("incomes.tsv"), "307\tДоходи\n");
  EXPECT_FALSE(ReadIncomesSource(QString::fromStdString(dir.File("incomes.tsv")), &error));
  EXPECT_TRUE(error.contains("307 is not an allowed income code")) << error.toStdString();
}

}  // namespace
}  // namespace records
