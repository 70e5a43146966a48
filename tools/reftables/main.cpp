// vedil-reftables: the generator of the reference tables that ship in data/.
//
//   vedil-reftables countries ISO_JSON BG_MO   prints sources/countries.tsv
//   vedil-reftables build SOURCES_DIR OUT_DIR  writes Countries.dbf, Incomes.dbf
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include <exception>

#include "iso_countries.h"
#include "records/reference_tables_build.h"
#include "ui/engine_text.h"
#include "xbase/file/os_system.h"

namespace {

constexpr char kUsage[] =
    "usage: vedil-reftables countries ISO_3166-1_JSON BULGARIAN_MO > countries.tsv\n"
    "       vedil-reftables build SOURCES_DIR OUT_DIR\n";

int PrintCountries(const QString &json_path, const QString &mo_path) {
  QString error;
  const auto countries = reftables::ImportIsoCountries(json_path, mo_path, &error);
  if (!countries) {
    std::fprintf(stderr, "vedil-reftables: %s\n", qUtf8Printable(error));
    return 1;
  }
  QTextStream out(stdout);
  out << "# ISO 3166-1 countries with their Bulgarian names, imported from Debian's\n"
         "# iso-codes package by `vedil-reftables countries` (iso_3166-1.json and the\n"
         "# Bulgarian iso_3166-1.mo). One per line: code, a tab, the name.\n";
  for (const auto &[code, name] : *countries) out << code << '\t' << name << '\n';
  return 0;
}

int BuildTables(const QString &sources_dir, const QString &out_dir) {
  QString error;
  try {
    if (records::BuildReferenceTables(sources_dir, out_dir, &error)) return 0;
  } catch (const std::exception &e) {
    error = ui::EngineErrorText(e.what());
  }
  std::fprintf(stderr, "vedil-reftables: %s\n", qUtf8Printable(error));
  return 1;
}

}  // namespace

int main(int argc, char **argv) {
  // The printed list is the committed source file, the same bytes everywhere.
  xb::os::UseBinaryStandardStreams();
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() == 4 && args[1] == QLatin1String("countries"))
    return PrintCountries(args[2], args[3]);
  if (args.size() == 4 && args[1] == QLatin1String("build")) return BuildTables(args[2], args[3]);
  std::fputs(kUsage, stderr);
  return 2;
}
