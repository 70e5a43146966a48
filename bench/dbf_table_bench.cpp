// Figures of the DBF table engine on the income table's layout (eleven
// character fields, 154-byte records), run in a tmpfs directory (/dev/shm):
//   AppendShared   appends through a shared table; every append takes the
//                  header lock, re-reads the header, writes record and header,
//                  and flushes (fsync) - all of it is included.
//   AppendRaw      the same bytes written with plain pwrite calls, record and
//                  count per row, no lock, no re-read, no flush: the floor.
//   ScanStringGet  walks every record with the read-ahead window and reads all
//                  eleven fields with StringGet.
//   ScanRaw        reads the file in 32 KiB blocks and cuts the same eleven
//                  trimmed strings out of each record: the floor.
//   Pack           packs 100 000 rows of which every other one is deleted.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "xbase/file/byte_helpers.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"

namespace {

using namespace xb;

std::vector<DbfFieldSpec> IncomeFields() {
  return {{"F01", 'C', 5, 0},  {"F02", 'C', 1, 0}, {"F03", 'C', 1, 0},      {"F04", 'C', 13, 0},
          {"F05", 'C', 40, 0}, {"F06", 'C', 2, 0}, {"F07", 'C', 40, 0},     {"F08", 'C', 13, 0},
          {"F09", 'C', 13, 0}, {"F10", 'C', 5, 0}, {"DATETIME", 'C', 20, 0}};
}

std::string BenchDir() {
  const std::string dir =
      std::filesystem::is_directory("/dev/shm") ? "/dev/shm/vedil-bench" : "/tmp/vedil-bench";
  std::filesystem::create_directories(dir);
  return dir;
}

const std::vector<std::string> kValues = {"12345",
                                          "0",
                                          "0",
                                          "7501010010",
                                          "Иван Петров Иванов",
                                          "BG",
                                          "София, ул. Витоша 1",
                                          "1234.56",
                                          "123.45",
                                          "101",
                                          "2024-01-01 10:00:00"};

// A table of `rows` income rows written as bytes (for the scans and the pack).
std::string MakeTable(const std::string &name, int rows, bool delete_every_other) {
  const std::string path = BenchDir() + "/" + name;
  BuiltTable built = BuildEmptyTable(IncomeFields(), TxbDBFTypes::Clipper, "B", Now());
  std::string bytes = built.table;
  bytes.pop_back();
  std::string record(154, ' ');
  size_t at = 1;
  const auto fields = IncomeFields();
  for (size_t f = 0; f < fields.size(); ++f) {
    record.replace(at, kValues[f].size(), kValues[f].substr(0, fields[f].width));
    at += fields[f].width;
  }
  for (int r = 0; r < rows; ++r) {
    record[0] = delete_every_other && r % 2 == 1 ? '*' : ' ';
    bytes += record;
  }
  bytes += '\x1A';
  PutLE32(bytes.data() + 4, static_cast<uint32_t>(rows));
  const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
  if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
  ::close(fd);
  return path;
}

void AppendShared(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path =
        CreateDbfTable(BenchDir() + "/append.dbf", TxbDBFTypes::Clipper, IncomeFields());
    XBO_dBHandler t(path, true, true);
    state.ResumeTiming();
    for (int r = 0; r < rows; ++r) {
      t.BlankRecord();
      for (int f = 1; f <= 11; ++f) t.StringPut(f, kValues[f - 1]);
      t.AppendRecord();
    }
  }
  state.SetItemsProcessed(state.iterations() * rows);
}

void AppendRaw(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = MakeTable("append_raw.dbf", 0, false);
    const int fd = ::open(path.c_str(), O_RDWR);
    state.ResumeTiming();
    std::string record(155, ' ');
    for (int r = 0; r < rows; ++r) {
      size_t at = 1;
      const auto fields = IncomeFields();
      std::memset(record.data(), ' ', 154);
      for (size_t f = 0; f < fields.size(); ++f) {
        std::memcpy(record.data() + at, kValues[f].data(),
                    std::min<size_t>(kValues[f].size(), fields[f].width));
        at += fields[f].width;
      }
      record[154] = '\x1A';
      if (::pwrite(fd, record.data(), 155, 385 + static_cast<off_t>(r) * 154) != 155) std::abort();
      uint8_t count[4];
      PutLE32(count, static_cast<uint32_t>(r + 1));
      if (::pwrite(fd, count, 4, 4) != 4) std::abort();
    }
    ::close(fd);
  }
  state.SetItemsProcessed(state.iterations() * rows);
}

void ScanStringGet(benchmark::State &state) {
  const std::string path = MakeTable("scan.dbf", static_cast<int>(state.range(0)), false);
  size_t total = 0;
  for (auto _ : state) {
    XBO_dBHandler t(path, true, false);
    t.SetReadBuffer(true);
    for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) {
      for (int f = 1; f <= 11; ++f) total += t.StringGet(f).size();
    }
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ScanRaw(benchmark::State &state) {
  const std::string path = MakeTable("scan_raw.dbf", static_cast<int>(state.range(0)), false);
  const auto fields = IncomeFields();
  size_t total = 0;
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::string block(32768 / 154 * 154, '\0');
    off_t pos = 385;
    for (ssize_t n; (n = ::pread(fd, block.data(), block.size(), pos)) >= 154;
         pos += n / 154 * 154) {
      for (ssize_t r = 0; r + 154 <= n; r += 154) {
        size_t at = static_cast<size_t>(r) + 1;
        for (const auto &f : fields) {
          std::string text(block.data() + at, f.width);
          while (!text.empty() && text.back() == ' ') text.pop_back();
          total += text.size();
          at += f.width;
        }
      }
    }
    ::close(fd);
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Pack(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = MakeTable("pack.dbf", rows, true);
    XBO_dBHandler t(path, false, true);
    state.ResumeTiming();
    t.Pack();
  }
  state.SetItemsProcessed(state.iterations() * rows);
}

BENCHMARK(AppendShared)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(AppendRaw)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ScanStringGet)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanRaw)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Pack)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
