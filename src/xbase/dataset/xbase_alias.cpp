// The alias list and the dataset directory rule; see xbase_alias.h.
#include "xbase/dataset/xbase_alias.h"

#include <fstream>

#include "xbase/file/fs_path.h"
#include "xbase/file/os_system.h"
#include "xbase/file/text_case.h"

namespace xb {
namespace {

constexpr char kAliasFileName[] = "xbase.cfg";

std::string Trim(const std::string &s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool IsSlash(char c) { return c == '/' || c == '\\'; }

TAliasList ReadAliasFile(const std::string &path) {
  TAliasList list;
  std::ifstream in(FsPath(path));
  bool inSection = false;
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      inSection =
          close != std::string::npos && UpperCp1251(Trim(line.substr(1, close - 1))) == "ALIAS";
      continue;
    }
    const auto eq = line.find('=');
    if (!inSection || eq == std::string::npos) continue;
    const std::string name = Trim(line.substr(0, eq));
    if (!name.empty() && !list.count(name)) list[name] = Trim(line.substr(eq + 1));
  }
  return list;
}

}  // namespace

bool AliasLess::operator()(const std::string &a, const std::string &b) const {
  return UpperCp1251(a) < UpperCp1251(b);
}

TAliasList &AliasList() {
  static TAliasList list = ReadAliasFile(os::SystemSettingsDirectory() + "/" + kAliasFileName);
  return list;
}

void LoadAliasList(const std::string &path) { AliasList() = ReadAliasFile(path); }

std::string ProgramDirectory() {
  const std::string path = os::ProgramFilePath();
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

std::string DatasetDirectory(const std::string &database_name) {
  if (UpperCp1251(database_name) == UpperCp1251(kDefaultDirectory)) return ProgramDirectory();
  std::string dir = database_name;
  const auto it = AliasList().find(database_name);
  if (it != AliasList().end()) dir = it->second;
  if (!dir.empty() && !IsSlash(dir.back())) dir += '/';
  return dir;
}

std::string NormalizeDatabaseName(const std::string &name) {
  if (UpperCp1251(name) == UpperCp1251(kDefaultDirectory)) return name;
  std::string value = name;
  if (!value.empty() && IsSlash(value.back())) value.pop_back();
  if (!value.empty() && !AliasList().count(value)) AliasList()[value] = value;
  return value;
}

}  // namespace xb
