// The .mo reader (see mo_catalog.h).
#include "mo_catalog.h"

#include <QFile>
#include <QtEndian>

namespace reftables {

namespace {

constexpr quint32 kMagic = 0x950412DE;
constexpr qsizetype kHeaderSize = 20;

class Reader {
 public:
  Reader(const QByteArray &bytes, bool big_endian) : bytes_(bytes), big_endian_(big_endian) {}

  std::optional<quint32> U32(qsizetype offset) const {
    if (offset < 0 || offset + 4 > bytes_.size()) return std::nullopt;
    const uchar *p = reinterpret_cast<const uchar *>(bytes_.constData()) + offset;
    return big_endian_ ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
  }

  // The string described by the table entry at offset, up to its first NUL.
  std::optional<QString> String(qsizetype entry) const {
    const auto length = U32(entry);
    const auto offset = U32(entry + 4);
    if (!length || !offset) return std::nullopt;
    if (qint64(*offset) + qint64(*length) > bytes_.size()) return std::nullopt;
    QByteArray s = bytes_.mid(*offset, *length);
    const qsizetype nul = s.indexOf('\0');
    if (nul >= 0) s.truncate(nul);
    return QString::fromUtf8(s);
  }

 private:
  const QByteArray &bytes_;
  bool big_endian_;
};

}  // namespace

std::optional<QHash<QString, QString>> ReadMoCatalog(const QString &path, QString *error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("cannot open %1").arg(path);
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  if (bytes.size() < kHeaderSize) {
    *error = QStringLiteral("%1: too short for a message catalogue").arg(path);
    return std::nullopt;
  }
  const bool big_endian = Reader(bytes, false).U32(0) != kMagic;
  const Reader reader(bytes, big_endian);
  if (reader.U32(0) != kMagic) {
    *error = QStringLiteral("%1: not a message catalogue (bad magic number)").arg(path);
    return std::nullopt;
  }
  const quint32 count = *reader.U32(8);
  const quint32 originals = *reader.U32(12);
  const quint32 translations = *reader.U32(16);
  QHash<QString, QString> catalogue;
  for (quint32 i = 0; i < count; ++i) {
    const auto original = reader.String(qint64(originals) + 8 * qint64(i));
    const auto translation = reader.String(qint64(translations) + 8 * qint64(i));
    if (!original || !translation) {
      *error = QStringLiteral("%1: string %2 lies outside the file").arg(path).arg(i);
      return std::nullopt;
    }
    if (!original->isEmpty()) catalogue.insert(*original, *translation);
  }
  return catalogue;
}

}  // namespace reftables
