// The DBF file as bytes: what the builder writes, and which damaged or foreign
// files the table refuses on open.
#include "xbase/table/dbf_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "support/common/temp_dir.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/xbase_error.h"

namespace xb {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

const LocalTime kToday{2019, 3, 7, 10, 20, 30, 400};

std::vector<DbfFieldSpec> IncomeFields() {
  return {{"F01", 'C', 5, 0},  {"F02", 'C', 1, 0}, {"F03", 'C', 1, 0},      {"F04", 'C', 13, 0},
          {"F05", 'C', 40, 0}, {"F06", 'C', 2, 0}, {"F07", 'C', 40, 0},     {"F08", 'C', 13, 0},
          {"F09", 'C', 13, 0}, {"F10", 'C', 5, 0}, {"DATETIME", 'C', 20, 0}};
}

TEST(DbfBuilder, ElevenCharacterFieldsMakeA386ByteFile) {
  const BuiltTable t = BuildEmptyTable(IncomeFields(), TxbDBFTypes::Clipper, "DVEL", kToday);
  ASSERT_EQ(t.table.size(), 386u);
  const auto *b = reinterpret_cast<const uint8_t *>(t.table.data());
  EXPECT_EQ(b[0], 0x03);
  EXPECT_EQ(b[1], 19);
  EXPECT_EQ(b[2], 3);
  EXPECT_EQ(b[3], 7);
  EXPECT_EQ(GetLE32(b + 4), 0u);
  EXPECT_EQ(GetLE16(b + 8), 385);
  EXPECT_EQ(GetLE16(b + 10), 154);
  for (size_t i = 12; i < 32; ++i) EXPECT_EQ(b[i], 0) << i;
  EXPECT_EQ(std::string(t.table, 32, 11), std::string("F01\0\0\0\0\0\0\0\0", 11));
  EXPECT_EQ(t.table[32 + 11], 'C');
  EXPECT_EQ(b[32 + 16], 5);
  EXPECT_EQ(std::string(t.table, 32 * 11, 9), std::string("DATETIME\0", 9));
  EXPECT_EQ(b[384], 0x0D);
  EXPECT_EQ(b[385], 0x1A);
  EXPECT_TRUE(t.memo.empty());
}

TEST(DbfBuilder, WidthsByTypeNamesAndMemoVersions) {
  const std::vector<DbfFieldSpec> fields = {{"wide", 'c', 300, 0},        {"", 'C', 9, 0},
                                            {"BIRTHDATE", 'D', 10, 2},    {"OK", 'L', 5, 0},
                                            {"LONGFIELDNAME", 'N', 8, 2}, {"NOTES", 'M', 4, 0}};
  const BuiltTable t = BuildEmptyTable(fields, TxbDBFTypes::Clipper, "T", kToday);
  const auto *b = reinterpret_cast<const uint8_t *>(t.table.data());
  EXPECT_EQ(b[0], 0x83);
  EXPECT_EQ(GetLE16(b + 8), 32 * 5 + 33);  // the empty name has no descriptor
  EXPECT_EQ(GetLE16(b + 10), 1 + 300 + 8 + 1 + 8 + 10);
  EXPECT_EQ(std::string(t.table, 32, 4), "WIDE");
  EXPECT_EQ(b[32 + 16], 44);
  EXPECT_EQ(b[32 + 17], 1);
  EXPECT_EQ(b[64 + 16], 8);
  EXPECT_EQ(b[64 + 17], 0);
  EXPECT_EQ(b[96 + 16], 1);
  EXPECT_EQ(std::string(t.table, 128, 11), std::string("LONGFIELDN\0", 11));
  EXPECT_EQ(b[128 + 17], 2);
  EXPECT_EQ(b[160 + 16], 10);

  struct Case {
    TxbDBFTypes dialect;
    uint8_t version;
    const char *ext;
    size_t memo_size;
  } const kCases[] = {{TxbDBFTypes::DBaseIII, 0x83, ".DBT", 513},
                      {TxbDBFTypes::DBaseIV, 0x8B, ".DBT", 24},
                      {TxbDBFTypes::FoxPro2, 0xF5, ".fpt", 512}};
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.ext);
    const BuiltTable m = BuildEmptyTable({{"N", 'g', 0, 0}}, c.dialect, "INCOME", kToday);
    EXPECT_EQ(static_cast<uint8_t>(m.table[0]), c.version);
    EXPECT_EQ(m.memo_ext, c.ext);
    ASSERT_EQ(m.memo.size(), c.memo_size);
  }
  const std::string dbt3 =
      BuildEmptyTable({{"N", 'M', 0, 0}}, TxbDBFTypes::DBaseIII, "INCOME", kToday).memo;
  EXPECT_EQ(GetLE32(dbt3.data()), 1u);
  EXPECT_EQ(dbt3.substr(8, 7), std::string("INCOME\0", 7));
  EXPECT_EQ(dbt3[512], 0x1A);
  const std::string dbt4 =
      BuildEmptyTable({{"N", 'M', 0, 0}}, TxbDBFTypes::DBaseIV, "INCOME", kToday).memo;
  EXPECT_EQ(dbt4, std::string("\1\0\0\0\0\0\0\0INCOME\0\0\0\0\2\1\0\2\0\0", 24));
  const std::string fpt =
      BuildEmptyTable({{"N", 'B', 0, 0}}, TxbDBFTypes::FoxPro2, "X", kToday).memo;
  EXPECT_EQ(GetBE32(fpt.data()), 8u);
  EXPECT_EQ(GetBE32(fpt.data() + 4), 64u);
}

TEST(DbfBuilder, CreatesFilesThatOpen) {
  TempDir dir;
  const std::string name = CreateDbfTable(dir.File("income"), TxbDBFTypes::Clipper, IncomeFields());
  EXPECT_EQ(name, dir.File("income.DBF"));
  EXPECT_EQ(ReadFileBytes(name).size(), 386u);
  XBO_dBHandler t(dir.File("INCOME"), false, true);  // names compare without letter case
  EXPECT_EQ(t.FieldCount(), 11);
  EXPECT_EQ(t.RecordLength(), 154u);
  EXPECT_EQ(t.Alias(), "INCOME");

  CreateDbfTable(dir.File("memo.dbf"), TxbDBFTypes::FoxPro2, {{"TEXT", 'M', 0, 0}});
  EXPECT_EQ(ReadFileBytes(dir.File("memo.fpt")).size(), 512u);
}

TEST(DbfFormat, HeaderAndDescriptorRoundTrip) {
  dbf::Header h;
  h.image[12] = 0x55;  // reserved bytes survive
  h.image[29] = 0xC9;
  h.version = 0x30;
  h.record_count = 70000;
  h.header_length = 296 + 64;
  h.record_length = 300;
  h.change_stamp = dbf::ChangeStamp(kToday);
  h.user_number = 7;
  h.flags = 0xFF;
  const auto bytes = dbf::EncodeHeader(h, kToday);
  EXPECT_EQ(bytes[28], 0x07);  // flag bits 3-7 are written as 0
  const int64_t file_size = 360 + 70000LL * 300;  // what the header claims, exactly
  const dbf::Header back = dbf::DecodeHeader(bytes.data(), file_size, "t.dbf");
  EXPECT_EQ(back.record_count, 70000u);
  EXPECT_EQ(back.header_length, 360);
  EXPECT_EQ(back.change_stamp, ((10u * 64 + 20) * 64 + 30) * 1024 + 400);
  EXPECT_EQ(back.user_number, 7u);
  EXPECT_EQ(back.image[12], 0x55);
  EXPECT_EQ(back.image[29], 0xC9);
  try {
    dbf::DecodeHeader(bytes.data(), file_size - 1, "t.dbf");
    ADD_FAILURE() << "a header claiming more than the file holds was accepted";
  } catch (const EXbaseError &e) {
    EXPECT_STREQ(e.what(), "Error on Read of file t.dbf");
  }

  dbf::FieldDef f;
  f.name = "NAME";
  f.type = 'C';
  f.width = 65535;
  const auto d = dbf::EncodeDescriptor(f);
  EXPECT_EQ(dbf::DecodeDescriptor(d.data()).width, 65535u);
  f.type = 'N';
  f.width = 12;
  f.decimals = 3;
  const dbf::FieldDef n = dbf::DecodeDescriptor(dbf::EncodeDescriptor(f).data());
  EXPECT_EQ(n.width, 12u);
  EXPECT_EQ(n.decimals, 3);
}

// A valid two-field table ("A" C 3, "B" N 4) with one record, as bytes.
std::string SmallTable() {
  const BuiltTable t =
      BuildEmptyTable({{"A", 'C', 3, 0}, {"B", 'N', 4, 0}}, TxbDBFTypes::Clipper, "S", kToday);
  std::string bytes = t.table;
  bytes.pop_back();  // the 0x1A
  bytes += " abc  12";
  bytes += '\x1A';
  PutLE32(bytes.data() + 4, 1);
  return bytes;
}

TEST(DbfFormat, DamagedFilesAreRefusedWithTheEngineErrors) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  struct Case {
    const char *what;
    std::function<void(std::string &)> damage;
    const char *message;
  };
  const Case kCases[] = {
      {"shorter than a header", [](std::string &b) { b.resize(31); }, "Error on Read of file %s"},
      {"version 0x02", [](std::string &b) { b[0] = 0x02; }, "Table Header for %s is invalid"},
      {"version 0x8E", [](std::string &b) { b[0] = '\x8E'; }, "Table Header for %s is invalid"},
      {"descriptors cut off", [](std::string &b) { b.resize(50); }, "Error on Read of file %s"},
      {"header length below 33",
       [](std::string &b) { PutLE16(b.data() + dbf::kOffHeaderLength, 20); },
       "Table Header for %s is invalid"},
      {"width 0", [](std::string &b) { b[dbf::kHeaderSize + dbf::kOffFieldWidth] = 0; },
       "Table Header for %s is invalid"},
      {"widths do not fill the record",
       [](std::string &b) { PutLE16(b.data() + dbf::kOffRecordLength, 9); },
       "Table Header for %s is invalid"},
      {"more records than the file holds",
       [](std::string &b) { PutLE32(b.data() + dbf::kOffRecordCount, 3); },
       "Error on Read of file %s"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.what);
    std::string bytes = SmallTable();
    c.damage(bytes);
    WriteFileBytes(path, bytes);
    try {
      XBO_dBHandler t(path, false, false);
      ADD_FAILURE() << "opened";
    } catch (const EXbaseError &e) {
      EXPECT_EQ(e.what(), FormatMessage(c.message, {path}));
    }
  }
  std::string fox = SmallTable();
  fox[0] = '\xF5';
  WriteFileBytes(path, fox);
  XBO_dBHandler t(path, false, false);
  t.GoToRecord(1);
  EXPECT_EQ(t.StringGet("A"), "abc");
}

TEST(DbfFormat, EncipheredTablesAndStrayPasswordsAreRefused) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  std::string bytes = SmallTable();
  WriteFileBytes(path, bytes);
  const auto message_of = [&](const std::string &password) -> std::string {
    try {
      XBO_dBHandler t(path, false, false, password);
    } catch (const EXbaseEncryption &e) {
      return e.what();
    }
    return "opened";
  };
  EXPECT_EQ(message_of("secret"), "A Password is included for unencrypted file " + path);
  bytes[15] = 1;
  WriteFileBytes(path, bytes);
  EXPECT_EQ(message_of(""), "No Password for encrypted file " + path);
  EXPECT_EQ(message_of("secret"), "Invalid Password for encrypted file " + path);
}

// A version 0x30 table (header length 32 * n + 296) with fields named after
// their type letters and one record of `record` (deletion flag included).
std::string VisualFoxTable(const std::vector<std::pair<char, uint32_t>> &fields,
                           const std::string &record) {
  std::string bytes(dbf::kHeaderSize, '\0');
  bytes[dbf::kOffVersion] = dbf::kVersionVisualFox;
  PutLE32(bytes.data() + dbf::kOffRecordCount, 1);
  PutLE16(bytes.data() + dbf::kOffHeaderLength,
          static_cast<uint16_t>(dbf::kDescriptorSize * fields.size() + 296));
  PutLE16(bytes.data() + dbf::kOffRecordLength, static_cast<uint16_t>(record.size()));
  for (const auto &[type, width] : fields) {
    dbf::FieldDef f;
    f.name = std::string(1, type) + "F";
    f.type = type;
    f.width = width;
    if (type == 'B') f.decimals = 2;
    const auto d = dbf::EncodeDescriptor(f);
    bytes.append(reinterpret_cast<const char *>(d.data()), d.size());
  }
  bytes += static_cast<char>(dbf::kHeaderTerminator);
  bytes.append(dbf::kVisualFoxArea, '\0');
  return bytes + record + static_cast<char>(dbf::kEndOfFile);
}

TEST(DbfFormat, VisualFoxTablesReadTheirBinaryFields) {
  TempDir dir;
  const std::string path = dir.File("vfp.dbf");
  std::string record(29, '\0');
  record[0] = ' ';
  PutLE32(record.data() + 1, static_cast<uint32_t>(-42));
  const double d = 3.25;
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  PutLE64(record.data() + 5, bits);
  PutLE64(record.data() + 13, 123456);  // 12.3456
  PutLE32(record.data() + 21, kJulian1980);
  PutLE32(record.data() + 25, (13 * 3600 + 5 * 60 + 9) * 1000);
  WriteFileBytes(path, VisualFoxTable({{'I', 4}, {'B', 8}, {'Y', 8}, {'T', 8}}, record));

  XBO_dBHandler t(path, false, true);
  t.GoToRecord(1);
  EXPECT_EQ(t.NumberGet("IF"), -42);
  EXPECT_EQ(t.StringGet("BF"), "3.25");
  EXPECT_EQ(t.StringGet("YF"), "12.3456");
  EXPECT_EQ(t.StringGet("TF"), "01.01.1980 13:05:09");
  t.NumberPut(3, 99.5L);
  EXPECT_EQ(GetLE64(t.RecordBuffer() + 13), 995000u);
  t.BlankRecord();
  EXPECT_EQ(std::string(t.RecordBuffer() + 1, 28), std::string(28, '\0'));
}

// Binary integers used to take any value: a day number, an integer or a
// currency amount outside the stored range overflowed or wrapped into a
// wrong value, and the date-time of garbage bytes overflowed when shown.
TEST(DbfFormat, BinaryValuesOutsideTheirRangeAreRefusedAndGarbageReadsSafely) {
  TempDir dir;
  const std::string path = dir.File("vfp.dbf");
  WriteFileBytes(path, VisualFoxTable({{'I', 4}, {'Y', 8}, {'T', 8}}, " " + std::string(20, '\0')));
  XBO_dBHandler t(path, false, true);
  t.GoToRecord(1);
  const struct {
    int field;
    long double value;
    const char *error;  // nullptr: stored
  } kCases[] = {
      {1, 2147483647.0L, nullptr},
      {1, -2147483648.0L, nullptr},
      {1, 2147483648.0L, "numeric value too big in field IF - 2147483648"},
      {1, -3e9L, "numeric value too big in field IF - -3000000000"},
      {2, 9e14L, nullptr},
      {2, 1e15L, "numeric value too big in field YF - 1000000000000000"},
      {3, 2147483647.5L, nullptr},
      {3, 2147483648.0L, "numeric value too big in field TF - 2147483648"},
      {3, -1e300L, "numeric value too big in field TF - *"},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.field << " " << static_cast<double>(c.value));
    std::string error = "no error";
    try {
      t.NumberPut(c.field, c.value);
    } catch (const EXbaseError &e) {
      error = e.what();
    }
    if (c.error == nullptr) {
      EXPECT_EQ(error, "no error");
      EXPECT_EQ(t.NumberGet(c.field), c.value);
    } else {
      EXPECT_EQ(error, c.error);
    }
  }
  // Garbage: the last day number there is, and a negative one.
  PutLE32(t.RecordBuffer() + 13, 0x7FFFFFFF);
  PutLE32(t.RecordBuffer() + 17, 1000);
  EXPECT_EQ(t.StringGet(3), "03.06.5874898 00:00:01");
  PutLE32(t.RecordBuffer() + 13, 0x80000000);
  EXPECT_EQ(t.StringGet(3), "");
}

// A binary field narrower than its value made every read and write of it run
// past the record buffer (and a wider one read bytes that are not its
// value). Each such descriptor, even with widths that add up to the record
// length, is a damaged header; the same widths are text in other versions.
TEST(DbfFormat, BinaryFieldOfAnotherWidthThanItsValueIsRefused) {
  TempDir dir;
  const std::string path = dir.File("vfp.dbf");
  const struct {
    char type;
    uint32_t size;
  } kTypes[] = {{'B', 8}, {'Y', 8}, {'T', 8}, {'I', 4}, {'M', 4}, {'G', 4}};
  for (const auto &c : kTypes) {
    for (uint32_t width = 1; width <= 10; ++width) {
      SCOPED_TRACE(::testing::Message() << c.type << " of width " << width);
      // The binary field last, so that nothing of the record lies behind it.
      std::string bytes =
          VisualFoxTable({{'C', 2}, {c.type, c.size}}, " ab" + std::string(c.size, '\0'));
      const size_t descriptor = dbf::kHeaderSize + dbf::kDescriptorSize;
      bytes[descriptor + dbf::kOffFieldWidth] = static_cast<char>(width);
      PutLE16(bytes.data() + dbf::kOffRecordLength, static_cast<uint16_t>(3 + width));
      bytes.resize(bytes.size() - 1 - c.size);
      bytes += std::string(width, '\0') + static_cast<char>(dbf::kEndOfFile);
      WriteFileBytes(path, bytes);
      if (width == c.size) {
        XBO_dBHandler t(path, false, true);
        t.GoToRecord(1);
        EXPECT_EQ(t.NumberGet(2), 0);
        continue;
      }
      try {
        XBO_dBHandler t(path, false, true);
        t.GoToRecord(1);
        t.NumberPut(2, 1.5L);
        ADD_FAILURE() << "opened, read " << t.NumberGet(2);
      } catch (const EXbaseError &e) {
        EXPECT_EQ(e.what(), "Table Header for " + path + " is invalid");
      }
      // As text (version 0x03) the same descriptor is sound.
      bytes[dbf::kOffVersion] = dbf::kVersionPlain;
      PutLE16(bytes.data() + dbf::kOffHeaderLength, 2 * dbf::kDescriptorSize + 33);
      bytes.erase(2 * dbf::kDescriptorSize + 33, dbf::kVisualFoxArea);
      WriteFileBytes(path, bytes);
      EXPECT_NO_THROW(XBO_dBHandler(path, false, false));
    }
  }
}

}  // namespace
}  // namespace xb
