// Encoding and decoding of NTX header and B-tree pages (layout in ntx_format.h).
#include "xbase/index/ntx_format.h"

#include <cstring>

#include "xbase/file/byte_helpers.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

uint16_t GetU16(std::string_view b, size_t at) { return GetLE16(b.data() + at); }
uint32_t GetU32(std::string_view b, size_t at) { return GetLE32(b.data() + at); }
void PutU16(std::string &b, size_t at, uint16_t v) { PutLE16(&b[at], v); }
void PutU32(std::string &b, size_t at, uint32_t v) { PutLE32(&b[at], v); }

// The text up to the first NUL inside [at, at + limit).
std::string GetCString(std::string_view b, size_t at, size_t limit) {
  const std::string_view field = b.substr(at, limit);
  return std::string(field.substr(0, field.find('\0')));
}

}  // namespace

uint16_t NtxMaxEntries(uint16_t key_length) {
  // Each entry takes its slot (2 bytes) and its bytes; the count and the
  // rightmost child's slot take 4.
  const int per_page = (kNtxPageSize - 4) / (key_length + kNtxEntryFixedSize + 2);
  return static_cast<uint16_t>(2 * ((per_page - 1) / 2));
}

std::string EncodeNtxHeader(const NtxHeader &h) {
  std::string b(kNtxPageSize, '\0');
  const bool has_for = !h.for_expression.empty();
  PutU16(b, kNtxOffSignature, has_for ? kNtxSignatureFor : kNtxSignature);
  PutU16(b, kNtxOffUpdateCounter, h.update_counter);
  PutU32(b, kNtxOffRoot, h.root);
  PutU16(b, kNtxOffEntrySize, static_cast<uint16_t>(h.key_length + kNtxEntryFixedSize));
  PutU16(b, kNtxOffKeyLength, h.key_length);
  PutU16(b, kNtxOffKeyDecimals, h.key_decimals);
  PutU16(b, kNtxOffMaxEntries, h.max_entries);
  PutU16(b, kNtxOffHalfPage, kNtxHalfPage);
  std::memcpy(&b[kNtxOffKeyExpr], h.key_expression.data(),
              std::min(h.key_expression.size(), kNtxKeyExprSize - 1));
  b[kNtxOffUnique] = h.unique ? 1 : 0;
  b[kNtxOffDescending] = h.descending ? 1 : 0;
  if (has_for) {
    std::memcpy(&b[kNtxOffForExpr], h.for_expression.data(),
                std::min(h.for_expression.size(), kNtxPageSize - kNtxOffForExpr - 1));
  }
  return b;
}

NtxHeader DecodeNtxHeader(std::string_view b, const std::string &file_name) {
  if (b.size() < kNtxPageSize) RaiseError(msg::kIndexCorrupted, {file_name});
  NtxHeader h;
  const uint16_t signature = GetU16(b, kNtxOffSignature);
  h.update_counter = GetU16(b, kNtxOffUpdateCounter);
  h.root = GetU32(b, kNtxOffRoot);
  const uint16_t entry_size = GetU16(b, kNtxOffEntrySize);
  h.key_length = GetU16(b, kNtxOffKeyLength);
  h.key_decimals = GetU16(b, kNtxOffKeyDecimals);
  h.max_entries = GetU16(b, kNtxOffMaxEntries);
  h.key_expression = GetCString(b, kNtxOffKeyExpr, kNtxKeyExprSize);
  h.unique = (b[kNtxOffUnique] & 1) != 0;
  h.descending = (b[kNtxOffDescending] & 1) != 0;
  if (signature & kNtxSignatureForBit) {
    h.for_expression = GetCString(b, kNtxOffForExpr, kNtxPageSize - kNtxOffForExpr);
  }
  // The page must hold its offsets table and max entries; the root must be a
  // page position behind the header.
  const bool fits =
      h.max_entries >= 1 && entry_size == h.key_length + kNtxEntryFixedSize &&
      NtxSlotTableEnd(h.max_entries) + static_cast<size_t>(h.max_entries) * entry_size + 4 <=
          kNtxPageSize;
  if (!fits || h.key_expression.empty() || h.root == 0 || h.root % kNtxPageSize != 0) {
    RaiseError(msg::kIndexCorrupted, {file_name});
  }
  return h;
}

std::string EncodeNtxPage(const NtxPage &page, uint16_t key_length, uint16_t max_entries) {
  std::string b(kNtxPageSize, '\0');
  const size_t entry_size = key_length + kNtxEntryFixedSize;
  const size_t count = page.entries.size();
  PutU16(b, kNtxPageOffCount, static_cast<uint16_t>(count));
  const size_t first = NtxSlotTableEnd(max_entries);
  for (size_t i = 0; i <= max_entries; ++i) {
    PutU16(b, NtxSlotOffset(i), static_cast<uint16_t>(first + i * entry_size));
  }
  for (size_t i = 0; i < count; ++i) {
    const XBobjIndexKeyData &e = page.entries[i];
    const size_t at = first + i * entry_size;
    PutU32(b, at + kNtxEntryOffChild, page.leaf ? 0 : e.child);
    PutU32(b, at + kNtxEntryOffRecord, e.record);
    std::string key = e.key.substr(0, key_length);
    key.resize(key_length, ' ');
    std::memcpy(&b[at + kNtxEntryOffKey], key.data(), key_length);
  }
  if (!page.leaf) PutU32(b, first + count * entry_size, page.rightmost);
  return b;
}

NtxPage DecodeNtxPage(std::string_view b, uint16_t key_length, uint16_t max_entries,
                      const std::string &file_name) {
  const size_t entry_size = key_length + kNtxEntryFixedSize;
  if (b.size() < kNtxPageSize) RaiseError(msg::kIndexCorrupted, {file_name});
  const uint16_t count = GetU16(b, kNtxPageOffCount);
  if (count > max_entries) RaiseError(msg::kIndexCorrupted, {file_name});
  // Where slot i lives, checked against the page: its bytes must lie behind
  // the offsets table and inside the page.
  auto slot = [&](size_t i, size_t size) {
    const size_t at = GetU16(b, NtxSlotOffset(i));
    if (at < NtxSlotTableEnd(max_entries) || at + size > kNtxPageSize) {
      RaiseError(msg::kIndexCorrupted, {file_name});
    }
    return at;
  };
  NtxPage page;
  const uint32_t first_child = GetU32(b, slot(0, 4));
  page.leaf = first_child == 0;
  page.entries.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t at = slot(i, entry_size);
    XBobjIndexKeyData &e = page.entries[i];
    e.child = GetU32(b, at + kNtxEntryOffChild);
    e.record = GetU32(b, at + kNtxEntryOffRecord);
    e.key.assign(b.substr(at + kNtxEntryOffKey, key_length));
    // Either every entry has a left child or none has.
    if ((e.child == 0) != page.leaf) RaiseError(msg::kIndexCorrupted, {file_name});
  }
  if (!page.leaf) {
    page.rightmost = GetU32(b, slot(count, 4));
    if (page.rightmost == 0) RaiseError(msg::kIndexCorrupted, {file_name});
  }
  return page;
}

}  // namespace xb
