// See index_walk.h.
#include "index_walk.h"

#include <cstdint>
#include <set>
#include <vector>

#include "fuzz_files.h"
#include "xbase/index/index_file.h"
#include "xbase/index/index_tag.h"
#include "xbase/table/db_handler.h"
#include "xbase/xbase_error.h"

namespace fuzz {
namespace {

// The visible records in the current order, from one end; at most `limit`
// (a damaged tree may lead round in circles, which is not the walk's to
// judge unless the check found the tag sound).
std::vector<int64_t> Walk(xb::XBO_dBHandler &t, bool forward, size_t limit) {
  std::vector<int64_t> records;
  t.GoToRecord(forward ? xb::kGoFirst : xb::kGoLast);
  while (!t.Eof() && !t.Bof() && t.RecordNumber() > 0 && records.size() <= limit) {
    records.push_back(t.RecordNumber());
    t.Skip(forward ? 1 : -1);
  }
  return records;
}

// The key text of the current record without trailing blanks, for a
// character tag.
std::string KeyText(xb::XBobjIndexTag &tag) {
  std::string text = tag.EvaluateKey().text;
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Searches that may fail in any way an engine error allows.
void TrySearches(xb::XBO_dBHandler &t, xb::XBobjIndexTag &tag, const std::string &text) {
  try {
    t.FindInTag(tag.Name(), text);
    t.SetExact(true);
    t.Find(text);
    t.SetExact(false);
    t.Find(text.substr(0, text.size() / 2));
  } catch (const xb::EXbaseError &) {
  }
}

}  // namespace

void WalkTag(xb::XBO_dBHandler &t, const std::string &tag_name, TagCheck check) {
  // The visible records in natural order, before the tag orders them.
  t.SetTag("");
  t.SetUseDeleted(false);
  const size_t limit = static_cast<size_t>(t.RecordCount()) + 2;
  const std::vector<int64_t> natural = Walk(t, true, limit);

  t.SetTag(tag_name);
  if (!t.CurrentTag()) return;  // a blank name selects natural order
  xb::XBobjIndexTag &tag = *t.CurrentTag();
  const std::vector<int64_t> forward = Walk(t, true, limit);
  const std::vector<int64_t> backward = Walk(t, false, limit);

  // Keys of a few records: the first, middle and last the tag showed.
  std::vector<int64_t> samples;
  if (!forward.empty()) samples = {forward.front(), forward[forward.size() / 2], forward.back()};
  for (int64_t record : samples) {
    try {
      t.GoToRecord(record);
      TrySearches(t, tag,
                  tag.KeyType() == xb::IndexKeyType::kCharacter ? KeyText(tag) : t.StringGet(1));
    } catch (const xb::EXbaseError &) {
    }
  }
  TrySearches(t, tag, "");
  TrySearches(t, tag, std::string(300, 'z'));
  if (samples.size() == 3) {
    try {
      t.GoToRecord(samples[0]);
      const std::string low = KeyText(tag);
      t.GoToRecord(samples[1]);
      t.SetRange(low, KeyText(tag));
      Walk(t, true, limit);
      t.SetRange("", "");
    } catch (const xb::EXbaseError &) {
    }
  }

  if (!check(t, tag)) return;
  // A sound tag orders every visible record once, the same both ways; one
  // that may hold every record (no FOR condition, not unique) holds them all
  // and finds every record's key.
  fuzz::Require(std::vector<int64_t>(backward.rbegin(), backward.rend()) == forward,
                "a sound tag walks differently both ways");
  fuzz::Require(std::set<int64_t>(forward.begin(), forward.end()).size() == forward.size(),
                "a sound tag shows a record twice");
  if (tag.HasFor() || tag.Unique()) return;
  fuzz::Require(forward.size() == natural.size(), "a sound tag misses visible records");
  if (tag.KeyType() != xb::IndexKeyType::kCharacter) return;
  for (int64_t record : samples) {
    t.GoToRecord(record);
    const std::string key = tag.CurrentRecordKey();
    const int64_t found = t.FindInTag(tag.Name(), KeyText(tag));
    fuzz::Require(found != 0, "a sound tag does not find a record's key");
    t.GoToRecord(found);
    fuzz::Require(tag.CurrentRecordKey() == key, "a sound tag finds a record of another key");
  }
}

void RunIndexInput(const uint8_t *data, size_t size, const std::string &extension, TagCheck check) {
  const auto parts = SplitParts(data, size, 2);
  RunFiles files;
  const std::string table_path = files.Write("table.dbf", parts[0]);
  const std::string index_path = files.Write("table." + extension, parts[1]);
  try {
    xb::XBO_dBHandler table(table_path, true, false);
    table.IndexOpen(index_path, "");
    std::vector<std::string> tags;
    for (const auto &file : table.IndexSlots()) {
      if (!file) continue;
      for (const auto &tag : file->Tags()) tags.push_back(tag->Name());
    }
    for (const std::string &tag : tags) {
      try {
        WalkTag(table, tag, check);
      } catch (const xb::EXbaseError &) {
      }
    }
  } catch (const xb::EXbaseError &) {
  }
}

}  // namespace fuzz
