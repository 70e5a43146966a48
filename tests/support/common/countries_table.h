// A small countries table (CODE, NAME) for tests of what reads it.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Writes a DBF table at `path` with one record per code (the name is the
// code again); the records whose codes are in `deleted` are marked deleted.
void WriteCountriesTable(const std::string &path, const std::vector<std::string> &codes,
                         const std::vector<std::string> &deleted = {});

}  // namespace testing_support
