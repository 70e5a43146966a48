// The countries table as the checker reads it: codes of records that are not
// deleted, and a clear message for a table that cannot be read.
#include "agencyfile/country_codes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/common/countries_table.h"
#include "support/common/temp_dir.h"

namespace agencyfile {
namespace {

TEST(CountryCodes, ReadsTheFirstFieldOfEveryRecordNotDeleted) {
  testing_support::TempDir dir;
  const std::string path = dir.File("Countries.dbf");
  testing_support::WriteCountriesTable(path, {"BG", "DE", "gr", "XX"}, {"XX"});
  QSet<QString> codes;
  QString error;
  ASSERT_TRUE(CountriesTableLoader(QString::fromStdString(path))(&codes, &error))
      << error.toStdString();
  EXPECT_EQ(codes,
            QSet<QString>({QStringLiteral("BG"), QStringLiteral("DE"), QStringLiteral("GR")}));
}

TEST(CountryCodes, NamesATableThatCannotBeRead) {
  testing_support::TempDir dir;
  const std::string broken = dir.File("broken.dbf");
  testing_support::WriteFileBytes(broken, "not a table");
  for (const std::string &path : {dir.File("missing.dbf"), broken}) {
    SCOPED_TRACE(path);
    QSet<QString> codes;
    QString error;
    EXPECT_FALSE(CountriesTableLoader(QString::fromStdString(path))(&codes, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Таблицата с кодовете на държавите [") +
                                 QString::fromStdString(path) + QStringLiteral("] не може")))
        << error.toStdString();
  }
}

// The engine's reason names the file by its UTF-8 path; read as 1251 bytes a
// Cyrillic folder came out garbled in the reason, though right in the brackets.
TEST(CountryCodes, ACyrillicFolderReadsTheSameInTheEnginesReason) {
  testing_support::TempDir dir;
  // Made through Qt, which names files in UTF-8 on every platform (the
  // standard library's narrow names are the ANSI code page on Windows).
  const QString folder = QString::fromStdString(dir.File("Държави"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const std::string path = (folder + "/Countries.dbf").toStdString();
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a table");
  file.close();
  QSet<QString> codes;
  QString error;
  EXPECT_FALSE(CountriesTableLoader(QString::fromStdString(path))(&codes, &error));
  EXPECT_EQ(error.count(QString::fromStdString(path)), 2) << error.toStdString();
}

}  // namespace
}  // namespace agencyfile
