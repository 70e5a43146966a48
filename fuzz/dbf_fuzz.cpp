// libFuzzer target: the input is a DBF file. It is opened read-only through
// the engine's table object and walked both ways with and without the
// deleted records, every field read as text and as each typed value; then
// opened through the dataset adapter, as the program's windows do, and
// walked reading every field. Only engine and dataset errors may come out,
// and both walks must see the same records as the exact count.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_files.h"
#include "xbase/dataset/dataset_field.h"
#include "xbase/dataset/dataset_types.h"
#include "xbase/dataset/xbase_dataset.h"
#include "xbase/table/db_handler.h"
#include "xbase/xbase_error.h"

namespace {

// Every read of one field; a value that does not read is an engine error.
void ReadField(xb::XBO_dBHandler &t, int field) {
  const std::string name = t.FieldName(field);
  try {
    t.StringGet(field);
    t.FieldGet(name);
  } catch (const xb::EXbaseError &) {
  }
  try {
    t.NumberGet(field);
  } catch (const xb::EXbaseError &) {
  }
  try {
    t.DateGet(field);
  } catch (const xb::EXbaseError &) {
  }
  try {
    t.LogicGet(field);
  } catch (const xb::EXbaseError &) {
  }
}

// Walks the visible records from one end to the other, reading each; returns
// how many it met.
int64_t Walk(xb::XBO_dBHandler &t, bool forward, bool read) {
  int64_t seen = 0;
  t.GoToRecord(forward ? xb::kGoFirst : xb::kGoLast);
  const int64_t limit = t.RecordCount() + 1;
  while (!t.Eof() && !t.Bof() && t.RecordNumber() > 0) {
    ++seen;
    fuzz::Require(seen <= limit, "a walk meets more records than the table has");
    if (read) {
      for (int f = 1; f <= t.FieldCount(); ++f) ReadField(t, f);
    }
    t.Skip(forward ? 1 : -1);
  }
  return seen;
}

void ReadTable(const std::string &path) {
  xb::XBO_dBHandler t(path, true, false);
  for (bool use_deleted : {false, true}) {
    t.SetUseDeleted(use_deleted);
    const int64_t forward = Walk(t, true, !use_deleted);
    const int64_t backward = Walk(t, false, false);
    fuzz::Require(forward == backward, "the walks forward and backward differ");
    fuzz::Require(forward == t.RecordCount(true), "a walk differs from the exact count");
    if (use_deleted) fuzz::Require(forward == t.RecordCount(), "not every record was walked");
  }
  t.SetUseDeleted(false);
  // Locating the first record's first field goes through the scan.
  t.GoToRecord(xb::kGoFirst);
  if (!t.Eof() && t.FieldCount() > 0) {
    const std::string value = t.StringGet(1);
    try {
      t.LocateRecord(t.FieldName(1), {value}, 0, false, false);
      t.LocateRecord(t.FieldName(1), {value}, 0, true, true);
    } catch (const xb::EXbaseError &) {
    }
  }
}

void ReadDataset(const std::string &dir, const std::string &name) {
  xb::TXbaseDataSet ds;
  ds.SetDatabaseName(dir);
  ds.SetTableName(name);
  ds.ReadOnly = true;
  ds.Open();
  const int count = ds.RecordCount();
  int seen = 0;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    ++seen;
    fuzz::Require(seen <= count + 1, "the dataset walks more records than the table has");
    for (int f = 0; f < ds.FieldCount(); ++f) {
      try {
        ds.Field(f).AsString();
      } catch (const xb::EXbaseError &) {
      } catch (const xb::EDatabaseError &) {
      }
    }
  }
  for (ds.Last(); !ds.Bof(); ds.Prior()) {
    if (--seen < -1) break;
  }
  ds.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::RunFiles files;
  const std::string path = files.Write("table.dbf", {reinterpret_cast<const char *>(data), size});
  try {
    ReadTable(path);
  } catch (const xb::EXbaseError &) {
  }
  try {
    ReadDataset(files.Path(""), "table.dbf");
  } catch (const xb::EXbaseError &) {
  } catch (const xb::EDatabaseError &) {
  }
  return 0;
}
