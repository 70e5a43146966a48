// A small countries table for tests; see countries_table.h.
#include "support/common/countries_table.h"

#include <algorithm>

#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"

namespace testing_support {

void WriteCountriesTable(const std::string &path, const std::vector<std::string> &codes,
                         const std::vector<std::string> &deleted) {
  xb::CreateDbfTable(path, xb::TxbDBFTypes::DBaseIV, {{"CODE", 'C', 2, 0}, {"NAME", 'C', 30, 0}});
  xb::XBO_dBHandler table(path, /*shared=*/false, /*read_write=*/true);
  for (const std::string &code : codes) {
    table.BlankRecord();
    table.StringPut("CODE", code);
    table.StringPut("NAME", code);
    table.AppendRecord();
    if (std::find(deleted.begin(), deleted.end(), code) != deleted.end()) table.DeleteRecord();
  }
}

}  // namespace testing_support
