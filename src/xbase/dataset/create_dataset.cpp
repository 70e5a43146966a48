// Table creation from a field list; see create_dataset.h.
#include "xbase/dataset/create_dataset.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "xbase/dataset_messages.h"
#include "xbase/file/fs_path.h"
#include "xbase/file/text_case.h"

namespace xb {
namespace {

// A whole number, blanks around it allowed.
bool ReadInt(const std::string &text, int &out) {
  const auto b = text.find_first_not_of(' ');
  if (b == std::string::npos) return false;
  const std::string t = text.substr(b, text.find_last_not_of(' ') - b + 1);
  char *end = nullptr;
  errno = 0;
  const long v = std::strtol(t.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || v < 0 || v > 65535) return false;
  out = static_cast<int>(v);
  return true;
}

DbfFieldSpec ParseLine(std::string line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == ';')) line.pop_back();
  const auto nameEnd = line.find(';');
  if (nameEnd == std::string::npos || nameEnd == 0) throw EDatabaseError(dsmsg::kInvalidFieldList);
  DbfFieldSpec spec;
  spec.name = UpperCp1251(line.substr(0, nameEnd));
  // The type: exactly one character, then ';'.
  if (line.size() < nameEnd + 3 || line[nameEnd + 2] != ';')
    throw EDatabaseError(dsmsg::kInvalidFieldList);
  spec.type = line[nameEnd + 1];
  const std::size_t lengthStart = nameEnd + 3;
  const auto lengthEnd = line.find(';', lengthStart);
  if (lengthEnd == std::string::npos) throw EDatabaseError(dsmsg::kInvalidFieldList);
  if (!ReadInt(line.substr(lengthStart, lengthEnd - lengthStart), spec.width))
    throw EDatabaseError(dsmsg::kInvalidFieldList);
  if (!ReadInt(line.substr(lengthEnd + 1, 3), spec.decimals))
    throw EDatabaseError(dsmsg::kInvalidFieldList);
  return spec;
}

}  // namespace

std::vector<DbfFieldSpec> ParseFieldList(const std::vector<std::string> &lines) {
  if (lines.empty()) throw EDatabaseError(dsmsg::kInvalidFieldList);
  std::vector<DbfFieldSpec> specs;
  std::set<std::string> names;
  for (const std::string &line : lines) {
    DbfFieldSpec spec = ParseLine(line);
    if (!names.insert(spec.name).second) throw EDatabaseError(dsmsg::kInvalidFieldList);
    specs.push_back(spec);
  }
  return specs;
}

bool TCreateXbaseDataSet::CreateTable() {
  if (!DBFTable) throw EDatabaseError(dsmsg::kNotAssigned);
  if (DBFTable->Active()) throw EDatabaseError(dsmsg::kOpenTable);
  const std::string path = DBFTable->TablePath();
  if (std::filesystem::exists(FsPath(path)) && !AutoOverwrite) {
    if (!OnConfirmOverwrite || !OnConfirmOverwrite(kOverwriteQuestion)) return false;
  }
  const std::vector<DbfFieldSpec> specs = ParseFieldList(CreateFields);
  TxbDBFTypes type = DBFType;
  switch (type) {
    case TxbDBFTypes::Clipper:
    case TxbDBFTypes::DBaseIII:
    case TxbDBFTypes::DBaseIV:
    case TxbDBFTypes::FoxPro2:
      break;
    default:
      type = TxbDBFTypes::Clipper;
  }
  CreateDbfTable(path, type, specs);
  DBFTable->Open();
  return true;
}

}  // namespace xb
