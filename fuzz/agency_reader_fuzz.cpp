// libFuzzer target: the input is an agency file. It is read line by line
// from a file and from memory, as the checker and the tests read it; both
// must give the lines that the file's reading rules give (a line ends at LF,
// CRs are dropped, Ctrl-Z ends the file, a line keeps at most kMaxKeptLine
// bytes and counts them all). Each line is then cut into its fields as a
// record, and every field that reads as an amount must format back to the
// same amount.
#include <cstdint>
#include <string>
#include <vector>

#include "agencyfile/agency_check.h"
#include "agencyfile/agency_file_reader.h"
#include "agencyfile/agency_record.h"
#include "fuzz_files.h"
#include "ui/codepage.h"

namespace {

using agencyfile::AgencyFileReader;
using agencyfile::AgencySource;

struct Line {
  QByteArray bytes;
  qint64 length = 0;
  bool operator==(const Line &o) const { return bytes == o.bytes && length == o.length; }
};

// The lines by the reading rules, worked out on the whole input at once.
std::vector<Line> ExpectedLines(const QByteArray &input) {
  const qsizetype eof = input.indexOf('\x1a');
  const QByteArray text = eof < 0 ? input : input.left(eof);
  std::vector<Line> lines;
  qsizetype start = 0;
  while (start < text.size()) {
    qsizetype end = text.indexOf('\n', start);
    if (end < 0) end = text.size();
    QByteArray bytes = text.mid(start, end - start);
    bytes.replace("\r", "");
    const qint64 length = bytes.size();
    lines.push_back({bytes.left(AgencyFileReader::kMaxKeptLine), length});
    start = end + 1;
  }
  return lines;
}

std::vector<Line> ReadLines(const AgencySource &source) {
  AgencyFileReader reader(source);
  fuzz::Require(reader.Open(), "an agency source does not open");
  std::vector<Line> lines;
  QByteArray bytes;
  while (reader.Next(&bytes)) lines.push_back({bytes, reader.length()});
  fuzz::Require(reader.error().isEmpty(), "reading an agency source failed");
  return lines;
}

// Cuts a line into the fields of a record and reads its amounts.
void ReadRecord(const QByteArray &bytes) {
  const QString line = codepage::FromCp1251(bytes.constData(), bytes.size());
  const agencyfile::RecordFields fields = agencyfile::SplitRecord(line);
  QString joined;
  for (QStringView field : fields) joined += field;
  fuzz::Require(joined == line.left(agencyfile::kRecordLength),
                "the fields of a record are not its first 139 characters");
  for (int field : {agencyfile::kIncomeField, agencyfile::kTaxField}) {
    const auto amount = agencyfile::ReadAmountField(fields[field - 1]);
    if (!amount) continue;
    const auto text = agencyfile::FormatAmount(*amount);
    fuzz::Require(text && agencyfile::ReadAmountField(*text) == amount,
                  "an amount does not format back to itself");
  }
  for (QStringView field : fields) agencyfile::TrimBlanks(field);
  agencyfile::IsCodeAllowedForKind(fields[agencyfile::kIdKindField - 1],
                                   fields[agencyfile::kIncomeCodeField - 1]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  fuzz::RunFiles files;
  const std::string path = files.Write("agency.txt", {input.constData(), size});

  const std::vector<Line> expected = ExpectedLines(input);
  const std::vector<Line> from_file = ReadLines(AgencySource::File(QString::fromStdString(path)));
  const std::vector<Line> from_memory =
      ReadLines(AgencySource::Memory(input, QStringLiteral("agency.txt")));
  fuzz::Require(from_file == expected, "a file's lines break the reading rules");
  fuzz::Require(from_memory == expected, "the lines in memory break the reading rules");

  if (!expected.empty()) agencyfile::IsNotCp1251(expected.front().bytes);
  for (const Line &line : expected) ReadRecord(line.bytes);
  return 0;
}
