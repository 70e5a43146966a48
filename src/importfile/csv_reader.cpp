// The CSV reader (see csv_reader.h). It walks the bytes once: separators,
// quotes and line ends are ASCII in both encodings, and UTF-8 never uses
// ASCII bytes inside a multi-byte character, so records are cut before the
// characters are decoded, and every character's line and column is known.
#include "importfile/csv_reader.h"

#include "ui/codepage.h"

namespace importfile {

namespace {

constexpr unsigned char kEndOfFile = 26;  // Ctrl-Z ends a text file

// Decodes the UTF-8 sequence at p (n bytes left); its length, 0 when the
// bytes there are not a well-formed character.
int DecodeUtf8(const unsigned char *p, qsizetype n, char32_t *out) {
  const unsigned char b = p[0];
  int len = 0;
  char32_t cp = 0, min = 0;
  if (b < 0x80) {
    *out = b;
    return 1;
  } else if ((b & 0xE0) == 0xC0) {
    len = 2, cp = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    len = 3, cp = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    len = 4, cp = b & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (n < len) return 0;
  for (int i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  *out = cp;
  return len;
}

// The separator: the one of ';', tab and ',' that the first record holds
// most often outside quotes; ';' when it holds none.
char DetectSeparator(const unsigned char *p, qsizetype n) {
  int semicolons = 0, tabs = 0, commas = 0;
  bool quoted = false;
  for (qsizetype i = 0; i < n; ++i) {
    const unsigned char c = p[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted) {
      if (c == '\n' || c == '\r' || c == kEndOfFile) break;
      if (c == ';') ++semicolons;
      if (c == '\t') ++tabs;
      if (c == ',') ++commas;
    }
  }
  if (tabs > semicolons && tabs >= commas) return '\t';
  if (commas > semicolons && commas > tabs) return ',';
  return ';';
}

bool IsBlank(const QStringList &cells) {
  for (const QString &cell : cells) {
    if (!cell.trimmed().isEmpty()) return false;
  }
  return true;
}

class Parser {
 public:
  Parser(const unsigned char *p, qsizetype n, bool utf8, char separator, CsvText &out)
      : p_(p), n_(n), utf8_(utf8), sep_(separator), out_(out) {}

  void Run() {
    StartRecord();
    while (i_ < n_ && p_[i_] != kEndOfFile) {
      const unsigned char c = p_[i_];
      if (c == '"' && at_cell_start_) {
        at_cell_start_ = false;
        ReadQuoted();
      } else if (c == static_cast<unsigned char>(sep_)) {
        ++i_, ++column_;
        EndCell();
      } else if (c == '\n' || c == '\r') {
        SkipLineEnd();
        EndRecord();
        StartRecord();
      } else {
        at_cell_start_ = false;
        ReadCharacter();
      }
    }
    EndRecord();
  }

 private:
  void StartRecord() {
    record_ = CsvRecord{};
    record_.line = line_;
    cell_.clear();
    at_cell_start_ = true;
  }

  void EndCell() {
    if (record_.cells.size() < kMaxCsvCells) {
      record_.cells << cell_;
    } else if (record_.cells.size() == kMaxCsvCells && !dropped_) {
      record_.problems << QStringLiteral("Ред %1 има повече от %2 колони; останалите са пропуснати")
                              .arg(record_.line)
                              .arg(kMaxCsvCells);
      dropped_ = true;
    }
    cell_.clear();
    at_cell_start_ = true;
  }

  void EndRecord() {
    EndCell();
    dropped_ = false;
    if (!IsBlank(record_.cells) || !record_.problems.isEmpty())
      out_.records.push_back(std::move(record_));
  }

  // A line end: LF, CR LF or a lone CR.
  void SkipLineEnd() {
    if (p_[i_] == '\r' && i_ + 1 < n_ && p_[i_ + 1] == '\n') ++i_;
    ++i_;
    ++line_;
    column_ = 1;
  }

  // From an opening quote to its closing one; a doubled quote inside stands
  // for one, line breaks inside belong to the cell (as "\n"). What follows
  // the closing quote up to the separator is taken as it is.
  void ReadQuoted() {
    const int open_line = line_, open_column = column_;
    ++i_, ++column_;
    while (i_ < n_) {
      const unsigned char c = p_[i_];
      if (c == '"') {
        if (i_ + 1 < n_ && p_[i_ + 1] == '"') {
          cell_ += QLatin1Char('"');
          i_ += 2, column_ += 2;
          continue;
        }
        ++i_, ++column_;
        return;
      }
      if (c == '\n' || c == '\r') {
        SkipLineEnd();
        cell_ += QLatin1Char('\n');
        continue;
      }
      ReadCharacter();
    }
    record_.problems << QStringLiteral("Кавичките, отворени на ред %1, колона %2, не са затворени")
                            .arg(open_line)
                            .arg(open_column);
  }

  void ReadCharacter() {
    const unsigned char c = p_[i_];
    if (c < 0x80) {
      cell_ += QLatin1Char(static_cast<char>(c));
      ++i_, ++column_;
      return;
    }
    if (!utf8_) {
      cell_ += codepage::FromCp1251(reinterpret_cast<const char *>(p_ + i_), 1);
      ++i_, ++column_;
      return;
    }
    char32_t cp = 0;
    const int len = DecodeUtf8(p_ + i_, n_ - i_, &cp);
    if (len == 0) {
      record_.problems
          << QStringLiteral("Неправилен знак в UTF-8 на ред %1, колона %2").arg(line_).arg(column_);
      cell_ += QChar(QChar::ReplacementCharacter);
      ++i_, ++column_;
      return;
    }
    const QString text = QString::fromUcs4(&cp, 1);
    if (!codepage::FitsCp1251(text)) {
      record_.problems << QStringLiteral(
                              "Знакът \"%1\" (U+%2) на ред %3, колона %4 не може да се запише в "
                              "кодова таблица 1251")
                              .arg(text, QString::number(static_cast<uint>(cp), 16)
                                             .toUpper()
                                             .rightJustified(4, QLatin1Char('0')))
                              .arg(line_)
                              .arg(column_);
    }
    cell_ += text;
    i_ += len, ++column_;
  }

  const unsigned char *p_;
  qsizetype n_;
  bool utf8_;
  char sep_;
  CsvText &out_;
  qsizetype i_ = 0;
  int line_ = 1;
  int column_ = 1;  // of the next character on its line, counted in characters
  CsvRecord record_;
  QString cell_;
  bool at_cell_start_ = true;
  bool dropped_ = false;
};

}  // namespace

bool IsValidUtf8(const char *data, qsizetype size) {
  const auto *p = reinterpret_cast<const unsigned char *>(data);
  for (qsizetype i = 0; i < size;) {
    char32_t cp = 0;
    const int len = DecodeUtf8(p + i, size - i, &cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

QString EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return QStringLiteral("UTF-8");
    case TextEncoding::kUtf8WithBom:
      return QStringLiteral("UTF-8 с BOM");
    case TextEncoding::kCp1251:
      break;
  }
  return QStringLiteral("cp-1251");
}

CsvText ReadCsv(const QByteArray &bytes) {
  CsvText out;
  const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
  qsizetype n = bytes.size();
  if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
    out.encoding = TextEncoding::kUtf8WithBom;
    p += 3, n -= 3;
  } else {
    out.encoding = IsValidUtf8(bytes.constData(), n) ? TextEncoding::kUtf8 : TextEncoding::kCp1251;
  }
  const qsizetype nul = QByteArrayView(p, n).indexOf('\0');
  if (nul >= 0) {
    const int line = static_cast<int>(QByteArrayView(p, nul).count('\n')) + 1;
    out.error = QStringLiteral("Файлът не е текстов: на ред %1 има нулев байт.").arg(line);
    return out;
  }
  out.separator = QLatin1Char(DetectSeparator(p, n));
  Parser(p, n, out.encoding != TextEncoding::kCp1251, out.separator.toLatin1(), out).Run();
  if (out.records.empty()) out.error = QStringLiteral("Файлът не съдържа нито един ред с данни.");
  return out;
}

QByteArray CsvLine(const QStringList &cells, QChar separator) {
  QByteArray line;
  for (qsizetype i = 0; i < cells.size(); ++i) {
    if (i > 0) line += separator.toLatin1();
    const QString &cell = cells.at(i);
    // Any of the separators the reader looks for, so that a file written
    // with one is never taken for another; Ctrl-Z ends an unquoted text.
    static const QString kSpecial = QStringLiteral(";,\t\"\r\n\x1A");
    bool quote = cell != cell.trimmed() || cell.startsWith(QChar(0xFEFF));
    for (QChar c : kSpecial) quote = quote || cell.contains(c);
    if (!quote) {
      line += cell.toUtf8();
      continue;
    }
    QString doubled = cell;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    line += '"' + doubled.toUtf8() + '"';
  }
  return line;
}

}  // namespace importfile
