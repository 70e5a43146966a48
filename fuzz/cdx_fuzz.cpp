// libFuzzer target: the input is a table and its compound CDX index
// (fuzz_files.h tells how one input holds both), opened read-only through
// the engine's normal calls; every tag of the file's directory is walked,
// searched and checked (index_walk.h).
#include <cstdint>

#include "index_walk.h"
#include "xbase/index/cdx_tag.h"
#include "xbase/index/cdx_verify.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::RunIndexInput(data, size, "cdx", [](xb::XBO_dBHandler &table, xb::XBobjIndexTag &tag) {
    return xb::VerifyCdxTag(table, static_cast<xb::XBobjCDXTag &>(tag)).problems.empty();
  });
  return 0;
}
