// vedil-check FILE: runs the agency file check of the program's checker
// window on FILE, with the shipped countries table (read where it was
// installed, no home of its own) and the year of the computer's clock, and prints the result in
// UTF-8. Exit status: 0 correct, 1 incorrect, 2 the file could not be
// checked (unreadable, another code page, countries table unreadable).
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "agencyfile/check_report.h"
#include "agencyfile/country_codes.h"
#include "shell/app_paths.h"
#include "shell/program_home.h"
#include "xbase/file/os_system.h"

namespace {

void Print(std::FILE *stream, const QString &text) {
  const QByteArray utf8 = text.toUtf8();
  std::fwrite(utf8.constData(), 1, utf8.size(), stream);
}

}  // namespace

int main(int argc, char **argv) {
  xb::os::UseBinaryStandardStreams();  // the same bytes out on every platform
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 2) {
    Print(stderr, QStringLiteral("Употреба: vedil-check ФАЙЛ\n"));
    return 2;
  }
  const QString program = QCoreApplication::applicationFilePath();
  shell::InitAppHome(shell::ShippedFilesDir(program), QFileInfo(program).fileName());
  const QString path = args.at(1);
  const agencyfile::CheckResult result = agencyfile::CheckAgencyFile(
      agencyfile::AgencySource::File(path), agencyfile::DefaultCheckOptions());
  Print(stdout, agencyfile::CheckReportText(path, result));
  return agencyfile::CheckExitStatus(result.verdict);
}
