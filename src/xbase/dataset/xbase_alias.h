// Where a dataset's table lives: the alias list read once from the section
// "Alias" (lines name=directory) of the file "xbase.cfg" in /etc (in the
// Windows directory on Windows), and the directory rule of a dataset's
// DatabaseName.
#pragma once

#include <map>
#include <string>

namespace xb {

// The DatabaseName that stands for the program file's own directory.
inline constexpr char kDefaultDirectory[] = "Default Directory";

// Names compare without regard to letter case.
struct AliasLess {
  bool operator()(const std::string &a, const std::string &b) const;
};
using TAliasList = std::map<std::string, std::string, AliasLess>;

// The process-wide alias list, read from xbase.cfg in the system settings
// folder on first use (the file need not exist).
TAliasList &AliasList();
// Reads the "Alias" section of a file (for tests and other locations);
// replaces the list. A missing file leaves it empty.
void LoadAliasList(const std::string &path);

// The directory of the running program, with a trailing '/'.
std::string ProgramDirectory();

// The directory of a DatabaseName: the program's directory for "Default
// Directory", else the alias's directory, else the name itself; always with
// a trailing '/' (an empty name is the current directory, "").
std::string DatasetDirectory(const std::string &database_name);

// The value to keep when DatabaseName is set: one trailing '/' or '\' is
// dropped, and a name the alias list lacks is entered as mapping to itself.
std::string NormalizeDatabaseName(const std::string &name);

}  // namespace xb
