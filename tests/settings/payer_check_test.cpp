// The 31 payer checks: each failing value with its control and warning, the
// identifier warnings by kind, the status words, the start-up check.
#include "settings/payer_check.h"

#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "support/common/temp_dir.h"
#include "support/qt/valid_payer.h"
#include "xbase/file/clock.h"

namespace {

using shell::PayerRecord;

constexpr int kYear = 2020;

using testing_support::ValidPayerRecord;

struct Case {
  const char *what;
  int index;
  const char *value;
  int failing;  // 0: passes
  const char *control;
  const char *warning;
};

const Case kCases[] = {
    {"year before last", shell::kFiscalYear, "2018", 1, "ComboBox1", " Изберете данъчна година"},
    {"next year", shell::kFiscalYear, "2021", 1, "ComboBox1", " Изберете данъчна година"},
    {"this year", shell::kFiscalYear, "2020", 0, "", ""},
    {"unknown kind", shell::kOwnerNoType, "Булстат", 2, "ComboBox2", " Изберете вид идентификатор"},
    {"empty identifier", shell::kOwnerNo, "", 3, "Edit1", "W3"},
    {"bad ЕИК", shell::kOwnerNo, "121212122", 3, "Edit1", "W3"},
    {"ЕГН as ЕИК", shell::kOwnerNo, "7501020018", 0, "", ""},
    {"13-digit ЕИК", shell::kOwnerNo, "1212121210002", 0, "", ""},
    {"empty name", shell::kOwnerName, "", 4, "Edit2", " Въведете име на платеца"},
    {"region", shell::kOwnerObl, "", 5, "Edit3", " Въведете област"},
    {"municipality", shell::kOwnerObst, "", 6, "Edit4", " Въведете община"},
    {"town", shell::kOwnerNM, "", 7, "Edit5", " Въведете населено място"},
    {"3-digit postal code", shell::kOwnerPK, "100", 8, "Edit6",
     " Въведете ПК (4-цифрен) на адреса за кореспонденция на платеца"},
    {"postal code with a letter", shell::kOwnerPK, "10a0", 8, "Edit6",
     " Въведете ПК (4-цифрен) на адреса за кореспонденция на платеца"},
    {"street kind", shell::kOwnerAddr, "", 9, "ComboBox3", " Изберете от списъка "},
    {"street name", shell::kOwnerAddrName, "", 10, "Edit7", " Въведете наименование ул."},
    {"number", shell::kOwnerAddrNo, "", 11, "Edit19", " Въведете № "},
    {"entrance, floor, flat free", shell::kOwnerAddrVh, "", 0, "", ""},
    {"region 8", shell::kOwnerObl8, "", 15, "Edit10", " Въведете област"},
    {"municipality 8", shell::kOwnerObst8, "", 16, "Edit11", " Въведете община"},
    {"town 8", shell::kOwnerNM8, "", 17, "Edit12", " Въведете населено място"},
    {"postal code 8", shell::kOwnerPK8, "12345", 18, "Edit13",
     " Въведете ПК (4-цифрен) на адреса по чл.8 от ДОПК на платеца"},
    {"street kind 8", shell::kOwnerAddr8, "", 19, "ComboBox4", " Изберете от списъка "},
    {"street name 8", shell::kOwnerAddrName8, "", 20, "Edit14", " Въведете наименование бул."},
    {"number 8", shell::kOwnerAddrNo8, "", 21, "Edit15", " Въведете № "},
    {"phone free", shell::kOwnerPhone, "", 0, "", ""},
    {"representative id without name", shell::kAuthorizedPersonID, "0000000077", 27, "Edit23",
     " Въведете името на представляващия "},
    {"representative name without id", shell::kAuthorizedPersonName, "Иван", 28, "Edit24",
     " Въведете вярно ЕГН/ЛНЧ/Сл.№ от рег.на ВЕСКОР "},
    {"unknown status", shell::kStatus, "Closed", 29, "", ""},
    {"empty status", shell::kStatus, "", 29, "", ""},
    {"both flags", shell::kStatus, "StoppedTarget", 0, "", ""},
    {"block prefix free", shell::kOwnerAddrBl, "xx", 0, "", ""},
};

TEST(PayerCheck, EachValueWithItsControlAndWarning) {
  xb::SetClockForTesting(xb::LocalTime{kYear, 3, 1});
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.what);
    PayerRecord v = ValidPayerRecord();
    v[c.index] = QString::fromUtf8(c.value);
    const settings::PayerProblem p = settings::FindPayerProblem(v, "W3", kYear);
    EXPECT_EQ(p.value, c.failing);
    EXPECT_EQ(p.control, QString::fromUtf8(c.control));
    EXPECT_EQ(p.warning, QString::fromUtf8(c.warning));
  }
  xb::SetClockForTesting(std::nullopt);
}

TEST(PayerCheck, TheFirstFailingValueWins) {
  PayerRecord v = ValidPayerRecord();
  v[shell::kOwnerAddrNo8] = "";
  v[shell::kOwnerPK] = "";
  EXPECT_EQ(settings::FindPayerProblem(v, "", kYear).value, 8);
  EXPECT_EQ(settings::FindPayerProblem(PayerRecord{}, "", kYear).value, 1);
}

TEST(PayerCheck, RepresentativeAndIdentifierKinds) {
  const struct {
    const char *kind, *no, *rep_name, *rep_id;
    int failing;
  } kRows[] = {
      {"ЕГН", "7501020018", "", "", 0},
      {"ЕГН", "7501020017", "", "", 3},
      {"ЛНЧ", "0000000077", "", "", 0},
      {"ЛНЧ", "0000000070", "", "", 3},
      {"Служебен № от регистъра на ВЕСКОР", "0010000009", "", "", 0},
      {"Служебен № от регистъра на ВЕСКОР", "3000000000", "", "", 3},
      {"ЕИК", "12121212", "", "", 3},
      {"ЕИК", "121212121", "Иван", "0000000077", 0},
      {"ЕИК", "121212121", "Иван", "0010000009", 0},
      {"ЕИК", "121212121", "Иван", "123", 28},
  };
  for (const auto &r : kRows) {
    SCOPED_TRACE(r.no);
    PayerRecord v = ValidPayerRecord();
    v[shell::kFiscalYear] = QString::number(kYear);
    v[shell::kOwnerNoType] = QString::fromUtf8(r.kind);
    v[shell::kOwnerNo] = r.no;
    v[shell::kAuthorizedPersonName] = QString::fromUtf8(r.rep_name);
    v[shell::kAuthorizedPersonID] = r.rep_id;
    EXPECT_EQ(settings::FindPayerProblem(v, "", kYear).value, r.failing);
  }
}

TEST(PayerCheck, IdentifierWarningByKindAndLength) {
  const struct {
    const char *kind;
    int length;
    const char *warning;
  } kRows[] = {
      {"ЕГН", 10, " Невалиден ЕГН на платеца"},
      {"ЛНЧ", 3, " Невалиден ЛНЧ на платеца"},
      {"Служебен № от регистъра на ВЕСКОР", 10,
       " Невалиден Служебен № от регистъра на ВЕСКОР на платеца"},
      {"ЕИК", 9, " Невалиден 9-значен ЕИК (Булстат) на платеца"},
      {"ЕИК", 10, " Невалиден 10-значен ЕИК (ЕГН) на платеца"},
      {"ЕИК", 8, " Въведете 9-значен (Булстат) или 10-значен (ЕГН) ЕИК на платеца"},
      {"", 10, " Въведете идентификатор на платеца"},
  };
  for (const auto &r : kRows) {
    EXPECT_EQ(settings::IdentifierWarning(QString::fromUtf8(r.kind), r.length),
              QString::fromUtf8(r.warning));
  }
}

TEST(PayerCheck, StatusWords) {
  EXPECT_EQ(settings::StatusWord(false, false), "Active");
  EXPECT_EQ(settings::StatusWord(true, false), "Stopped");
  EXPECT_EQ(settings::StatusWord(false, true), "Target");
  EXPECT_EQ(settings::StatusWord(true, true), "StoppedTarget");
  bool t = true, s = false;
  EXPECT_FALSE(settings::StatusFlags("active", &t, &s));
  EXPECT_TRUE(t);  // untouched
  EXPECT_TRUE(settings::StatusFlags("Target", &t, &s));
  EXPECT_FALSE(t);
  EXPECT_TRUE(s);
}

TEST(PayerCheck, StartUpWritesTheTemplateAndChecksTheFile) {
  testing_support::TempDir dir;
  shell::InitAppPaths(QString::fromStdString(dir.File("vedil")));
  xb::SetClockForTesting(xb::LocalTime{kYear, 3, 1});
  EXPECT_TRUE(settings::CheckPayerDataSilently());
  EXPECT_EQ(testing_support::ReadFileBytes(dir.File("vedil.ini")).substr(0, 8), "[Year]\r\n");

  // Kind ЕГН with a valid ЕГН passes, although the dialog cannot offer it.
  PayerRecord v = ValidPayerRecord();
  v[shell::kOwnerNoType] = "ЕГН";
  v[shell::kOwnerNo] = "7501020018";
  settings::SavePayerRecord(v);
  EXPECT_FALSE(settings::CheckPayerDataSilently());
  EXPECT_EQ(shell::PayerData, v);
  xb::SetClockForTesting(std::nullopt);
}

}  // namespace
