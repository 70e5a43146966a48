// Builds the source list of countries from Debian's iso-codes package: every
// entry of ISO 3166-1 (iso_3166-1.json) with its Bulgarian name from the
// package's translation catalogue.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace reftables {

// (alpha-2 code, Bulgarian name) for every country, ordered by code. A name
// the catalogue does not translate is an error, so that no English name ends
// up in the table unnoticed.
std::optional<QList<QPair<QString, QString>>> ImportIsoCountries(const QString &json_path,
                                                                 const QString &mo_path,
                                                                 QString *error);

}  // namespace reftables
