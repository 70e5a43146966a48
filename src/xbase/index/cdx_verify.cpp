// Checking a CDX tag node by node and record by record.
#include "xbase/index/cdx_verify.h"

#include "xbase/index/cdx_tag.h"
#include "xbase/table/db_handler.h"

namespace xb {

IndexVerifyReport VerifyCdxTag(XBO_dBHandler &table, XBobjCDXTag &tag) {
  IndexVerifyReport report;
  auto &file = static_cast<XBobjCDXFile &>(tag.File());
  file.ChangedByOthers();
  for (const std::string &problem : file.Directory().Tree().Check().problems) {
    report.problems.push_back("tag directory: " + problem);
  }
  file.Directory().DropPages();
  CdxTree::CheckResult check = tag.Tree().Check();
  report.entries = check.entries.size();
  report.pages = check.nodes;
  for (std::string &problem : check.problems) report.problems.push_back(std::move(problem));
  VerifyTagEntries(table, tag, check.entries, report.problems);
  return report;
}

}  // namespace xb
