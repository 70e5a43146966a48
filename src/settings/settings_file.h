// The settings file vedil.ini beside the program: the payer's data in a
// Windows-style profile file, code page 1251, CR LF line ends.
//
//   [Section]        section line; sections match without regard to case
//   Key=Value        key line; keys match without regard to case; the value
//                    is read without leading and trailing blanks, and without
//                    the two double quotes when it begins and ends with one
//
// Writing a key replaces the value on its existing line, adds the key at the
// end of its section when missing, or a new section at the end of the file.
// The whole file is rewritten atomically: written beside the old one, flushed,
// renamed over it.
#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

namespace settings {

// The settings file could not be written; what() names the file.
class SettingsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SettingsFile {
 public:
  // Reads the file at `path`; a missing or unreadable file reads as empty.
  explicit SettingsFile(const QString &path);

  const QString &path() const { return path_; }

  // The key's value, or empty text when the section or the key is missing.
  QString ReadString(const QString &section, const QString &key) const;

  // Sets the key's value in memory; Save() writes it. Line breaks in `value`
  // become blanks, so a value can never start a line of its own. A value in
  // quotes is written in one more pair, so it reads back with its own; what
  // reads back is always the value without blanks at its ends.
  void WriteString(const QString &section, const QString &key, const QString &value);

  // Writes the file atomically; throws SettingsWriteError when it cannot.
  void Save() const;

 private:
  // Index of the section line of `section`, or -1.
  qsizetype FindSection(const QString &section) const;
  // Index of the line of `key` inside the section starting at `section_line`,
  // or -1; `*section_end` is set to the line after the section's last
  // non-blank line.
  qsizetype FindKey(qsizetype section_line, const QString &key, qsizetype *section_end) const;

  QString path_;
  QStringList lines_;
};

// Writes `lines` as the file at `path` (CR LF after each, code page 1251),
// atomically; throws SettingsWriteError when it cannot.
void WriteLinesAtomically(const QString &path, const QStringList &lines);

}  // namespace settings
