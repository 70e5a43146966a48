// Header and descriptor codec of DBF tables; the layout is in dbf_format.h.
#include "xbase/table/dbf_format.h"

#include <cstring>

#include "xbase/file/byte_helpers.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb::dbf {

bool IsKnownVersion(uint8_t version) {
  switch (version) {
    case kVersionPlain:
    case kVersionDbase4:
    case kVersionVisualFox:
    case kVersionDbase3Memo:
    case kVersionDbase4Memo:
    case kVersionFoxMemo:
      return true;
    default:
      return false;
  }
}

bool VersionHasMemo(uint8_t version, uint8_t flags) {
  return version == kVersionDbase3Memo || version == kVersionDbase4Memo ||
         version == kVersionFoxMemo || (version == kVersionVisualFox && (flags & kFlagMemoFile));
}

size_t HeaderOverhead(uint8_t version) {
  return version == kVersionVisualFox ? kHeaderSize + 1 + kVisualFoxArea : kHeaderSize + 1;
}

size_t BinaryFieldSize(uint8_t version, char type) {
  if (version != kVersionVisualFox) return 0;
  switch (type) {
    case 'B':
    case 'Y':
    case 'T':
      return 8;
    case 'I':
    case 'M':
    case 'G':
      return 4;
    default:
      return 0;
  }
}

Header DecodeHeaderAgain(const uint8_t *bytes) {
  Header h;
  std::memcpy(h.image.data(), bytes, kHeaderSize);
  h.version = bytes[kOffVersion];
  h.record_count = GetLE32(bytes + kOffRecordCount);
  h.header_length = GetLE16(bytes + kOffHeaderLength);
  h.record_length = GetLE16(bytes + kOffRecordLength);
  h.encrypted = bytes[kOffEncrypted] != 0;
  h.change_stamp = GetLE32(bytes + kOffChangeStamp);
  h.user_number = GetLE32(bytes + kOffUserNumber);
  h.flags = bytes[kOffFlags];
  return h;
}

Header DecodeHeader(const uint8_t *bytes, int64_t file_size, const std::string &file_name) {
  if (!IsKnownVersion(bytes[kOffVersion])) RaiseError(msg::kHeaderInvalid, {file_name});
  const Header h = DecodeHeaderAgain(bytes);
  if (h.header_length < HeaderOverhead(h.version) || h.record_length == 0) {
    RaiseError(msg::kHeaderInvalid, {file_name});
  }
  if (static_cast<int64_t>(h.header_length) +
          static_cast<int64_t>(h.record_count) * h.record_length >
      file_size) {
    RaiseError(msg::kErrorOnRead, {file_name});
  }
  return h;
}

std::array<uint8_t, kHeaderSize> EncodeHeader(const Header &h, const LocalTime &date) {
  std::array<uint8_t, kHeaderSize> out = h.image;
  out[kOffVersion] = h.version;
  out[kOffDate] = static_cast<uint8_t>(date.year % 100);
  out[kOffDate + 1] = static_cast<uint8_t>(date.month);
  out[kOffDate + 2] = static_cast<uint8_t>(date.day);
  PutLE32(out.data() + kOffRecordCount, h.record_count);
  PutLE16(out.data() + kOffHeaderLength, h.header_length);
  PutLE16(out.data() + kOffRecordLength, h.record_length);
  out[kOffEncrypted] = h.encrypted ? 1 : 0;
  PutLE32(out.data() + kOffChangeStamp, h.change_stamp);
  PutLE32(out.data() + kOffUserNumber, h.user_number);
  out[kOffFlags] = h.flags & kFlagsKept;
  return out;
}

FieldDef DecodeDescriptor(const uint8_t *bytes) {
  FieldDef f;
  size_t len = 0;
  while (len < kFieldNameSize && bytes[kOffFieldName + len] != 0) ++len;
  f.name.assign(reinterpret_cast<const char *>(bytes + kOffFieldName), len);
  while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
  f.type = static_cast<char>(bytes[kOffFieldType]);
  if (f.type == 'C') {
    f.width = bytes[kOffFieldWidth] + 256u * bytes[kOffFieldDecimals];
    f.decimals = 0;
  } else {
    f.width = bytes[kOffFieldWidth];
    f.decimals = bytes[kOffFieldDecimals];
  }
  return f;
}

std::array<uint8_t, kDescriptorSize> EncodeDescriptor(const FieldDef &f) {
  std::array<uint8_t, kDescriptorSize> out{};
  std::memcpy(out.data() + kOffFieldName, f.name.data(), std::min(f.name.size(), kMaxFieldName));
  out[kOffFieldType] = static_cast<uint8_t>(f.type);
  out[kOffFieldWidth] = static_cast<uint8_t>(f.width & 0xFF);
  out[kOffFieldDecimals] = f.type == 'C' ? static_cast<uint8_t>((f.width >> 8) & 0xFF) : f.decimals;
  return out;
}

uint32_t ChangeStamp(const LocalTime &t) {
  return ((static_cast<uint32_t>(t.hour) * 64 + t.minute) * 64 + t.second) * 1024 +
         static_cast<uint32_t>(t.millisecond);
}

}  // namespace xb::dbf
