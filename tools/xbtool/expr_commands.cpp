// xbtool's expression commands: `eval` evaluates an expression on one record,
// and `dump --filter EXPR` shows only the records for which it is true.
#include <cstdio>

#include "xbase/expr/expr_dates.h"
#include "xbase/expr/expr_handler.h"
#include "xbase/table/db_handler.h"
#include "xbase/xbase_error.h"
#include "xbtool_commands.h"

namespace xbtool {
namespace {

// Texts in double quotes so that trailing blanks show; dates in the short
// date form; logicals as .T. and .F.
std::string ShowValue(const xb::ExpValue &v) {
  switch (v.type) {
    case xb::ExpType::kText:
    case xb::ExpType::kMemo:
      return "\"" + v.text + "\"";
    case xb::ExpType::kDate:
      return xb::ExpDateToShortDate(v.number);
    case xb::ExpType::kNumber:
    case xb::ExpType::kInteger:
    case xb::ExpType::kDateTime: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.15g", v.number);
      return buf;
    }
    case xb::ExpType::kBoolean:
      return v.logic ? ".T." : ".F.";
    default:
      return "";
  }
}

int Eval(const std::vector<std::string> &args, std::ostream &out) {
  if (args.size() < 2 || args.size() > 3) throw UsageError("expected FILE EXPR [RECNO]");
  xb::XBO_dBHandler t(args[0], true, false);
  if (args.size() == 3) {
    const long long record = ParseNumberArgument(args[2], "RECNO");
    if (record <= 0) throw UsageError("RECNO must be 1 or more");
    t.GoToRecord(record);
    if (t.Eof()) throw UsageError("record " + args[2] + " is not in the table");
  } else {
    t.GoToRecord(xb::kGoFirst);
  }
  xb::TxbExpHandler expression(&t.ExpressionLink(), false, t.Alias(), args[1]);
  const xb::ExpValue value = expression.Evaluate();
  out << ShowValue(value) << " (" << xb::ExpTypeName(value.type) << ")\n";
  return 0;
}

const XbtoolRegistrar kEval{{"eval", "FILE EXPR [RECNO]",
                             "evaluate an expression on a record (default: the first) and print "
                             "the value and its type",
                             Eval}};

const DumpOptionRegistrar kFilter{
    {"--filter", "show only the records for which the logical expression EXPR is true",
     [](xb::XBO_dBHandler &table, const std::string &value) {
       table.SetFilter(value, false, true);
     }}};

}  // namespace
}  // namespace xbtool
