// Packing and copying a table; see db_handler.h.
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "xbase/file/fs_path.h"
#include "xbase/table/db_handler.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

constexpr int64_t kWriteChunk = 1 << 20;

std::string MemoFileOf(const std::string &table) {
  for (const char *ext : {".dbt", ".DBT", ".fpt", ".FPT"}) {
    std::filesystem::path memo = FsPath(table);
    memo.replace_extension(ext);
    std::error_code ec;
    if (std::filesystem::exists(memo, ec)) return PathText(memo);
  }
  return {};
}

}  // namespace

void XBO_dBHandler::WithFullAccess(const char *operation, const std::function<void()> &work) {
  bool locked_here = false;
  for (int tries = 0; !HasFullAccess(); ++tries) {
    if (LockTable()) {
      locked_here = true;
      break;
    }
    if (tries + 1 >= kLockWaitMs / kRetryPauseMs) {
      RaiseError(msg::kRequiresFullAccess, {operation, FileName()});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kRetryPauseMs));
  }
  const int64_t saved_record = current_record_;
  const bool saved_eof = eof_, saved_bof = bof_;
  const bool was = SetReadBuffer(true);
  auto restore = [&] {
    SetReadBuffer(was);
    if (saved_record >= 1 && saved_record <= static_cast<int64_t>(header_.record_count)) {
      XBO_dBaseFld::GoToRecord(saved_record);
    }
    eof_ = saved_eof;
    bof_ = saved_bof;
    if (locked_here) UnlockTable();
  };
  try {
    work();
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void XBO_dBHandler::WriteCopy(XBO_DiskFile &out) {
  // The header area as it stands, record count 0 until the records are in.
  std::string head(HeaderLength(), '\0');
  if (XBO_DiskFile::DiskRead(head.data(), HeaderLength(), 0) < HeaderLength()) {
    RaiseError(msg::kErrorOnRead, {FileName()});
  }
  std::memset(head.data() + dbf::kOffRecordCount, 0, 4);
  out.DiskWrite(head.data(), static_cast<int64_t>(head.size()), 0);

  const int64_t rl = RecordLength();
  int64_t written = 0;
  int64_t pos = HeaderLength();
  std::string chunk;
  chunk.reserve(static_cast<size_t>(kWriteChunk + rl + 1));
  DiskProgress(-1, 3, header_.record_count);
  for (GoToRecord(kGoFirst); !eof_; GoToRecord(kGoNext)) {
    chunk.append(buffer_, static_cast<size_t>(rl));
    ++written;
    DiskProgress(3, written, 0);
    if (static_cast<int64_t>(chunk.size()) >= kWriteChunk) {
      out.DiskWrite(chunk.data(), static_cast<int64_t>(chunk.size()), pos);
      pos += static_cast<int64_t>(chunk.size());
      chunk.clear();
    }
  }
  chunk += static_cast<char>(dbf::kEndOfFile);
  out.DiskWrite(chunk.data(), static_cast<int64_t>(chunk.size()), pos);
  dbf::Header h = header_;
  h.record_count = static_cast<uint32_t>(written);
  h.encrypted = false;
  const LocalTime now = Now();
  h.change_stamp = dbf::ChangeStamp(now);
  h.user_number = user_number_;
  const auto image = dbf::EncodeHeader(h, now);
  out.DiskWrite(image.data(), dbf::kHeaderSize, 0);
  out.DiskFlush();
  DiskProgress(0, written, 0);
}

void XBO_dBHandler::CopyFile(const std::string &target, const std::string &password) {
  if (!password.empty()) RaiseEncryption(msg::kCipherNotSupported, {target});
  WithFullAccess("CopyFile", [&] {
    std::string name(target);
    if (!FsPath(name).has_extension()) name += ".DBF";
    XBO_DiskFile out(name);
    out.DiskCreate();
    WriteCopy(out);
    out.DiskClose();
    const std::string memo = MemoFileOf(FileName());
    if (HasMemo() && !memo.empty()) {
      std::filesystem::path memo_target = FsPath(out.FileName());
      memo_target.replace_extension(FsPath(memo).extension());
      std::filesystem::copy_file(FsPath(memo), memo_target,
                                 std::filesystem::copy_options::overwrite_existing);
    }
  });
}

void XBO_dBHandler::Pack() {
  if (Shared() || !ReadWrite()) RaiseError(msg::kRequiresFullAccess, {"Pack", FileName()});
  RemoveLeftoverTemporaries();
  {
    // The copy takes every record in file order; the table's view of its
    // records comes back afterwards, also when the pack fails.
    struct View {
      XBO_dBHandler &table;
      bool use_deleted;
      XBobjIndexTag *tag;
      bool filter;
      ~View() {
        table.use_deleted_ = use_deleted;
        table.current_tag_ = tag;
        table.filter_.active = filter;
      }
    } saved{*this, use_deleted_, current_tag_, filter_.active};
    use_deleted_ = false;
    current_tag_ = nullptr;
    filter_.active = false;
    WriteHeader(true);
    // The copy is written beside the table under a name made from the
    // table's, locked while it is written, and renamed over the table in
    // one step. The memo file stays as it is: the kept records' block
    // numbers still point into it.
    XBO_DiskFile copy(FileName());
    copy.DiskCreateTemporary(kPackTemporary);
    WithFullAccess("CopyFile", [&] { WriteCopy(copy); });
    copy.DiskReplaceTarget(false, this);
    TakeOver(copy);
    ReadStructure();
    header_.record_count =
        static_cast<uint32_t>((DiskSize() - HeaderLength()) / static_cast<int64_t>(RecordLength()));
    header_dirty_ = false;
    current_record_ = 0;
    original_number_ = 0;
    ReindexAll();
  }
  // Packing renumbers the records: the filter's set is made again.
  if (filter_.active) RebuildFilter();
  GoToRecord(kGoFirst);
}

}  // namespace xb
