// The builder of new, empty DBF tables; see dbf_builder.h.
#include "xbase/table/dbf_builder.h"

#include <cstring>
#include <filesystem>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/disk_file.h"
#include "xbase/file/fs_path.h"
#include "xbase/file/text_case.h"
#include "xbase/table/dbf_format.h"

namespace xb {
namespace {

uint8_t MemoVersion(TxbDBFTypes dialect) {
  switch (dialect) {
    case TxbDBFTypes::DBaseIV:
      return dbf::kVersionDbase4Memo;
    case TxbDBFTypes::FoxPro2:
      return dbf::kVersionFoxMemo;
    default:
      return dbf::kVersionDbase3Memo;
  }
}

std::string EmptyMemo(TxbDBFTypes dialect, const std::string &base_name) {
  std::string memo;
  auto put_name = [&](size_t max) {
    std::memcpy(memo.data() + 8, base_name.data(), std::min(base_name.size(), max));
  };
  switch (dialect) {
    case TxbDBFTypes::DBaseIV:
      memo.assign(24, '\0');
      memo[0] = 1;
      put_name(10);  // bytes 8-17, in front of the block-size bytes
      memo[18] = 2;
      memo[19] = 1;
      memo[21] = 2;
      break;
    case TxbDBFTypes::FoxPro2:
      memo.assign(512, '\0');
      memo[3] = 8;
      memo[7] = 64;
      break;
    default:
      memo.assign(513, '\0');
      PutLE32(memo.data(), 1);
      put_name(504);
      memo[512] = static_cast<char>(dbf::kEndOfFile);
  }
  return memo;
}

}  // namespace

BuiltTable BuildEmptyTable(const std::vector<DbfFieldSpec> &fields, TxbDBFTypes dialect,
                           const std::string &base_name, const LocalTime &today) {
  std::string descriptors;
  bool memo = false;
  uint32_t record_length = 1;
  size_t count = 0;
  for (const DbfFieldSpec &spec : fields) {
    if (spec.name.empty()) continue;
    dbf::FieldDef f;
    f.name = UpperCp1251(spec.name).substr(0, dbf::kMaxFieldName);
    f.type = static_cast<char>(UpperCp1251Char(static_cast<unsigned char>(spec.type)));
    switch (f.type) {
      case 'B':
      case 'G':
      case 'M':
        f.width = 10;
        memo = true;
        break;
      case 'C':
        f.width = static_cast<uint32_t>(spec.width) & 0xFFFF;
        break;
      case 'D':
        f.width = 8;
        break;
      case 'L':
        f.width = 1;
        break;
      default:
        f.width = static_cast<uint32_t>(spec.width) & 0xFF;
        f.decimals = static_cast<uint8_t>(spec.decimals);
    }
    const auto d = dbf::EncodeDescriptor(f);
    descriptors.append(reinterpret_cast<const char *>(d.data()), d.size());
    record_length += f.width;
    ++count;
  }
  dbf::Header h;
  h.version = memo ? MemoVersion(dialect) : dbf::kVersionPlain;
  h.header_length = static_cast<uint16_t>(dbf::kHeaderSize * (count + 1) + 1);
  h.record_length = static_cast<uint16_t>(record_length);
  const auto header = dbf::EncodeHeader(h, today);

  BuiltTable out;
  out.table.assign(reinterpret_cast<const char *>(header.data()), header.size());
  out.table += descriptors;
  out.table += static_cast<char>(dbf::kHeaderTerminator);
  out.table += static_cast<char>(dbf::kEndOfFile);
  if (memo) {
    out.memo = EmptyMemo(dialect, base_name);
    out.memo_ext = dialect == TxbDBFTypes::FoxPro2 ? ".fpt" : ".DBT";
  }
  return out;
}

std::string CreateDbfTable(const std::string &file_name, TxbDBFTypes dialect,
                           const std::vector<DbfFieldSpec> &fields) {
  std::string name(TrimBlanks(file_name));
  if (!FsPath(name).has_extension()) name += ".DBF";
  XBO_DiskFile file(name);
  const std::filesystem::path path = FsPath(file.FileName());
  const BuiltTable built = BuildEmptyTable(fields, dialect, PathText(path.stem()), Now());
  file.DiskCreate();
  file.DiskWrite(built.table.data(), static_cast<int64_t>(built.table.size()), 0);
  file.DiskFlush();
  file.DiskClose();
  if (!built.memo.empty()) {
    XBO_DiskFile memo(PathText(std::filesystem::path(path).replace_extension(built.memo_ext)));
    memo.DiskCreate();
    memo.DiskWrite(built.memo.data(), static_cast<int64_t>(built.memo.size()), 0);
    memo.DiskFlush();
    memo.DiskClose();
  }
  return file.FileName();
}

}  // namespace xb
