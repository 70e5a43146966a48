// The named text parameters of the two reports, in the order they are set:
// "Report1", the full report the print button prints, and "Report2", the
// sheet that accompanies the agency file. Every value is read from the
// settings file when these functions run.
#pragma once

#include <QString>
#include <vector>

namespace ui {
class ReportRenderer;
}

namespace agencyfile {

inline constexpr char kReport1[] = "Report1";
inline constexpr char kReport2[] = "Report2";
inline constexpr char kAppVerNo[] = "ver. 7.0 (2019)";

struct ReportParam {
  QString name;
  QString value;
  bool operator==(const ReportParam &) const = default;
};
using ReportParams = std::vector<ReportParam>;

// Every character of text followed by two blanks, then the blanks at both
// ends removed: "123" gives "1  2  3".
QString SpaceOutChars(const QString &text);

// Parameters 1 to 24 of "Report1": the payer, the status marks, the row count
// and the two totals as the data entry window shows them. "TotalPersons"
// is not among them: it is set after the report has been selected.
ReportParams Report1Params(int record_count, const QString &income_total, const QString &tax_total);

// The 18 parameters of "Report2", persons_count last as "TotalPersons".
ReportParams Report2Params(const QString &persons_count);

// Sets params on the renderer in their order.
void SetReportParams(ui::ReportRenderer &renderer, const ReportParams &params);

}  // namespace agencyfile
