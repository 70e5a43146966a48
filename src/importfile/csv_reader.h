// Reads a CSV file as spreadsheets write it: the encoding (UTF-8 with or
// without a byte order mark, else code page 1251) and the separator (';',
// tab or ',', whichever the first line holds most of) are found from the
// bytes; fields may be quoted, with doubled quotes and line breaks inside.
// Bad input is data: each record carries the problems found in it, and only
// what makes the whole file unreadable is an error.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <vector>

namespace importfile {

enum class TextEncoding { kUtf8, kUtf8WithBom, kCp1251 };

// Files larger than this are refused whole rather than read into memory.
inline constexpr qsizetype kMaxImportFileSize = 256 * 1024 * 1024;
// Cells of a record beyond this many are dropped with a problem.
inline constexpr int kMaxCsvCells = 64;

struct CsvRecord {
  int line = 0;  // the line the record starts on, counted from 1
  QStringList cells;
  QStringList problems;  // characters 1251 cannot hold, bad UTF-8, open quotes
};

struct CsvText {
  TextEncoding encoding = TextEncoding::kUtf8;
  QChar separator = QLatin1Char(';');
  std::vector<CsvRecord> records;  // records whose cells are all blank are left out
  QString error;                   // the file cannot be read as text at all
};

CsvText ReadCsv(const QByteArray &bytes);

// The name shown for an encoding: "UTF-8", "UTF-8 с BOM", "cp-1251".
QString EncodingName(TextEncoding encoding);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates
// or values above U+10FFFF).
bool IsValidUtf8(const char *data, qsizetype size);

// The bytes of a CSV line in UTF-8: the cells joined by `separator`, a cell
// quoted (with its quotes doubled) when it holds any of the separators, a
// quote, a line break, Ctrl-Z or blanks at either end; no line end.
QByteArray CsvLine(const QStringList &cells, QChar separator);

}  // namespace importfile
