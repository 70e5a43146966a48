// The agency file checker: code page, record length, record sequence, the
// formal control of header and detail fields, totals, the logical control,
// duplicates, and files or tables that cannot be read.
#include "agencyfile/agency_check.h"

#include <gtest/gtest.h>

#include "agency_file_fixture.h"
#include "support/common/temp_dir.h"

namespace agencyfile {
namespace {

using namespace agencyfile::testing;

QStringList BaseFile() { return AgencyFileBuilder().Add(Person()).Lines(); }

TEST(AgencyCheck, AFileWrittenByTheWriterPassesEveryStage) {
  AgencyFileBuilder file;
  file.header.status = QStringLiteral("StoppedTarget");
  DetailValues blank_kind = Person("8002020021");
  blank_kind.id_kind = QStringLiteral(" ");
  DetailValues eik_person = Person("121212121", 300 * kLev, 0, "30710");
  eik_person.id_kind = QStringLiteral("3");
  DetailValues egn_person_kind3 = Person("9103030035");
  egn_person_kind3.id_kind = QStringLiteral("3");
  DetailValues service_no = Foreigner("GR", "0000000000");
  service_no.id_kind = QStringLiteral("2");
  DetailValues service_no_twice = service_no;  // ten zeros may repeat
  file.Add(Person())
      .Add(blank_kind)
      .Add(eik_person)
      .Add(egn_person_kind3)
      .Add(Foreigner())
      .Add(service_no)
      .Add(service_no_twice)
      .Add(KindFour("820"))
      .Add(KindFour("820"))  // condominium lines may repeat
      .Add(KindFour("821"))
      .Add(Person("7501010010", 5000 * kLev + kLev / 100, 0, "905"));
  const CheckResult r = CheckLines(file.Lines());
  EXPECT_EQ(r.verdict, Verdict::kCorrect);
  for (const StageMark *mark : {&r.lengths, &r.sequence, &r.formal, &r.logical}) {
    EXPECT_EQ(mark->state, StageState::kPassed);
  }
  EXPECT_EQ(r.formal_faults, QStringList());
  EXPECT_EQ(r.logical_faults, QStringList());
  EXPECT_EQ(r.payer_name, QStringLiteral("Фирма ООД"));
  EXPECT_EQ(r.tax_year, QStringLiteral("2024"));
  EXPECT_TRUE(r.liquidation_flag);
  EXPECT_TRUE(r.successor_flag);
}

// Each stage reads the whole file once: the advance runs up to the total
// without going back, and a stop half way gives a cancelled check with
// nothing else in it.
TEST(AgencyCheck, ProgressFollowsTheStagesAndCanStopTheCheck) {
  AgencyFileBuilder file;
  file.Add(Person()).Add(Person("9103030035")).Add(Foreigner());
  const QByteArray bytes = FileBytes(file.Lines());
  std::vector<std::pair<int64_t, int64_t>> steps;
  const CheckResult r = CheckBytes(bytes, 2024, [&steps](int64_t done, int64_t total) {
    steps.emplace_back(done, total);
    return true;
  });
  EXPECT_EQ(r.verdict, Verdict::kCorrect);
  ASSERT_EQ(steps.size(), 5u * 4);  // five stages, four lines each
  const int64_t total = 5 * static_cast<int64_t>(bytes.size());
  EXPECT_EQ(steps.back(), std::make_pair(total, total));
  for (size_t i = 1; i < steps.size(); ++i) EXPECT_GT(steps[i].first, steps[i - 1].first) << i;

  for (size_t stop_at : {size_t{1}, size_t{9}, size_t{19}}) {
    SCOPED_TRACE(stop_at);
    size_t calls = 0;
    const CheckResult stopped =
        CheckBytes(bytes, 2024, [&](int64_t, int64_t) { return ++calls < stop_at; });
    EXPECT_EQ(stopped.verdict, Verdict::kCancelled);
    EXPECT_EQ(calls, stop_at);
    EXPECT_EQ(stopped.formal.state, StageState::kNotRun);
    EXPECT_TRUE(stopped.formal_faults.isEmpty());
    EXPECT_TRUE(stopped.logical_faults.isEmpty());
  }
}

TEST(AgencyCheck, AnotherCyrillicCodePageStopsBeforeTheStages) {
  // "Фирма" in the DOS code page: letters at 128..175.
  QByteArray dos_line = QByteArray("00000  121212121    ") + "\x94\xa8\xe0\xac\xa0";
  dos_line += QByteArray(139 - dos_line.size(), ' ');
  const CheckResult two_lines = CheckBytes(dos_line + "\r\n" + dos_line + "\r\n");
  EXPECT_EQ(two_lines.verdict, Verdict::kWrongCodePage);
  EXPECT_EQ(two_lines.lengths.state, StageState::kNotRun);
  EXPECT_EQ(two_lines.formal_faults, QStringList());

  // A one-line file is not tested for its code page.
  const CheckResult one_line = CheckBytes(dos_line + "\r\n");
  EXPECT_EQ(one_line.lengths.state, StageState::kPassed);
  EXPECT_EQ(one_line.verdict, Verdict::kIncorrect);
}

TEST(AgencyCheck, RecordLengthStopsAtTheFirstLineThatIsNot139Long) {
  QStringList lines = BaseFile();
  lines.append(lines.last());
  for (int length : {140, 395, 138}) {
    SCOPED_TRACE(length);
    QStringList changed = lines;
    changed[1] = changed[1].leftJustified(length, QLatin1Char(' '), true);
    changed[2] = QStringLiteral("x");
    const CheckResult r = CheckLines(changed);
    EXPECT_EQ(r.lengths.state, StageState::kFailed);
    EXPECT_EQ(r.lengths.message,
              QStringLiteral("ред [2] е с [%1] символа, а трябва да е с [139]").arg(length));
    EXPECT_EQ(r.sequence.state, StageState::kNotRun);
    EXPECT_EQ(r.verdict, Verdict::kIncorrect);
  }
}

TEST(AgencyCheck, RecordSequence) {
  const QString header_message =
      QStringLiteral("Невалиден формат на заглавния запис. (не започва с [00000])");
  // An empty file has no line of a wrong length, and no header.
  const CheckResult empty = CheckBytes(QByteArray());
  EXPECT_EQ(empty.lengths.state, StageState::kPassed);
  EXPECT_EQ(empty.sequence.state, StageState::kFailed);
  EXPECT_EQ(empty.sequence.message, header_message);
  EXPECT_EQ(empty.verdict, Verdict::kIncorrect);

  AgencyFileBuilder file;
  file.Add(Person()).Add(Person("8002020021")).Add(Person("9103030035"));
  struct Case {
    int line;
    const char *number;
    QString message;
  } const cases[] = {
      {1, "00001", header_message},
      {3, "00003", QStringLiteral("Ред [3] е с неочакван последователен номер на записа [00003]")},
      {4, "0002A",
       QStringLiteral("Ред [4] е с невалиден идентификатор на запис [0002A](не е цифри)")},
      {2, " 0001",
       QStringLiteral("Ред [2] е с невалиден идентификатор на запис [ 0001](не е цифри)")},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.number);
    QStringList lines = file.Lines();
    Put(&lines, c.line, 1, QString::fromLatin1(c.number));
    const CheckResult r = CheckLines(lines);
    EXPECT_EQ(r.lengths.state, StageState::kPassed);
    EXPECT_EQ(r.sequence.state, StageState::kFailed);
    EXPECT_EQ(r.sequence.message, c.message);
    EXPECT_EQ(r.formal.state, StageState::kNotRun);
  }
}

struct FieldCase {
  int line;
  int position;
  QString text;
  QStringList faults;
};

// Each change of the base file (header and one person) gives exactly these
// formal fault lines.
void ExpectFormalFaults(const FieldCase &c, int year = 2024) {
  QStringList lines = BaseFile();
  Put(&lines, c.line, c.position, c.text);
  const CheckResult r = CheckLines(lines, year);
  EXPECT_EQ(r.formal_faults, c.faults);
  EXPECT_EQ(r.formal.state, c.faults.isEmpty() ? StageState::kPassed : StageState::kFailed);
  if (!c.faults.isEmpty()) {
    EXPECT_EQ(r.logical.state, StageState::kNotRun);
    EXPECT_EQ(r.verdict, Verdict::kIncorrect);
  }
}

QString H(int field, const char *message) {
  return FaultLine(1, u"00000", field, QString::fromUtf8(message));
}

QString D(int field, const char *message) {
  return FaultLine(2, u"00001", field, QString::fromUtf8(message));
}

TEST(AgencyCheckFormal, FaultLineLayout) {
  EXPECT_EQ(FaultLine(3, u"00002", 4, QStringLiteral("текст")),
            QStringLiteral("  00003   00002   04      текст"));
}

TEST(AgencyCheckFormal, HeaderFields) {
  const FieldCase cases[] = {
      {1, 6, "X", {H(2, "В заглавния ред Флаг за чуждестранно физ.лице може да е интервал или 0")}},
      {1, 7, "1", {H(3, "В заглавния ред Вид идентификатор може да е интервал или 0")}},
      {1, 6, "00", {}},
      {1,
       8,
       "12121212A",
       {H(4, "В заглавния ред Идентификатор [12121212A] съдържа и други символи, освен цифри.")}},
      {1,
       8,
       " 121212121",
       {H(4, "В заглавния ред Идентификатор [ 121212121] съдържа и други символи, освен цифри.")}},
      {1,
       8,
       "12345678 ",
       {H(4, "В заглавния ред Идентификатор [12345678] е с невалидна дължина (8 цифри) за ЕИК.")}},
      {1,
       8,
       "1212121210000",
       {H(4,
          "В заглавния ред Идентификатор [1212121210000] е с невалидна дължина (13 цифри) за "
          "ЕИК.")}},
      {1,
       8,
       "121212122",
       {H(4, "В заглавния ред Идентификатор [121212122] е невалиден 9-цифров ЕИК.")}},
      {1,
       8,
       "7501010011",
       {H(4,
          "В заглавния ред Идентификатор [7501010011] e невалиден 10-цифров ЕИК или Служебен № "
          "от регистъра на ВЕСКОР.")}},
      {1, 8, "7501010010", {}},  // a valid ЕГН
      {1, 8, "1000000023", {}},  // a valid service number
      {1,
       21,
       QString(40, QLatin1Char(' ')),
       {H(5, "В заглавния ред името на платеца не е попълнено")}},
      {1,
       134,
       "2",
       {H(11,
          "В заглавния ред Флаг при прекратяване/несъстоятелност трябва да е [интервал, 0 или "
          "1]")}},
      {1,
       135,
       "X",
       {H(12, "В заглавния ред, Флаг за правоприемник може да е [интервал, 0 или 1]")}},
      {1, 134, "01", {}},
      {1, 136, "20X4", {H(13, "В заглавния ред, Данъчна година трябва да е четири цифри.")}},
      {1, 136, "2022", {H(13, "В заглавния ред Данъчна година трябва да е [2023 или 2024] г.")}},
      {1, 136, "2023", {}},
  };
  for (const FieldCase &c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    ExpectFormalFaults(c);
  }
}

TEST(AgencyCheckFormal, HeaderYearFollowsTheClock) {
  const FieldCase cases[] = {
      {1, 136, "2018", {}},
      {1, 136, "2019", {}},
      {1, 136, "2017", {H(13, "В заглавния ред Данъчна година трябва да е [2018 или 2019] г.")}},
      {1, 136, "2020", {H(13, "В заглавния ред Данъчна година трябва да е [2018 или 2019] г.")}},
  };
  for (const FieldCase &c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    ExpectFormalFaults(c, 2019);
  }
}

TEST(AgencyCheckFormal, HeaderDataShownOnlyWhenReadable) {
  QStringList lines = BaseFile();
  Put(&lines, 1, 21, QString(40, QLatin1Char(' ')));
  Put(&lines, 1, 134, QStringLiteral("12"));
  Put(&lines, 1, 136, QStringLiteral("2017"));
  const CheckResult r = CheckLines(lines);
  EXPECT_EQ(r.payer_name, QString());
  EXPECT_EQ(r.tax_year, QStringLiteral("2017"));  // four digits, out of range
  EXPECT_FALSE(r.liquidation_flag);               // not shown: the other flag is wrong
}

TEST(AgencyCheckFormal, Amounts) {
  const FieldCase cases[] = {
      // Header field 8, tests 1 to 4.
      {1,
       103,
       "       110,00",
       {H(8,
          "В заглавния ред годишния размер на дохода, трябва да съдържа десетична точка на 11 "
          "позиция.")}},
      {1,
       103,
       "       100.0 ",
       {H(8,
          "В заглавния ред годишният размер на дохода, трябва да съдържа 2 цифри след "
          "десетичната точка.")}},
      {1,
       103,
       "      +100.00",
       {H(8,
          "В заглавния ред годишният размер на дохода, трябва да съдържа 1..10 цифри преди "
          "десетичната точка.")}},
      {1,
       103,
       "         0.00",
       {H(8, "Годишният размер на дохода в заглавния ред трябва да е по-голям от 0.00 лв.")}},
      {1, 103, "100       .00", {H(8, "В заглавния ред годишният размер на дохода не е число.")}},
      // Header field 9.
      {1,
       116,
       "        10;00",
       {H(9, "В заглавния ред удържаният данък трябва да съдържа десетична точка на 11 позиция.")}},
      {1,
       116,
       "        10.x0",
       {H(9,
          "В заглавния ред удържаният данък трябва да съдържа 2 цифри след десетичната точка.")}},
      {1,
       116,
       "       -10.00",
       {H(9,
          "В заглавния ред удържаният данък трябва да съдържа 1..10 цифри преди десетичната "
          "точка.")}},
      {1, 116, "10        .00", {H(9, "В заглавния ред удържаният данък не е число.")}},
      // Detail field 8: the messages end with the field and "]".
      {2,
       103,
       "       100,00",
       {D(8,
          "Годишният размер на дохода в заглавния ред, трябва да съдържа десетична точка на 11 "
          "позиция.[       100,00]")}},
      {2,
       103,
       "       100.O0",
       {D(8,
          "Годишният размер на дохода в заглавния ред, трябва да съдържа 2 цифри след "
          "десетичната точка.[       100.O0]")}},
      {2,
       103,
       "       1O0.00",
       {D(8,
          "Годишният размер на дохода в заглавния ред, трябва да съдържа 1..10 цифри пред "
          "десетичната точка.[       1O0.00]")}},
      {2,
       103,
       "         0.00",
       {D(8,
          "Годишният размер на дохода в заглавния ред, трябва да е по-голям от 0.00 лв.[        "
          " 0.00]")}},
      {2, 103, "100       .00", {D(8, "Годишният размер на дохода не е число.[100       .00]")}},
      // Detail field 9.
      {2,
       116,
       "        10 00",
       {D(9, "Удържаният данък трябва да съдържа десетична точка на 11 позиция.[        10 00]")}},
      {2,
       116,
       "        10.  ",
       {D(9, "Удържаният данък трябва да съдържа 2 цифри след десетичната точка.[        10.  ]")}},
      {2,
       116,
       "       1 0.00",
       {D(9,
          "Удържаният данък трябва да съдържа 1..10 цифри преди десетичната точка.[       1 "
          "0.00]")}},
      {2, 116, "1         .00", {D(9, "Удържаният данък не е число.[1         .00]")}},
  };
  for (const FieldCase &c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    ExpectFormalFaults(c);
  }
}

TEST(AgencyCheckFormal, DetailFields) {
  const FieldCase cases[] = {
      {2, 6, "X", {D(2, "Флаг за чуждестранно физ.лице може да е интервал или 0,1")}},
      {2, 6, " ", {}},
      // A kind that is no digit 0..4 gets the kind fault and no identifier test.
      {2, 7, "X7501010011", {D(3, "Вид идентификатор може да е интервал, 0, 1, 2, 3 или 4")}},
      {2, 7, "5", {D(3, "Вид идентификатор може да е интервал, 0, 1, 2, 3 или 4")}},
      {2,
       8,
       "12345        ",
       {D(4, "Невалиден брой цифри [5] за идентификатор [12345].(очакват се 9 или 10 цифри)")}},
      {2,
       8,
       "7501010011",
       {D(4, "За идентификатор [ЕГН], стойността на идентификатора [7501010011] е невалидна.")}},
      {2,
       7,
       " 7501010011",
       {D(4, "За идентификатор [ЕГН], стойността на идентификатора [7501010011] е невалидна.")}},
      {2,
       8,
       "0000000000",
       {D(4, "За идентификатор [ЕГН], стойността на идентификатора [0000000000] е невалидна.")}},
      {2, 7, "11000000012", {}},
      {2,
       7,
       "17501010010",
       {D(4,
          "За идентификатор [ЛН или ЛНЧ], стойността на идентификатора [7501010010] е "
          "невалидна.")}},
      {2, 7, "21000000023", {}},
      {2,
       7,
       "20000000000",
       {D(4,
          "За идентификатор [Служебен номер от регистъра на ВЕСКОР], стойността на "
          "идентификатора [0000000000] е невалидна.")}},
      {2,
       7,
       "30000000000",
       {D(4,
          "За идентификатор [ЕИК по Булстат], стойността на идентификатора [0000000000] е "
          "невалидна.")}},
      {2,
       7,
       "3121212122 ",
       {D(4,
          "За идентификатор [ЕИК по Булстат], стойността на идентификатора [121212122] е "
          "невалидна.")}},
      {2, 21, QString(40, QLatin1Char(' ')), {D(5, "Името на лицето не е попълнено")}},
      {2, 61, "DE", {}},  // a country for a resident is not checked
      {2,
       129,
       "4O1  ",
       {D(10,
          "Код на вид доход трябва да е от три до пет цифри, ляво подравнени и допълнени с "
          "интервали.[4O1  ]")}},
      {2,
       129,
       " 401 ",
       {D(10,
          "Код на вид доход трябва да е от три до пет цифри, ляво подравнени и допълнени с "
          "интервали.[ 401 ]")}},
      {2,
       134,
       "1",
       {D(11,
          "В детайлните редове Флаг при прекратяване/несъстоятелност трябва да е интервал или "
          "0[1]")}},
      {2,
       135,
       "X",
       {D(12, "В детайлните редове Флаг за правоприемник трябва да е интервал или 0. [X]")}},
      {2, 134, "00", {}},
      {2,
       136,
       "2024",
       {D(13, "В детайлните редове Данъчна година трябва да е четири интервала.[2024]")}},
  };
  for (const FieldCase &c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    ExpectFormalFaults(c);
  }
}

TEST(AgencyCheckFormal, ForeignPersonsAndKindFour) {
  const QString blank40(40, QLatin1Char(' '));
  // Line 2 made a foreign person, then one field changed.
  const FieldCase foreign[] = {
      {2, 61, "de", {D(6, "Съдържанието на поле държава трябва да е две големи латински букви.")}},
      {2, 61, "D1", {D(6, "Съдържанието на поле държава трябва да е две големи латински букви.")}},
      {2, 63, blank40, {D(7, "Адресът в чужбина не е попълнен")}},
  };
  for (const FieldCase &c : foreign) {
    SCOPED_TRACE(c.text.toStdString());
    QStringList lines = AgencyFileBuilder().Add(Foreigner()).Lines();
    Put(&lines, c.line, c.position, c.text);
    EXPECT_EQ(CheckLines(lines).formal_faults, c.faults);
  }

  const FieldCase condominium[] = {
      {2,
       61,
       "  ",
       {D(6,
          "При идентификатор етажна собственост поле [Код държава] трябва да е попълнено с "
          "BG")}},
      {2,
       63,
       blank40,
       {D(7, "При идентификатор етажна собственост поле [Населено място,ул.No.] не е попълнено")}},
      {2,
       8,
       "7501010010",
       {D(4,
          "При идентификатор етажна собственост стойността на идентификатора не трябва да се "
          "попълва.")}},
      {2,
       21,
       "Иван",
       {D(5,
          "При идентификатор етажна собственост името на лицето [Иван] не трябва да се "
          "попълва")}},
      {2, 6, "1", {D(2, "за етаж.соб. поле ЧФЛ не може да е 1(чужденец)")}},
  };
  for (const FieldCase &c : condominium) {
    SCOPED_TRACE(c.text.toStdString());
    QStringList lines = AgencyFileBuilder().Add(KindFour("820")).Lines();
    Put(&lines, c.line, c.position, c.text);
    EXPECT_EQ(CheckLines(lines).formal_faults, c.faults);
  }
}

TEST(AgencyCheckFormal, TotalsMustEqualTheSumsOfTheDetails) {
  AgencyFileBuilder file;
  file.Add(Person("7501010010", kLev / 10, 0)).Add(Person("8002020021", kLev / 5, 0));
  QStringList lines = file.Lines();
  EXPECT_EQ(lines[0].mid(102, 13), QStringLiteral("         0.30"));
  EXPECT_EQ(CheckLines(lines).formal.state, StageState::kPassed);

  Put(&lines, 1, 103, QStringLiteral("         0.31"));
  Put(&lines, 1, 116, QStringLiteral("         0.01"));
  EXPECT_EQ(CheckLines(lines).formal_faults,
            QStringList({H(8,
                           "Годишният размер на дохода в заглавния ред.0.31 не е равен на "
                           "сумата от годишния размер на дохода на детайлните редове 0.30"),
                         H(9,
                           "Удържаният данък в заглавния ред 0.01 не е равен на сумата от "
                           "удържаният данък на детайлните редове 0.00")}));
}

TEST(AgencyCheckFormal, AOneLineFileFailsOnItsTotals) {
  QStringList lines = AgencyFileBuilder().Lines();
  EXPECT_EQ(CheckLines(lines).formal_faults,
            QStringList({H(8,
                           "Годишният размер на дохода в заглавния ред трябва да е по-голям от "
                           "0.00 лв.")}));
  Put(&lines, 1, 103, QStringLiteral("        12.00"));
  EXPECT_EQ(CheckLines(lines).formal_faults,
            QStringList({H(8,
                           "Годишният размер на дохода в заглавния ред.12.00 не е равен на "
                           "сумата от годишния размер на дохода на детайлните редове 0.00")}));
}

QString L(int line, int field, const QString &message) {
  return FaultLine(line, QString::number(line - 1).rightJustified(5, QLatin1Char('0')), field,
                   message);
}

TEST(AgencyCheckLogical, RelationsBetweenFields) {
  struct Case {
    DetailValues detail;
    QStringList faults;  // of line 2
  } const cases[] = {
      {Person("7501010010", 10 * kLev, 0, "903"),
       {L(2, 10,
          QStringLiteral("Код на вид доход [903] е невалиден, трябва да е в един от "
                         "интервалите [301..306], [3071..3079], [30710..30714], "
                         "[401..403], [501..509], [601..606], [801..821], [901..902], "
                         "[904..907]"))}},
      {Person("7501010010", 5000 * kLev, 0, "905"),
       {L(2, 8,
          QStringLiteral("Годишният размер на дохода 5000.00 лв. за посочения код 905   "
                         "трябва да надвишава 5000 лв."))}},
      {Person("7501010010", 5000 * kLev + kLev / 100, 0, "905"), {}},
      {Person("7501010010", 10 * kLev, 20 * kLev),
       {H(8,
          "Годишният размер на дохода 10.00 лв. е по-малък/равнен от/на удържания данък 20.00 "
          "лв."),
        L(2, 8,
          QStringLiteral("Годишният размер на дохода 10.00 лв. е по-малък от удържания "
                         "данък 20.00 лв."))}},
      {Person("7501010010", 100 * kLev, 0, "820"),
       {L(2, 3, QStringLiteral("За код идентификатор [0] кода на дохода [820] е невалиден."))}},
      {KindFour("301"),
       {L(2, 3, QStringLiteral("За код идентификатор [4] кода на дохода [301] е невалиден."))}},
      {Person("7501010010", 100 * kLev, 0, "3070"),
       {L(2, 10,
          QStringLiteral("Код на вид доход [3070] е невалиден, трябва да е в един от "
                         "интервалите [301..306], [3071..3079], [30710..30714], "
                         "[401..403], [501..509], [601..606], [801..821], [901..902], "
                         "[904..907]"))}},
      // Blanks pass the formal control but are no income code.
      {Person("7501010010", 100 * kLev, 0, ""),
       {L(2, 10, QStringLiteral("Код на вид доход не е попълнен."))}},
      {Foreigner("BG"), {L(2, 6, QStringLiteral("Чужденец, живеещ в държава с код [BG] ?"))}},
      {Foreigner("XX"), {L(2, 6, QStringLiteral("Няма такъв код държава [XX]."))}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.detail.income_code.toStdString() + c.detail.country.toStdString());
    const CheckResult r = CheckLines(AgencyFileBuilder().Add(c.detail).Lines());
    ASSERT_EQ(r.formal.state, StageState::kPassed) << r.formal_faults.join('\n').toStdString();
    EXPECT_EQ(r.logical_faults, c.faults);
    EXPECT_EQ(r.logical.state, c.faults.isEmpty() ? StageState::kPassed : StageState::kFailed);
    EXPECT_EQ(r.verdict, c.faults.isEmpty() ? Verdict::kCorrect : Verdict::kIncorrect);
  }
}

TEST(AgencyCheckLogical, HeaderIncomeMustExceedItsTax) {
  QStringList lines = AgencyFileBuilder().Add(Person("7501010010", 10 * kLev, 10 * kLev)).Lines();
  const CheckResult r = CheckLines(lines);
  EXPECT_EQ(r.logical_faults,
            QStringList({H(8,
                           "Годишният размер на дохода 10.00 лв. е по-малък/равнен от/на "
                           "удържания данък 10.00 лв.")}));
}

TEST(AgencyCheckLogical, RepeatedIdentifierAndCodeIsOneFaultAtItsFirstLine) {
  AgencyFileBuilder file;
  file.Add(Person("8002020021"))  // line 2
      .Add(Person())              // line 3
      .Add(Person("7501010010", 100 * kLev, 10 * kLev, "402"))
      .Add(Person())         // line 5
      .Add(KindFour("821"))  // line 6
      .Add(KindFour("821"))  // line 7: bank interest repeats too
      .Add(Person());        // line 8
  const CheckResult r = CheckLines(file.Lines());
  EXPECT_EQ(
      r.logical_faults,
      QStringList({L(6, 4, QStringLiteral("идент.[] с код на дохода [821] е дублиран на 7 ред")),
                   L(3, 4,
                     QStringLiteral("идент.[7501010010] с код на дохода [401] е "
                                    "дублиран на 5,8 ред"))}));
  EXPECT_EQ(r.logical_faults[1],
            QStringLiteral("  00003   00002   04      идент.[7501010010] с код на дохода [401] е "
                           "дублиран на 5,8 ред"));
  EXPECT_EQ(r.logical.state, StageState::kFailed);
  EXPECT_EQ(r.verdict, Verdict::kIncorrect);
}

TEST(AgencyCheckLogical, DuplicatesAreNotSearchedWhenTheLogicalControlFailed) {
  AgencyFileBuilder file;
  file.Add(Person("7501010010", 10 * kLev, 0, "903"))
      .Add(Person("7501010010", 10 * kLev, 0, "903"));
  const CheckResult r = CheckLines(file.Lines());
  EXPECT_EQ(r.logical_faults.size(), 2);  // the two interval faults, no duplicate
}

TEST(AgencyCheckLogical, CountriesTableIsReadOnceAndOnlyWhenAForeignPersonNeedsIt) {
  int loads = 0;
  CheckOptions options;
  options.current_year = 2024;
  options.countries = [&loads](QSet<QString> *codes, QString *) {
    ++loads;
    *codes = {QStringLiteral("DE")};
    return true;
  };
  const auto check = [&](const AgencyFileBuilder &file) {
    return CheckAgencyFile(AgencySource::Memory(FileBytes(file.Lines()), QStringLiteral("f")),
                           options);
  };
  EXPECT_EQ(check(AgencyFileBuilder().Add(Person())).verdict, Verdict::kCorrect);
  EXPECT_EQ(loads, 0);
  AgencyFileBuilder foreigners;
  foreigners.Add(Foreigner()).Add(Foreigner("DE", "1234567893"));
  EXPECT_EQ(check(foreigners).verdict, Verdict::kCorrect);
  EXPECT_EQ(loads, 1);
}

TEST(AgencyCheckLogical, ATableThatCannotBeReadLeavesTheFileUnchecked) {
  CheckOptions options;
  options.current_year = 2024;
  options.countries = [](QSet<QString> *, QString *error) {
    *error = QStringLiteral("Таблицата [Countries.dbf] не може да бъде отворена.");
    return false;
  };
  const CheckResult r =
      CheckAgencyFile(AgencySource::Memory(FileBytes(AgencyFileBuilder().Add(Foreigner()).Lines()),
                                           QStringLiteral("f")),
                      options);
  EXPECT_EQ(r.verdict, Verdict::kCannotCheck);
  EXPECT_EQ(r.error, QStringLiteral("Таблицата [Countries.dbf] не може да бъде отворена."));
  EXPECT_EQ(r.logical.state, StageState::kFailed);
  EXPECT_EQ(r.logical.message, r.error);
}

TEST(AgencyCheck, AFileThatCannotBeOpenedIsNotChecked) {
  testing_support::TempDir dir;
  const QString path = QString::fromStdString(dir.File("missing.txt"));
  CheckOptions options;
  options.current_year = 2024;
  const CheckResult r = CheckAgencyFile(AgencySource::File(path), options);
  EXPECT_EQ(r.verdict, Verdict::kCannotCheck);
  EXPECT_TRUE(r.error.contains(path)) << r.error.toStdString();
  EXPECT_EQ(r.lengths.state, StageState::kNotRun);
}

}  // namespace
}  // namespace agencyfile
