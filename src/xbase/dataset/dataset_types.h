// Basic types of the dataset framework that windows and the DBF adapter share:
// states, field types, field values, record buffers and the framework's error.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace xb {

// The dataset framework's error ("database error"): every dataset-level
// failure, with its exact message text.
class EDatabaseError : public std::runtime_error {
 public:
  explicit EDatabaseError(const std::string &message) : std::runtime_error(message) {}
};

enum class TDataSetState {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
};

enum class TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftLargeint,
  ftFloat,
  ftCurrency,
  ftBoolean,
  ftDate,
  ftDateTime,
  ftMemo,
  ftBlob,
};

enum class TFieldKind { fkData, fkCalculated };

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// How an adapter is asked for a record, and what it answers.
enum class TGetMode { gmCurrent, gmNext, gmPrior };
enum class TGetResult { grOK, grBOF, grEOF, grError };

// Where a buffer's record stands: a record of the table, or a new one.
enum class TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };

enum class TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;  // bit set of TLocateOption values

enum class TFilterOption { foCaseInsensitive = 1, foNoPartialCompare = 2 };
using TFilterOptions = unsigned;  // bit set of TFilterOption values

// A calendar date (no time of day).
struct TDateValue {
  int year = 0;
  int month = 0;
  int day = 0;
  bool operator==(const TDateValue &) const = default;
};

// A point in time as milliseconds, the way date-time fields store it.
struct TDateTimeValue {
  double ms = 0;
  bool operator==(const TDateTimeValue &) const = default;
};

// One field's value; a null field has no value (std::nullopt).
using TFieldValue =
    std::variant<std::string, std::int64_t, double, bool, TDateValue, TDateTimeValue>;
using TFieldData = std::optional<TFieldValue>;

// An opaque position that lets a dataset come back to a record.
using TBookmark = std::string;

// A record as a dataset holds it: the adapter's own bytes, the values of the
// calculated fields, and where the record stands.
struct TRecordBuffer {
  std::string data;
  std::vector<TFieldData> calc;
  TBookmarkFlag flag = TBookmarkFlag::bfCurrent;
};

// True when the date exists in the Gregorian calendar (years 1..9999).
bool IsValidDate(const TDateValue &date);

// Parses "yyyymmdd"; std::nullopt for anything that is no valid date.
std::optional<TDateValue> ParseYmd(const std::string &text);

// "dd.mm.yyyy", the short date form the program shows.
std::string FormatShortDate(const TDateValue &date);

}  // namespace xb
