// Checking an index tag's entries against the table's records.
#include "xbase/index/index_verify.h"

#include "xbase/index/index_tag.h"
#include "xbase/table/db_handler.h"

namespace xb {

void VerifyTagEntries(XBO_dBHandler &table, XBobjIndexTag &tag,
                      const std::vector<XBobjIndexKeyData> &entries,
                      std::vector<std::string> &problems) {
  // A unique tag holds each key once; equal keys stand side by side.
  if (tag.Unique()) {
    size_t first = 0;
    for (size_t i = 1; i < entries.size(); ++i) {
      if (entries[i].key != entries[first].key) {
        first = i;
        continue;
      }
      problems.push_back("record " + std::to_string(entries[i].record) + " has the same key \"" +
                         entries[i].key + "\" as record " + std::to_string(entries[first].record) +
                         " in a unique tag");
    }
  }
  table.RefreshHeader();
  const int64_t count = table.RecordCount();
  // The stored keys of each record's entries.
  std::vector<std::vector<std::string>> keys_of(static_cast<size_t>(count) + 1);
  for (const XBobjIndexKeyData &e : entries) {
    if (e.record == 0 || e.record > count) {
      problems.push_back("an entry points to record " + std::to_string(e.record) +
                         ", which is not in the table");
      continue;
    }
    keys_of[e.record].push_back(e.key);
  }
  // Left by an error too, or the table would go on writing without its indexes.
  XBO_TableStateScope indexing(table, kStateIndexing);
  for (int64_t r = 1; r <= count; ++r) {
    table.GoToRecord(r);
    const std::vector<std::string> &keys = keys_of[r];
    const std::string record = "record " + std::to_string(r);
    if (!tag.EvaluateFor()) {
      if (!keys.empty())
        problems.push_back(record + " has an entry but its FOR condition is false");
      continue;
    }
    std::string key = tag.CurrentRecordKey();
    key.resize(std::max<size_t>(key.size(), tag.KeyLength()), ' ');
    if (keys.size() > 1) {
      problems.push_back(record + " has " + std::to_string(keys.size()) + " entries");
    } else if (keys.empty()) {
      // A unique tag holds only the first record of a key.
      if (!tag.Unique() || !tag.SeekKey(key, true)) problems.push_back(record + " has no entry");
    } else if (CompareKeys(keys.front(), key) != 0) {
      problems.push_back(record + " is indexed under \"" + keys.front() +
                         "\" instead of its key \"" + key + "\"");
    }
  }
}

}  // namespace xb
