// Feeds arbitrary bytes to the agency file checker as the file to check:
// every stage must finish without a crash, a hang or a sanitizer finding.
#include <cstddef>
#include <cstdint>

#include "agencyfile/agency_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  agencyfile::CheckOptions options;
  options.current_year = 2024;
  options.countries = [](QSet<QString> *codes, QString *) {
    *codes = {QStringLiteral("BG"), QStringLiteral("DE"), QStringLiteral("GR")};
    return true;
  };
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const agencyfile::CheckResult result = agencyfile::CheckAgencyFile(
      agencyfile::AgencySource::Memory(bytes, QStringLiteral("fuzz.txt")), options);
  // A correct verdict needs every stage passed.
  if (result.verdict == agencyfile::Verdict::kCorrect &&
      result.logical.state != agencyfile::StageState::kPassed) {
    __builtin_trap();
  }
  return 0;
}
