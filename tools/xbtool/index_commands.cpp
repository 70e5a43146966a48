// xbtool's index commands: `index` builds an NTX file or a tag of a CDX
// file, `seek` looks a key up, `verify` checks an index tag against its
// table, and `dump --index FILE` lists the records in index order. A CDX file
// is named with its tag: "FILE.cdx TAG" as one argument or as two.
#include "xbase/file/text_case.h"
#include "xbase/index/cdx_tag.h"
#include "xbase/index/cdx_verify.h"
#include "xbase/index/index_file.h"
#include "xbase/index/ntx_tag.h"
#include "xbase/index/ntx_verify.h"
#include "xbase/table/db_handler.h"
#include "xbtool_commands.h"

namespace xbtool {
namespace {

bool IsCdx(const std::string &file) {
  return file.size() > 4 && xb::UpperCp1251(file.substr(file.size() - 4)) == ".CDX";
}

// An index file and the tag to select in it.
struct IndexArg {
  std::string file;
  std::string tag;
};

// "FILE.ntx" (the tag is the base name), "FILE.cdx TAG", or "FILE.cdx" with
// the tag in `tag`.
IndexArg ParseIndex(const std::string &value, const std::string &tag = "") {
  const size_t blank = value.find_last_of(' ');
  if (tag.empty() && blank != std::string::npos && IsCdx(value.substr(0, blank))) {
    return {value.substr(0, blank), value.substr(blank + 1)};
  }
  if (IsCdx(value)) {
    if (tag.empty()) throw UsageError("a CDX file needs a tag name");
    return {value, tag};
  }
  return {value, xb::NtxTagNameOf(value)};
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
  if (!tag_name.empty() && !IsCdx(args[1])) throw UsageError("--tag is for CDX files only");
  const IndexArg index = ParseIndex(args[1], tag_name);
  xb::XBO_dBHandler t(args[0], true, false);
  t.IndexOn(index.file, index.tag, args[2], for_expression, unique ? 0 : 1, descending ? 1 : 0);
  t.IndexOpen(index.file, index.tag);
  if (IsCdx(index.file)) {
    auto &tag = static_cast<xb::XBobjCDXTag &>(*t.CurrentTag());
    out << tag.Tree().Check().entries.size() << " keys of length " << tag.KeyLength()
        << " written to tag " << tag.Name() << " of " << index.file << "\n";
    return 0;
  }
  auto &tag = static_cast<xb::XBobjNTXTag &>(*t.CurrentTag());
  out << tag.Tree().Check().entries.size() << " keys of length " << tag.KeyLength()
      << " written to " << args[1] << "\n";
  return 0;
}

int Seek(const std::vector<std::string> &args, std::ostream &out) {
  if (args.size() != 3 && args.size() != 4) throw UsageError("expected DBF INDEXFILE [TAG] KEY");
  const IndexArg index = ParseIndex(args[1], args.size() == 4 ? args[2] : "");
  xb::XBO_dBHandler t(args[0], true, false);
  t.IndexOpen(index.file, index.tag);
  const int64_t record = t.FindInTag(index.tag, args.back());
  if (record == 0) {
    out << "not found\n";
    return 1;
  }
  out << record << "\n";
  return 0;
}

int Verify(const std::vector<std::string> &args, std::ostream &out) {
  if (args.size() != 2 && args.size() != 3) throw UsageError("expected DBF INDEXFILE [TAG]");
  const IndexArg index = ParseIndex(args[1], args.size() == 3 ? args[2] : "");
  xb::XBO_dBHandler t(args[0], true, false);
  t.IndexOpen(index.file, index.tag);
  auto *cdx = dynamic_cast<xb::XBobjCDXTag *>(t.CurrentTag());
  const xb::IndexVerifyReport report =
      cdx ? xb::VerifyCdxTag(t, *cdx)
          : xb::VerifyNtxTag(t, static_cast<xb::XBobjNTXTag &>(*t.CurrentTag()));
  for (const std::string &problem : report.problems) out << problem << "\n";
  out << (report.problems.empty() ? "OK: " : "FAULTY: ") << report.entries << " entries in "
      << report.pages << " pages, " << report.problems.size() << " problems\n";
  return report.problems.empty() ? 0 : 1;
}

const XbtoolRegistrar kIndex{
    {"index", "DBF INDEXFILE EXPR [--tag NAME] [--unique] [--descending] [--for EXPR]",
     "build an NTX index, or add or replace the tag NAME of a CDX file, on a key expression",
     Index}};
const XbtoolRegistrar kSeek{{"seek", "DBF INDEXFILE [TAG] KEY",
                             "print the record number of a key (exact match); a CDX file "
                             "needs its TAG",
                             Seek}};
const XbtoolRegistrar kVerify{{"verify", "DBF INDEXFILE [TAG]",
                               "check every page of an NTX index or CDX tag, that each "
                               "record has exactly one entry with its current key, and that "
                               "a unique tag holds no key twice",
                               Verify}};

const DumpOptionRegistrar kIndexOrder{
    {"--index", "show the records in the order of the NTX index FILE or of \"FILE.cdx TAG\"",
     [](xb::XBO_dBHandler &table, const std::string &value) {
       const IndexArg index = ParseIndex(value);
       table.IndexOpen(index.file, index.tag);
     }}};

}  // namespace
}  // namespace xbtool
