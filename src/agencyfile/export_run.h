// The two operations the data entry window starts from its buttons: the
// agency file export ("Файл за ВЕСКОР") and the printing of the full report.
// The window hands over what they need of it in a DataEntryHost.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace records {
class TDataEntryDlg;
}

namespace xb {
class TDataSet;
class TXbaseDataSet;
}  // namespace xb

namespace agencyfile {

struct DataEntryHost {
  QWidget *window = nullptr;
  xb::TXbaseDataSet *table = nullptr;  // the income table, open
  xb::TDataSet *incomes = nullptr;     // Incomes.dbf, read-only, open
  // Shows the number-of-persons dialog; true when a number was confirmed
  // (it is then in *persons_count).
  std::function<bool()> ask_persons_count;
  const QString *persons_count = nullptr;
  // Detaches (false) and attaches again (true) the window's activation handler.
  std::function<void(bool attached)> set_activation_handler;
  // Packs the table file, leaving the dataset open on its first row; false
  // when the file could not be packed (the user has been told why).
  std::function<bool()> pack_table;
  // The totals as the window shows them.
  std::function<QString()> income_total, tax_total;
};

// What the export and the printing need of the data entry window.
DataEntryHost HostOf(records::TDataEntryDlg &window);

inline constexpr char kExportCaption[] = "файл за ВЕСКОР";
inline constexpr char kPrintCaption[] = "Печат на справка за ВЕСКОР";
inline constexpr char kConfirmCaption[] = "Създаване на файл за ВЕСКОР";

// The export: checks and numbers the rows, asks for the number of persons and
// for confirmation, writes data/<payer identifier>.txt, copies it into the
// folder the user chooses and runs "Report2". A table of more rows than the
// file can hold is refused before anything else happens. Values that do not
// fit the file stop it before anything is written; the file is replaced
// only when the new one is complete, so stopping its writing keeps the old
// one. Long steps show their progress.
void ExportAgencyFile(const DataEntryHost &host);

// The print button: checks and numbers the rows (refusing, first, a table
// of more rows than the agency file can hold), asks for the number of
// persons and runs "Report1". The grid then returns to the row it was on,
// unless the walk stopped at an incomplete row, which stays current.
void PrintIncomeReport(const DataEntryHost &host);

// The agency file's path: the data directory + identifier + ".txt".
QString AgencyFilePath(const QString &payer_id);

}  // namespace agencyfile
