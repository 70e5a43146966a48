// XBobjIndexTag: one key order of an index file, whatever the format. It
// holds the key and FOR expressions, the key's type and length, the flags,
// the range and the cursor; a format supplies the page work (NTX here, CDX
// alike) and the shared behaviour lives here: key making, navigation with a
// range, searching, and keeping the tag current after appends and rewrites.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "xbase/expr/expr_handler.h"
#include "xbase/index/index_key.h"

namespace xb {

class XBobjIndexFile;

// Options of SetRange for the high key, a bit set. Without them a high key
// shorter than the tag's keys takes in every key that begins with it, and a
// key equal to the high key is in range.
enum IndexRangeOption : int {
  // The high key is compared as a whole key, padded with blanks: a key that
  // merely begins with a shorter high key lies beyond it.
  kRangeHighWhole = 1,
  // A key equal to the high key lies beyond the range.
  kRangeHighExclusive = 2,
};

// Key types of a tag, as stored in key letters.
enum class IndexKeyType : char { kCharacter = 'C', kNumeric = 'N', kDate = 'D' };

class XBobjIndexTag {
 public:
  XBobjIndexTag(XBobjIndexFile &file, std::string name);
  virtual ~XBobjIndexTag();
  XBobjIndexTag(const XBobjIndexTag &) = delete;
  XBobjIndexTag &operator=(const XBobjIndexTag &) = delete;

  // Key bytes of an expression value: `trim` for entries (a search key keeps
  // its trailing blanks).
  virtual std::string NormalizeKey(const ExpValue &value, bool trim) const = 0;
  // Learns the key's type by evaluating the key expression once.
  virtual void InitTag();
  // Adds an entry (the key already normalized); the cursor rests on it.
  virtual void InsertKey(const std::string &key, uint32_t record) = 0;
  // Reads the root position from the tag header again.
  virtual void ReadRoot() = 0;
  virtual void ReadTagHeader() = 0;
  virtual void WriteTagHeader() = 0;
  virtual void CompileKeyExpr(const std::string &text);
  virtual void CompileForExpr(const std::string &text);
  virtual ExpValue EvaluateKey();
  // True when the tag has no FOR condition or it holds for the current record.
  virtual bool EvaluateFor();

  // The format's cursor over the stored order: record numbers, 0 at the ends.
  virtual uint32_t StepFirst() = 0;
  virtual uint32_t StepLast() = 0;
  virtual uint32_t StepNext() = 0;
  virtual uint32_t StepPrior() = 0;
  // True when StepNext (`forward`) or StepPrior would land on another entry
  // of the leaf page the cursor stands on: a step that reads nothing from
  // the file.
  virtual bool StepStaysInLeaf(bool forward) const = 0;
  // First entry not ordering before `key` (prefix comparison); true when it
  // matches with `exact`.
  virtual bool SeekKey(const std::string &key, bool exact) = 0;
  virtual const XBobjIndexKeyData *CurrentEntry() const = 0;
  virtual bool LocateEntry(const std::string &key, uint32_t record) = 0;
  virtual bool RemoveKey(const std::string &key, uint32_t record) = 0;
  // Forgets the cursor and every page read from the file: another process
  // or table object changed it, or it was rebuilt.
  virtual void DropPages() = 0;
  // Forgets the cursor only (deselected, a search done, the table flushed):
  // the pages read stay for the next search while the file is unchanged.
  virtual void ReleaseCursor() = 0;

  // Navigation codes -1 next, -2 prior, -3 first, -4 last, -5 current,
  // inside the range; returns the entry's record number or 0 at either end.
  uint32_t Navigate(int code);
  // Puts the cursor back on the entry of `record`, whose current key is
  // `key` (normalized with trimming); false when the tag has no such entry.
  bool SyncTo(const std::string &key, uint32_t record);

  // Searches a key given as text (normalized without trimming): the record
  // number of the first matching entry inside the range, or 0. The cursor
  // rests where the search ended.
  uint32_t Search(const std::string &text, bool exact);
  // Key bytes of a search text for this tag's key type.
  std::string SearchKey(const std::string &text) const;
  // True when a stored (or record's) key matches a search key made by
  // SearchKey; a format whose search keys cover only part of the stored key
  // compares that part.
  virtual bool MatchesSearch(const std::string &stored, const std::string &search,
                             bool exact) const {
    return KeyMatches(stored, search, exact);
  }

  // Limits navigation to keys from `low` to `high` (texts, normalized
  // without trimming; empty means no limit), the high key treated as
  // `options` (IndexRangeOption) say. Goes to the first entry in range.
  uint32_t SetRange(const std::string &low, const std::string &high, int options = 0);
  bool InRange(const std::string &key) const;
  bool HasRange() const { return !range_low_.empty() || !range_high_.empty(); }

  // Keeps the tag current after the table appended (`appended`) or
  // rewrote record `record`; the current record buffer holds the new
  // contents, the table's OriginalRecord the old ones.
  void UpdateRecord(uint32_t record, bool appended);
  // Removes the entry of record `record`, whose contents are in the table's
  // record buffer, if the tag holds one.
  void RemoveRecord(uint32_t record);
  // The key of the table's current record buffer, normalized for an entry.
  std::string CurrentRecordKey();
  // Walks the table in physical order for a build (deleted records included,
  // filters ignored, progress reported) and hands `add` the key and number
  // of every record whose FOR condition holds. The table's state is kept;
  // it is left on the last record walked. A key of character fields joined
  // by '+' without a FOR condition, in a format with PlainTextKeys, is taken
  // from the record bytes read in large blocks, and the table does not move.
  void CollectKeys(const std::function<void(const std::string &key, uint32_t record)> &add);
  // True when the format's key of a text is the text itself, cut to the key
  // length (upper-cased in a "general" file) and padded with blanks, so that
  // a key of joined character fields may be read from the record bytes.
  virtual bool PlainTextKeys() const { return false; }

  const std::string &Name() const { return name_; }
  const std::string &KeyExpression() const { return key_text_; }
  const std::string &ForExpression() const { return for_text_; }
  // The table fields the key expression names, upper-cased, each followed by
  // ';' ("F04;F10;" for "f04+f10").
  std::string KeyFieldList() const;
  bool HasFor() const { return !for_text_.empty(); }
  IndexKeyType KeyType() const { return key_type_; }
  uint16_t KeyLength() const { return key_length_; }
  uint16_t KeyDecimals() const { return key_decimals_; }
  bool Unique() const { return unique_; }
  bool Descending() const { return descending_; }
  XBobjIndexFile &File() { return file_; }

 protected:
  // CollectKeys' walk over the record bytes for a plain key; false (nothing
  // handed over) when the key or the format does not allow it.
  bool CollectPlainKeys(int64_t count,
                        const std::function<void(const std::string &key, uint32_t record)> &add);
  // Key type and length from an evaluated key value, for a new tag.
  void LearnKeyLayout(const ExpValue &value);
  // Raises "Variant types mismatch for compare" unless the value fits the
  // tag's key type: text (or logical, or unknown) for C, a number or date
  // for N and D.
  void CheckKeyValue(const ExpValue &value) const;
  int OrderPrefix(const std::string &stored, const std::string &search) const;

  XBobjIndexFile &file_;
  std::string name_;
  std::string key_text_;
  std::string for_text_;
  std::unique_ptr<TxbExpHandler> key_expr_;
  std::unique_ptr<TxbExpHandler> for_expr_;
  IndexKeyType key_type_ = IndexKeyType::kCharacter;
  uint16_t key_length_ = 0;
  uint16_t key_decimals_ = 0;
  bool unique_ = false;
  bool descending_ = false;
  std::string range_low_;
  std::string range_high_;
  int range_options_ = 0;
};

}  // namespace xb
