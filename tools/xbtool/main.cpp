// xbtool: command-line work on DBF tables. Usage: xbtool COMMAND ARGS...
// Prints the engine's error texts and exits non-zero on failure.
#include <algorithm>
#include <iostream>

#include "xbase/file/os_system.h"
#include "xbase/xbase_error.h"
#include "xbtool_commands.h"

namespace xbtool {

std::vector<Command> &Commands() {
  static std::vector<Command> commands;
  return commands;
}

std::vector<DumpOption> &DumpOptions() {
  static std::vector<DumpOption> options;
  return options;
}

long long ParseNumberArgument(const std::string &text, const std::string &what) {
  size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used);
  } catch (const std::exception &) {
    used = 0;
  }
  if (used == 0 || used != text.size()) throw UsageError(what + " must be a whole number: " + text);
  return value;
}

}  // namespace xbtool

namespace {

void PrintUsage(std::ostream &out) {
  out << "usage: xbtool COMMAND ARGS...\n\ncommands:\n";
  auto commands = xbtool::Commands();
  std::sort(commands.begin(), commands.end(),
            [](const auto &a, const auto &b) { return a.name < b.name; });
  for (const auto &c : commands) {
    out << "  " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
  }
}

}  // namespace

int main(int argc, char **argv) {
  // File names and values as UTF-8, and the same bytes out, on every platform.
  xb::os::UseBinaryStandardStreams();
  const std::vector<std::string> argument = xb::os::ProgramArguments(argc, argv);
  if (argument.size() < 2 || argument[1] == "--help" || argument[1] == "help") {
    PrintUsage(argument.size() < 2 ? std::cerr : std::cout);
    return argument.size() < 2 ? 2 : 0;
  }
  const std::string name = argument[1];
  const auto &commands = xbtool::Commands();
  const auto it =
      std::find_if(commands.begin(), commands.end(), [&](const auto &c) { return c.name == name; });
  if (it == commands.end()) {
    std::cerr << "xbtool: unknown command " << name << "\n";
    PrintUsage(std::cerr);
    return 2;
  }
  const std::vector<std::string> args(argument.begin() + 2, argument.end());
  try {
    return it->run(args, std::cout);
  } catch (const xbtool::UsageError &e) {
    std::cerr << "xbtool " << name << ": " << e.what() << "\nusage: xbtool " << name << " "
              << it->usage << "\n";
    return 2;
  } catch (const xb::EXbaseError &e) {
    std::cerr << e.what() << "\n";
    return 1;
  } catch (const std::exception &e) {
    std::cerr << "xbtool " << name << ": " << e.what() << "\n";
    return 1;
  }
}
