// The parameters of the two reports: names, order and values from the
// settings file, the status marks, the spaced identifiers.
#include "agencyfile/report_parameters.h"

#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "support/common/temp_dir.h"
#include "ui/report_renderer.h"

namespace agencyfile {
namespace {

using testing_support::TempDir;

// The program pointed at a temp dir with a saved payer.
class ReportParametersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    payer_[shell::kFiscalYear] = "2024";
    payer_[shell::kOwnerNoType] = "ЕИК";
    payer_[shell::kOwnerNo] = "121212123";
    payer_[shell::kOwnerName] = "Фирма ЕООД";
    payer_[shell::kOwnerObl] = "София";
    payer_[shell::kOwnerObst] = "Столична";
    payer_[shell::kOwnerNM] = "София";
    payer_[shell::kOwnerPK] = "1000";
    payer_[shell::kOwnerAddr] = "ул.";
    payer_[shell::kOwnerAddrName] = "Витоша";
    payer_[shell::kOwnerAddrBl] = "";
    payer_[shell::kOwnerAddrNo] = "15";
    payer_[shell::kOwnerAddrVh] = "";
    payer_[shell::kOwnerAddrEt] = "3";
    payer_[shell::kOwnerAddrAp] = "";
    payer_[shell::kOwnerObl8] = "Пловдив";
    payer_[shell::kOwnerObst8] = "Пловдив";
    payer_[shell::kOwnerNM8] = "Пловдив";
    payer_[shell::kOwnerAddr8] = "ж.к.";
    payer_[shell::kOwnerAddrName8] = "Тракия";
    payer_[shell::kOwnerAddrBl8] = "бл.";
    payer_[shell::kOwnerAddrNo8] = "12";
    payer_[shell::kOwnerAddrVh8] = "А";
    payer_[shell::kOwnerPhone] = "02 123";
    payer_[shell::kOwnerEMail] = "a@b.bg";
    payer_[shell::kAuthorizedPersonName] = "Иван Иванов";
    payer_[shell::kAuthorizedPersonID] = "7501010005";
    payer_[shell::kStatus] = "Active";
    Save();
  }
  void Save() {
    settings::SavePayerRecord(payer_);
    shell::PayerData = payer_;
  }

  TempDir dir_;
  shell::PayerRecord payer_;
};

TEST_F(ReportParametersTest, Report1HasTheTwentyFourParametersInOrder) {
  const ReportParams expected = {
      {"FiscalYear", "2024"},
      {"OwnerNo", "121212123"},
      {"OwnerName", "Фирма ЕООД"},
      {"OwnerObl", "София"},
      {"OwnerObst", "Столична"},
      {"OwnerNM", "София"},
      {"OwnerPK", "1000"},
      {"OwnerAddr", "ул."},
      {"OwnerAddrName", "Витоша"},
      {"OwnerAddrBl", "№"},
      {"OwnerAddrNo", "15"},
      {"OwnerAddrVh", ""},
      {"OwnerAddrEt", "3"},
      {"OwnerAddrAp", ""},
      {"OwnerPhone", "02 123"},
      {"OwnerEMail", "a@b.bg"},
      {"AuthorizedPersonName", "Иван Иванов"},
      {"AuthorizedPersonID", "7501010005"},
      {"AppVerNo", "ver. 7.0 (2019)"},
      {"OwnerStopped", ""},
      {"OwnerTarget", ""},
      {"RecordCount", "12"},
      {"sumf08", "350.50"},
      {"sumf09", "10.00"},
  };
  EXPECT_EQ(Report1Params(12, "350.50", "10.00"), expected);
}

TEST_F(ReportParametersTest, StatusSetsTheTwoMarks) {
  struct Case {
    const char *status;
    bool set;
    const char *stopped, *target;
  };
  static const Case kCases[] = {
      {"Active", true, "", ""},          {"Stopped", true, "x", ""}, {"Target", true, "", "x"},
      {"StoppedTarget", true, "x", "x"}, {"Closed", false, "", ""},  {"", false, "", ""},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.status);
    payer_[shell::kStatus] = c.status;
    Save();
    const ReportParams params = Report1Params(0, "0.00", "0.00");
    ui::ReportRenderer renderer;
    SetReportParams(renderer, params);
    EXPECT_EQ(renderer.HasParam("OwnerStopped"), c.set);
    EXPECT_EQ(renderer.HasParam("OwnerTarget"), c.set);
    EXPECT_EQ(renderer.Param("OwnerStopped"), c.stopped);
    EXPECT_EQ(renderer.Param("OwnerTarget"), c.target);
    EXPECT_EQ(params.back().name, "sumf09");
    EXPECT_EQ(renderer.ParamNames().size(), c.set ? 24 : 22);
  }
}

TEST_F(ReportParametersTest, Report2SpacesTheIdentifiersAndUsesBothAddresses) {
  const ReportParams expected = {
      {"AppVerNo", "ver. 7.0 (2019)"},
      {"OwnerName", "Фирма ЕООД"},
      {"OwnerNoEgnLnchSlNo", ""},
      {"OwnerNoBulstat", "1  2  1  2  1  2  1  2  3"},
      {"OwnerObl", "София"},
      {"OwnerObl8", "Пловдив"},
      {"OwnerObst", "Столична"},
      {"OwnerObst8", "Пловдив"},
      {"OwnerNM", "София"},
      {"OwnerNM8", "Пловдив"},
      {"OwnerAddrFull", "ул.Витоша №15 ет.3"},
      {"OwnerAddrFull8", "ж.к.Тракия бл.№12 вх.А"},
      {"AuthorizedPersonName", "Иван Иванов"},
      {"AuthorizedPersonID", "7  5  0  1  0  1  0  0  0  5"},
      {"OwnerPhone", "02 123"},
      {"OwnerEMail", "a@b.bg"},
      {"FiscalYear", "2024"},
      {"TotalPersons", "7"},
  };
  EXPECT_EQ(Report2Params("7"), expected);

  // Any other kind puts the identifier in the first box row.
  payer_[shell::kOwnerNoType] = "Служебен № от регистъра на ВЕСКОР";
  payer_[shell::kOwnerNo] = "1234567890";
  Save();
  const ReportParams other = Report2Params("");
  EXPECT_EQ(other[2], (ReportParam{"OwnerNoEgnLnchSlNo", "1  2  3  4  5  6  7  8  9  0"}));
  EXPECT_EQ(other[3], (ReportParam{"OwnerNoBulstat", ""}));
  EXPECT_EQ(other.back(), (ReportParam{"TotalPersons", ""}));
}

TEST(SpaceOutChars, PutsTwoBlanksBetweenCharacters) {
  struct Case {
    const char *in, *out;
  };
  static const Case kCases[] = {
      {"", ""}, {"1", "1"}, {"123", "1  2  3"}, {" 12 ", "1  2"}, {"АБ", "А  Б"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(SpaceOutChars(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
  }
}

}  // namespace
}  // namespace agencyfile
