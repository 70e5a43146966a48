// Search and stored keys of CDX tags for numbers and dates: an 8-byte
// big-endian IEEE double made to sort as unsigned bytes.
#pragma once

#include <cstdint>
#include <string>

namespace xb {

// Sign bit set for values >= 0, every bit inverted for negatives, then
// trailing zero bytes dropped (the pad a leaf restores). Negatives keep their
// trailing 0xFF bytes: dropping them would pad the key with zeros on reading
// and change its value and its order.
std::string CdxNumberKey(double value);
// A date's Julian day number as a number key.
std::string CdxDateKey(int32_t julian);

}  // namespace xb
