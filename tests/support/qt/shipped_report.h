// The payer, the rows and the code names that the shipped reports show, for
// tests that render them. Header only.
#pragma once

#include <QHash>
#include <QString>

#include "support/qt/report_rows.h"
#include "ui/report_renderer.h"

namespace testing_support {

inline const QString kShippedProject = QStringLiteral(VEDIL_SOURCE_DIR "/data/vedil.rav");

struct ShippedFixture {
  ShippedFixture() {
    params = {{"FiscalYear", "2024"},
              {"OwnerNo", "121212123"},
              {"OwnerName", "Примерна Фирма ЕООД"},
              {"OwnerObl", "София-град"},
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
              {"OwnerAddrFull", "ул.Витоша №15 ет.3"},
              {"OwnerAddrFull8", "бул.България №1"},
              {"OwnerObl8", "Пловдив"},
              {"OwnerPhone", "02 123 4567"},
              {"OwnerEMail", "office@primer.bg"},
              {"AuthorizedPersonName", "Иван Петров Иванов"},
              {"AuthorizedPersonID", "7  5  0  1  0  1  0  0  0  5"},
              {"OwnerNoEgnLnchSlNo", ""},
              {"OwnerNoBulstat", "1  2  1  2  1  2  1  2  3"},
              {"AppVerNo", "ver. 7.0 (2019)"},
              {"OwnerStopped", "x"},
              {"OwnerTarget", ""},
              {"RecordCount", "40"},
              {"sumf08", "4020.00"},
              {"sumf09", "402.00"},
              {"TotalPersons", "38"}};
    incomes.Add({{"CODE", "101"}, {"NAME", "Доходи от трудови правоотношения"}});
    incomes.Add({{"CODE", "820"}, {"NAME", "Доходи от етажна собственост"}});
    for (int i = 0; i < 40; ++i) {
      rows.Add({{"F02", i % 7 == 0 ? "1" : "0"},
                {"F03", i % 7 == 0 ? "2" : "0"},
                {"F04", QString("75010100%1").arg(i % 10, 2, 10, QChar('0'))},
                {"F05", QString("Лице Номер %1 Иванов-Петров").arg(i + 1)},
                {"F06", i % 7 == 0 ? "DE" : ""},
                {"F07", i % 7 == 0 ? "Berlin, Hauptstrasse 1" : ""},
                {"F08", "100.50"},
                {"F09", "10.05"},
                {"F10", i == 39 ? "820" : "101"}});
    }
  }
  void Apply(ui::ReportRenderer &renderer) {
    renderer.SetProjectFile(kShippedProject);
    for (auto it = params.begin(); it != params.end(); ++it)
      renderer.SetParam(it.key(), it.value());
    renderer.SetConnection("RvDataSetConnection1", &rows);
    renderer.SetConnection("RvDataSetConnection2", &incomes);
  }
  QHash<QString, ui::ReportRowSource *> Connections() {
    return {{"RvDataSetConnection1", &rows}, {"RvDataSetConnection2", &incomes}};
  }
  QHash<QString, QString> params;
  ReportRows rows, incomes;
};

}  // namespace testing_support
