// Reads an agency file line by line by the file's reading rules: a line ends
// at LF or CR LF, a CR not followed by LF is dropped from the line, byte 26
// (Ctrl-Z) ends the file. Line ends are not part of the line. Works through
// a fixed buffer, so a file of any size is read in small pieces.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>
#include <optional>

namespace agencyfile {

// What is read: a file by its path, or bytes already in memory (named for
// the messages). Every reader opens it anew from its start.
struct AgencySource {
  QString path;
  std::optional<QByteArray> bytes;

  static AgencySource File(const QString &path) { return {path, std::nullopt}; }
  static AgencySource Memory(const QByteArray &bytes, const QString &name) { return {name, bytes}; }
};

class AgencyFileReader {
 public:
  explicit AgencyFileReader(const AgencySource &source);
  ~AgencyFileReader();

  // Opens the source; false with error() set when it cannot be opened.
  bool Open();

  // Lines longer than this keep only their first kMaxKeptLine bytes.
  static constexpr qsizetype kMaxKeptLine = 1 << 20;

  // The next line's bytes, or false at the end of the file or on a read
  // error (error() then says which).
  bool Next(QByteArray *line);
  // The full length of the line Next gave last, which may exceed its bytes.
  qint64 length() const { return length_; }
  // Bytes of the source taken so far, line ends included.
  qint64 position() const { return device_->isOpen() ? device_->pos() - (end_ - pos_) : 0; }

  // Empty, or the message naming the file and what went wrong.
  const QString &error() const { return error_; }

 private:
  bool Fill();

  QString name_;
  std::unique_ptr<QIODevice> device_;
  QByteArray buffer_;
  qsizetype pos_ = 0;
  qsizetype end_ = 0;
  bool at_end_ = false;
  qint64 length_ = 0;
  QString error_;
};

}  // namespace agencyfile
