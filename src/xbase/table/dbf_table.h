// TxbDBFTable: a small table object without any view, for scanning,
// searching and packing a table. It is open from creation to destruction and
// keeps a state of its own (browse, edit, insert).
//
//   TxbDBFTable t(path, /*shared=*/true, /*read_write=*/false);
//   for (t.GoTop(); !t.IsEOF(); t.SkipNext()) total += t.StringGet("F09");
#pragma once

#include <memory>
#include <string>

#include "xbase/table/dbf_object.h"

namespace xb {

class TxbDBFTable {
 public:
  // States; the values are those the program compares with.
  static constexpr int kBrowse = 2;
  static constexpr int kEdit = 3;
  static constexpr int kInsert = 4;

  // Opens the table (".DBF" added without extension) and goes to the first
  // visible record.
  TxbDBFTable(const std::string &fileName, bool shared, bool readWrite,
              const std::string &password = "");
  ~TxbDBFTable();
  TxbDBFTable(const TxbDBFTable &) = delete;
  TxbDBFTable &operator=(const TxbDBFTable &) = delete;

  int State() const { return state_; }
  const std::string &FileName() const { return fileName_; }
  bool ReadWrite() const { return readWrite_; }
  bool Shared() const { return shared_; }
  DBFObject &Table();

  // "A table is not assigned to this object" / "Dataset is not in browse mode".
  void CheckAssigned() const;
  void CheckBrowse() const;

  // Edit: lock the current record; Insert: blank a new record. PostChanges
  // writes it (rewrite or append) and returns to browse.
  void Edit();
  void Insert();
  void PostChanges();

  void GoTop();
  // The next visible record; after the last it stays on the last with EOF set.
  void SkipNext();
  bool IsEOF() const;
  void Pack();
  void SetUseDeleted(bool on);
  bool UseDeleted() const;
  // Writes a new index file and leaves it closed (every open index file is
  // closed first); the arguments are those of the table's IndexOn: `unique`
  // 0 unique, 1 duplicates; `order` 0 ascending, 1 descending, 7 and 8 the
  // same upper-casing character keys. The table stays on its record.
  void IndexOn(const std::string &fileName, const std::string &tagName,
               const std::string &keyExpression, const std::string &forExpression, int unique,
               int order);
  // Opens the index files of a ';'-separated list and selects `tagName`;
  // 0 on success (failures raise).
  int IndexOpen(const std::string &fileList, const std::string &tagName);
  // The record number of `key` in the named tag (whole key), or 0; the table
  // does not move. Records marked deleted count only with use-deleted on.
  int64_t FindInTag(const std::string &tagName, const std::string &key);
  std::string StringGet(const std::string &fieldName);
  void StringPut(const std::string &fieldName, const std::string &value);

  // The table's filter: an xBase expression, its options, on or off.
  void SetFilter(const std::string &text);
  const std::string &Filter() const { return filterText_; }
  void SetFilterOptions(bool caseInsensitive, bool partial);
  void SetFiltered(bool on);
  bool Filtered() const { return filtered_; }

  // Finds `text` in the visible records, in natural order, with the default
  // search options: letters compare in upper case; a character field matches
  // when it contains the text (a field shorter than the text never does); a
  // date field when the text starts with a digit and is the same day; a
  // number field when the text is the same number; a logical field, searched
  // alone, when the text's first letter is one of "TtYyJj" exactly when the
  // field is true; a memo field when its text contains the text.
  // fieldNo: 0 all fields, else that one (above the count: nothing found);
  // lastRecord: 0 no limit; startRecord: 0 from the first visible record,
  // else from the visible record after it. Returns the 1-based position of
  // the match in the field (1 for fields other than character), 0 when none;
  // then fieldNo and startRecord hold the field and record found and the
  // table stands on it, else the table goes back where it was.
  int SearchValue(const std::string &text, int &fieldNo, int64_t lastRecord, int64_t &startRecord);

 private:
  void ApplyFilter();
  int MatchField(int field, const std::string &upperText, bool alone);

  std::unique_ptr<DBFObject> table_;
  std::string fileName_;
  bool shared_;
  bool readWrite_;
  int state_ = kBrowse;
  std::string filterText_;
  bool filterCaseInsensitive_ = false;
  bool filterPartial_ = false;
  bool filtered_ = false;
};

}  // namespace xb
