// The two operations behind the data entry window's buttons "Внос" and
// "Експорт CSV": pick a file, read it and show the import preview; pick a
// file and write the rows into it. Both work on the table file while the
// window's dataset is closed, and the window shows the table again after.
#pragma once

class QWidget;

namespace records {
class TDataEntryDlg;
}

namespace importfile {

// "Внос": the file chosen, read and shown in TImportDlg.
void ImportRowsFromFile(records::TDataEntryDlg &window);
// "Експорт CSV": the rows written to a chosen CSV file.
void ExportRowsToCsv(records::TDataEntryDlg &window);

}  // namespace importfile
