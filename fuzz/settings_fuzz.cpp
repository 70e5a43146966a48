// libFuzzer target: the input is the settings file vedil.ini of a program
// whose home is a private folder. The payer's data are read through the
// program's own getters, the street addresses composed, every payer check
// run, and the agency file's header record and the report's parameters made
// from them. Then the values are saved and read again, and must come back as
// they were (a saved value may lose only what a value line cannot hold: line
// breaks become blanks, and blanks at its ends go).
#include <cstdint>
#include <string>

#include "agencyfile/export_file.h"
#include "agencyfile/report_parameters.h"
#include "fuzz_files.h"
#include "settings/payer_check.h"
#include "settings/payer_settings.h"
#include "settings/settings_file.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"

namespace {

// What a value becomes once written: line breaks are blanks.
QString AsWritten(QString value) {
  value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::RunFiles files;
  files.Write("vedil.ini", {reinterpret_cast<const char *>(data), size});
  shell::InitAppPaths(QString::fromStdString(files.Path("vedil")));

  const shell::PayerRecord read = settings::ReadPayerRecord();
  for (const QString &suffix : {QString(), QStringLiteral("8")}) {
    fuzz::Require(settings::ComposeAddress(suffix).size() <= 255, "an address is too long");
    fuzz::Require(settings::GetOwnerAddrBl(suffix).endsWith(QStringLiteral("№")),
                  "a block prefix without its number sign");
  }
  // Every payer check, not only up to the first that fails.
  const QString warning =
      settings::IdentifierWarning(settings::GetOwnerNoType(), settings::GetOwnerNo().size());
  for (int n = 1; n <= shell::kPayerValueCount; ++n) {
    settings::CheckPayerField(n, read, warning, 2024);
  }
  bool termination = false;
  bool successor = false;
  settings::StatusFlags(settings::GetStatus(), &termination, &successor);

  // What the export and the report make of them: the header record is
  // whole (139 characters) or refused with a message, never cut silently.
  agencyfile::HeaderValues values = agencyfile::HeaderFromSettings();
  values.total_income = 1234500;
  values.total_tax = 123450;
  const agencyfile::BuiltRecord header = agencyfile::BuildHeaderRecord(values);
  fuzz::Require(
      header.ok() ? header.text.size() == agencyfile::kRecordLength : !header.error.isEmpty(),
      "a header record neither whole nor refused");
  agencyfile::Report1Params(3, QStringLiteral("123.45"), QStringLiteral("12.34"));
  agencyfile::Report2Params(QStringLiteral("2"));

  try {
    settings::SavePayerRecord(read);
  } catch (const settings::SettingsWriteError &) {
    return 0;  // a folder that cannot be written is not the file's fault
  }
  const shell::PayerRecord again = settings::ReadPayerRecord();
  for (size_t i = 0; i < read.size(); ++i) {
    fuzz::Require(again[i] == AsWritten(read[i]).trimmed(),
                  "a saved payer value reads back changed");
  }
  return 0;
}
