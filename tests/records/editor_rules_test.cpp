// The record editor's field rules and the data entry window's small rules.
#include <gtest/gtest.h>

#include "records/data_entry_rules.h"
#include "records/editor_rules.h"

namespace records {
namespace {

TEST(ViewOfStoredRow, AllWaysAStoredRowOpens) {
  const struct {
    const char *f02, *f03, *f10;
    bool foreign;
    int kind;
    EditorState state;
  } cases[] = {
      {"1", "2", "301", true, kKindServiceNo, EditorState::kForeignPerson},
      {"0", "3", "301", false, kKindEIK, EditorState::kPerson},
      {"0", "", "301", false, kKindEGN, EditorState::kPerson},  // blank kind reads as 0
      {"0", "4", "820", false, kKindCondominium, EditorState::kCondominium},
      {"0", "4", "821", false, kKindBankInterest, EditorState::kInterest},
      {"0", "4", "", false, kKindCondominium, EditorState::kKindFourNoCode},
      // Stored values the window cannot show: no kind selected, nothing changed.
      {"1", "3", "301", true, kKindNone, EditorState::kForeignPerson},
      {"1", "4", "820", true, kKindNone, EditorState::kForeignPerson},
      {"0", "7", "301", false, kKindNone, EditorState::kPerson},
      {"0", "A", "301", false, kKindNone, EditorState::kPerson},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.f02) + "/" + c.f03 + "/" + c.f10);
    const StoredRowView view = ViewOfStoredRow(c.f02, c.f03, c.f10);
    EXPECT_EQ(view.foreign, c.foreign);
    EXPECT_EQ(view.kind, c.kind);
    EXPECT_EQ(view.state, c.state);
  }
  EXPECT_EQ(StoredKind(kKindBankInterest), "4");
  EXPECT_EQ(StoredKind(kKindNone), "4");
  EXPECT_EQ(StoredKind(kKindEIK), "3");
}

TEST(CheckCodeOnExit, RangesSignsAndKinds) {
  EXPECT_EQ(CheckCodeOnExit("307", kKindEGN).result, CodeExitCheck::kNotAllowed);
  EXPECT_TRUE(CheckCodeOnExit("307", kKindEGN).warning.startsWith("Недопустим код доход"));
  EXPECT_EQ(CheckCodeOnExit("3071", kKindEGN).result, CodeExitCheck::kAccepted);
  const CodeExitCheck plus = CheckCodeOnExit("+301", kKindEGN);
  EXPECT_EQ(plus.result, CodeExitCheck::kAccepted);
  EXPECT_EQ(plus.code, "301");
  const CodeExitCheck wrong = CheckCodeOnExit("820", kKindLNCh);
  EXPECT_EQ(wrong.result, CodeExitCheck::kWrongKind);
  EXPECT_EQ(wrong.warning, " Невалиден код доход [820] при вид идентификатор [ЛН или ЛНЧ].    ");
  EXPECT_EQ(CheckCodeOnExit("821", kKindNone).result, CodeExitCheck::kWrongKind);
  EXPECT_EQ(CheckCodeOnExit("820", kKindCondominium).result, CodeExitCheck::kAccepted);
  EXPECT_EQ(CheckCodeOnExit("821", kKindCondominium).result, CodeExitCheck::kWrongKind);
  EXPECT_EQ(CheckCodeOnExit("301", kKindBankInterest).result, CodeExitCheck::kWrongKind);
}

TEST(CheckCountryOnExit, LettersBulgariaAndLookUp) {
  EXPECT_EQ(CheckCountryOnExit("1A").result, CountryExitCheck::kNotTwoLatinLetters);
  EXPECT_EQ(CheckCountryOnExit("D").result, CountryExitCheck::kNotTwoLatinLetters);
  EXPECT_EQ(CheckCountryOnExit("ДЕ").result, CountryExitCheck::kNotTwoLatinLetters);
  const CountryExitCheck bg = CheckCountryOnExit("bg");
  EXPECT_EQ(bg.result, CountryExitCheck::kBulgaria);
  EXPECT_EQ(bg.code, "BG");
  const CountryExitCheck de = CheckCountryOnExit("dE");
  EXPECT_EQ(de.result, CountryExitCheck::kLookUp);
  EXPECT_EQ(de.code, "DE");
}

TEST(PositionLabelText, ModeTextsAsTheProgramSpellsThem) {
  // The sixth letter of " преглeд" is a Latin e.
  EXPECT_EQ(PositionLabelText(BrowseMode::kBrowse, 1, 3), "1 of 3 преглeд");
  EXPECT_EQ(PositionLabelText(BrowseMode::kEdit, 2, 3), "2 of 3 редактиране");
  EXPECT_EQ(PositionLabelText(BrowseMode::kInsert, 3, 3), " нов эапис");
  EXPECT_EQ(PositionLabelText(BrowseMode::kBrowse, 0, 0), " преглeд");
  EXPECT_EQ(PositionLabelText(BrowseMode::kOther, 0, 0), "друг режим");
}

TEST(CarriedOverEditAction, CompletesCondominiumRowsAndAsksForInterestKind) {
  EXPECT_EQ(CarriedOverEditAction("", "BG", ""), CarriedOverEdit::kStoreCondominiumCode);
  EXPECT_EQ(CarriedOverEditAction("", "", ""), CarriedOverEdit::kTellToChooseKind);
  EXPECT_EQ(CarriedOverEditAction("", "", "7501010010"), CarriedOverEdit::kNothing);
  EXPECT_EQ(CarriedOverEditAction("820", "BG", ""), CarriedOverEdit::kNothing);
}

TEST(AmountTotals, SumsIncomeAndTaxSkippingEmptyTexts) {
  AmountTotals totals;
  totals.Add("100.00", "10.00");
  totals.Add("250.50", "0.00");
  totals.Add("", "");
  EXPECT_EQ(FormatTotal(totals.income), "350.50");
  EXPECT_EQ(FormatTotal(totals.tax), "10.00");
}

}  // namespace
}  // namespace records
