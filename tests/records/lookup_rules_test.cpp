// The choice rules of the two pick lists: which country and which income
// code each kind of the record editor may take, with the exact warnings.
#include "records/lookup_rules.h"
#include "records/list_cell_colours.h"

#include <gtest/gtest.h>

#include "records/row_validation.h"

namespace records {
namespace {

TEST(LookupRulesTest, CountryPickRefusesOnlyBulgaria) {
  const PickCheck bg = CheckCountryPick(QStringLiteral("BG"));
  EXPECT_FALSE(bg.accepted);
  EXPECT_EQ(bg.warning, "Изберете код различен от BG      ");
  for (const char *code : {"DE", "GB", "BY"}) {
    const PickCheck other = CheckCountryPick(QString::fromLatin1(code));
    EXPECT_TRUE(other.accepted) << code;
    EXPECT_TRUE(other.warning.isEmpty()) << code;
  }
}

TEST(LookupRulesTest, IncomePickKeeps820And821ForTheirKinds) {
  const QString person820 = QStringLiteral(
      "Избрания код [820] е валиден само при идентификатор [Етажна собственост]. \n"
      "      Изберете код различен от [820,821] !    ");
  const QString person821 = QStringLiteral(
      "Избрания код [821] е валиден само при идентификатор [Лихви по банкови сметки]. \n"
      "      Изберете код различен от [820,821] !    ");
  const QString condominium =
      QStringLiteral("Валиден код при идентификатор [етаж.соб.] е [820] !    ");
  const QString interest =
      QStringLiteral("Валиден код при идентификатор [лихви по депоз.с/ки] е [821] !    ");
  struct Case {
    int kind;
    const char *code;
    QString warning;  // empty: accepted
  };
  const Case kCases[] = {
      {kKindEGN, "301", {}},
      {kKindEIK, "30710", {}},
      {kKindEGN, "820", person820},
      {kKindLNCh, "821", person821},
      {kKindServiceNo, "820", person820},
      {kKindEIK, "821", person821},
      // No kind selected counts as a person's kind.
      {kKindNone, "301", {}},
      {kKindNone, "820", person820},
      {kKindNone, "821", person821},
      // Kinds 4 and 5 take either of the two codes and nothing else.
      {kKindCondominium, "820", {}},
      {kKindCondominium, "821", {}},
      {kKindBankInterest, "821", {}},
      {kKindBankInterest, "820", {}},
      {kKindCondominium, "301", condominium},
      {kKindCondominium, "901", condominium},
      {kKindBankInterest, "301", interest},
      // The table's codes come with trailing blanks.
      {kKindEGN, "820  ", person820},
      {kKindCondominium, "820  ", {}},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " code '" << c.code << "'");
    const PickCheck check = CheckIncomePick(QString::fromLatin1(c.code), c.kind);
    EXPECT_EQ(check.accepted, c.warning.isEmpty());
    EXPECT_EQ(check.warning, c.warning);
  }
}

TEST(LookupRulesTest, CountryCellColoursMarkTheCurrentRowAndItsFocusedCell) {
  const CellColours focused = ListCellColours(true, true);
  EXPECT_EQ(focused.background, QColor(Qt::red));
  EXPECT_EQ(focused.text, QColor(Qt::yellow));
  const CellColours current = ListCellColours(true, false);
  EXPECT_EQ(current.background, QColor(192, 220, 192));
  EXPECT_FALSE(current.text.isValid());
  const CellColours other = ListCellColours(false, true);
  EXPECT_EQ(other.background, QColor(Qt::white));
  EXPECT_FALSE(other.text.isValid());
}

}  // namespace
}  // namespace records
