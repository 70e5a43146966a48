// A small in-memory dataset for tests of the dataset framework and of the
// views bound to it: rows of fixed-width text slots in natural order, records
// deleted by a flag, the OnFilterRecord filter, and a count of record reads.
#pragma once

#include <string>
#include <vector>

#include "xbase/dataset/dataset.h"

namespace testing_support {

class TMemoryDataSet : public xb::TDataSet {
 public:
  struct Column {
    std::string name;
    xb::TFieldType type = xb::TFieldType::ftString;
    int width = 10;
  };
  explicit TMemoryDataSet(std::vector<Column> columns);
  ~TMemoryDataSet() override;

  // Adds a stored row (values as text, one per column), open or closed.
  void AddRow(const std::vector<std::string> &values);
  // Stored rows that are not deleted, as text, in natural order.
  std::vector<std::vector<std::string>> Rows() const;
  // Record reads since the last reset.
  int reads = 0;
  // Makes the next post fail with this message (once).
  std::string failNextPost;

  bool IsSequenced() const override;

 protected:
  void InternalOpen() override;
  void InternalClose() override {}
  std::size_t RecordDataSize() const override { return 4 + rowWidth_; }
  xb::TGetResult GetRecord(xb::TRecordBuffer &buffer, xb::TGetMode mode, bool doCheck) override;
  void InternalFirst() override { pos_ = -1; }
  void InternalLast() override { pos_ = static_cast<int>(rows_.size()); }
  void InternalInitRecord(xb::TRecordBuffer &buffer) override;
  void InternalPost() override;
  void InternalDelete() override;
  xb::TBookmark GetBookmarkData(const xb::TRecordBuffer &buffer) const override;
  void InternalGotoBookmark(const xb::TBookmark &bookmark) override;
  xb::TFieldData GetFieldData(const xb::TField &field, const xb::TRecordBuffer &buffer) override;
  void SetFieldData(const xb::TField &field, xb::TRecordBuffer &buffer,
                    const xb::TFieldData &value) override;
  int GetRecNo() const override;
  void InternalSetRecNo(int value) override;
  int GetRecordCount() const override;

 private:
  struct Row {
    int id;
    std::string bytes;
    bool deleted = false;
  };
  bool Visible(int index, xb::TRecordBuffer &buffer);
  void Load(int index, xb::TRecordBuffer &buffer);
  int IndexOfId(int id) const;
  int Offset(int column) const;

  std::vector<Column> columns_;
  int rowWidth_ = 0;
  std::vector<Row> rows_;
  int nextId_ = 1;
  int pos_ = -1;
};

}  // namespace testing_support
