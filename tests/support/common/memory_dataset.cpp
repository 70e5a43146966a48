// The in-memory test dataset; see memory_dataset.h.
#include "support/common/memory_dataset.h"

#include <cstring>
#include <stdexcept>

namespace testing_support {

using namespace xb;

TMemoryDataSet::TMemoryDataSet(std::vector<Column> columns) : columns_(std::move(columns)) {
  for (const Column &c : columns_) rowWidth_ += c.width;
}

TMemoryDataSet::~TMemoryDataSet() { Close(); }

int TMemoryDataSet::Offset(int column) const {
  int offset = 4;
  for (int i = 0; i < column; ++i) offset += columns_[i].width;
  return offset;
}

void TMemoryDataSet::AddRow(const std::vector<std::string> &values) {
  std::string bytes(rowWidth_, ' ');
  for (std::size_t i = 0; i < values.size() && i < columns_.size(); ++i)
    bytes.replace(Offset(static_cast<int>(i)) - 4, values[i].size(),
                  values[i].substr(0, columns_[i].width));
  rows_.push_back({nextId_++, bytes});
}

std::vector<std::vector<std::string>> TMemoryDataSet::Rows() const {
  std::vector<std::vector<std::string>> out;
  for (const Row &row : rows_) {
    if (row.deleted) continue;
    std::vector<std::string> values;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      std::string v = row.bytes.substr(Offset(static_cast<int>(i)) - 4, columns_[i].width);
      values.push_back(v.substr(0, v.find_last_not_of(' ') + 1));
    }
    out.push_back(values);
  }
  return out;
}

bool TMemoryDataSet::IsSequenced() const {
  if (Filtered()) return false;
  for (const Row &row : rows_)
    if (row.deleted) return false;
  return true;
}

void TMemoryDataSet::InternalOpen() {
  std::vector<TFieldDef> defs;
  for (std::size_t i = 0; i < columns_.size(); ++i)
    defs.push_back({columns_[i].name, columns_[i].type,
                    columns_[i].type == TFieldType::ftString ? columns_[i].width : 0, 0,
                    static_cast<int>(i) + 1});
  SetFieldDefs(defs);
  pos_ = -1;
}

void TMemoryDataSet::Load(int index, TRecordBuffer &buffer) {
  ++reads;
  const int id = rows_[index].id;
  std::memcpy(buffer.data.data(), &id, 4);
  buffer.data.replace(4, rowWidth_, rows_[index].bytes);
  buffer.flag = TBookmarkFlag::bfCurrent;
}

bool TMemoryDataSet::Visible(int index, TRecordBuffer &buffer) {
  if (rows_[index].deleted) return false;
  Load(index, buffer);
  return FilterAccepts(buffer);
}

TGetResult TMemoryDataSet::GetRecord(TRecordBuffer &buffer, TGetMode mode, bool) {
  const int n = static_cast<int>(rows_.size());
  int step = 1;
  switch (mode) {
    case TGetMode::gmCurrent:
      if (pos_ < 0) return TGetResult::grBOF;
      break;
    case TGetMode::gmNext:
      ++pos_;
      break;
    case TGetMode::gmPrior:
      --pos_;
      step = -1;
      break;
  }
  while (pos_ >= 0 && pos_ < n && !Visible(pos_, buffer)) pos_ += step;
  if (pos_ < 0) {
    pos_ = -1;
    return TGetResult::grBOF;
  }
  if (pos_ >= n) {
    pos_ = n;
    return TGetResult::grEOF;
  }
  GetCalcFields(buffer);
  return TGetResult::grOK;
}

void TMemoryDataSet::InternalInitRecord(TRecordBuffer &buffer) {
  const int none = 0;
  std::memcpy(buffer.data.data(), &none, 4);
  buffer.data.replace(4, rowWidth_, std::string(rowWidth_, ' '));
}

void TMemoryDataSet::InternalPost() {
  if (!failNextPost.empty()) {
    const std::string message = failNextPost;
    failNextPost.clear();
    throw EDatabaseError(message);
  }
  TRecordBuffer &buffer = ActiveBuffer();
  if (State() == TDataSetState::dsEdit) {
    int id;
    std::memcpy(&id, buffer.data.data(), 4);
    rows_[IndexOfId(id)].bytes = buffer.data.substr(4);
  } else {
    rows_.push_back({nextId_++, buffer.data.substr(4)});
    std::memcpy(buffer.data.data(), &rows_.back().id, 4);
  }
}

void TMemoryDataSet::InternalDelete() {
  int id;
  std::memcpy(&id, ActiveBuffer().data.data(), 4);
  rows_[IndexOfId(id)].deleted = true;
}

TBookmark TMemoryDataSet::GetBookmarkData(const TRecordBuffer &buffer) const {
  return buffer.data.substr(0, 4);
}

int TMemoryDataSet::IndexOfId(int id) const {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].id == id) return static_cast<int>(i);
  throw EDatabaseError("Bookmark is invalid");
}

void TMemoryDataSet::InternalGotoBookmark(const TBookmark &bookmark) {
  int id;
  if (bookmark.size() != 4) throw EDatabaseError("Bookmark is invalid");
  std::memcpy(&id, bookmark.data(), 4);
  pos_ = IndexOfId(id);
}

TFieldData TMemoryDataSet::GetFieldData(const TField &field, const TRecordBuffer &buffer) {
  const int column = field.FieldNo() - 1;
  std::string text = buffer.data.substr(Offset(column), columns_[column].width);
  text = text.substr(0, text.find_last_not_of(' ') + 1);
  if (text.empty()) return std::nullopt;
  if (field.DataType() == TFieldType::ftInteger) return static_cast<std::int64_t>(std::stoll(text));
  return text;
}

void TMemoryDataSet::SetFieldData(const TField &field, TRecordBuffer &buffer,
                                  const TFieldData &value) {
  const int column = field.FieldNo() - 1;
  std::string text = value ? field.TextOf(value) : std::string();
  text.resize(columns_[column].width, ' ');
  buffer.data.replace(Offset(column), columns_[column].width, text);
}

int TMemoryDataSet::GetRecNo() const {
  int id;
  std::memcpy(&id, ActiveRecord().data.data(), 4);
  return IndexOfId(id) + 1;
}

void TMemoryDataSet::InternalSetRecNo(int value) {
  pos_ = std::max(-1, std::min(value - 1, static_cast<int>(rows_.size())));
}

int TMemoryDataSet::GetRecordCount() const {
  int count = 0;
  for (const Row &row : rows_) count += row.deleted ? 0 : 1;
  return count;
}

}  // namespace testing_support
