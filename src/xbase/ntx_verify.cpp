// Checking an NTX tag page by page and record by record.
#include "xbase/ntx_verify.h"

#include "xbase/db_handler.h"
#include "xbase/ntx_tag.h"

namespace xb {

NtxVerifyReport VerifyNtxTag(XBO_dBHandler &table, XBobjNTXTag &tag) {
  NtxVerifyReport report;
  tag.File().ChangedByOthers();
  NtxTree::CheckResult check = tag.Tree().Check();
  report.entries = check.entries.size();
  report.pages = check.pages;
  report.problems = std::move(check.problems);

  table.RefreshHeader();
  const int64_t count = table.RecordCount();
  // The stored keys of each record's entries.
  std::vector<std::vector<std::string>> keys_of(static_cast<size_t>(count) + 1);
  for (const XBobjIndexKeyData &e : check.entries) {
    if (e.record == 0 || e.record > count) {
      report.problems.push_back("an entry points to record " + std::to_string(e.record) +
                                ", which is not in the table");
      continue;
    }
    keys_of[e.record].push_back(e.key);
  }
  const int saved_state = table.TableState();
  table.SetTableState(kStateIndexing);
  for (int64_t r = 1; r <= count; ++r) {
    table.GoToRecord(r);
    const std::vector<std::string> &keys = keys_of[r];
    const std::string record = "record " + std::to_string(r);
    if (!tag.EvaluateFor()) {
      if (!keys.empty()) {
        report.problems.push_back(record + " has an entry but its FOR condition is false");
      }
      continue;
    }
    std::string key = tag.CurrentRecordKey();
    key.resize(tag.KeyLength(), ' ');
    if (keys.size() > 1) {
      report.problems.push_back(record + " has " + std::to_string(keys.size()) + " entries");
    } else if (keys.empty()) {
      // A unique tag holds only the first record of a key.
      if (!tag.Unique() || tag.Search(key, true) == 0) {
        report.problems.push_back(record + " has no entry");
      }
    } else if (CompareKeys(keys.front(), key) != 0) {
      report.problems.push_back(record + " is indexed under \"" + keys.front() +
                                "\" instead of its key \"" + key + "\"");
    }
  }
  table.SetTableState(saved_state);
  return report;
}

}  // namespace xb
