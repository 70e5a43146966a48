// Behaviour every index tag shares: keys from expressions, navigation inside
// a range, searches, and the upkeep after appends and rewrites.
#include "xbase/index/index_tag.h"

#include "xbase/expr/expr_dates.h"
#include "xbase/expr/expr_registry.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/file/text_case.h"
#include "xbase/index/index_file.h"
#include "xbase/index/plain_field_key.h"
#include "xbase/table/dbase_fld.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

bool IsNumericValue(ExpType type) {
  return type == ExpType::kNumber || type == ExpType::kInteger || type == ExpType::kDateTime;
}

}  // namespace

XBobjIndexTag::XBobjIndexTag(XBobjIndexFile &file, std::string name)
    : file_(file), name_(std::move(name)) {}

XBobjIndexTag::~XBobjIndexTag() = default;

void XBobjIndexTag::CompileKeyExpr(const std::string &text) {
  key_text_ = text;
  key_expr_ = std::make_unique<TxbExpHandler>(file_.Link(), false, file_.Table().Alias(), text);
}

void XBobjIndexTag::CompileForExpr(const std::string &text) {
  for_text_ = text;
  for_expr_.reset();
  if (!text.empty()) {
    for_expr_ = std::make_unique<TxbExpHandler>(file_.Link(), false, file_.Table().Alias(), text);
  }
}

ExpValue XBobjIndexTag::EvaluateKey() { return key_expr_->Evaluate(); }

bool XBobjIndexTag::EvaluateFor() {
  if (!for_expr_) return true;
  const ExpValue value = for_expr_->Evaluate();
  return value.type == ExpType::kBoolean && value.logic;
}

void XBobjIndexTag::InitTag() {
  const ExpValue value = EvaluateKey();
  if (value.type == ExpType::kDate) {
    key_type_ = IndexKeyType::kDate;
  } else if (IsNumericValue(value.type)) {
    key_type_ = IndexKeyType::kNumeric;
  } else {
    key_type_ = IndexKeyType::kCharacter;
  }
}

void XBobjIndexTag::LearnKeyLayout(const ExpValue &value) {
  InitTag();
  key_decimals_ = 0;
  switch (key_type_) {
    case IndexKeyType::kDate:
      key_length_ = 8;
      break;
    case IndexKeyType::kNumeric: {
      // A key that is a plain field takes the field's width and decimals.
      const std::string first_word = key_text_.substr(0, key_text_.find(' '));
      XBO_dBaseFld &table = file_.Table();
      const int field = table.FindField(first_word);
      if (field > 0) {
        key_length_ = static_cast<uint16_t>(table.FieldWidth(field));
        key_decimals_ = static_cast<uint16_t>(table.FieldDecimals(field));
      } else {
        key_length_ = 18;
        key_decimals_ = 4;
      }
      break;
    }
    case IndexKeyType::kCharacter:
      key_length_ = static_cast<uint16_t>(
          value.type == ExpType::kBoolean ? 1 : std::min<size_t>(value.text.size(), 0xFFFF));
      break;
  }
}

void XBobjIndexTag::CheckKeyValue(const ExpValue &value) const {
  bool fits = false;
  switch (key_type_) {
    case IndexKeyType::kCharacter:
      fits = value.type == ExpType::kText || value.type == ExpType::kMemo ||
             value.type == ExpType::kBoolean || value.type == ExpType::kUnknown;
      break;
    case IndexKeyType::kNumeric:
    case IndexKeyType::kDate:
      fits = IsNumericValue(value.type) || value.type == ExpType::kDate;
      break;
  }
  if (!fits) RaiseError(msg::kVariantMismatch);
}

std::string XBobjIndexTag::CurrentRecordKey() { return NormalizeKey(EvaluateKey(), true); }

void XBobjIndexTag::CollectKeys(
    const std::function<void(const std::string &key, uint32_t record)> &add) {
  XBO_dBaseFld &table = file_.Table();
  table.RefreshHeader();
  const int64_t count = table.RecordCount();
  XBO_TableStateScope indexing(table, kStateIndexing);
  table.DiskProgress(-1, 1, count);
  if (!CollectPlainKeys(count, add)) {
    for (int64_t r = 1; r <= count; ++r) {
      table.GoToRecord(r);
      table.DiskProgress(1, r, 0);
      if (EvaluateFor()) add(CurrentRecordKey(), static_cast<uint32_t>(r));
    }
  }
  table.DiskProgress(0, 0, 0);
}

bool XBobjIndexTag::CollectPlainKeys(
    int64_t count, const std::function<void(const std::string &key, uint32_t record)> &add) {
  if (!PlainTextKeys() || HasFor() || key_type_ != IndexKeyType::kCharacter || !key_expr_) {
    return false;
  }
  XBO_dBaseFld &table = file_.Table();
  const std::optional<PlainFieldKey> plain = PlainFieldKey::Of(*key_expr_, table.RecordLength());
  if (!plain) return false;
  // The bytes NormalizeKey gives the joined text: cut to the key length,
  // upper-cased in a "general" file, the trailing blanks an entry drops
  // standing for the padding.
  const bool general = file_.General();
  std::string key(key_length_, ' ');
  ForEachRecordInBlocks(table, count, [&](int64_t r, const char *record) {
    table.DiskProgress(1, r, 0);
    plain->Extract(record, key.data(), key.size());
    if (general) {
      for (char &c : key) c = static_cast<char>(UpperCp1251Char(static_cast<unsigned char>(c)));
    }
    add(key, static_cast<uint32_t>(r));
  });
  return true;
}

int XBobjIndexTag::OrderPrefix(const std::string &stored, const std::string &search) const {
  const int c = CompareKeyPrefix(stored, search);
  return descending_ ? -c : c;
}

bool XBobjIndexTag::InRange(const std::string &key) const {
  if (!range_low_.empty() && OrderPrefix(key, range_low_) < 0) return false;
  if (range_high_.empty()) return true;
  int beyond = OrderPrefix(key, range_high_);
  if (beyond == 0 && (range_options_ & kRangeHighWhole)) {
    beyond = descending_ ? -CompareKeys(key, range_high_) : CompareKeys(key, range_high_);
  }
  return beyond < 0 || (beyond == 0 && !(range_options_ & kRangeHighExclusive));
}

std::string XBobjIndexTag::KeyFieldList() const {
  return key_expr_ ? UpperCp1251(key_expr_->CollectNames(kVarKindTableField)) : std::string();
}

uint32_t XBobjIndexTag::Navigate(int code) {
  uint32_t record = 0;
  switch (code) {
    case -3:
      if (range_low_.empty()) {
        record = StepFirst();
      } else {
        SeekKey(range_low_, false);
        record = CurrentEntry() ? CurrentEntry()->record : 0;
      }
      break;
    case -4:
      if (range_high_.empty()) {
        record = StepLast();
      } else {
        // Past every key that begins with the high key, then one back.
        SeekKey(range_high_, false);
        while (CurrentEntry() && OrderPrefix(CurrentEntry()->key, range_high_) == 0) StepNext();
        record = CurrentEntry() ? StepPrior() : StepLast();
        // Keys equal to the high key may lie beyond it (range options).
        while (record != 0 && !InRange(CurrentEntry()->key) &&
               (range_low_.empty() || OrderPrefix(CurrentEntry()->key, range_low_) >= 0)) {
          record = StepPrior();
        }
      }
      break;
    case -1:
      record = StepNext();
      break;
    case -2:
      record = StepPrior();
      break;
    default:
      record = CurrentEntry() ? CurrentEntry()->record : 0;
      break;
  }
  if (record != 0 && !InRange(CurrentEntry()->key)) record = 0;
  return record;
}

bool XBobjIndexTag::SyncTo(const std::string &key, uint32_t record) {
  return LocateEntry(key, record);
}

std::string XBobjIndexTag::SearchKey(const std::string &text) const {
  switch (key_type_) {
    case IndexKeyType::kNumeric: {
      const auto number = ParseDecimal(text);
      return NormalizeKey(ExpValue::Number(number ? static_cast<double>(*number) : 0), false);
    }
    case IndexKeyType::kDate:
      return NormalizeKey(ExpValue::Date(ParseDateText(text)), false);
    case IndexKeyType::kCharacter:
      break;
  }
  return NormalizeKey(ExpValue::Text(text), false);
}

uint32_t XBobjIndexTag::Search(const std::string &text, bool exact) {
  const std::string key = SearchKey(text);
  const bool found = SeekKey(key, exact);
  const XBobjIndexKeyData *entry = CurrentEntry();
  if (found && InRange(entry->key)) return entry->record;
  return 0;
}

uint32_t XBobjIndexTag::SetRange(const std::string &low, const std::string &high, int options) {
  range_low_ = low.empty() ? std::string() : SearchKey(low);
  range_high_ = high.empty() ? std::string() : SearchKey(high);
  range_options_ = options;
  return Navigate(-3);
}

void XBobjIndexTag::UpdateRecord(uint32_t record, bool appended) {
  const std::string new_key = CurrentRecordKey();
  const bool new_for = EvaluateFor();
  auto add = [&] {
    // A unique tag keeps only the first entry of a key.
    if (unique_ && SeekKey(new_key + std::string(KeyLength(), ' '), true)) return;
    InsertKey(new_key, record);
  };
  if (appended) {
    if (new_for) add();
    return;
  }
  // The old key and condition, evaluated on the record as it was.
  XBO_dBaseFld &table = file_.Table();
  std::string old_buffer = table.OriginalRecord();
  old_buffer.resize(table.RecordLength() + 1, '\x1A');
  std::string old_key;
  bool old_for = false;
  {
    XBO_RecordBufferScope scope(table, old_buffer.data());
    old_key = CurrentRecordKey();
    old_for = EvaluateFor();
  }

  bool found = LocateEntry(old_key, record);
  if (!found && old_for) {
    // The entry is not under its key: look for the record number.
    for (uint32_t r = StepFirst(); r != 0; r = StepNext()) {
      if (r == record) {
        old_key = CurrentEntry()->key;
        found = true;
        break;
      }
    }
  }
  bool deleted = false;
  if (found && (CompareKeys(new_key, old_key) != 0 || (HasFor() && !new_for))) {
    RemoveKey(old_key, record);
    deleted = true;
  }
  if (new_for && (deleted || !found)) add();
  if (!deleted && found) LocateEntry(new_key, record);
}

void XBobjIndexTag::RemoveRecord(uint32_t record) {
  if (EvaluateFor()) RemoveKey(CurrentRecordKey(), record);
}

}  // namespace xb
