// The expression language against a fake income row: operators, precedence,
// type rules, every built-in function, the table's names and functions, and
// the exact error texts.
#include <gtest/gtest.h>

#include "expr_fixture.h"
#include "xbase/expr/expr_link.h"
#include "xbase/file/clock.h"
#include "xbase/xbase_error.h"

namespace {

using expr_testing::Eval;
using expr_testing::FakeRow;
using expr_testing::Show;

struct Case {
  const char *expression;
  const char *expected;  // Show() of the value, or "error: " + message
};

void RunCases(const Case *cases, size_t count) {
  xb::SetClockForTesting(xb::LocalTime{2024, 5, 6, 10, 0, 0, 0});
  FakeRow row;
  for (size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(cases[i].expression);
    EXPECT_EQ(Eval(row, cases[i].expression), cases[i].expected);
  }
  xb::SetClockForTesting(std::nullopt);
}

const Case kOperatorCases[] = {
    // precedence: power, then * /, then + -, comparisons, NOT, AND, OR
    {"2+3*4", "N:14"},
    {"(2+3)*4", "N:20"},
    {"2-3-4", "N:-5"},
    {"10-2*3+1", "N:5"},
    {"7/2", "N:3.5"},
    {"2^3^2", "N:64"},
    {"2**3", "N:8"},
    {"2^0", "N:2"},
    {"2^1.9", "N:2"},
    {"-5 + 3", "N:-2"},
    {"3 - -2", "N:5"},
    {"1=1", "L:.T."},
    {"1==2", "L:.F."},
    {"1<>2", "L:.T."},
    {"1!=1", "L:.F."},
    {"2#2", "L:.F."},
    {"3>2", "L:.T."},
    {"2<3", "L:.T."},
    {"3>=3", "L:.T."},
    {"3=>4", "L:.F."},
    {"2<=3", "L:.T."},
    {"3=<2", "L:.F."},
    {"1 EQ 1", "L:.T."},
    {"1 ne 1", "L:.F."},
    {"3 GT 2", "L:.T."},
    {"3 LT 2", "L:.F."},
    {"2 GE 3", "L:.F."},
    {"2 LE 3", "L:.T."},
    {".T. .AND. .F.", "L:.F."},
    {".t. or .f.", "L:.T."},
    {"!.T.", "L:.F."},
    {".NOT. .T.", "L:.F."},
    {"not .f.", "L:.T."},
    {"NOT 1=2", "L:.T."},
    {".T. = .T.", "L:.T."},
    {".T. # .F.", "L:.T."},
    {"1<2 .AND. 2<3", "L:.T."},
    {".T. .OR. .T. .AND. .F.", "L:.T."},
    // a NOT after another operator governs the whole rest: F AND ((NOT F) OR T)
    {".F. .AND. .NOT. .F. .OR. .T.", "L:.F."},
    // texts
    {"'ab ' + 'cd'", "T:ab cd"},
    {"'ab ' - 'cd'", "T:abcd "},
    {"\"a\" + [b] + 'c'", "T:abc"},
    {"'bc' $ 'abcd'", "L:.T."},
    {"'x' $ 'abc'", "L:.F."},
    {"'abc' < 'abd'", "L:.T."},
    {"'a' < 'B'", "L:.T."},
    {"'B' < 'a'", "L:.F."},
    {"'a' < 'A'", "L:.T."},
    {"'' = ''", "L:.T."},
    {"'' < 'a'", "L:.T."},
    {"'a  ' = 'a'", "L:.T."},
    // the income key and its comparisons: trailing blanks kept in the value,
    // ignored when comparing; '*' and '?' are wildcards on the right
    {"f04+f10", "T:1234567890   101  "},
    {"F04 = '1234567890'", "L:.T."},
    {"F04 = '123*'", "L:.T."},
    {"F04 = '123'", "L:.F."},
    {"F04 # '123'", "L:.T."},
    {"F04 = '1?34*'", "L:.T."},
    {"F04 = '*567*'", "L:.T."},
    {"F04 = '*999'", "L:.F."},
    {"F04 = '1234567890*'", "L:.T."},
    {"F04 > '123*'", "L:.F."},
    {"F04 = '*'", "L:.T."},
    // numeric family: the result takes the right operand's type
    {"AMOUNT * 2", "N:2469"},
    {"BORN + 1", "N:2444241"},
    {"1 + BORN", "D:19800102"},
    {"BORN = {01.01.1980}", "L:.T."},
    {"BORN < {19800102}", "L:.T."},
};

TEST(ExpressionOperators, ValuesAndPrecedence) {
  RunCases(kOperatorCases, std::size(kOperatorCases));
}

const Case kNameCases[] = {
    {"F10", "T:101  "},
    {"dvel.f10", "T:101  "},
    {"DVEL->F10", "T:101  "},
    {"AMOUNT", "N:1234.5"},
    {"BORN", "D:19800101"},
    {"NODATE", "D:        "},
    {"PAID", "L:.T."},
    {"BLOB", "M:ab  "},
    {"LONGNAME10XYZ", "T:xyz"},
    {"TRUE .AND. .NOT. FALSE", "L:.T."},
    {"PI", "N:3.141592654"},
    {"RECNO()", "N:7"},
    {"DELETED()", "L:.F."},
    {"BOF() .OR. EOF()", "L:.F."},
    {"TYPE('F04') + TYPE('AMOUNT') + TYPE('NONE')", "T:CNU"},
    {"FIELDNO('f10')", "N:4"},
    {"FIELDNO('NONE')", "N:0"},
    {"LEN('F04')", "N:3"},  // the global LEN wins over the table's
};

TEST(ExpressionNames, FieldsNamedValuesAndTableFunctions) {
  RunCases(kNameCases, std::size(kNameCases));
}

const Case kFunctionCases[] = {
    {"UPPER('abc')", "T:ABC"},
    {"upper('\xe0\xe1\xe2\xb8')", "T:\xc0\xc1\xc2\xa8"},
    {"LOWER('ABC \xc0\xdf')", "T:abc \xe0\xff"},
    {"TRIM('ab \t ')", "T:ab"},
    {"RTRIM('ab  ')", "T:ab"},
    {"LTRIM('  ab ')", "T:ab "},
    {"ALLTRIM('  ab  ')", "T:ab"},
    {"SUBSTR('abcdef', 2, 3)", "T:bcd"},
    {"SUBSTR('abcdef', 4)", "T:def"},
    {"SUBSTR('abc', 2, 10)", "T:bc"},
    {"SUBSTR('abc', 0)", "T:"},
    {"SUBSTR('abc', 4)", "T:"},
    {"LEFT('abc', 2)", "T:ab"},
    {"LEFT('ab', 4)", "T:ab  "},
    {"LEFT('abc', 0.01)", "T:"},
    {"RIGHT('abc', 2)", "T:bc"},
    {"RIGHT('abc', 5)", "T:abc"},
    {"RIGHT('abc', 0)", "T:"},
    {"PADL('ab', 5)", "T:   ab"},
    {"PADR('ab', 5, '*')", "T:ab***"},
    {"PADC('ab', 5, '-')", "T:-ab--"},
    {"PADR('ab', 6, 'xy')", "T:abxyxy"},
    {"PADL('abcdef', 3)", "T:abcdef"},
    {"PADL('ab  ', 4)", "T:  ab"},
    {"PADL(5, 4, '0')", "T:0005"},
    {"STR(3.14159, 8, 2)", "T:    3.14"},
    {"STR(42)", "T:        42"},
    {"STR(2.5, 3)", "T:  3"},
    {"STR(-2.5, 6, 1)", "T:  -2.5"},
    {"STR(123456, 3)", "T:***"},
    {"STR(AMOUNT, 10, 2)", "T:   1234.50"},
    {"STRZERO(42, 5)", "T:00042"},
    {"VAL('12.5')", "N:12.5"},
    {"VAL(' -12 ')", "N:-12"},
    {"VAL('abc')", "N:0"},
    {"VAL('')", "N:0"},
    {"LEN('abc ')", "N:4"},
    {"SPACE(3)", "T:   "},
    {"AT('b', 'abcb')", "N:2"},
    {"AT('b', 'abcb', 2)", "N:4"},
    {"AT('b', 'abcb', 5)", "N:4"},
    {"AT('x', 'abc')", "N:0"},
    {"ATC('B', 'abc')", "N:2"},
    {"INLIST(F10, '101', '102')", "L:.T."},
    {"INLIST(3, 1, 2)", "L:.F."},
    {"INLIST(2, 1, 2)", "L:.T."},
    {"BETWEEN(5, 1, 10)", "L:.T."},
    {"BETWEEN(11, 1, 10)", "L:.F."},
    {"BETWEEN('b', 'a', 'c')", "L:.T."},
    {"MAX(1, 5, 3)", "N:5"},
    {"MIN(1, 5, 3)", "N:1"},
    {"MAX('a', 'c', 'b')", "T:c"},
    {"STRTRAN('aXbXc', 'X', '-')", "T:a-b-c"},
    {"STRTRAN('aXbXc', 'X')", "T:abc"},
    {"STRTRAN('aXbXcX', 'X', '-', 2, 1)", "T:aXb-cX"},
    {"CHR(65)", "T:A"},
    {"ASC('A')", "N:65"},
    {"ASC('')", "N:0"},
    {"MOD(7, 3)", "N:1"},
    {"MOD(-7, 3)", "N:-1"},
    {"MOD(7.9, 3.9)", "N:1"},
    {"INT(-2.7)", "N:-2"},
    {"FLOOR(-2.5)", "N:-3"},
    {"CEILING(2.1)", "N:3"},
    {"ABS(-3)", "N:3"},
    {"ROUND(2.5)", "N:3"},
    {"ROUND(-2.5)", "N:-3"},
    {"ROUND(2.675, 2)", "N:2.68"},
    {"ROUND(1.44, 1)", "N:1.4"},
    {"ROUND(1234.5678, -2)", "N:1200"},
    {"LOG(1)", "N:0"},
    {"LOG10(1000)", "N:3"},
    {"SIN(0) + TAN(0)", "N:0"},
    {"COS(0)", "N:1"},
    {"ATAN(1) * 4", "N:3.141592654"},
    {"ASIN(1) * 2", "N:3.141592654"},
    {"ACOS(1)", "N:0"},
    {"DTOR(180)", "N:3.141592654"},
    {"RTOD(PI())", "N:180"},
    {"ATN2(0, 1)", "N:1.570796327"},
    {"FV(100, 0, 12)", "N:1200"},
    {"FV(100, 0.1, 2)", "N:210"},
    {"FV(100, 0.1, 2, 0, 1)", "N:231"},
    {"FV(100, 0.1, 2, 1000)", "N:1420"},
    {"FV(100, 0.00001, 2)", "N:200.001"},
    {"PV(100, 0.1, 2)", "N:173.553719"},
    {"PV(100, 0, 12)", "N:1200"},
    {"SOUNDEX('ROBERT')", "T:R163"},
    {"SOUNDEX('ADAMS')", "T:A520"},
    {"SOUNDEX('robert')", "T:R163"},
    {"SOUNDEX('A')", "T:A000"},
    {"SOUNDEX('   ')", "T:"},
    {"PROPER(\"o'neil-smith\")", "T:O'neil-Smith"},
    {"PROPER('HELLO wORLD')", "T:Hello World"},
    {"PROPER('\xe8\xe2\xe0\xed \xcf\xc5\xd2\xd0\xce\xc2')",
     "T:\xc8\xe2\xe0\xed \xcf\xe5\xf2\xf0\xee\xe2"},
    {"DTOS(CTOD(''))", "T:        "},
    {"DTOS(BORN)", "T:19800101"},
    {"DTOC(BORN)", "T:01.01.1980"},
    {"DTOC(BORN, 1)", "T:19800101"},
    {"DTOC(NODATE)", "T:          "},
    {"CTOD('02.03.2024')", "D:20240302"},
    {"CTOD('19800101')", "D:19800101"},
    {"CTOD('00000000') = NODATE", "L:.T."},
    {"CTOD('31.02.2024') = NODATE", "L:.T."},
    {"DOW(BORN)", "N:3"},
    {"DOW(NODATE)", "N:0"},
    {"DATE()", "D:20240506"},
    {"DESCEND('A')", "T:\xbf"},
    {"DESCEND(5)", "N:-5"},
    {"DESCEND(0)", "N:0"},
    {"DESCEND(BORN) - 0", "N:2787568"},
    {"DESCEND(CTOD(''))", "D:        "},
    {"DESCEND(.T.)", "L:.F."},
    {"IIF(1>2, 'a', 'b')", "T:b"},
    {"IIF(.T., 1, 1/0)", "N:1"},
    {"EMPTY('  ')", "L:.T."},
    {"EMPTY(0)", "L:.T."},
    {"EMPTY(NODATE) .AND. EMPTY(CTOD(''))", "L:.T."},
    {"EMPTY(F04)", "L:.F."},
    {"EMPTY(.F.)", "L:.T."},
};

TEST(ExpressionFunctions, BuiltIns) { RunCases(kFunctionCases, std::size(kFunctionCases)); }

TEST(ExpressionFunctions, AllFiftySixAreRegistered) {
  EXPECT_EQ(xb::GlobalFunctions().Count(), 56u);
}

const Case kErrorCases[] = {
    {"UPPER(F04", "error: Missing closing parentheses"},
    {"(1+2", "error: Missing closing parentheses"},
    {".T", "error: Missing closing period"},
    {".X.", "error: Expecting \".T.\" or \".F.\""},
    {"'abc", "error: Missing closing \"'\" on literal"},
    {"[abc", "error: Missing closing \"[\" on literal"},
    {"{01.01.1980", "error: Missing closing \"{\" on literal"},
    {"1 + * 2", "error: Syntax Error in expression \"1 + * 2\""},
    {"1 2", "error: Syntax Error in expression \"1 2\""},
    {"F04 ? 1", "error: Syntax Error in expression \"F04 ? 1\""},
    {"XYZ", "error: There is no function for XYZ"},
    {"other.f04", "error: There is no function for OTHER.F04"},
    {"XYZ(1)", "error: There is no function for XYZ"},
    {"()", "error: Expression cannot be evaluated"},
    {"F04+", "error: Target value missing for + operation"},
    {"F04 + 1", "error: The two sides of an operation do not match"},
    {".T. + .T.", "error: A number value is required but invalid"},
    {".T. > .F.", "error: A assigned value is required but invalid"},
    {"1 $ 2", "error: A assigned value is required but invalid"},
    {"1 .AND. 2", "error: A assigned value is required but invalid"},
    {"'a' * 'b'", "error: A assigned value is required but invalid"},
    {"! 1", "error: A boolean value is required but invalid"},
    {"SUBSTR()", "error: Text needed for Argument 1 of SUBSTR"},
    {"SUBSTR('a', 'b')", "error: Number needed for Argument 2 of SUBSTR"},
    {"IIF(1, 2, 3)", "error: Boolean needed for Argument 1 of IIF"},
    {"CHR(256)", "error: A Byte value is required but invalid"},
    {"PADL('a', 3, '')", "error: A Char value is required but invalid"},
    {"PADR()", "error: Value needed for Argument 1 of Pad"},
    {"MAX()", "error: A value is required for Max()"},
    {"MIN(1, 'a')", "error: All arguments for Min() must be of the same type"},
    {"ACOS(2)", "error: Argument for ACOS must be -1 to +1"},
    {"LOG(0)", "error: Argument for LOG must be > 0"},
    {"LOG10(-1)", "error: Argument for LOG10 must be > 0"},
    {"FV(100, 0.1, 12, 0, 2)", "error: Argument for FV PaymentTime must be 0 or 1"},
    {"FV(100, 0.1, 12, 0, -1)", "error: Argument for FV PaymentTime must be 0 or 1"},
    {"PV(100, 0.1, 12, 0, 2)", "error: Argument for FV PaymentTime must be 0 or 1"},
    {"FV(100, -1, 12)", "error: FutureValue"},
    {"PV(100, -1.5, 12)", "error: PresentValue"},
    {"FV(1, 1, 60)", "error: FutureValue"},
    // arithmetic faults end the evaluation instead of producing infinities
    {"1/0", "error: Division by zero in /"},
    {"MOD(5, 0.5)", "error: Division by zero in MOD"},
    {"10^400", "error: Numeric overflow in ^"},
    {"VAL('1e999')", "error: Numeric overflow in VAL"},
    {"SPACE(2000000)", "error: Result of SPACE is too long"},
};

TEST(ExpressionErrors, ExactTexts) { RunCases(kErrorCases, std::size(kErrorCases)); }

TEST(ExpressionErrors, NestingTooDeepFailsCleanly) {
  FakeRow row;
  const std::string parens = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(Eval(row, parens), "error: Expression is too complex");
  std::string chain = "1";
  for (int i = 0; i < 20000; ++i) chain += "+1";
  EXPECT_EQ(Eval(row, chain), "error: Expression is too complex");
  EXPECT_EQ(Eval(row, std::string(5000, '!') + ".T."), "error: Expression is too complex");
  std::string calls;
  for (int i = 0; i < 5000; ++i) calls += "ABS(";
  EXPECT_EQ(Eval(row, calls + "1" + std::string(5000, ')')), "error: Expression is too complex");
  // well inside the limits all is fine
  std::string sum = "1";
  for (int i = 0; i < 150; ++i) sum += "+1";
  EXPECT_EQ(Eval(row, sum), "N:151");
}

TEST(ExpressionHandler, AliasIsStrippedOnlyAsAWholeNameOutsideLiterals) {
  EXPECT_EQ(xb::StripAlias("dvel.f04+DVEL->F10+xdvel.f01", "DVEL"), "f04+F10+xdvel.f01");
  EXPECT_EQ(xb::StripAlias("'dvel.x' = [DVEL->y] .AND. t.F = .T.", "T"),
            "'dvel.x' = [DVEL->y] .AND. F = .T.");
}

TEST(ExpressionHandler, WithoutLinkOnlyGlobalNames) {
  EXPECT_EQ(Show(xb::TxbExpHandler(nullptr, false, "", "UPPER('a') + 'b'").Evaluate()), "T:Ab");
  try {
    xb::TxbExpHandler e(nullptr, false, "", "F04");
    FAIL();
  } catch (const xb::EXbaseExpression &ex) {
    EXPECT_STREQ(ex.what(), "Field/variable F04 is unknown");
  }
}

TEST(ExpressionHandler, TextNamesAndWidths) {
  FakeRow row;
  xb::TxbExpHandler key(&row.link, false, "DVEL", "  f04+f10 ");
  EXPECT_EQ(key.ExpressionText(), "F04+F10");
  EXPECT_EQ(key.CollectNames(xb::kVarKindTableField), "F04;F10;");
  EXPECT_EQ(key.FieldCount(), 2);
  EXPECT_EQ(key.MaxWidth(), 13);

  xb::TxbExpHandler e(&row.link, false, "DVEL",
                      "upper(dvel->f04) = 'A' .and. .not. paid .or. str(amount, 10, 2) = \"x\" "
                      ".or. {19800101} = born .or. true");
  const std::string text = e.ExpressionText();
  EXPECT_EQ(text,
            "UPPER(F04)=\"A\".AND.(.NOT.PAID.OR.STR(AMOUNT,10,2)=\"x\".OR.{01.01.1980}=BORN.OR."
            "TRUE)");
  EXPECT_EQ(e.CollectNames(xb::kVarKindTableField), "F04;PAID;AMOUNT;BORN;");
  EXPECT_EQ(e.CollectNames(xb::kVarKindNamedValue), "TRUE;");
  EXPECT_EQ(e.MaxDecimals(), 2);
  // the text of a tree parses again to the same tree
  xb::TxbExpHandler again(&row.link, false, "DVEL", text);
  EXPECT_EQ(again.ExpressionText(), text);
}

TEST(ExpressionHandler, EvaluateToVariantKeepsOnlyKeyTypes) {
  FakeRow row;
  xb::ExpValue v;
  xb::TxbExpHandler date(&row.link, false, "DVEL", "0.75 + BORN");
  date.EvaluateToVariant(v);
  EXPECT_EQ(v.type, xb::ExpType::kDate);
  EXPECT_EQ(v.number, 2444240);

  xb::TxbExpHandler blob(&row.link, false, "DVEL", "BLOB");
  blob.EvaluateToVariant(v);
  EXPECT_EQ(v.type, xb::ExpType::kUnknown);
  EXPECT_EQ(blob.ResultType(), xb::ExpType::kUnknown);

  xb::TxbExpHandler empty(&row.link, false, "DVEL", "   ");
  EXPECT_FALSE(empty.HasTree());
  EXPECT_EQ(Show(empty.Evaluate()), "?:");
  EXPECT_EQ(empty.ResultType(), xb::ExpType::kUnknown);
}

TEST(ExpressionHandler, ComparisonSettingsTakeEffectAtNextParse) {
  FakeRow row;
  xb::TxbExpHandler e(&row.link, false, "DVEL", "F05 = \"O'NEIL*\"");
  EXPECT_FALSE(e.Evaluate().logic);
  e.SetCaseInsensitive(true);
  EXPECT_FALSE(e.Evaluate().logic);
  e.SetExpression(e.Text());
  EXPECT_TRUE(e.Evaluate().logic);

  e.SetPartial(false);
  e.SetExpression("F04 = '123*'");
  EXPECT_FALSE(e.Evaluate().logic);

  xb::TxbExpHandler percent(&row.link, true, "DVEL", "F04 = '1_3%'");
  EXPECT_TRUE(percent.Evaluate().logic);
  percent.SetExpression("F04 = '123*'");
  EXPECT_FALSE(percent.Evaluate().logic);
}

TEST(ExpressionHandler, FieldValuesFollowTheRecordBuffer) {
  FakeRow row;
  xb::TxbExpHandler e(&row.link, false, "DVEL", "F04 = '77*' .AND. RECNO() = 8");
  EXPECT_FALSE(e.Evaluate().logic);
  row.Set("F04", "7788");
  row.recno = 8;
  EXPECT_TRUE(e.Evaluate().logic);
}

}  // namespace
