// The ISO 3166-1 import (see iso_countries.h).
#include "iso_countries.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "mo_catalog.h"

namespace reftables {

std::optional<QList<QPair<QString, QString>>> ImportIsoCountries(const QString &json_path,
                                                                 const QString &mo_path,
                                                                 QString *error) {
  const auto catalogue = ReadMoCatalog(mo_path, error);
  if (!catalogue) return std::nullopt;
  QFile file(json_path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("cannot open %1").arg(json_path);
    return std::nullopt;
  }
  QJsonParseError parse_error;
  const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse_error);
  const QJsonArray entries = doc.object().value(QStringLiteral("3166-1")).toArray();
  if (doc.isNull() || entries.isEmpty()) {
    *error =
        QStringLiteral("%1: no ISO 3166-1 entries (%2)").arg(json_path, parse_error.errorString());
    return std::nullopt;
  }
  QList<QPair<QString, QString>> countries;
  for (const QJsonValue &value : entries) {
    const QJsonObject entry = value.toObject();
    const QString code = entry.value(QStringLiteral("alpha_2")).toString();
    const QString name = entry.value(QStringLiteral("name")).toString();
    const auto translated = catalogue->constFind(name);
    if (code.size() != 2 || translated == catalogue->constEnd() || translated->isEmpty()) {
      *error = QStringLiteral("%1: no Bulgarian name for \"%2\" (%3)").arg(mo_path, name, code);
      return std::nullopt;
    }
    countries.append({code, *translated});
  }
  std::sort(countries.begin(), countries.end());
  return countries;
}

}  // namespace reftables
