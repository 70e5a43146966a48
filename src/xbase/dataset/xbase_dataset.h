// TXbaseDataSet: a DBF table as a dataset. It owns the table object while
// open, lays out each record buffer as the table's record followed by an
// information block, maps the table's fields to dataset fields, translates
// text between the Windows (1251) and the OEM (866) code page when
// TranslateASCII is set, and adds direct reads and writes by field name.
//
// Record buffer (TRecordBuffer::data):
//   OFFSET      SIZE  DESCRIPTION
//   0           L     the table's record (L = record length), deletion flag first
//   L           1     0x1A, the end mark the table keeps behind its record
//   L + 1       4     record number (int32, host order)
//   L + 5       1     bookmark flag (TBookmarkFlag)
//   L + 6       4     bookmark: the record number again (int32, host order)
// Calculated fields live in TRecordBuffer::calc.
//
//   TXbaseDataSet ds;
//   ds.SetDatabaseName(dataDir);
//   ds.SetTableName("dvel.dbf");
//   ds.TranslateASCII = false;
//   ds.Open();
//   ds.Edit(); ds.StringPut("F04", "7501010010"); ds.Post();
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "xbase/dataset/dataset.h"
#include "xbase/dataset/xbase_alias.h"
#include "xbase/table/dbf_object.h"

namespace xb {

// Dataset field type of integer N fields of width >= 10.
enum class TxbIntFields { asInteger, asLargeInt, asFloat };

// One open tag as the dataset lists it: name, key expression, the fields the
// key names (upper-case, each followed by ';') and its flags.
struct TXbaseIndexDef {
  std::string name;
  std::string expression;
  std::string fields;
  std::string forExpression;
  bool unique = false;
  bool descending = false;
};

// Splits an index file list at commas and semicolons outside double quotes
// (the quotes are dropped; blanks and separators at the start and after each
// separator skipped; each name trimmed).
std::vector<std::string> SplitIndexList(const std::string &list);

class TXbaseDataSet : public TDataSet {
 public:
  TXbaseDataSet();
  ~TXbaseDataSet() override;

  // ---- Properties --------------------------------------------------------------
  static const char *About() { return "TXbaseDataSet: DBF tables as datasets"; }
  bool AutoFlush = false;
  bool ExactCount = false;
  bool Exclusive = false;
  TxbIntFields LargeIntegerAs = TxbIntFields::asInteger;
  TxbLokProtocol LockProtocol = TxbLokProtocol::Default;
  bool TranslateASCII = true;
  bool UseDeleted = false;
  uint32_t UserID = 0;
  std::function<void(int64_t, int64_t, int64_t)> OnStatus;

  const std::string &DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const std::string &name);  // closed only
  const std::string &TableName() const { return tableName_; }
  void SetTableName(const std::string &name);  // closed only; clears IndexFiles
  const std::string &EncryptionKey() const { return encryptionKey_; }
  void SetEncryptionKey(const std::string &key);  // closed only
  // The table's directory (DatabaseName by the alias rule) with a trailing '/'.
  std::string Directory() const { return DatasetDirectory(databaseName_); }
  // Directory + TableName (".DBF" added when it has no extension).
  std::string TablePath() const;
  // ReadOnly (the framework's) opens the table read-only; a table that is
  // not open for writing cannot be modified either.
  bool CanModify() const override;

  // Index files to open with the table and the controlling tag. The names
  // are resolved (".ndx" added without extension, the dataset directory
  // without directory) and must exist; the table opens each by its
  // extension. Changing the list while open opens the new list and selects
  // IndexName again (cleared when the new files lack it: "Cannot find index
  // tag %s", natural order). Selecting a tag keeps the record when it is in
  // the tag, else goes to the first record; an unknown tag leaves the order
  // as it was.
  const std::vector<std::string> &IndexFiles() const { return indexFiles_; }
  void SetIndexFiles(const std::vector<std::string> &files);
  const std::string &IndexName() const { return indexName_; }
  void SetIndexName(const std::string &tag);
  // The tags of the open index files, in file order.
  std::vector<TXbaseIndexDef> IndexDefs() const;
  // The number of open tags, and a tag's name and key expression by ordinal
  // (0-based; empty out of range).
  int TagCount() const;
  std::string TagName(int ordinal) const;
  std::string TagExpression(int ordinal) const;

  // ---- Direct operations ---------------------------------------------------------
  // IndexOpen("a.ntx; b.ntx", "TAG"): ends a pending edit, then sets
  // IndexFiles from the list and IndexName.
  void IndexOpen(const std::string &fileList, const std::string &tagName);
  // Limits the current tag to keys from `low` to `high` (empty: no limit;
  // `options` as IndexRangeOption says), both translated to OEM first when
  // TranslateASCII is set, and goes to the first record; nothing happens
  // without a current tag.
  void SetRange(const std::string &low, const std::string &high, int options = 0);
  // The table's formatted text of the field in the current state's record,
  // never translated.
  std::string StringGet(const std::string &fieldName);
  // Edit, insert or set-key state only ("Dataset not in edit or insert mode").
  void StringPut(const std::string &fieldName, const std::string &text);
  std::string FieldGet(const std::string &fieldName);
  void FieldPut(const std::string &fieldName, const std::string &text);
  // Recalls the active record ("Cannot recall the record").
  void Undelete();
  bool IsSequenced() const override;
  // The table object while open (nullptr while closed).
  DBFObject *Table() const { return table_.get(); }

  // Windows <-> OEM text when TranslateASCII is set; else unchanged.
  std::string Translate(const std::string &text, bool toOem) const override;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  std::size_t RecordDataSize() const override;
  TGetResult GetRecord(TRecordBuffer &buffer, TGetMode mode, bool doCheck) override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalInitRecord(TRecordBuffer &buffer) override;
  void InternalEdit() override;
  void InternalPost() override;
  void InternalCancel() override;
  void InternalDelete() override;
  void InternalRefresh() override;
  TBookmark GetBookmarkData(const TRecordBuffer &buffer) const override;
  void InternalGotoBookmark(const TBookmark &bookmark) override;
  TFieldData GetFieldData(const TField &field, const TRecordBuffer &buffer) override;
  void SetFieldData(const TField &field, TRecordBuffer &buffer, const TFieldData &value) override;
  int GetRecNo() const override;
  void InternalSetRecNo(int value) override;
  int GetRecordCount() const override;
  void FilterChanged() override;
  bool LocateRecord(const std::string &keyFields, const std::vector<std::string> &values,
                    TLocateOptions options) override;
  // In the set-key state only the fields of the current tag's key may be set
  // ("Field '%s' is not indexed and cannot be modified").
  void CheckFieldWritable(const TField &field) override;

 private:
  DBFObject &Tab() const;
  // The buffer of the current state, for a direct operation (XBO_RecordBufferScope
  // points the table at it).
  char *DirectBuffer();
  void CheckDirect() const;
  int32_t RecordOf(const TRecordBuffer &buffer) const;
  void Stamp(TRecordBuffer &buffer, int32_t record, TBookmarkFlag flag) const;
  std::vector<TFieldDef> MakeFieldDefs() const;
  std::vector<std::string> ResolveIndexFiles(const std::vector<std::string> &files) const;
  // Opens `files` on the open table and selects `tag`.
  void OpenIndexes(const std::vector<std::string> &files, const std::string &tag);
  // Makes `tag` the table's current tag and moves the dataset into its order.
  void SelectTag(const std::string &tag);
  std::vector<XBobjIndexTag *> OpenTags() const;

  std::unique_ptr<DBFObject> table_;
  std::string databaseName_;
  std::string tableName_;
  std::string encryptionKey_;
  std::vector<std::string> indexFiles_;
  std::string indexName_;
  bool beforeFirst_ = false;
  bool afterLast_ = false;
};

}  // namespace xb
