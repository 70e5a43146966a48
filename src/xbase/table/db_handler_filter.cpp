// The table's filter: compiling it, building the set of passing records with
// the read-ahead window, and keeping a record's bit current after every append
// and rewrite; see SetFilter in db_handler.h.
#include <chrono>

#include "xbase/table/db_handler.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

// The filter's verdict on the record in the buffer; a value that is not
// logical is refused.
bool Passes(TxbExpHandler &filter) {
  const ExpValue v = filter.Evaluate();
  if (v.type != ExpType::kBoolean) RaiseError(msg::kFilterNotBoolean);
  return v.logic;
}

}  // namespace

void XBO_dBHandler::SetFilter(const std::string &expression, bool case_insensitive, bool partial) {
  if (TrimBlanks(expression).empty()) {
    filter_.active = false;
    filter_.expression.clear();
    filter_.compiled.reset();
    filter_.passing.Clear();
    return;
  }
  auto compiled = std::make_unique<TxbExpHandler>(&ExpressionLink(), false, Alias(), "");
  compiled->SetCaseInsensitive(case_insensitive);
  compiled->SetPartial(partial);
  compiled->SetExpression(expression);
  // The type is checked on every record of the build, and on the record in
  // the buffer (blank when none) for an empty table.
  RefreshHeader();
  if (RecordCount() == 0) Passes(*compiled);

  FilterState previous;
  std::swap(previous, filter_);
  filter_.expression = expression;
  filter_.compiled = std::move(compiled);
  filter_.active = true;
  try {
    RebuildFilter();
  } catch (...) {
    std::swap(previous, filter_);
    throw;
  }
}

void XBO_dBHandler::RebuildFilter() {
  const auto start = std::chrono::steady_clock::now();
  const int64_t position = current_record_;
  TxbHugeSet passing;
  {
    XBO_ReadAheadScope read_ahead(*this);
    RefreshHeader();
    const int64_t count = RecordCount();
    for (int64_t r = 1; r <= count; ++r) {
      XBO_dBaseFld::GoToRecord(r);
      if (Passes(*filter_.compiled)) passing.Include(r);
    }
  }
  filter_.passing = std::move(passing);
  if (position > 0 && position <= RecordCount()) XBO_dBaseFld::GoToRecord(position);
  filter_.build_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - start)
                         .count();
}

// The record was written already, so a record the filter cannot evaluate
// (say, a division by zero in its fields) is hidden rather than reported as a
// failed write.
void XBO_dBHandler::UpdateFilterBit(int64_t record) {
  bool passes = false;
  try {
    passes = Passes(*filter_.compiled);
  } catch (const EXbaseError &) {
    passes = false;
  }
  if (passes)
    filter_.passing.Include(record);
  else
    filter_.passing.Exclude(record);
}

}  // namespace xb
