// libFuzzer target: the input is an agency file to check, written to a
// private folder and checked as the checker window checks a file the user
// picked. Every stage must finish without a crash, a hang or a sanitizer
// finding, and the result must hang together: the stages run in order, a
// stage with fault lines has failed, and a correct verdict needs them all.
#include <cstddef>
#include <cstdint>

#include "agencyfile/agency_check.h"
#include "fuzz_files.h"

namespace {

using agencyfile::StageState;

bool Ran(const agencyfile::StageMark &mark) { return mark.state != StageState::kNotRun; }
bool Passed(const agencyfile::StageMark &mark) { return mark.state == StageState::kPassed; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::RunFiles files;
  const std::string path = files.Write("agency.txt", {reinterpret_cast<const char *>(data), size});
  agencyfile::CheckOptions options;
  options.current_year = 2024;
  options.countries = [](QSet<QString> *codes, QString *) {
    *codes = {QStringLiteral("BG"), QStringLiteral("DE"), QStringLiteral("GR")};
    return true;
  };
  const agencyfile::CheckResult r = agencyfile::CheckAgencyFile(
      agencyfile::AgencySource::File(QString::fromStdString(path)), options);

  fuzz::Require(!Ran(r.sequence) || Passed(r.lengths), "a stage ran after a failed one");
  fuzz::Require(!Ran(r.formal) || Passed(r.sequence), "a stage ran after a failed one");
  fuzz::Require(!Ran(r.logical) || Passed(r.formal), "a stage ran after a failed one");
  fuzz::Require(r.formal_faults.isEmpty() || r.formal.state == StageState::kFailed,
                "formal faults under a passed formal control");
  fuzz::Require(r.logical_faults.isEmpty() || r.logical.state == StageState::kFailed,
                "logical faults under a passed logical control");
  const bool all_passed =
      Passed(r.lengths) && Passed(r.sequence) && Passed(r.formal) && Passed(r.logical);
  fuzz::Require((r.verdict == agencyfile::Verdict::kCorrect) == all_passed,
                "the verdict does not follow the stages");
  return 0;
}
