// What the NTX and CDX fuzz targets do with each tag of the index they were
// given: walk it both ways through the table, search keys taken from the
// records (whole, cut short, exact and not), walk a range, and check the tag
// against the table. A tag the check finds sound must also behave soundly:
// its walks see every visible record once, and every record's key is found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace xb {
class XBO_dBHandler;
class XBobjIndexTag;
}  // namespace xb

namespace fuzz {

// The full check of a tag, whatever its format; true when it found no
// problem.
using TagCheck = bool (*)(xb::XBO_dBHandler &table, xb::XBobjIndexTag &tag);

// Selects `tag_name` on `table` (whose index files are open) and works
// through it as described above. Engine errors come out as they are raised.
void WalkTag(xb::XBO_dBHandler &table, const std::string &tag_name, TagCheck check);

// One run of an index target: the input's two parts (fuzz_files.h) become
// table.dbf and table.<extension> in the run's folder, the table is opened
// read-only with the index, and every tag the index holds is walked. Only
// engine errors may come out.
void RunIndexInput(const uint8_t *data, size_t size, const std::string &extension, TagCheck check);

}  // namespace fuzz
