// Shared pieces of the import tests (see import_fixture.h).
#include "importfile/import_fixture.h"

#include <gtest/gtest.h>

#include "records/income_table.h"
#include "shell/app_paths.h"

namespace importfile::testing {

QString Egn(int n) {
  QString text = QStringLiteral("750101%1").arg(n, 3, 10, QLatin1Char('0'));
  static constexpr int kWeights[9] = {2, 4, 8, 5, 10, 9, 7, 3, 6};
  int sum = 0;
  for (int i = 0; i < 9; ++i) sum += text.at(i).digitValue() * kWeights[i];
  const int r = sum % 11;
  return text + QString::number(r == 10 ? 0 : r);
}

ImportHome::ImportHome() {
  shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
  EXPECT_TRUE(records::PrepareIncomeTable(nullptr));
}

QString ImportHome::TablePath() const { return shell::DataFile(shell::kIncomeTableName); }

}  // namespace importfile::testing
