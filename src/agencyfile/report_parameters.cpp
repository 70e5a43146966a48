// Parameters of the two reports; see report_parameters.h.
#include "agencyfile/report_parameters.h"

#include "settings/payer_check.h"
#include "settings/payer_settings.h"
#include "shell/payer_record.h"
#include "ui/report_renderer.h"

namespace agencyfile {

using namespace settings;

QString SpaceOutChars(const QString &text) {
  QString spaced;
  spaced.reserve(text.size() * 3);
  for (const QChar c : text) spaced += c + QStringLiteral("  ");
  qsizetype begin = 0, end = spaced.size();
  while (begin < end && spaced[begin] == u' ') ++begin;
  while (end > begin && spaced[end - 1] == u' ') --end;
  return spaced.mid(begin, end - begin);
}

ReportParams Report1Params(int record_count, const QString &income_total,
                           const QString &tax_total) {
  ReportParams params = {
      {"FiscalYear", GetFiscalYear()},
      {"OwnerNo", GetOwnerNo()},
      {"OwnerName", GetOwnerName()},
      {"OwnerObl", GetOwnerObl()},
      {"OwnerObst", GetOwnerObst()},
      {"OwnerNM", GetOwnerNM()},
      {"OwnerPK", GetOwnerPK()},
      {"OwnerAddr", GetOwnerAddr()},
      {"OwnerAddrName", GetOwnerAddrName()},
      {"OwnerAddrBl", GetOwnerAddrBl()},
      {"OwnerAddrNo", GetOwnerAddrNo()},
      {"OwnerAddrVh", GetOwnerAddrVh()},
      {"OwnerAddrEt", GetOwnerAddrEt()},
      {"OwnerAddrAp", GetOwnerAddrAp()},
      {"OwnerPhone", GetOwnerPhone()},
      {"OwnerEMail", GetOwnerEMail()},
      {"AuthorizedPersonName", GetAuthorizedPersonName()},
      {"AuthorizedPersonID", GetAuthorizedPersonID()},
      {"AppVerNo", kAppVerNo},
  };
  // A status word outside the four sets neither mark.
  bool stopped = false, target = false;
  if (settings::StatusFlags(GetStatus(), &stopped, &target)) {
    params.push_back({"OwnerStopped", stopped ? "x" : ""});
    params.push_back({"OwnerTarget", target ? "x" : ""});
  }
  params.push_back({"RecordCount", QString::number(record_count)});
  params.push_back({"sumf08", income_total});
  params.push_back({"sumf09", tax_total});
  return params;
}

ReportParams Report2Params(const QString &persons_count) {
  const bool eik = shell::PayerData[shell::kOwnerNoType] == QString::fromUtf8(settings::kKindEik);
  const QString spaced_no = SpaceOutChars(GetOwnerNo());
  return {
      {"AppVerNo", kAppVerNo},
      {"OwnerName", GetOwnerName()},
      {"OwnerNoEgnLnchSlNo", eik ? QString() : spaced_no},
      {"OwnerNoBulstat", eik ? spaced_no : QString()},
      {"OwnerObl", GetOwnerObl()},
      {"OwnerObl8", GetOwnerObl("8")},
      {"OwnerObst", GetOwnerObst()},
      {"OwnerObst8", GetOwnerObst("8")},
      {"OwnerNM", GetOwnerNM()},
      {"OwnerNM8", GetOwnerNM("8")},
      {"OwnerAddrFull", ComposeAddress()},
      {"OwnerAddrFull8", ComposeAddress("8")},
      {"AuthorizedPersonName", GetAuthorizedPersonName()},
      {"AuthorizedPersonID", SpaceOutChars(GetAuthorizedPersonID())},
      {"OwnerPhone", GetOwnerPhone()},
      {"OwnerEMail", GetOwnerEMail()},
      {"FiscalYear", GetFiscalYear()},
      {"TotalPersons", persons_count},
  };
}

void SetReportParams(ui::ReportRenderer &renderer, const ReportParams &params) {
  for (const ReportParam &param : params) renderer.SetParam(param.name, param.value);
}

}  // namespace agencyfile
