// TCreateXbaseDataSet: writes a new, empty table from field definitions in
// text form ("F04;C;13;0": name, type letter, length, decimals) and opens it
// through a TXbaseDataSet, whose directory and table name give the file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "xbase/dataset/xbase_dataset.h"
#include "xbase/table/dbf_builder.h"

namespace xb {

// Reads field definition lines; "Field list is invalid" (EDatabaseError)
// when the list is empty, a line does not parse or a name repeats.
std::vector<DbfFieldSpec> ParseFieldList(const std::vector<std::string> &lines);

class TCreateXbaseDataSet {
 public:
  bool AutoOverwrite = false;
  std::vector<std::string> CreateFields;
  TXbaseDataSet *DBFTable = nullptr;
  TxbDBFTypes DBFType = TxbDBFTypes::Clipper;
  // Asked "Table exists.  Do you want to overwrite?" when the file exists and
  // AutoOverwrite is off; true overwrites. Unset refuses.
  std::function<bool(const std::string &question)> OnConfirmOverwrite;

  // Writes the table and opens DBFTable; false when the overwrite was
  // refused. Raises "A table is not assigned to this object", "Cannot
  // perform this operation on an open table" and "Field list is invalid".
  bool CreateTable();
};

inline constexpr char kOverwriteQuestion[] = "Table exists.  Do you want to overwrite?";

}  // namespace xb
