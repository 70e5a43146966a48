// The command table of xbtool. A command group registers its commands from
// its own source file with a static XbtoolRegistrar; main() looks the first
// argument up here. Commands print to `out`, report engine failures by
// letting EXbaseError escape, and return the exit status.
#pragma once

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace xb {
class XBO_dBHandler;
}

namespace xbtool {

struct Command {
  std::string name;
  std::string usage;    // arguments, e.g. "FILE RECNO"
  std::string summary;  // one line
  std::function<int(const std::vector<std::string> &args, std::ostream &out)> run;
};

// A wrong command line: main() prints the message and the command's usage.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::vector<Command> &Commands();

struct XbtoolRegistrar {
  explicit XbtoolRegistrar(Command command) { Commands().push_back(std::move(command)); }
};

// Options of `dump` that other command groups add ("--filter EXPR",
// "--index FILE"): each is applied to the open table before the walk, which
// follows the table's visible records in its current order.
struct DumpOption {
  std::string name;  // with the leading "--"
  std::string help;
  std::function<void(xb::XBO_dBHandler &table, const std::string &value)> apply;
};

std::vector<DumpOption> &DumpOptions();

struct DumpOptionRegistrar {
  explicit DumpOptionRegistrar(DumpOption option) { DumpOptions().push_back(std::move(option)); }
};

// Parses a whole-number argument or throws UsageError naming it.
long long ParseNumberArgument(const std::string &text, const std::string &what);

}  // namespace xbtool
