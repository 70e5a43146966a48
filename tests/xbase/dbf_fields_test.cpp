// Field access of the current record: raw, formatted and typed, with the
// engine's error texts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "support/common/temp_dir.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/table_fixture.h"  // tests/xbase
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

using testing::ErrorOf;
using testing_support::TempDir;

class DbfFields : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("typed.dbf");
    CreateDbfTable(path_, TxbDBFTypes::Clipper, testing::TypedFields());
    table_ = std::make_unique<XBO_dBHandler>(path_, false, true);
    table_->BlankRecord();
  }
  std::string Raw(const char *name) { return table_->FieldGet(name); }

  TempDir dir_;
  std::string path_;
  std::unique_ptr<XBO_dBHandler> table_;
};

TEST_F(DbfFields, BlankRecordHoldsBlanksAndFormattedZeros) {
  EXPECT_EQ(std::string(table_->RecordBuffer(), table_->RecordLength()),
            std::string(6, ' ') + "    0.00" + "   0" + std::string(8 + 1 + 10, ' '));
  EXPECT_EQ(table_->StringGet("AMOUNT"), "0.00");
  EXPECT_EQ(table_->StringGet("COUNT"), "0");
  table_->FieldPut("AMOUNT", "");
  EXPECT_EQ(table_->StringGet("AMOUNT"), "0.00");  // all blanks read as zero
  EXPECT_EQ(table_->NumberGet("AMOUNT"), 0);
  EXPECT_EQ(table_->StringGet("DAY"), "");
  EXPECT_EQ(table_->DateGet("DAY"), 0);
  EXPECT_FALSE(table_->LogicGet("OK"));
  EXPECT_EQ(table_->StringGet("NOTE"), "");  // no memo block: an empty memo
}

TEST_F(DbfFields, CharacterFieldsAreCutPaddedAndTrimmed) {
  table_->StringPut("name", "AB");
  EXPECT_EQ(Raw("NAME"), "AB   ");
  EXPECT_EQ(table_->StringGet(1), "AB");
  table_->FieldPut(1, "ABCDEFG");
  EXPECT_EQ(Raw("NAME"), "ABCDE");
  table_->FieldPut("COUNT", "7");  // raw puts of other types are right-aligned
  EXPECT_EQ(Raw("COUNT"), "   7");
  EXPECT_EQ(table_->FindField("  count  "), 0);  // leading blanks are part of a name
  EXPECT_EQ(table_->FindField("count  "), 3);
  EXPECT_EQ(table_->FieldGet(99), "");
  EXPECT_EQ(table_->FieldName(6), "NOTE");
  EXPECT_EQ(table_->FieldType(4), 'D');
  EXPECT_EQ(table_->FieldOffset(2), 6);
  EXPECT_EQ(table_->FieldWidth(2), 8);
  EXPECT_EQ(table_->FieldDecimals(2), 2);
  EXPECT_EQ(table_->FieldType(0), '\0');
}

TEST_F(DbfFields, NumbersAreFormattedAndChecked) {
  table_->NumberPut("AMOUNT", 12345.678L);
  EXPECT_EQ(Raw("AMOUNT"), "12345.68");
  table_->StringPut("AMOUNT", "-3.5  ");
  EXPECT_EQ(Raw("AMOUNT"), "   -3.50");
  EXPECT_EQ(table_->NumberGet("AMOUNT"), -3.5L);
  EXPECT_EQ(ErrorOf([&] { table_->NumberPut("AMOUNT", 123456.7L); }),
            "numeric value too big in field AMOUNT - 123456.70");
  EXPECT_EQ(Raw("AMOUNT"), "   -3.50");  // a failed put leaves the field as it was
  EXPECT_EQ(ErrorOf([&] { table_->StringPut("AMOUNT", "12,5"); }),
            "Invalid Number value for field AMOUNT");
  table_->FieldPut("COUNT", "12x");
  EXPECT_EQ(ErrorOf([&] { table_->NumberGet("COUNT"); }),
            "Invalid numeric value in field TYPED->COUNT (12x)");
  EXPECT_EQ(ErrorOf([&] { table_->NumberGet("NAME"); }), "Field NAME is the incorrect type");
  EXPECT_EQ(ErrorOf([&] { table_->NumberPut(1, 5); }), "Field NAME is the incorrect type");
  EXPECT_EQ(ErrorOf([&] { table_->StringGet("MISSING"); }),
            "There is no field name " + path_ + "->MISSING");
}

TEST_F(DbfFields, DatesReadStoredFormsAndWriteYyyymmdd) {
  struct Case {
    const char *stored;
    int32_t julian;
    const char *shown;
  } const kCases[] = {
      {"20190307", JulianFromDate(2019, 3, 7), "07.03.2019"},
      {"00000000", 0, ""},
      {"        ", 0, ""},
      {"20190231", kJulianDayZero, "30.12.1899"},  // digits that are no date
      {"7.3.2019", JulianFromDate(2019, 3, 7), "07.03.2019"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.stored);
    table_->FieldPut("DAY", c.stored);
    EXPECT_EQ(table_->DateGet("DAY"), c.julian);
    EXPECT_EQ(table_->StringGet("DAY"), c.shown);
  }
  table_->FieldPut("DAY", "someday");
  EXPECT_EQ(ErrorOf([&] { table_->DateGet("DAY"); }),
            "Invalid date in field TYPED->DAY (someday )");
  table_->FieldPut("DAY", "00000000");
  table_->DatePut("DAY", table_->DateGet("DAY"));
  EXPECT_EQ(Raw("DAY"), "        ");  // the empty date goes back as blanks
  table_->StringPut("DAY", "31.12.2020");
  EXPECT_EQ(Raw("DAY"), "20201231");
  table_->StringPut("DAY", "20210102");
  EXPECT_EQ(Raw("DAY"), "20210102");
  EXPECT_EQ(ErrorOf([&] { table_->StringPut("DAY", "20211302"); }),
            "Invalid Date value for field DAY");
  EXPECT_EQ(ErrorOf([&] { table_->DatePut("DAY", -1); }), "Invalid Date value for field DAY");
  EXPECT_EQ(ErrorOf([&] { table_->DatePut("NAME", 5); }), "Field NAME is the incorrect type");
}

TEST_F(DbfFields, LogicalsAcceptTheirLettersAndNumbers) {
  struct Case {
    const char *text;
    char stored;
  } const kCases[] = {{"y", 'T'}, {"J", 'T'}, {"2", 'T'}, {"0", 'F'}, {"n", 'F'}, {"", 'F'}};
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.text);
    table_->StringPut("OK", c.text);
    EXPECT_EQ(Raw("OK")[0], c.stored);
    EXPECT_EQ(table_->StringGet("OK"), std::string(1, c.stored));
  }
  EXPECT_EQ(ErrorOf([&] { table_->StringPut("OK", "x"); }), "Invalid Logical value for field OK");
  for (const char *stored : {"J", "y", "t"}) {
    table_->FieldPut("OK", stored);
    EXPECT_TRUE(table_->LogicGet("OK")) << stored;
  }
  for (const char *stored : {"N", " ", "?"}) {
    table_->FieldPut("OK", stored);
    EXPECT_FALSE(table_->LogicGet("OK")) << stored;
  }
  EXPECT_EQ(ErrorOf([&] { table_->LogicPut(1, true); }), "Invalid Logical value for field NAME");
}

TEST_F(DbfFields, MemoContentsAreRefusedNotReturnedEmpty) {
  table_->FieldPut("NOTE", "17");
  EXPECT_EQ(ErrorOf([&] { table_->StringGet("NOTE"); }),
            "Memo contents of field NOTE are not supported");
  EXPECT_EQ(ErrorOf([&] { table_->StringPut("NOTE", "text"); }),
            "Memo contents of field NOTE are not supported");
}

TEST_F(DbfFields, ChangedFieldsFollowPutsAndClearOnRead) {
  table_->AppendRecord();
  table_->GoToRecord(1);
  EXPECT_FALSE(table_->RecordChanged());
  table_->StringPut("COUNT", "3");
  EXPECT_TRUE(table_->RecordChanged());
  EXPECT_EQ(table_->ChangedFields(),
            (std::vector<bool>{false, false, false, true, false, false, false}));
  table_->GoToRecord(1);
  EXPECT_EQ(table_->ChangedFields(), std::vector<bool>(7, false));
  EXPECT_EQ(table_->StringGet("COUNT"), "0");  // the put was never written
}

}  // namespace
}  // namespace xb
