// xbtool's index commands: `index` builds an NTX file or a tag of a CDX file, `seek` looks a key
// up, `verify` checks an NTX file against its table, and `dump --index FILE` lists the records in
// index order.
#include "xbase/cdx_build.h"
#include "xbase/db_handler.h"
#include "xbase/index_file.h"
#include "xbase/ntx_tag.h"
#include "xbase/ntx_verify.h"
#include "xbase/text_case.h"
#include "xbtool_commands.h"

namespace xbtool {
namespace {

// The tag name of an NTX file: its base name without extension.
std::string TagName(const std::string &ntx_file) {
  std::string base = xb::IndexBaseName(ntx_file);
  return base.substr(0, base.find_last_of('.'));
}

// True for a compound index file name (".cdx", any letter case).
bool IsCompound(const std::string &index_file) {
  const std::string base = xb::IndexBaseName(index_file);
  const size_t dot = base.find_last_of('.');
  return dot != std::string::npos && xb::UpperCp1251(base.substr(dot)) == ".CDX";
}

// The index file's name as the table resolves it: beside the table when it
// has no directory.
std::string BesideTable(const std::string &dbf, const std::string &index_file) {
  if (index_file.find_first_of("/\\") != std::string::npos) return index_file;
  const size_t slash = dbf.find_last_of("/\\");
  return slash == std::string::npos ? index_file : dbf.substr(0, slash + 1) + index_file;
}

int Index(const std::vector<std::string> &args, std::ostream &out) {
  if (args.size() < 3) throw UsageError("expected DBF INDEXFILE EXPR");
  bool unique = false;
  bool descending = false;
  std::string for_expression;
  std::string tag_name;
  for (size_t i = 3; i < args.size(); ++i) {
    if (args[i] == "--unique") {
      unique = true;
    } else if (args[i] == "--descending") {
      descending = true;
    } else if (args[i] == "--for" && i + 1 < args.size()) {
      for_expression = args[++i];
    } else if (args[i] == "--tag" && i + 1 < args.size()) {
      tag_name = args[++i];
    } else {
      throw UsageError("unknown option " + args[i]);
    }
  }
  const bool compound = IsCompound(args[1]);
  if (compound && tag_name.empty()) throw UsageError("a .cdx file needs --tag NAME");
  if (!compound && !tag_name.empty()) throw UsageError("--tag is for .cdx files only");
  xb::XBO_dBHandler t(args[0], true, false);
  t.IndexOn(args[1], tag_name, args[2], for_expression, unique ? 0 : 1, descending ? 1 : 0);
  if (compound) {
    const xb::CdxTagContents tag = xb::ReadCdxTag(BesideTable(args[0], args[1]), tag_name);
    out << tag.entries.size() << " keys of length " << tag.header.key_length << " written to tag "
        << xb::CdxDirectoryName(tag_name) << " of " << args[1] << "\n";
    return 0;
  }
  t.IndexOpen(args[1], TagName(args[1]));
  auto &tag = static_cast<xb::XBobjNTXTag &>(*t.CurrentTag());
  out << tag.Tree().Check().entries.size() << " keys of length " << tag.KeyLength()
      << " written to " << args[1] << "\n";
  return 0;
}

int Seek(const std::vector<std::string> &args, std::ostream &out) {
  if (args.size() != 3) throw UsageError("expected DBF NTXFILE KEY");
  xb::XBO_dBHandler t(args[0], true, false);
  t.IndexOpen(args[1], TagName(args[1]));
  const int64_t record = t.FindInTag(TagName(args[1]), args[2]);
  if (record == 0) {
    out << "not found\n";
    return 1;
  }
  out << record << "\n";
  return 0;
}

int Verify(const std::vector<std::string> &args, std::ostream &out) {
  if (args.size() != 2) throw UsageError("expected DBF NTXFILE");
  xb::XBO_dBHandler t(args[0], true, false);
  t.IndexOpen(args[1], TagName(args[1]));
  const xb::NtxVerifyReport report =
      xb::VerifyNtxTag(t, static_cast<xb::XBobjNTXTag &>(*t.CurrentTag()));
  for (const std::string &problem : report.problems) out << problem << "\n";
  out << (report.problems.empty() ? "OK: " : "FAULTY: ") << report.entries << " entries in "
      << report.pages << " pages, " << report.problems.size() << " problems\n";
  return report.problems.empty() ? 0 : 1;
}

const XbtoolRegistrar kIndex{
    {"index", "DBF INDEXFILE EXPR [--tag NAME] [--unique] [--descending] [--for EXPR]",
     "build an NTX index, or add or replace the tag NAME of a CDX file, on a key expression",
     Index}};
const XbtoolRegistrar kSeek{
    {"seek", "DBF NTXFILE KEY", "print the record number of a key (exact match)", Seek}};
const XbtoolRegistrar kVerify{{"verify", "DBF NTXFILE",
                               "check every page of an NTX index and that each record has "
                               "exactly one entry with its current key",
                               Verify}};

const DumpOptionRegistrar kIndexOrder{{"--index",
                                       "show the records in the order of the NTX index FILE",
                                       [](xb::XBO_dBHandler &table, const std::string &value) {
                                         table.IndexOpen(value, TagName(value));
                                       }}};

}  // namespace
}  // namespace xbtool
