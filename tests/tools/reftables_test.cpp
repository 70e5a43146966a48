// The reference table generator: its country import reproduces the committed
// source list from Debian's iso-codes files, and it refuses files that are not
// what it expects.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "support/common/temp_dir.h"

namespace {

const QString kTool = QStringLiteral(VEDIL_BINARY_DIR "/vedil-reftables");
const QString kIsoJson = QStringLiteral("/usr/share/iso-codes/json/iso_3166-1.json");
const QString kBulgarianMo = QStringLiteral("/usr/share/locale/bg/LC_MESSAGES/iso_3166-1.mo");

struct ToolRun {
  int exit_code;
  QByteArray out, err;
};

ToolRun RunTool(const QStringList &args) {
  QProcess process;
  process.start(kTool, args);
  process.waitForFinished(60000);
  return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

TEST(Reftables, CountryImportReproducesTheCommittedSource) {
  if (!QFile::exists(kIsoJson) || !QFile::exists(kBulgarianMo)) {
    GTEST_SKIP() << "Debian's iso-codes package is not installed";
  }
  QFile committed(QStringLiteral(VEDIL_SOURCE_DIR "/tools/reftables/sources/countries.tsv"));
  ASSERT_TRUE(committed.open(QIODevice::ReadOnly));
  const ToolRun run = RunTool({"countries", kIsoJson, kBulgarianMo});
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();
  EXPECT_EQ(run.out, committed.readAll());
}

TEST(Reftables, RefusesACatalogueWithABadMagicNumber) {
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.File("bad.mo"), std::string(40, '\x01'));
  const ToolRun run = RunTool({"countries", kIsoJson, QString::fromStdString(dir.File("bad.mo"))});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.err.contains("not a message catalogue")) << run.err.constData();
}

TEST(Reftables, RefusesACatalogueWhoseStringsLieOutsideIt) {
  testing_support::TempDir dir;
  // Magic, revision, one string, tables at 20 and 28; the original string
  // claims 100 bytes at offset 1000.
  std::string mo("\xDE\x12\x04\x95", 4);
  for (uint32_t v : {0u, 1u, 20u, 28u, 100u, 1000u, 0u, 0u}) {
    mo.append(reinterpret_cast<const char *>(&v), 4);
  }
  testing_support::WriteFileBytes(dir.File("short.mo"), mo);
  const ToolRun run =
      RunTool({"countries", kIsoJson, QString::fromStdString(dir.File("short.mo"))});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.err.contains("outside the file")) << run.err.constData();
}

}  // namespace
