// xbtool's table commands: create, info, dump, append, delete, pack.
#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <sstream>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/text_case.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/xbase_error.h"
#include "xbtool_commands.h"

namespace xbtool {
namespace {

using xb::XBO_dBHandler;

void NeedArgs(const std::vector<std::string> &args, size_t at_least) {
  if (args.size() < at_least) throw UsageError("missing arguments");
}

// "NAME;TYPE;LENGTH;DECIMALS" (decimals may be left out).
xb::DbfFieldSpec ParseFieldDef(const std::string &line) {
  std::vector<std::string> parts;
  std::stringstream in(line);
  for (std::string part; std::getline(in, part, ';');) parts.emplace_back(xb::TrimBlanks(part));
  if (parts.size() < 3 || parts.size() > 4 || parts[0].empty() || parts[1].size() != 1) {
    throw UsageError("field definition must be NAME;TYPE;LENGTH;DECIMALS: " + line);
  }
  xb::DbfFieldSpec spec;
  spec.name = parts[0];
  spec.type = parts[1][0];
  spec.width = static_cast<int>(ParseNumberArgument(parts[2], "length"));
  spec.decimals =
      parts.size() == 4 ? static_cast<int>(ParseNumberArgument(parts[3], "decimals")) : 0;
  const bool character = xb::UpperCp1251Char(static_cast<unsigned char>(spec.type)) == 'C';
  if (spec.width < 0 || spec.width > (character ? 65535 : 255) || spec.decimals < 0 ||
      spec.decimals > 255) {
    throw UsageError("length or decimals out of range: " + line);
  }
  return spec;
}

int Create(const std::vector<std::string> &args, std::ostream &out) {
  NeedArgs(args, 2);
  xb::TxbDBFTypes dialect = xb::TxbDBFTypes::Clipper;
  std::vector<xb::DbfFieldSpec> fields;
  std::string file;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--dialect") {
      if (++i == args.size()) throw UsageError("--dialect needs a value");
      const std::string d = xb::LowerCp1251(args[i]);
      if (d == "clipper") {
        dialect = xb::TxbDBFTypes::Clipper;
      } else if (d == "dbase3") {
        dialect = xb::TxbDBFTypes::DBaseIII;
      } else if (d == "dbase4") {
        dialect = xb::TxbDBFTypes::DBaseIV;
      } else if (d == "foxpro2") {
        dialect = xb::TxbDBFTypes::FoxPro2;
      } else {
        throw UsageError("unknown dialect " + args[i]);
      }
    } else if (file.empty()) {
      file = args[i];
    } else {
      fields.push_back(ParseFieldDef(args[i]));
    }
  }
  if (fields.empty()) throw UsageError("no field definitions");
  for (size_t i = 0; i < fields.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (xb::UpperCp1251(fields[i].name) == xb::UpperCp1251(fields[j].name)) {
        throw UsageError("field " + fields[i].name + " is defined twice");
      }
    }
  }
  out << "Created " << xb::CreateDbfTable(file, dialect, fields) << "\n";
  return 0;
}

std::string Hex(unsigned value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%02X", value);
  return buf;
}

int Info(const std::vector<std::string> &args, std::ostream &out) {
  NeedArgs(args, 1);
  XBO_dBHandler t(args[0], true, false);
  const xb::dbf::Header &h = t.HeaderData();
  const uint8_t *img = h.image.data();
  char date[32];
  std::snprintf(date, sizeof date, "%02u-%02u-%02u", img[1], img[2], img[3]);
  out << "File:          " << t.FileName() << "\n"
      << "Version:       " << Hex(h.version) << (t.HasMemo() ? " (memo file)" : "") << "\n"
      << "Last update:   " << date << " (yy-mm-dd)\n"
      << "Records:       " << t.RecordCount() << "\n"
      << "Header length: " << t.HeaderLength() << "\n"
      << "Record length: " << t.RecordLength() << "\n"
      << "Encrypted:     " << (h.encrypted ? "yes" : "no") << "\n"
      << "Change stamp:  " << h.change_stamp << "\n"
      << "User number:   " << h.user_number << "\n"
      << "Flags:         " << Hex(h.flags) << "\n"
      << "Code page:     " << Hex(img[29]) << "\n"
      << "Fields:        " << t.FieldCount() << "\n"
      << "    #  Name        Type  Width  Dec  Offset\n";
  for (const xb::dbf::FieldDef &f : t.Fields()) {
    out << std::setw(5) << f.number << "  " << std::left << std::setw(10) << f.name << "  "
        << f.type << "   " << std::right << std::setw(6) << f.width << "  " << std::setw(3)
        << static_cast<int>(f.decimals) << "  " << std::setw(6) << f.offset << "\n";
  }
  return 0;
}

int Dump(const std::vector<std::string> &args, std::ostream &out) {
  NeedArgs(args, 1);
  XBO_dBHandler t(args[0], true, false);
  t.SetUseDeleted(true);
  bool hide_deleted = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--active") {
      hide_deleted = true;
      continue;
    }
    const auto &options = DumpOptions();
    const auto it = std::find_if(options.begin(), options.end(),
                                 [&](const DumpOption &o) { return o.name == args[i]; });
    if (it == options.end()) throw UsageError("unknown option " + args[i]);
    if (++i == args.size()) throw UsageError(it->name + " needs a value");
    it->apply(t, args[i]);
  }
  t.SetUseDeleted(!hide_deleted);
  t.SetReadBuffer(true);
  for (t.GoToRecord(xb::kGoFirst); !t.Eof(); t.GoToRecord(xb::kGoNext)) {
    out << std::setw(7) << t.RecordNumber() << ' ' << (t.IsDeleted() ? '*' : ' ');
    for (int f = 1; f <= t.FieldCount(); ++f) {
      std::string text;
      try {
        text = t.StringGet(f);
      } catch (const xb::EXbaseError &) {
        text = t.FieldGet(f);  // memo block numbers and unreadable values as stored
      }
      out << (f == 1 ? " " : "|") << text;
    }
    out << "\n";
  }
  return 0;
}

int Append(const std::vector<std::string> &args, std::ostream &out) {
  NeedArgs(args, 1);
  XBO_dBHandler t(args[0], true, true);
  t.BlankRecord();
  for (size_t i = 1; i < args.size(); ++i) {
    const size_t eq = args[i].find('=');
    if (eq == std::string::npos) throw UsageError("expected NAME=VALUE: " + args[i]);
    t.StringPut(args[i].substr(0, eq), args[i].substr(eq + 1));
  }
  t.AppendRecord();
  out << "Appended record " << t.RecordNumber() << "\n";
  return 0;
}

int Delete(const std::vector<std::string> &args, std::ostream &out) {
  NeedArgs(args, 2);
  XBO_dBHandler t(args[0], true, true);
  const long long record = ParseNumberArgument(args[1], "RECNO");
  if (record <= 0) throw UsageError("RECNO must be 1 or more");
  t.GoToRecord(record);
  if (t.Eof()) throw UsageError("record " + args[1] + " is not in the table");
  if (!t.LockRecord()) {
    out << "Record " << record << " is locked by another user\n";
    return 1;
  }
  try {
    t.DeleteRecord();
  } catch (...) {
    t.UnlockRecord();
    throw;
  }
  t.UnlockRecord();
  out << "Deleted record " << record << "\n";
  return 0;
}

int Pack(const std::vector<std::string> &args, std::ostream &out) {
  NeedArgs(args, 1);
  XBO_dBHandler t(args[0], false, true);
  const long long before = t.RecordCount();
  t.Pack();
  out << "Packed " << t.FileName() << ": " << before << " -> " << t.RecordCount() << " records\n";
  return 0;
}

const XbtoolRegistrar kCreate{{"create",
                               "[--dialect clipper|dbase3|dbase4|foxpro2] FILE FIELDDEF...",
                               "create an empty table; FIELDDEF is NAME;TYPE;LENGTH;DECIMALS, "
                               "e.g. \"F01;C;5;0\"",
                               Create}};
const XbtoolRegistrar kInfo{{"info", "FILE", "show the header and the field list", Info}};
const XbtoolRegistrar kDump{{"dump", "FILE [--active] [OPTION VALUE]...",
                             "print one line per record: number, deletion flag, fields "
                             "separated by '|' (--active hides deleted records)",
                             Dump}};
const XbtoolRegistrar kAppend{{"append", "FILE NAME=VALUE...", "append one record", Append}};
const XbtoolRegistrar kDelete{{"delete", "FILE RECNO", "mark a record as deleted", Delete}};
const XbtoolRegistrar kPack{
    {"pack", "FILE", "remove the deleted records (needs the table to itself)", Pack}};

}  // namespace
}  // namespace xbtool
