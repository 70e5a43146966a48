// Checking an NTX tag page by page and record by record.
#include "xbase/index/ntx_verify.h"

#include "xbase/index/index_verify.h"
#include "xbase/index/ntx_tag.h"
#include "xbase/table/db_handler.h"

namespace xb {

NtxVerifyReport VerifyNtxTag(XBO_dBHandler &table, XBobjNTXTag &tag) {
  NtxVerifyReport report;
  tag.File().ChangedByOthers();
  NtxTree::CheckResult check = tag.Tree().Check();
  report.entries = check.entries.size();
  report.pages = check.pages;
  report.problems = std::move(check.problems);
  VerifyTagEntries(table, tag, check.entries, report.problems);
  return report;
}

}  // namespace xb
