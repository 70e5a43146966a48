// Logical control of an agency file (relations between fields, the
// countries table) and the search for repeated identifier and income code
// pairs. Runs only on a file that passed the formal control.
#include <algorithm>
#include <optional>
#include <vector>

#include "agencyfile/agency_check_stages.h"
#include "agencyfile/agency_record.h"
#include "records/income_codes.h"
#include "shell/display_texts.h"
#include "shell/identifier_checks.h"
#include "ui/codepage.h"

namespace agencyfile {
namespace {

// An amount as a number, or nullopt when the text is not one.
// After the formal control every amount field has the amount format, which
// ReadAmountField reads.
std::optional<records::CurrencyUnits> AmountValue(QStringView field) {
  if (shell::IsNotNumber(field.toString())) return std::nullopt;
  return ReadAmountField(field);
}

// The countries table, read once per check on first use.
class CountryLookup {
 public:
  explicit CountryLookup(const CountryCodesLoader &loader) : loader_(loader) {}

  // nullopt when the table cannot be read; error() then says why.
  std::optional<bool> Contains(QStringView code) {
    if (!loaded_) {
      loaded_ = true;
      if (!loader_) {
        error_ = QStringLiteral("Таблицата с кодовете на държавите не е зададена.");
      } else if (!loader_(&codes_, &error_) && error_.isEmpty()) {
        error_ = QStringLiteral("Таблицата с кодовете на държавите не може да бъде прочетена.");
      }
    }
    if (!error_.isEmpty()) return std::nullopt;
    return codes_.contains(code.toString());
  }
  const QString &error() const { return error_; }

 private:
  const CountryCodesLoader &loader_;
  bool loaded_ = false;
  QSet<QString> codes_;
  QString error_;
};

void CheckHeaderAmounts(const RecordFields &f, FaultSink *faults) {
  const std::optional<records::CurrencyUnits> income = AmountValue(f[7]);
  const std::optional<records::CurrencyUnits> tax = AmountValue(f[8]);
  if (income && tax && *income > *tax) return;
  if (!income || !tax) {
    // The formal control lets no such header through; say so rather than
    // compare nothing.
    if (!income) {
      faults->Add(kIncomeField, QStringLiteral("Невалидна стойност в годишния размер на дохода [") +
                                    f[7].toString() + QStringLiteral("]."));
    }
    if (!tax) {
      faults->Add(kTaxField, QStringLiteral("Невалидна стойност в удържания данък [") +
                                 f[8].toString() + QStringLiteral("]."));
    }
    return;
  }
  faults->Add(kIncomeField, QStringLiteral("Годишният размер на дохода ") +
                                TrimBlanks(f[7]).toString() +
                                QStringLiteral(" лв. е по-малък/равнен от/на удържания данък ") +
                                TrimBlanks(f[8]).toString() + QStringLiteral(" лв."));
}

void CheckDetailAmounts(const RecordFields &f, FaultSink *faults) {
  const std::optional<records::CurrencyUnits> income = AmountValue(f[7]);
  if (!income) {
    faults->Add(kIncomeField, QStringLiteral("Невалидна стойност в годишния размер на дохода [") +
                                  f[7].toString() + QStringLiteral("]."));
    return;
  }
  const std::optional<records::CurrencyUnits> tax = AmountValue(f[8]);
  if (!tax) {
    faults->Add(kTaxField, QStringLiteral("Невалидна стойност в удържания данък [") +
                               f[8].toString() + QStringLiteral("]."));
    return;
  }
  constexpr records::CurrencyUnits kLargeIncomeLimit = 5000 * records::kUnitsPerLev;
  if (f[9].startsWith(QLatin1Char('9')) && *income <= kLargeIncomeLimit && f[9] != u"903  ") {
    faults->Add(kIncomeField, QStringLiteral("Годишният размер на дохода ") +
                                  TrimBlanks(f[7]).toString() +
                                  QStringLiteral(" лв. за посочения код ") + f[9].toString() +
                                  QStringLiteral(" трябва да надвишава 5000 лв."));
  }
  if (*income < *tax) {
    faults->Add(kIncomeField, QStringLiteral("Годишният размер на дохода ") +
                                  TrimBlanks(f[7]).toString() +
                                  QStringLiteral(" лв. е по-малък от удържания данък ") +
                                  TrimBlanks(f[8]).toString() + QStringLiteral(" лв."));
  }
}

void CheckIncomeCode(const RecordFields &f, FaultSink *faults) {
  const QString &caption = shell::FieldCaptions().at(kIncomeCodeField - 1);
  const QStringView code = TrimBlanks(f[9]);
  if (code.isEmpty()) {
    // Blanks pass the formal control but are no code at all.
    faults->Add(kIncomeCodeField, caption + QStringLiteral(" не е попълнен."));
    return;
  }
  bool is_number = false;
  const int number = code.toInt(&is_number);
  if (is_number && records::IsAllowedIncomeCode(number)) {
    if (!IsCodeAllowedForKind(f[2], code)) {
      faults->Add(kIdKindField, QStringLiteral("За код идентификатор [") +
                                    TrimBlanks(f[2]).toString() +
                                    QStringLiteral("] кода на дохода [") + code.toString() +
                                    QStringLiteral("] е невалиден."));
    }
    return;
  }
  faults->Add(kIncomeCodeField,
              caption + QStringLiteral(" [") + code.toString() +
                  QStringLiteral("] е невалиден, трябва да е в един от интервалите [301..306], "
                                 "[3071..3079], [30710..30714], [401..403], [501..509], "
                                 "[601..606], [801..821], [901..902], [904..907]"));
}

void CheckRecordLogical(const RecordFields &f, CountryLookup *countries, FaultSink *faults) {
  if (f[1] == u"1") {
    const std::optional<bool> found = countries->Contains(f[5]);
    if (found && !*found) {
      faults->Add(kCountryField, QStringLiteral("Няма такъв код държава [") + f[5].toString() +
                                     QStringLiteral("]."));
    } else if (found && f[5] == u"BG") {
      faults->Add(kCountryField, QStringLiteral("Чужденец, живеещ в държава с код [") +
                                     f[5].toString() + QStringLiteral("] ?"));
    }
  }
  CheckDetailAmounts(f, faults);
  CheckIncomeCode(f, faults);
}

// One detail line's key: identifier (13) and income code (5) as written.
struct KeyedLine {
  QByteArray key;
  int line_number = 0;
};

constexpr char kZeroIdentifier[] = "0000000000";

QByteArray TrimmedBytes(const QByteArray &bytes) {
  qsizetype begin = 0;
  qsizetype end = bytes.size();
  while (begin < end && static_cast<unsigned char>(bytes[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(bytes[end - 1]) <= ' ') --end;
  return bytes.mid(begin, end - begin);
}

// Keys of the detail lines that must be unique, sorted by key and, within a
// key, by line. Lines with ten zeros as identifier or with code 820 are exempt.
bool CollectDuplicateKeys(const AgencySource &source, CheckProgress *progress,
                          std::vector<KeyedLine> *keys, QString *error) {
  const FieldSpan id = SpanOf(kIdentifierField);
  const FieldSpan code = SpanOf(kIncomeCodeField);
  const bool read =
      ForEachLine(source, progress, error, [&](int number, const QByteArray &line, qint64) {
        if (number == 1) return true;
        const QByteArray identifier = line.mid(id.offset, id.width);
        if (TrimmedBytes(identifier) == kZeroIdentifier) return true;
        if (line.mid(code.offset, 3) == "820") return true;
        keys->push_back({identifier + line.mid(code.offset, code.width), number});
        return true;
      });
  std::stable_sort(keys->begin(), keys->end(),
                   [](const KeyedLine &a, const KeyedLine &b) { return a.key < b.key; });
  return read;
}

// One fault per key held by more than one line, at its first line.
bool ReportDuplicates(const std::vector<KeyedLine> &keys, QStringList *faults) {
  const int id_width = SpanOf(kIdentifierField).width;
  bool found = false;
  for (size_t first = 0; first < keys.size();) {
    size_t next = first + 1;
    QStringList others;
    while (next < keys.size() && keys[next].key == keys[first].key) {
      others.append(QString::number(keys[next].line_number));
      ++next;
    }
    if (!others.isEmpty()) {
      found = true;
      const QByteArray &key = keys[first].key;
      const int line = keys[first].line_number;
      const QString record = QString::number(line - 1).rightJustified(5, QLatin1Char('0'));
      const QString message = QStringLiteral("идент.[") + Decode(TrimmedBytes(key.left(id_width))) +
                              QStringLiteral("] с код на дохода [") +
                              Decode(TrimmedBytes(key.mid(id_width))) +
                              QStringLiteral("] е дублиран на ") + others.join(QLatin1Char(',')) +
                              QStringLiteral(" ред");
      faults->append(FaultLine(line, record, kIdentifierField, message));
    }
    first = next;
  }
  return found;
}

}  // namespace

bool CheckLogical(const AgencySource &source, int lines_in_file, const CheckOptions &options,
                  CheckProgress *progress, CheckResult *result) {
  if (lines_in_file == 1) return true;
  CountryLookup countries(options.countries);
  bool any_fault = false;
  QString read_error;
  ForEachLine(source, progress, &read_error, [&](int number, const QByteArray &bytes, qint64) {
    const QString line = Decode(bytes);
    const RecordFields f = SplitRecord(line);
    FaultSink faults(&result->logical_faults, number, f[0]);
    if (number == 1) {
      CheckHeaderAmounts(f, &faults);
    } else {
      CheckRecordLogical(f, &countries, &faults);
    }
    any_fault = any_fault || faults.added();
    return true;
  });
  // A file that cannot be read outweighs a table that cannot.
  result->error = !read_error.isEmpty() ? read_error : countries.error();
  return !any_fault && result->error.isEmpty();
}

bool CheckDuplicates(const AgencySource &source, CheckProgress *progress, CheckResult *result) {
  std::vector<KeyedLine> keys;
  if (!CollectDuplicateKeys(source, progress, &keys, &result->error)) return false;
  return ReportDuplicates(keys, &result->logical_faults);
}

}  // namespace agencyfile
