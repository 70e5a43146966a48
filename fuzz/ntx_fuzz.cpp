// libFuzzer target: the input is a table and its NTX index (fuzz_files.h
// tells how one input holds both), opened read-only through the engine's
// normal calls; the tag is walked, searched and checked (index_walk.h).
#include <cstdint>

#include "index_walk.h"
#include "xbase/index/ntx_tag.h"
#include "xbase/index/ntx_verify.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::RunIndexInput(data, size, "ntx", [](xb::XBO_dBHandler &table, xb::XBobjIndexTag &tag) {
    return xb::VerifyNtxTag(table, static_cast<xb::XBobjNTXTag &>(tag)).problems.empty();
  });
  return 0;
}
