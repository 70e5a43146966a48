// The countries table as the checker needs it: the set of known country
// codes (the table's first field), read once per check through the table
// engine, and the options of a check as the program runs it.
#pragma once

#include <QString>

#include "agencyfile/agency_check.h"

namespace agencyfile {

// Loads the codes of the DBF table at `path`: the first field of every
// record that is not deleted, trailing blanks removed, in upper case (the
// program looks codes up without regard to letter case). A table that
// cannot be opened or read gives a message naming it.
CountryCodesLoader CountriesTableLoader(const QString &path);

// The options of a check run by the program or vedil-check: the year of the
// computer's clock and the countries table in the program's data directory.
CheckOptions DefaultCheckOptions();

}  // namespace agencyfile
