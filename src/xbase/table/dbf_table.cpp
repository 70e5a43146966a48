// The simple table object; see dbf_table.h.
#include "xbase/table/dbf_table.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "xbase/dataset_messages.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/file/short_date.h"
#include "xbase/file/text_case.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

constexpr int kSearchStep = 21;  // the progress step of a search

bool IsLogicTrue(char c) { return std::string_view("TtYyJj").find(c) != std::string_view::npos; }

std::optional<long double> ReadNumber(const std::string &text) {
  std::string t = text;
  const auto b = t.find_first_not_of(' ');
  if (b == std::string::npos) return std::nullopt;
  t = t.substr(b, t.find_last_not_of(' ') - b + 1);
  for (char &c : t)
    if (c == ',') c = '.';
  char *end = nullptr;
  errno = 0;
  const long double v = std::strtold(t.c_str(), &end);
  if (*end != '\0' || errno != 0) return std::nullopt;
  return v;
}

std::optional<int32_t> ReadDate(const std::string &text) {
  if (text.size() == 8 && text.find_first_not_of("0123456789") == std::string::npos) {
    const int y = std::atoi(text.substr(0, 4).c_str()), m = std::atoi(text.substr(4, 2).c_str()),
              d = std::atoi(text.substr(6, 2).c_str());
    if (m >= 1 && m <= 12 && d >= 1 && d <= 31) return JulianFromDate(y, m, d);
  }
  return ShortDateToJulian(text);
}

}  // namespace

TxbDBFTable::TxbDBFTable(const std::string &fileName, bool shared, bool readWrite,
                         const std::string &password)
    : table_(std::make_unique<DBFObject>(fileName, shared, readWrite, password)),
      fileName_(table_->FileName()),
      shared_(shared),
      readWrite_(readWrite) {
  table_->GoToRecord(kGoFirst);
}

TxbDBFTable::~TxbDBFTable() = default;

DBFObject &TxbDBFTable::Table() {
  CheckAssigned();
  return *table_;
}

void TxbDBFTable::CheckAssigned() const {
  if (!table_) throw EXbaseError(dsmsg::kNotAssigned);
}

void TxbDBFTable::CheckBrowse() const {
  CheckAssigned();
  if (state_ != kBrowse) throw EXbaseError(dsmsg::kNotBrowse);
}

void TxbDBFTable::Edit() {
  CheckBrowse();
  if (!table_->LockRecord()) RaiseError(msg::kCanNotLock, {fileName_});
  state_ = kEdit;
}

void TxbDBFTable::Insert() {
  CheckBrowse();
  table_->BlankRecord();
  state_ = kInsert;
}

void TxbDBFTable::PostChanges() {
  CheckAssigned();
  if (state_ == kEdit) {
    table_->WriteRecord(table_->RecordNumber());
    state_ = kBrowse;
    table_->UnlockRecord();
  } else if (state_ == kInsert) {
    table_->AppendRecord();
    state_ = kBrowse;
  }
}

void TxbDBFTable::GoTop() {
  CheckBrowse();
  table_->GoToRecord(kGoFirst);
}

void TxbDBFTable::SkipNext() {
  CheckBrowse();
  if (table_->Eof()) return;
  const int64_t here = table_->RecordNumber();
  table_->GoToRecord(kGoNext);
  if (table_->Eof() && here >= 1) {
    table_->GoToRecord(here);  // back on the last record, which keeps EOF
    table_->MarkEof();
  }
}

bool TxbDBFTable::IsEOF() const { return !table_ || table_->Eof(); }

void TxbDBFTable::Pack() {
  CheckBrowse();
  table_->Pack();
}

void TxbDBFTable::SetUseDeleted(bool on) { Table().SetUseDeleted(on); }
bool TxbDBFTable::UseDeleted() const { return table_ && table_->UseDeleted(); }

void TxbDBFTable::IndexOn(const std::string &fileName, const std::string &tagName,
                          const std::string &keyExpression, const std::string &forExpression,
                          int unique, int order) {
  CheckBrowse();
  const int64_t here = table_->RecordNumber();
  const bool eof = table_->Eof();
  table_->IndexOn(fileName, tagName, keyExpression, forExpression, unique, order);
  // The build read every record; come back to the one the table stood on.
  if (here >= 1 && here <= table_->RecordCount()) {
    table_->GoToRecord(here);
    if (eof) table_->MarkEof();
  } else {
    table_->GoToRecord(kGoFirst);
  }
}

int TxbDBFTable::IndexOpen(const std::string &fileList, const std::string &tagName) {
  CheckBrowse();
  table_->IndexOpen(fileList, tagName);
  return 0;
}

int64_t TxbDBFTable::FindInTag(const std::string &tagName, const std::string &key) {
  return Table().FindInTag(tagName, key);
}

std::string TxbDBFTable::StringGet(const std::string &fieldName) {
  return Table().StringGet(fieldName);
}

void TxbDBFTable::StringPut(const std::string &fieldName, const std::string &value) {
  Table().StringPut(fieldName, value);
}

void TxbDBFTable::SetFilter(const std::string &text) {
  filterText_ = text;
  ApplyFilter();
}

void TxbDBFTable::SetFilterOptions(bool caseInsensitive, bool partial) {
  filterCaseInsensitive_ = caseInsensitive;
  filterPartial_ = partial;
  ApplyFilter();
}

void TxbDBFTable::SetFiltered(bool on) {
  filtered_ = on;
  ApplyFilter();
}

void TxbDBFTable::ApplyFilter() {
  CheckAssigned();
  table_->SetFilter(filtered_ ? filterText_ : std::string(), filterCaseInsensitive_,
                    filterPartial_);
  table_->GoToRecord(kGoFirst);
}

int TxbDBFTable::MatchField(int field, const std::string &upperText, bool alone) {
  DBFObject &t = *table_;
  switch (t.FieldType(field)) {
    case 'C': {
      const std::string value = UpperCp1251(t.FieldGet(field));
      if (value.size() < upperText.size()) return 0;
      const auto at = value.find(upperText);
      return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
    }
    case 'D': {
      if (upperText[0] < '0' || upperText[0] > '9') return 0;
      const auto wanted = ReadDate(upperText);
      if (!wanted) return 0;
      try {
        return t.DateGet(field) == *wanted ? 1 : 0;
      } catch (const EXbaseError &) {
        return 0;  // a field that holds no date matches no date
      }
    }
    case 'N':
    case 'F': {
      const auto wanted = ReadNumber(upperText);
      if (!wanted) return 0;
      try {
        return t.NumberGet(field) == *wanted ? 1 : 0;
      } catch (const EXbaseError &) {
        return 0;
      }
    }
    case 'L':
      if (!alone) return 0;
      return IsLogicTrue(upperText[0]) == t.LogicGet(field) ? 1 : 0;
    case 'M': {
      try {
        return UpperCp1251(t.StringGet(field)).find(upperText) != std::string::npos ? 1 : 0;
      } catch (const EXbaseError &) {
        return 0;
      }
    }
    default:
      return 0;
  }
}

int TxbDBFTable::SearchValue(const std::string &text, int &fieldNo, int64_t lastRecord,
                             int64_t &startRecord) {
  CheckAssigned();
  DBFObject &t = *table_;
  if (text.empty() || fieldNo < 0 || fieldNo > t.FieldCount()) return 0;
  const std::string upper = UpperCp1251(text);
  const int64_t origin = t.RecordNumber();
  int position = 0;
  int foundField = 0;
  int64_t visited = 0;
  {
    XBO_UseDeletedScope hide_deleted(t, false);
    const int64_t count = t.RecordCount();
    t.DiskProgress(-1, kSearchStep, count);
    if (startRecord <= 0) {
      t.GoToRecord(kGoFirst);
    } else {
      t.GoToRecord(startRecord);
      t.GoToRecord(kGoNext);
    }
    while (!t.Eof() && (lastRecord <= 0 || t.RecordNumber() <= lastRecord)) {
      t.DiskProgress(kSearchStep, ++visited, 0);
      for (int f = fieldNo == 0 ? 1 : fieldNo; f <= (fieldNo == 0 ? t.FieldCount() : fieldNo);
           ++f) {
        position = MatchField(f, upper, fieldNo != 0);
        if (position > 0) {
          foundField = f;
          break;
        }
      }
      if (position > 0) break;
      t.GoToRecord(kGoNext);
    }
  }
  t.DiskProgress(0, visited, 0);
  if (position > 0) {
    fieldNo = foundField;
    startRecord = t.RecordNumber();
  } else if (origin >= 1 && origin <= t.RecordCount()) {
    t.GoToRecord(origin);
  }
  return position;
}

}  // namespace xb
