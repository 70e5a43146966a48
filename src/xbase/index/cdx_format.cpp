// Encoding and decoding of CDX tag headers and nodes (layout in cdx_format.h).
#include "xbase/index/cdx_format.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "xbase/file/byte_helpers.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

constexpr char kGeneral[] = "GENERAL";
constexpr char kMachine[] = "MACHINE";

[[noreturn]] void Corrupted(const std::string &file_name) {
  RaiseError(msg::kIndexCorrupted, {file_name});
}

// A node position read from the file: none, or a node inside the file.
bool ValidLink(uint32_t position, uint64_t file_size, bool none_allowed) {
  if (position == kCdxNoSibling) return none_allowed;
  return position != 0 && position % kCdxNodeSize == 0 &&
         static_cast<uint64_t>(position) + kCdxNodeSize <= file_size;
}

// Bits of the duplicate and of the trailing count for a key length.
int CountBits(uint16_t key_length) {
  int bits = 0;
  while ((key_length >> bits) != 0) ++bits;
  return bits;  // floor(log2 L) + 1
}

std::string Padded(const std::string &key, const CdxKeyForm &form) {
  if (key.size() > form.key_length) throw std::length_error("CDX key longer than the tag's keys");
  std::string full = key;
  full.resize(form.key_length, form.pad);
  return full;
}

std::string Stripped(std::string key, char pad) {
  const size_t end = key.find_last_not_of(pad);
  key.resize(end == std::string::npos ? 0 : end + 1);
  return key;
}

struct LeafEntryCounts {
  size_t duplicate = 0;
  size_t trailing = 0;
};

// Shared prefix with the previous key and trailing pad bytes, never
// overlapping.
LeafEntryCounts CountsOf(std::string_view previous, std::string_view full, char pad) {
  LeafEntryCounts c;
  while (c.duplicate < previous.size() && previous[c.duplicate] == full[c.duplicate]) ++c.duplicate;
  const size_t last = full.find_last_not_of(pad);
  c.trailing = last == std::string::npos ? full.size() : full.size() - last - 1;
  c.trailing = std::min(c.trailing, full.size() - c.duplicate);
  return c;
}

}  // namespace

CdxTagHeader NewCdxDirectoryHeader(uint32_t root) {
  CdxTagHeader h;
  h.root = root;
  h.key_length = kCdxDirectoryKeyLength;
  h.directory = true;
  return h;
}

std::string EncodeCdxTagHeader(const CdxTagHeader &h) {
  std::string b(kCdxTagHeaderSize, '\0');
  PutLE32(&b[kCdxOffRoot], h.root);
  PutBE32(&b[kCdxOffUpdateCounter], h.update_counter);
  PutLE16(&b[kCdxOffKeyLength], h.key_length);
  uint8_t flags = h.directory ? kCdxFlagsDirectory : kCdxFlagsCompound;
  if (h.unique) flags |= kCdxFlagUnique;
  if (!h.for_expression.empty()) flags |= kCdxFlagFor;
  b[kCdxOffFlags] = static_cast<char>(flags);
  const bool general = h.collation == CdxCollation::kGeneral;
  b[kCdxOffSignature] = general ? kCdxSignatureGeneral : kCdxSignatureMachine;
  std::memcpy(&b[kCdxOffCollation], general ? kGeneral : kMachine, sizeof kGeneral - 1);
  PutLE16(&b[kCdxOffDescending], h.descending ? 1 : 0);
  // Both expressions and their NULs must fit the 512 bytes after offset 512.
  const size_t room = kCdxTagHeaderSize - kCdxOffExpressions - 2;
  const size_t key_size = std::min(h.key_expression.size(), room);
  const size_t for_size = std::min(h.for_expression.size(), room - key_size);
  PutLE16(&b[kCdxOffKeyExprLength], static_cast<uint16_t>(key_size + 1));
  PutLE16(&b[kCdxOffForExprLength], static_cast<uint16_t>(for_size + 1));
  PutLE16(&b[kCdxOffKeyExprLengthAgain], static_cast<uint16_t>(key_size + 1));
  std::memcpy(&b[kCdxOffExpressions], h.key_expression.data(), key_size);
  std::memcpy(&b[kCdxOffExpressions + key_size + 1], h.for_expression.data(), for_size);
  return b;
}

CdxTagHeader DecodeCdxTagHeader(std::string_view b, uint64_t file_size,
                                const std::string &file_name) {
  if (b.size() < kCdxTagHeaderSize) Corrupted(file_name);
  CdxTagHeader h;
  h.root = GetLE32(b.data() + kCdxOffRoot);
  h.update_counter = GetBE32(b.data() + kCdxOffUpdateCounter);
  h.key_length = GetLE16(b.data() + kCdxOffKeyLength);
  const uint8_t flags = static_cast<uint8_t>(b[kCdxOffFlags]);
  h.unique = (flags & kCdxFlagUnique) != 0;
  h.directory = (flags & kCdxFlagDirectory) != 0;
  h.descending = GetLE16(b.data() + kCdxOffDescending) != 0;
  const std::string_view name = b.substr(kCdxOffCollation, kCdxCollationSize);
  if (name.substr(0, name.find('\0')) == kGeneral) h.collation = CdxCollation::kGeneral;
  const std::string_view texts =
      b.substr(kCdxOffExpressions, kCdxTagHeaderSize - kCdxOffExpressions);
  const size_t key_end = texts.find('\0');
  h.key_expression = std::string(texts.substr(0, key_end));
  if ((flags & kCdxFlagFor) != 0 && key_end != std::string_view::npos) {
    const std::string_view rest = texts.substr(key_end + 1);
    h.for_expression = std::string(rest.substr(0, rest.find('\0')));
  }
  if (h.root == kCdxNoSibling || !ValidLink(h.root, file_size, false) || h.key_length == 0 ||
      h.key_length > kCdxMaxKeyLength || (!h.directory && h.key_expression.empty())) {
    Corrupted(file_name);
  }
  return h;
}

size_t CdxBranchCapacity(uint16_t key_length) {
  return (kCdxNodeSize - kCdxBranchOffEntries) / (key_length + kCdxBranchEntryFixedSize);
}

int CdxLeafEntryWidth(uint16_t key_length, uint64_t record_limit) {
  const int count_bits = 2 * CountBits(key_length);
  for (int width = 2;; ++width) {
    const int record_bits = width * 8 - count_bits;
    if (record_bits >= 32) return width;
    if (record_bits > 0 && ((uint64_t{1} << record_bits) - 1) >= record_limit) return width;
  }
}

size_t CdxLeafEntryBytes(std::string_view previous, std::string_view full, char pad,
                         int entry_width) {
  const LeafEntryCounts c = CountsOf(previous, full, pad);
  return entry_width + (full.size() - c.duplicate - c.trailing);
}

std::vector<size_t> CdxLeafEntrySizes(const std::vector<XBobjIndexKeyData> &entries,
                                      const CdxKeyForm &form, int entry_width) {
  std::vector<size_t> sizes;
  sizes.reserve(entries.size());
  std::string previous;
  for (const XBobjIndexKeyData &e : entries) {
    std::string full = Padded(e.key, form);
    sizes.push_back(CdxLeafEntryBytes(previous, full, form.pad, entry_width));
    previous = std::move(full);
  }
  return sizes;
}

bool CdxLeafFits(const std::vector<XBobjIndexKeyData> &entries, const CdxKeyForm &form,
                 int entry_width) {
  size_t used = 0;
  for (size_t size : CdxLeafEntrySizes(entries, form, entry_width)) used += size;
  return used <= kCdxLeafSpace;
}

std::string EncodeCdxNode(const CdxNode &node, const CdxKeyForm &form, uint64_t record_limit) {
  std::string b(kCdxNodeSize, '\0');
  PutLE16(&b[kCdxNodeOffAttributes],
          static_cast<uint16_t>((node.root ? kCdxNodeRoot : 0) | (node.leaf ? kCdxNodeLeaf : 0)));
  PutLE16(&b[kCdxNodeOffCount], static_cast<uint16_t>(node.entries.size()));
  PutLE32(&b[kCdxNodeOffLeft], node.left);
  PutLE32(&b[kCdxNodeOffRight], node.right);
  if (!node.leaf) {
    const size_t size = form.key_length + kCdxBranchEntryFixedSize;
    if (node.entries.size() > CdxBranchCapacity(form.key_length)) {
      throw std::length_error("CDX branch entries do not fit a node");
    }
    for (size_t i = 0; i < node.entries.size(); ++i) {
      const XBobjIndexKeyData &e = node.entries[i];
      char *at = &b[kCdxBranchOffEntries + i * size];
      const std::string full = Padded(e.key, form);
      std::memcpy(at, full.data(), full.size());
      PutBE32(at + form.key_length, e.record);
      PutBE32(at + form.key_length + 4, e.child);
    }
    return b;
  }
  const int width = CdxLeafEntryWidth(form.key_length, record_limit);
  if (!CdxLeafFits(node.entries, form, width)) {
    throw std::length_error("CDX leaf entries do not fit a node");
  }
  const int count_bits = CountBits(form.key_length);
  const int record_bits = std::min(32, width * 8 - 2 * count_bits);
  const uint32_t record_mask =
      record_bits >= 32 ? 0xFFFFFFFFu : static_cast<uint32_t>((uint64_t{1} << record_bits) - 1);
  const uint8_t count_mask = static_cast<uint8_t>((1u << count_bits) - 1);
  PutLE32(&b[kCdxLeafOffRecordMask], record_mask);
  b[kCdxLeafOffDuplicateMask] = static_cast<char>(count_mask);
  b[kCdxLeafOffTrailingMask] = static_cast<char>(count_mask);
  b[kCdxLeafOffRecordBits] = static_cast<char>(record_bits);
  b[kCdxLeafOffDuplicateBits] = static_cast<char>(count_bits);
  b[kCdxLeafOffTrailingBits] = static_cast<char>(count_bits);
  b[kCdxLeafOffEntryWidth] = static_cast<char>(width);
  size_t p = kCdxLeafSpace;
  std::string previous;
  for (size_t i = 0; i < node.entries.size(); ++i) {
    const XBobjIndexKeyData &e = node.entries[i];
    const std::string full = Padded(e.key, form);
    const LeafEntryCounts c = CountsOf(previous, full, form.pad);
    const size_t fresh = full.size() - c.duplicate - c.trailing;
    p -= fresh;
    std::memcpy(&b[kCdxLeafOffEntries + p], full.data() + c.duplicate, fresh);
    // Counts sit in the entry's top bits, whatever the record bits.
    const int top = width * 8;
    const uint64_t value = (e.record & record_mask) |
                           (uint64_t{c.duplicate} << (top - 2 * count_bits)) |
                           (uint64_t{c.trailing} << (top - count_bits));
    for (int k = 0; k < width; ++k) {
      b[kCdxLeafOffEntries + i * width + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
    }
    previous = full;
  }
  PutLE16(&b[kCdxLeafOffFreeBytes], static_cast<uint16_t>(p - node.entries.size() * width));
  return b;
}

CdxNode DecodeCdxNode(std::string_view b, const CdxKeyForm &form, uint64_t file_size,
                      const std::string &file_name) {
  if (b.size() < kCdxNodeSize || form.key_length == 0 || form.key_length > kCdxMaxKeyLength) {
    Corrupted(file_name);
  }
  CdxNode node;
  const uint16_t attributes = GetLE16(b.data() + kCdxNodeOffAttributes);
  node.root = (attributes & kCdxNodeRoot) != 0;
  node.leaf = (attributes & kCdxNodeLeaf) != 0;
  const size_t count = GetLE16(b.data() + kCdxNodeOffCount);
  node.left = GetLE32(b.data() + kCdxNodeOffLeft);
  node.right = GetLE32(b.data() + kCdxNodeOffRight);
  if (!ValidLink(node.left, file_size, true) || !ValidLink(node.right, file_size, true)) {
    Corrupted(file_name);
  }
  node.entries.reserve(count);
  if (!node.leaf) {
    if (count > CdxBranchCapacity(form.key_length)) Corrupted(file_name);
    const size_t size = form.key_length + kCdxBranchEntryFixedSize;
    for (size_t i = 0; i < count; ++i) {
      const char *at = b.data() + kCdxBranchOffEntries + i * size;
      XBobjIndexKeyData e;
      e.key = Stripped(std::string(at, form.key_length), form.pad);
      e.record = GetBE32(at + form.key_length);
      e.child = GetBE32(at + form.key_length + 4);
      if (!ValidLink(e.child, file_size, false)) Corrupted(file_name);
      node.entries.push_back(std::move(e));
    }
    return node;
  }
  const uint32_t record_mask = GetLE32(b.data() + kCdxLeafOffRecordMask);
  const unsigned duplicate_mask = static_cast<uint8_t>(b[kCdxLeafOffDuplicateMask]);
  const unsigned trailing_mask = static_cast<uint8_t>(b[kCdxLeafOffTrailingMask]);
  const int record_bits = static_cast<uint8_t>(b[kCdxLeafOffRecordBits]);
  const int duplicate_bits = static_cast<uint8_t>(b[kCdxLeafOffDuplicateBits]);
  const int trailing_bits = static_cast<uint8_t>(b[kCdxLeafOffTrailingBits]);
  const size_t width = static_cast<uint8_t>(b[kCdxLeafOffEntryWidth]);
  // Both counts must sit in the last two bytes, all fields in the entry, and
  // the table inside the node.
  if (width < 2 || width > 8 || record_bits > 32 || duplicate_bits + trailing_bits > 16 ||
      static_cast<size_t>(record_bits + duplicate_bits + trailing_bits) > width * 8 ||
      count * width > kCdxLeafSpace) {
    Corrupted(file_name);
  }
  const size_t L = form.key_length;
  size_t p = kCdxLeafSpace;
  const size_t table_end = count * width;
  std::string previous;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = kCdxLeafOffEntries + i * width;
    // The record is read as 4 bytes; near the node's end only what is there.
    uint32_t raw = 0;
    for (size_t k = 0; k < 4 && at + k < kCdxNodeSize; ++k) {
      raw |= uint32_t{static_cast<uint8_t>(b[at + k])} << (8 * k);
    }
    const unsigned v = GetLE16(b.data() + at + width - 2);
    const size_t t = (v >> (16 - trailing_bits)) & trailing_mask;
    const size_t d = (v >> (16 - trailing_bits - duplicate_bits)) & duplicate_mask;
    if (d + t > L || d > previous.size()) Corrupted(file_name);
    const size_t fresh = L - d - t;
    if (fresh > p || p - fresh < table_end) Corrupted(file_name);
    p -= fresh;
    std::string full = previous.substr(0, d);
    full.append(b.data() + kCdxLeafOffEntries + p, fresh);
    full.append(t, form.pad);
    previous = full;
    XBobjIndexKeyData e;
    e.record = raw & record_mask;
    e.key = Stripped(std::move(full), form.pad);
    if (form.general) {
      for (size_t k = e.key.size(); k > 0 && static_cast<uint8_t>(e.key[k - 1]) < 16; --k) {
        e.key[k - 1] = static_cast<char>(e.key[k - 1] | 0xF0);
      }
    }
    node.entries.push_back(std::move(e));
  }
  return node;
}

}  // namespace xb
