// Line reading of agency files; see agency_file_reader.h.
#include "agencyfile/agency_file_reader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace agencyfile {
namespace {

constexpr qsizetype kBufferSize = 64 * 1024;
constexpr char kEndOfFile = 26;

}  // namespace

AgencyFileReader::AgencyFileReader(const AgencySource &source) : name_(source.path) {
  if (source.bytes) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(*source.bytes);
    device_ = std::move(buffer);
  } else {
    device_ = std::make_unique<QFile>(source.path);
  }
}

AgencyFileReader::~AgencyFileReader() = default;

bool AgencyFileReader::Open() {
  QString reason;
  // A directory opens on some systems and then fails every read.
  if (qobject_cast<QFile *>(device_.get()) && QFileInfo(name_).isDir()) {
    reason = QStringLiteral("това е директория");
  } else if (!device_->open(QIODevice::ReadOnly)) {
    reason = device_->errorString();
  }
  if (!reason.isEmpty()) {
    error_ = QStringLiteral("Файлът [%1] не може да бъде отворен (%2).").arg(name_, reason);
    return false;
  }
  buffer_.resize(kBufferSize);
  return true;
}

bool AgencyFileReader::Fill() {
  const qint64 got = device_->read(buffer_.data(), buffer_.size());
  if (got < 0) {
    error_ = QStringLiteral("Файлът [%1] не може да бъде прочетен (%2).")
                 .arg(name_, device_->errorString());
    at_end_ = true;
    return false;
  }
  pos_ = 0;
  end_ = got;
  if (got == 0) at_end_ = true;
  return got > 0;
}

bool AgencyFileReader::Next(QByteArray *line) {
  line->clear();
  length_ = 0;
  if (!device_->isOpen()) return false;
  bool any_byte = false;  // a last line without its end still counts
  while (!at_end_) {
    if (pos_ == end_ && !Fill()) break;
    const char *data = buffer_.constData();
    qsizetype stop = pos_;
    while (stop < end_ && data[stop] != '\n' && data[stop] != kEndOfFile) ++stop;
    // Copy the runs between lone CRs, which are dropped.
    for (qsizetype i = pos_; i < stop;) {
      const void *cr = std::memchr(data + i, '\r', stop - i);
      const qsizetype run_end = cr ? static_cast<const char *>(cr) - data : stop;
      // A line is kept up to kMaxKeptLine bytes and counted in full, so that
      // a file without line ends cannot fill the memory.
      length_ += run_end - i;
      const qsizetype room = kMaxKeptLine - line->size();
      line->append(data + i, std::min(room, run_end - i));
      i = run_end + 1;
    }
    any_byte = any_byte || stop > pos_;
    pos_ = stop;
    if (stop == end_) continue;
    if (data[stop] == kEndOfFile) {
      at_end_ = true;
      break;
    }
    ++pos_;  // the LF
    return true;
  }
  return any_byte && error_.isEmpty();
}

}  // namespace agencyfile
