// Line reading of agency files: line ends, lone CRs, Ctrl-Z, buffer
// boundaries and files that cannot be opened.
#include "agencyfile/agency_file_reader.h"

#include <gtest/gtest.h>

#include "support/common/temp_dir.h"

namespace agencyfile {
namespace {

QList<QByteArray> ReadAll(const AgencySource &source, QString *error = nullptr) {
  AgencyFileReader reader(source);
  QList<QByteArray> lines;
  if (!reader.Open()) {
    if (error) *error = reader.error();
    return lines;
  }
  QByteArray line;
  while (reader.Next(&line)) lines.append(line);
  if (error) *error = reader.error();
  return lines;
}

QList<QByteArray> Lines(const QByteArray &bytes) {
  return ReadAll(AgencySource::Memory(bytes, QStringLiteral("mem")));
}

TEST(AgencyFileReader, SplitsByTheFileRules) {
  struct Case {
    QByteArray bytes;
    QList<QByteArray> lines;
  } const cases[] = {
      {"", {}},
      {"abc", {"abc"}},
      {"abc\r\n", {"abc"}},
      {"abc\r\ndef\r\n", {"abc", "def"}},
      {"abc\ndef", {"abc", "def"}},
      {"ab\rc\r\n", {"abc"}},                    // a lone CR is dropped
      {"abc\r\n\r\ndef\n", {"abc", "", "def"}},  // an empty line stays a line
      {"abc\r\n\x1a"
       "def\r\n",
       {"abc"}},  // Ctrl-Z ends the file
      {"ab\x1a"
       "c\r\n",
       {"ab"}},
      {"\x1a", {}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.bytes.toStdString());
    EXPECT_EQ(Lines(c.bytes), c.lines);
  }
}

TEST(AgencyFileReader, ReadsAFileLargerThanItsBufferWithLineEndsAcrossTheBoundary) {
  testing_support::TempDir dir;
  // Lines of 139 bytes + CR LF: with thousands of them, CR and LF fall on
  // both sides of a buffer boundary somewhere.
  QByteArray bytes;
  QList<QByteArray> expected;
  for (int i = 0; i < 3000; ++i) {
    QByteArray line = QByteArray::number(i).rightJustified(5, '0') + QByteArray(134, '\xe0');
    expected.append(line);
    bytes += line + "\r\n";
  }
  const std::string path = dir.File("big.txt");
  testing_support::WriteFileBytes(path, bytes.toStdString());
  QString error;
  EXPECT_EQ(ReadAll(AgencySource::File(QString::fromStdString(path)), &error), expected);
  EXPECT_TRUE(error.isEmpty());
}

TEST(AgencyFileReader, KeepsTheStartOfAHugeLineAndCountsItInFull) {
  const qsizetype size = AgencyFileReader::kMaxKeptLine * 3 + 5;
  AgencyFileReader reader(
      AgencySource::Memory(QByteArray(size, 'x') + "\r\nabc", QStringLiteral("mem")));
  ASSERT_TRUE(reader.Open());
  QByteArray line;
  ASSERT_TRUE(reader.Next(&line));
  EXPECT_EQ(line.size(), AgencyFileReader::kMaxKeptLine);
  EXPECT_EQ(reader.length(), size);
  ASSERT_TRUE(reader.Next(&line));
  EXPECT_EQ(line, "abc");
  EXPECT_EQ(reader.length(), 3);
}

TEST(AgencyFileReader, NamesTheFileThatCannotBeOpened) {
  testing_support::TempDir dir;
  for (const std::string &path : {dir.File("missing.txt"), dir.path()}) {
    SCOPED_TRACE(path);
    QString error;
    EXPECT_TRUE(ReadAll(AgencySource::File(QString::fromStdString(path)), &error).isEmpty());
    EXPECT_TRUE(error.startsWith(QStringLiteral("Файлът [") + QString::fromStdString(path) +
                                 QStringLiteral("] не може да бъде отворен")))
        << error.toStdString();
  }
}

}  // namespace
}  // namespace agencyfile
