// Fields of a dataset: values in the current state's buffer and their text
// forms; see dataset_field.h.
#include "xbase/dataset/dataset_field.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "xbase/dataset/dataset.h"
#include "xbase/dataset_messages.h"
#include "xbase/xbase_error.h"

namespace xb {
namespace {

constexpr double kMsPerDay = 86400000.0;

std::string Trim(const std::string &s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string Upper(std::string s) {
  for (char &c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// Civil date of a day count where day 1 is 1 January of year 1.
TDateValue DateOfDayNumber(long long days) {
  long long z = days - 1 + 719468 - 719162;  // shift to days since 1970-01-01, then to 0000-03-01
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  return {y, m, d};
}

long long DayNumberOfDate(const TDateValue &date) {
  const int y = date.year - (date.month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 719162 + 1;
}

std::optional<TDateValue> ParseDateText(const std::string &text) {
  if (auto ymd = ParseYmd(text)) return ymd;
  int d = 0, m = 0, y = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d.%d.%d%c", &d, &m, &y, &tail) != 3) return std::nullopt;
  TDateValue date{y, m, d};
  if (!IsValidDate(date)) return std::nullopt;
  return date;
}

}  // namespace

TField::TField(TDataSet &dataset, const TFieldDef &def, TFieldKind kind, int index)
    : dataset_(dataset),
      name_(def.name),
      type_(def.type),
      kind_(kind),
      size_(def.size),
      precision_(def.precision),
      fieldNo_(kind == TFieldKind::fkData ? def.fieldNo : 0),
      index_(index) {}

bool TField::IsNumeric() const {
  switch (type_) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
      return true;
    default:
      return false;
  }
}

TAlignment TField::Alignment() const {
  return IsNumeric() ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
}

int TField::EffectiveDisplayWidth() const {
  if (DisplayWidth > 0) return DisplayWidth;
  switch (type_) {
    case TFieldType::ftString:
      return size_ > 0 ? size_ : 20;
    case TFieldType::ftBoolean:
      return 5;
    case TFieldType::ftDate:
      return 10;
    case TFieldType::ftDateTime:
      return 19;
    case TFieldType::ftSmallint:
      return 6;
    case TFieldType::ftInteger:
      return 11;
    default:
      return 15;
  }
}

TFieldData TField::Value() const { return dataset_.ReadField(*this); }

std::string TField::AsString() const { return TextOf(Value()); }

std::int64_t TField::AsInteger() const {
  const TFieldData v = Value();
  if (!v) return 0;
  if (auto i = std::get_if<std::int64_t>(&*v)) return *i;
  if (auto f = std::get_if<double>(&*v)) return std::llround(*f);
  if (auto b = std::get_if<bool>(&*v)) return *b ? 1 : 0;
  const TFieldData parsed = ParseText(TextOf(v));
  if (parsed && std::holds_alternative<std::int64_t>(*parsed))
    return std::get<std::int64_t>(*parsed);
  throw EDatabaseError(FormatMessage(dsmsg::kInvalidInteger, {TextOf(v)}));
}

double TField::AsFloat() const {
  const TFieldData v = Value();
  if (!v) return 0;
  if (auto f = std::get_if<double>(&*v)) return *f;
  if (auto i = std::get_if<std::int64_t>(&*v)) return static_cast<double>(*i);
  if (auto t = std::get_if<TDateTimeValue>(&*v)) return t->ms;
  const std::string text = Trim(TextOf(v));
  char *end = nullptr;
  errno = 0;
  const double d = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno != 0)
    throw EDatabaseError(FormatMessage(dsmsg::kInvalidFloat, {text}));
  return d;
}

bool TField::AsBoolean() const {
  const TFieldData v = Value();
  if (!v) return false;
  if (auto b = std::get_if<bool>(&*v)) return *b;
  if (auto i = std::get_if<std::int64_t>(&*v)) return *i != 0;
  const std::string t = Upper(Trim(TextOf(v)));
  if (t == "T" || t == "TRUE" || t == "Y") return true;
  if (t == "F" || t == "FALSE" || t == "N" || t.empty()) return false;
  throw EDatabaseError(FormatMessage(dsmsg::kInvalidBoolean, {t}));
}

std::optional<TDateValue> TField::AsDate() const {
  const TFieldData v = Value();
  if (!v) return std::nullopt;
  if (auto d = std::get_if<TDateValue>(&*v)) return *d;
  if (auto t = std::get_if<TDateTimeValue>(&*v))
    return DateOfDayNumber(static_cast<long long>(std::floor(t->ms / kMsPerDay)));
  return ParseDateText(Trim(TextOf(v)));
}

void TField::SetValue(const TFieldData &value) { dataset_.WriteField(*this, value); }
void TField::SetAsString(const std::string &text) { SetValue(ParseText(text)); }
void TField::SetAsInteger(std::int64_t value) {
  if (type_ == TFieldType::ftString || type_ == TFieldType::ftMemo)
    SetValue(std::to_string(value));
  else if (type_ == TFieldType::ftFloat || type_ == TFieldType::ftCurrency)
    SetValue(static_cast<double>(value));
  else
    SetValue(value);
}
void TField::SetAsFloat(double value) {
  if (type_ == TFieldType::ftFloat || type_ == TFieldType::ftCurrency)
    SetValue(value);
  else
    SetAsString(TextOf(value));
}
void TField::SetAsBoolean(bool value) {
  if (type_ == TFieldType::ftBoolean)
    SetValue(value);
  else
    SetAsString(value ? "T" : "F");
}
void TField::SetAsDate(const TDateValue &value) {
  if (type_ == TFieldType::ftDateTime)
    SetValue(TDateTimeValue{static_cast<double>(DayNumberOfDate(value)) * kMsPerDay});
  else if (type_ == TFieldType::ftDate)
    SetValue(value);
  else
    SetAsString(FormatShortDate(value));
}

std::string TField::TextOf(const TFieldData &value) const {
  if (!value) return {};
  return std::visit(
      [this](const auto &v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        char buf[64];
        if constexpr (std::is_same_v<T, std::string>) {
          return v;
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          return std::to_string(v);
        } else if constexpr (std::is_same_v<T, double>) {
          if (type_ == TFieldType::ftCurrency)
            std::snprintf(buf, sizeof buf, "%.2f", v);
          else if (precision_ > 0)
            std::snprintf(buf, sizeof buf, "%.*f", precision_, v);
          else
            std::snprintf(buf, sizeof buf, "%.15g", v);
          return buf;
        } else if constexpr (std::is_same_v<T, bool>) {
          return v ? "True" : "False";
        } else if constexpr (std::is_same_v<T, TDateValue>) {
          return FormatShortDate(v);
        } else {
          const long long day = static_cast<long long>(std::floor(v.ms / kMsPerDay));
          const long long msOfDay = static_cast<long long>(v.ms - day * kMsPerDay);
          const long long sec = msOfDay / 1000;
          std::snprintf(buf, sizeof buf, " %02lld:%02lld:%02lld", sec / 3600, sec / 60 % 60,
                        sec % 60);
          return FormatShortDate(DateOfDayNumber(day)) + buf;
        }
      },
      *value);
}

TFieldData TField::ParseText(const std::string &text) const {
  switch (type_) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
    case TFieldType::ftBlob:
    case TFieldType::ftUnknown:
      if (text.empty()) return std::nullopt;
      return text;
    default:
      break;
  }
  const std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  switch (type_) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint: {
      char *end = nullptr;
      errno = 0;
      const long long v = std::strtoll(t.c_str(), &end, 10);
      if (*end != '\0' || errno != 0)
        throw EDatabaseError(FormatMessage(dsmsg::kInvalidInteger, {t}));
      return static_cast<std::int64_t>(v);
    }
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency: {
      std::string n = t;
      for (char &c : n)
        if (c == ',') c = '.';
      char *end = nullptr;
      errno = 0;
      const double v = std::strtod(n.c_str(), &end);
      if (*end != '\0' || errno != 0 || !std::isfinite(v))
        throw EDatabaseError(FormatMessage(dsmsg::kInvalidFloat, {t}));
      return v;
    }
    case TFieldType::ftBoolean: {
      const std::string u = Upper(t);
      if (u == "T" || u == "TRUE" || u == "Y" || u == "1") return true;
      if (u == "F" || u == "FALSE" || u == "N" || u == "0") return false;
      throw EDatabaseError(FormatMessage(dsmsg::kInvalidBoolean, {t}));
    }
    case TFieldType::ftDate:
    case TFieldType::ftDateTime: {
      const auto d = ParseDateText(t);
      if (!d) throw EDatabaseError(FormatMessage(dsmsg::kInvalidDate, {t}));
      if (type_ == TFieldType::ftDate) return *d;
      return TDateTimeValue{static_cast<double>(DayNumberOfDate(*d)) * kMsPerDay};
    }
    default:
      return t;
  }
}

}  // namespace xb
