// Typed field access of the current record; see dbase_fld.h.
#include "xbase/table/dbase_fld.h"

#include <cmath>
#include <cstring>
#include <filesystem>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/short_date.h"
#include "xbase/file/text_case.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

constexpr char kTrueChars[] = "TtYyJj";
constexpr char kFalseChars[] = "FfNn";
constexpr char kNumberTypes[] = "BFGIMN";
constexpr long double kMsPerDay = 86400000.0L;

bool IsIn(char c, const char *set) { return c != '\0' && std::strchr(set, c) != nullptr; }

// 8 digits read as yyyymmdd; nullopt for any other text.
std::optional<int32_t> DigitsDate(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  const int y = std::stoi(std::string(text.substr(0, 4)));
  const int m = std::stoi(std::string(text.substr(4, 2)));
  const int d = std::stoi(std::string(text.substr(6, 2)));
  // Digits that form no date read as day 0 of the calendar, 30 December 1899.
  return IsValidDate(y, m, d) ? JulianFromDate(y, m, d) : kJulianDayZero;
}

}  // namespace

const dbf::FieldDef *XBO_dBaseFld::Field(int field) const {
  return field >= 1 && field <= FieldCount() ? &fields_[field - 1] : nullptr;
}

bool XBO_dBaseFld::IsBinaryField(const dbf::FieldDef &f) const {
  return header_.version == dbf::kVersionVisualFox && IsIn(f.type, "BIMGTY0");
}

int XBO_dBaseFld::FindField(const std::string &name) const {
  const std::string_view wanted = TrimRightBlanks(name);
  for (const dbf::FieldDef &f : fields_) {
    if (f.name.size() != wanted.size()) continue;
    bool same = true;
    for (size_t i = 0; same && i < wanted.size(); ++i) {
      same = UpperCp1251Char(static_cast<unsigned char>(f.name[i])) ==
             UpperCp1251Char(static_cast<unsigned char>(wanted[i]));
    }
    if (same) return f.number;
  }
  return 0;
}

int XBO_dBaseFld::FieldByName(const std::string &name) const {
  const int n = FindField(name);
  if (n == 0) RaiseError(msg::kNoFieldName, {FileName() + "->" + name});
  return n;
}

int XBO_dBaseFld::TypedField(const std::string &name, const char *types) const {
  const int n = FieldByName(name);
  if (!IsIn(fields_[n - 1].type, types)) RaiseError(msg::kIncorrectType, {fields_[n - 1].name});
  return n;
}

void XBO_dBaseFld::MarkChanged(int field) {
  if (field >= 0 && field < static_cast<int>(changed_fields_.size())) changed_fields_[field] = true;
  record_changed_ = true;
}

XBO_dBaseFld::~XBO_dBaseFld() = default;

TxbExpUserLink &XBO_dBaseFld::ExpressionLink() {
  if (!expression_binding_) expression_binding_ = std::make_unique<TableExpressionBinding>(*this);
  return expression_binding_->Link();
}

void XBO_dBaseFld::GoToRecord(int64_t code) {
  XBO_dBaseDBF::GoToRecord(code);
  std::fill(changed_fields_.begin(), changed_fields_.end(), false);
}

// --- raw access ------------------------------------------------------------

std::string XBO_dBaseFld::FieldGet(int field) {
  const dbf::FieldDef *f = Field(field);
  return f ? std::string(buffer_ + f->offset, f->width) : std::string();
}

std::string XBO_dBaseFld::FieldGet(const std::string &name) { return FieldGet(FieldByName(name)); }

void XBO_dBaseFld::FieldPut(int field, const std::string &value) {
  const dbf::FieldDef *f = Field(field);
  if (!f) return;
  char *dest = buffer_ + f->offset;
  std::memset(dest, ' ', f->width);
  const size_t n = std::min<size_t>(value.size(), f->width);
  if (IsIn(f->type, "CDL")) {
    std::memcpy(dest, value.data(), n);
  } else {
    std::memcpy(dest + f->width - n, value.data(), n);
  }
  MarkChanged(field);
}

void XBO_dBaseFld::FieldPut(const std::string &name, const std::string &value) {
  FieldPut(FieldByName(name), value);
}

int XBO_dBaseFld::FieldDecimals(int field) const {
  const dbf::FieldDef *f = Field(field);
  return f ? f->decimals : 0;
}
int XBO_dBaseFld::FieldWidth(int field) const {
  const dbf::FieldDef *f = Field(field);
  return f ? static_cast<int>(f->width) : 0;
}
int XBO_dBaseFld::FieldOffset(int field) const {
  const dbf::FieldDef *f = Field(field);
  return f ? static_cast<int>(f->offset) : 0;
}
std::string XBO_dBaseFld::FieldName(int field) const {
  const dbf::FieldDef *f = Field(field);
  return f ? f->name : std::string();
}
char XBO_dBaseFld::FieldType(int field) const {
  const dbf::FieldDef *f = Field(field);
  return f ? f->type : '\0';
}

// --- numbers ---------------------------------------------------------------

long double XBO_dBaseFld::NumberGet(int field) {
  const dbf::FieldDef *f = Field(field);
  if (!f) return 0;
  const char *p = buffer_ + f->offset;
  if (IsBinaryField(*f)) {
    switch (f->type) {
      case 'B': {
        double d;
        uint64_t bits = GetLE64(p);
        std::memcpy(&d, &bits, sizeof d);
        return d;
      }
      case 'Y':
        return static_cast<long double>(static_cast<int64_t>(GetLE64(p))) / 10000.0L;
      case 'T':
        return static_cast<int32_t>(GetLE32(p)) + static_cast<int32_t>(GetLE32(p + 4)) / kMsPerDay;
      default:
        if (std::string_view(p, 4) == "    ") return 0;
        return static_cast<int32_t>(GetLE32(p));
    }
  }
  const std::string text(TrimBlanks(std::string_view(p, f->width)));
  if (text.empty()) return 0;
  const auto value = ParseDecimal(text);
  if (!value) RaiseError(msg::kInvalidNumeric, {alias_ + "->" + f->name + " (" + text + ")"});
  return *value;
}

long double XBO_dBaseFld::NumberGet(const std::string &name) {
  return NumberGet(TypedField(name, kNumberTypes));
}

void XBO_dBaseFld::NumberPut(int field, long double value) {
  const dbf::FieldDef *f = Field(field);
  if (!f) return;
  const bool vfp = header_.version == dbf::kVersionVisualFox;
  if (!IsIn(f->type, vfp ? "BFGMNITY" : "BFGMN")) RaiseError(msg::kIncorrectType, {f->name});
  char *p = buffer_ + f->offset;
  if (IsBinaryField(*f)) {
    // A whole number outside the stored integer's range is refused like a
    // text too wide for its field, instead of wrapping or overflowing.
    const auto whole = [&](long double v, int bits) {
      const long double limit = std::ldexp(1.0L, bits - 1);
      if (!(v >= -limit && v < limit)) {
        RaiseError(msg::kNumericTooBig, {f->name + " - " + FormatFixed(value, 0, f->decimals)});
      }
      return static_cast<int64_t>(v);
    };
    switch (f->type) {
      case 'B': {
        const double d = static_cast<double>(value);
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof d);
        PutLE64(p, bits);
        break;
      }
      case 'Y':
        PutLE64(p, static_cast<uint64_t>(whole(std::round(value * 10000.0L), 64)));
        break;
      case 'T': {
        const int64_t day = whole(std::floor(value), 32);
        PutLE32(p, static_cast<uint32_t>(day));
        PutLE32(p + 4, static_cast<uint32_t>(std::llround((value - day) * kMsPerDay)));
        break;
      }
      default:
        PutLE32(p, static_cast<uint32_t>(whole(std::round(value), 32)));
    }
    MarkChanged(field);
    return;
  }
  const std::string text = FormatFixed(value, static_cast<int>(f->width), f->decimals);
  if (text.size() > f->width) RaiseError(msg::kNumericTooBig, {f->name + " - " + text});
  std::memcpy(p, text.data(), f->width);
  MarkChanged(field);
}

void XBO_dBaseFld::NumberPut(const std::string &name, long double value) {
  NumberPut(TypedField(name, kNumberTypes), value);
}

// --- dates -----------------------------------------------------------------

int32_t XBO_dBaseFld::DateGet(int field) {
  const dbf::FieldDef *f = Field(field);
  if (!f) return 0;
  if (IsBinaryField(*f) && f->type == 'T') {
    return static_cast<int32_t>(GetLE32(buffer_ + f->offset));
  }
  const std::string_view raw(buffer_ + f->offset, f->width);
  const std::string_view text = TrimBlanks(raw);
  if (text.empty() || text == "00000000") return 0;
  if (auto d = DigitsDate(text)) return *d;
  if (auto d = ShortDateToJulian(text)) return *d;
  RaiseError(msg::kInvalidDate, {alias_ + "->" + f->name + " (" + std::string(raw) + ")"});
}

int32_t XBO_dBaseFld::DateGet(const std::string &name) { return DateGet(TypedField(name, "D")); }

void XBO_dBaseFld::DatePut(int field, int32_t julian) {
  const dbf::FieldDef *f = Field(field);
  if (!f) return;
  if (f->type != 'D') RaiseError(msg::kIncorrectType, {f->name});
  if (julian == -1) RaiseError(msg::kInvalidValue, {"Date", f->name});
  std::memcpy(buffer_ + f->offset, JulianToDtos(julian).data(), std::min<uint32_t>(8, f->width));
  MarkChanged(field);
}

void XBO_dBaseFld::DatePut(const std::string &name, int32_t julian) {
  DatePut(TypedField(name, "D"), julian);
}

// --- logicals --------------------------------------------------------------

bool XBO_dBaseFld::LogicGet(int field) {
  const dbf::FieldDef *f = Field(field);
  return f && IsIn(buffer_[f->offset], kTrueChars);
}

bool XBO_dBaseFld::LogicGet(const std::string &name) { return LogicGet(TypedField(name, "L")); }

void XBO_dBaseFld::LogicPut(int field, bool value) {
  const dbf::FieldDef *f = Field(field);
  if (!f) return;
  if (f->type != 'L') RaiseError(msg::kInvalidValue, {"Logical", f->name});
  buffer_[f->offset] = value ? 'T' : 'F';
  MarkChanged(field);
}

void XBO_dBaseFld::LogicPut(const std::string &name, bool value) {
  LogicPut(TypedField(name, "L"), value);
}

// --- formatted text --------------------------------------------------------

std::string XBO_dBaseFld::StringGet(int field) {
  const dbf::FieldDef *f = Field(field);
  if (!f) return {};
  const std::string_view raw(buffer_ + f->offset, f->width);
  if (IsBinaryField(*f)) {
    switch (f->type) {
      case 'B':
        return std::string(TrimBlanks(FormatFixed(NumberGet(field), 0, f->decimals)));
      case 'Y':
        return FormatFixed(NumberGet(field), 0, 4);
      case 'I':
        return FormatFixed(NumberGet(field), 0, 0);
      case 'T': {
        const int32_t day = DateGet(field);
        const uint32_t ms = GetLE32(buffer_ + f->offset + 4);
        if (day <= 0) return {};
        char time[32];
        std::snprintf(time, sizeof time, " %02u:%02u:%02u", ms / 3600000 % 24, ms / 60000 % 60,
                      ms / 1000 % 60);
        return JulianToShortDate(day) + time;
      }
      case 'G':
        return NumberGet(field) != 0 ? "-GENERAL--" : "-general--";
      case 'M':
        if (NumberGet(field) != 0) RaiseError(msg::kMemoNotSupported, {f->name});
        return {};
      default:
        return std::string(raw);
    }
  }
  switch (f->type) {
    case 'N':
    case 'F': {
      const std::string_view text = TrimBlanks(raw);
      if (text.empty()) {
        return std::string(TrimBlanks(FormatFixed(0, static_cast<int>(f->width), f->decimals)));
      }
      return std::string(text);
    }
    case 'D':
      return JulianToShortDate(DateGet(field));
    case 'L':
      return LogicGet(field) ? "T" : "F";
    case 'M':
      // An empty block number is an empty memo; a real memo lives in a memo
      // file this engine does not read.
      if (!TrimBlanks(raw).empty()) RaiseError(msg::kMemoNotSupported, {f->name});
      return {};
    case 'B':
      return TrimBlanks(raw).empty() ? "--binary--" : "--BINARY--";
    case 'G':
      return TrimBlanks(raw).empty() ? "-general--" : "-GENERAL--";
    default:
      return std::string(TrimRightBlanks(raw));
  }
}

std::string XBO_dBaseFld::StringGet(const std::string &name) {
  return StringGet(FieldByName(name));
}

void XBO_dBaseFld::StringPut(int field, const std::string &value) {
  const dbf::FieldDef *f = Field(field);
  if (!f) return;
  const bool binary = IsBinaryField(*f);
  if (f->type == 'D' || (binary && f->type == 'T')) {
    const std::string_view text = TrimBlanks(value);
    int32_t julian = 0;
    if (!text.empty()) {
      // Unlike a stored field, digits that form no date are refused here
      // rather than turned into 30 December 1899.
      std::optional<int32_t> d;
      if (text.size() == 8 && text.find_first_not_of("0123456789") == std::string_view::npos) {
        d = DigitsDate(text);
        if (d == kJulianDayZero && text != "18991230") d.reset();
      } else {
        d = ShortDateToJulian(text);
      }
      if (!d) RaiseError(msg::kInvalidValue, {"Date", f->name});
      julian = *d;
    }
    if (binary) {
      NumberPut(field, julian);
    } else {
      DatePut(field, julian);
    }
    return;
  }
  if (f->type == 'N' || f->type == 'F' || (binary && IsIn(f->type, "BIY"))) {
    const std::string_view text = TrimRightBlanks(value);
    long double number = 0;
    if (!TrimBlanks(text).empty()) {
      const auto parsed = ParseDecimal(text);
      if (!parsed) RaiseError(msg::kInvalidValue, {"Number", f->name});
      number = *parsed;
    }
    NumberPut(field, number);
    return;
  }
  if (f->type == 'L') {
    const char c = value.empty() ? 'F' : value[0];
    bool truth;
    if (IsIn(c, kTrueChars)) {
      truth = true;
    } else if (IsIn(c, kFalseChars)) {
      truth = false;
    } else {
      const auto parsed = ParseDecimal(value);
      if (!parsed) RaiseError(msg::kInvalidValue, {"Logical", f->name});
      truth = *parsed != 0;
    }
    LogicPut(field, truth);
    return;
  }
  if (f->type == 'M' || (binary && f->type == 'G')) RaiseError(msg::kMemoNotSupported, {f->name});
  FieldPut(field, value);
}

void XBO_dBaseFld::StringPut(const std::string &name, const std::string &value) {
  StringPut(FieldByName(name), value);
}

// --- records ---------------------------------------------------------------

void XBO_dBaseFld::BlankRecord() {
  BlankBuffer();
  for (const dbf::FieldDef &f : fields_) {
    if (IsBinaryField(f)) {
      std::memset(buffer_ + f.offset, 0, f.width);
    } else if (f.type == 'N' || f.type == 'F') {
      const std::string zero = FormatFixed(0, static_cast<int>(f.width), f.decimals);
      std::memcpy(buffer_ + f.offset, zero.data(), std::min<size_t>(zero.size(), f.width));
    }
  }
  std::fill(changed_fields_.begin(), changed_fields_.end(), true);
  record_changed_ = true;
  NotifyStatus(kStatusRecordBlanked, 0);
}

void XBO_dBaseFld::SetDeletionFlag(char flag) {
  if (buffer_[0] == flag) return;
  buffer_[0] = flag;
  MarkChanged(0);
  WriteRecord(current_record_);
}

void XBO_dBaseFld::DeleteRecord() { SetDeletionFlag(dbf::kDeletedFlag); }
void XBO_dBaseFld::UndeleteRecord() { SetDeletionFlag(dbf::kActiveFlag); }

}  // namespace xb
