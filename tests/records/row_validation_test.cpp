// The rules of a row: which message numbers ValidateRow gives for which
// values, in which order.
#include "records/row_validation.h"

#include <gtest/gtest.h>

#include <QSet>

namespace records {
namespace {

class FakeTables : public ReferenceTables {
 public:
  bool HasCountry(const QString &code) const override { return countries_.contains(code); }
  bool HasIncomeCode(const QString &code) const override { return codes_.contains(code); }

 private:
  QSet<QString> countries_{"BG", "DE", "FR"};
  QSet<QString> codes_{"301", "3071", "30710", "820", "821", "901"};
};

constexpr char kEgn[] = "7501010010";
constexpr char kLnch[] = "1002003008";
constexpr char kServiceNo[] = "1234567892";
constexpr char kEik[] = "123456786";

// A valid row of a person with an ЕГН; each case changes what it tests.
RowValues PersonRow() {
  RowValues row;
  row.kind = kKindEGN;
  row.identifier = kEgn;
  row.names = "Иван Петров Иванов";
  row.code = "301";
  row.income = "100";
  row.tax = "10";
  return row;
}

RowValues ForeignRow() {
  RowValues row = PersonRow();
  row.foreign = true;
  row.kind = kKindServiceNo;
  row.identifier = kServiceNo;
  row.country = "DE";
  row.address = "Berlin";
  return row;
}

struct Case {
  const char *name;
  RowValues row;
  QList<int> expected;
};

RowValues With(RowValues row, void (*change)(RowValues &)) {
  change(row);
  return row;
}

TEST(ValidateRow, GivesTheMessagesInTableOrder) {
  const Case cases[] = {
      {"valid person", PersonRow(), {}},
      {"valid foreign person", ForeignRow(), {}},
      {"everything empty with kind EGN",
       With(RowValues{}, [](RowValues &r) { r.kind = kKindEGN; }),
       {3, 9, 19, 15}},
      {"EGN kind with code 820", With(PersonRow(), [](RowValues &r) { r.code = "820"; }), {23, 24}},
      {"EGN kind with code 821", With(PersonRow(), [](RowValues &r) { r.code = "821"; }), {23, 24}},
      {"bad EGN check digit",
       With(PersonRow(), [](RowValues &r) { r.identifier = "7501010011"; }),
       {4}},
      {"ten zeros as EGN",
       With(PersonRow(), [](RowValues &r) { r.identifier = "0000000000"; }),
       {4}},
      {"empty LNCh",
       With(PersonRow(), [](RowValues &r) { r.kind = kKindLNCh, r.identifier = ""; }),
       {5}},
      {"valid LNCh",
       With(PersonRow(), [](RowValues &r) { r.kind = kKindLNCh, r.identifier = kLnch; }),
       {}},
      {"EGN given as LNCh",
       With(PersonRow(), [](RowValues &r) { r.kind = kKindLNCh, r.identifier = kEgn; }),
       {6}},
      {"empty service number",
       With(PersonRow(), [](RowValues &r) { r.kind = kKindServiceNo, r.identifier = ""; }),
       {7}},
      {"nine-digit service number",
       With(PersonRow(), [](RowValues &r) { r.kind = kKindServiceNo, r.identifier = "123456789"; }),
       {8}},
      {"zeros service number, foreign",
       With(ForeignRow(), [](RowValues &r) { r.identifier = "0000000000"; }),
       {}},
      {"zeros service number, not foreign",
       With(PersonRow(),
            [](RowValues &r) { r.kind = kKindServiceNo, r.identifier = "0000000000"; }),
       {8}},
      {"empty EIK",
       With(PersonRow(), [](RowValues &r) { r.kind = kKindEIK, r.identifier = ""; }),
       {1}},
      {"valid EIK",
       With(PersonRow(), [](RowValues &r) { r.kind = kKindEIK, r.identifier = kEik; }),
       {}},
      {"EGN accepted for EIK kind", With(PersonRow(), [](RowValues &r) { r.kind = kKindEIK; }), {}},
      {"bad EIK",
       With(PersonRow(), [](RowValues &r) { r.kind = kKindEIK, r.identifier = "123456787"; }),
       {2}},
      {"condominium without address",
       With(PersonRow(),
            [](RowValues &r) {
              r.kind = kKindCondominium, r.identifier = "", r.names = "", r.country = "BG",
              r.code = "820";
            }),
       {14}},
      {"condominium with address",
       With(PersonRow(),
            [](RowValues &r) {
              r.kind = kKindCondominium, r.identifier = "", r.names = "", r.address = "София",
              r.code = "820";
            }),
       {}},
      {"condominium with code 821",
       With(PersonRow(),
            [](RowValues &r) {
              r.kind = kKindCondominium, r.identifier = "", r.names = "", r.address = "София",
              r.code = "821";
            }),
       {23}},
      {"interest row",
       With(PersonRow(),
            [](RowValues &r) {
              r.kind = kKindBankInterest, r.identifier = "", r.names = "", r.code = "821";
            }),
       {}},
      {"interest with code 820",
       With(PersonRow(),
            [](RowValues &r) {
              r.kind = kKindBankInterest, r.identifier = "", r.names = "", r.code = "820";
            }),
       {24}},
      {"no kind selected",
       With(PersonRow(), [](RowValues &r) { r.kind = kKindNone; }),
       {kMsgChooseKind}},
      {"foreign, country bg", With(ForeignRow(), [](RowValues &r) { r.country = "bg"; }), {22}},
      {"foreign, country with a digit",
       With(ForeignRow(), [](RowValues &r) { r.country = "D1"; }),
       {12}},
      {"foreign, one letter", With(ForeignRow(), [](RowValues &r) { r.country = "D"; }), {12}},
      {"foreign, unknown pair", With(ForeignRow(), [](RowValues &r) { r.country = "QQ"; }), {13}},
      {"foreign, small known pair", With(ForeignRow(), [](RowValues &r) { r.country = "fr"; }), {}},
      {"foreign, no country, no address",
       With(ForeignRow(), [](RowValues &r) { r.country = "", r.address = ""; }),
       {11, 14}},
      {"code of two digits", With(PersonRow(), [](RowValues &r) { r.code = "30"; }), {20}},
      {"code with a letter", With(PersonRow(), [](RowValues &r) { r.code = "3a1"; }), {20}},
      {"code not in the table", With(PersonRow(), [](RowValues &r) { r.code = "302"; }), {21}},
      {"3071 is not 30710", With(PersonRow(), [](RowValues &r) { r.code = "3071"; }), {}},
      {"code 901 with 5000.00",
       With(PersonRow(), [](RowValues &r) { r.code = "901", r.income = "5000.00", r.tax = ""; }),
       {25}},
      {"code 901 with 5000.01",
       With(PersonRow(), [](RowValues &r) { r.code = "901", r.income = "5000.01", r.tax = ""; }),
       {}},
      {"no income", With(PersonRow(), [](RowValues &r) { r.income = ""; }), {15}},
      {"income equal to tax", With(PersonRow(), [](RowValues &r) { r.tax = "100"; }), {16}},
      {"tax above income", With(PersonRow(), [](RowValues &r) { r.tax = "150"; }), {16, 18}},
      {"tax just below income", With(PersonRow(), [](RowValues &r) { r.tax = "99.99"; }), {}},
      {"no tax", With(PersonRow(), [](RowValues &r) { r.tax = ""; }), {}},
      {"code 901, small income, tax above it",
       With(PersonRow(), [](RowValues &r) { r.code = "901", r.income = "10", r.tax = "20"; }),
       {25, 16, 18}},
      {"unreadable amounts",
       With(PersonRow(), [](RowValues &r) { r.income = "1e3", r.tax = "x"; }),
       {15, 17}},
  };
  const FakeTables tables;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ValidateRow(c.row, tables), c.expected);
  }
}

TEST(ValidateRow, WarningListsEveryTextAndFocusesTheFirstField) {
  EXPECT_EQ(ValidationWarningText({25, 16}),
            "25 Годишният размер на дохода за посочения код трябва да превишава 5000 лв.  \r"
            "16 Размерът на дохода трябва да е по-голям от размера на удържания данък.  \r");
  EXPECT_EQ(MessageControlName(25), "Edit5");
  EXPECT_EQ(MessageControlName(19), "Edit7");
  EXPECT_EQ(MessageControlName(kMsgChooseKind), "ComboBox1");
}

}  // namespace
}  // namespace records
