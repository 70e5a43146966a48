// See settings_file.h.
#include "settings/settings_file.h"

#include <QFile>
#include <QSaveFile>

#include "ui/codepage.h"

namespace settings {
namespace {

bool IsSectionLine(const QString &trimmed) { return trimmed.startsWith(QLatin1Char('[')); }

// Name of a section line "[ name ]" (text up to ']' or the end), trimmed.
QString SectionName(const QString &trimmed) {
  qsizetype end = trimmed.indexOf(QLatin1Char(']'));
  if (end < 0) end = trimmed.size();
  return trimmed.mid(1, end - 1).trimmed();
}

// Key of a key line: the text before '=', or the whole line without one.
QString KeyName(const QString &trimmed) {
  const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
  return (eq < 0 ? trimmed : trimmed.left(eq)).trimmed();
}

bool IsQuoted(const QString &value) {
  return value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
         value.endsWith(QLatin1Char('"'));
}

QString Value(const QString &line) {
  const qsizetype eq = line.indexOf(QLatin1Char('='));
  if (eq < 0) return QString();
  QString value = line.mid(eq + 1).trimmed();
  if (IsQuoted(value)) value = value.mid(1, value.size() - 2);
  return value;
}

bool SameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

SettingsFile::SettingsFile(const QString &path) : path_(path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  QString text = codepage::FromCp1251(bytes.constData(), bytes.size());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines_ = text.split(QLatin1Char('\n'));
  if (!lines_.isEmpty() && lines_.constLast().isEmpty()) lines_.removeLast();
}

qsizetype SettingsFile::FindSection(const QString &section) const {
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    const QString trimmed = lines_[i].trimmed();
    if (IsSectionLine(trimmed) && SameName(SectionName(trimmed), section)) return i;
  }
  return -1;
}

qsizetype SettingsFile::FindKey(qsizetype section_line, const QString &key,
                                qsizetype *section_end) const {
  qsizetype found = -1;
  *section_end = section_line + 1;
  for (qsizetype i = section_line + 1; i < lines_.size(); ++i) {
    const QString trimmed = lines_[i].trimmed();
    if (IsSectionLine(trimmed)) break;
    if (trimmed.isEmpty()) continue;
    *section_end = i + 1;
    if (found < 0 && SameName(KeyName(trimmed), key)) found = i;
  }
  return found;
}

QString SettingsFile::ReadString(const QString &section, const QString &key) const {
  const qsizetype section_line = FindSection(section);
  if (section_line < 0) return QString();
  qsizetype end = 0;
  const qsizetype line = FindKey(section_line, key, &end);
  return line < 0 ? QString() : Value(lines_[line]);
}

void SettingsFile::WriteString(const QString &section, const QString &key, const QString &value) {
  QString clean = value;
  clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  // Reading drops the blanks around a value and then one pair of quotes, so
  // a value that is itself in quotes (a company name such as "Агро-2000")
  // gets one more pair and reads back with its own.
  if (IsQuoted(clean.trimmed())) clean = QLatin1Char('"') + clean.trimmed() + QLatin1Char('"');
  const QString line = key + QLatin1Char('=') + clean;
  const qsizetype section_line = FindSection(section);
  if (section_line < 0) {
    lines_ << QLatin1Char('[') + section + QLatin1Char(']') << line;
    return;
  }
  qsizetype end = 0;
  const qsizetype key_line = FindKey(section_line, key, &end);
  if (key_line >= 0) {
    lines_[key_line] = line;
  } else {
    lines_.insert(end, line);
  }
}

void SettingsFile::Save() const { WriteLinesAtomically(path_, lines_); }

void WriteLinesAtomically(const QString &path, const QStringList &lines) {
  std::string bytes;
  for (const QString &line : lines) {
    bytes += codepage::ToCp1251(line);
    bytes += "\r\n";
  }
  QSaveFile file(path);
  const bool ok = file.open(QIODevice::WriteOnly) &&
                  file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                      static_cast<qint64>(bytes.size()) &&
                  file.commit();
  if (!ok) {
    throw SettingsWriteError(QStringLiteral("Файлът с настройките %1 не може да бъде записан: %2")
                                 .arg(path, file.errorString())
                                 .toStdString());
  }
}

}  // namespace settings
