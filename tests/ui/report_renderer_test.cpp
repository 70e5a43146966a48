// The report renderer as the windows use it: project file, parameters,
// selection, and execution to a PDF file through the output choice; the
// shipped project's two reports filled and paginated on A4.
#include "ui/report_renderer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include "support/common/temp_dir.h"
#include "support/qt/report_rows.h"
#include "ui/report_output.h"
#include "ui/scripted_ui_driver.h"

namespace ui {
namespace {

using testing_support::ReadFileBytes;
using testing_support::ReportRows;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

const QString kShippedProject = QStringLiteral(VEDIL_SOURCE_DIR "/data/vedil.rav");

// Answers the next "Output Options" dialog with choice.
void QueueOutput(ScriptedUiDriver &driver, const ReportOutputChoice &choice) {
  driver.QueueModal([choice](QDialog *dialog) {
    auto *setup = qobject_cast<ReportOutputDialog *>(dialog);
    if (!setup) return int(QDialog::Rejected);
    setup->Select(choice);
    return choice.destination == ReportDestination::kCancel ? int(QDialog::Rejected)
                                                            : int(QDialog::Accepted);
  });
}

TEST(ReportRenderer, SelectReportExplainsAMissingFileOrReport) {
  TempDir dir;
  ReportRenderer renderer;
  const QString path = QString::fromStdString(dir.File("vedil.rav"));
  renderer.SetProjectFile(path);
  EXPECT_FALSE(renderer.SelectReport("Report1"));
  EXPECT_EQ(renderer.ErrorText(), "Файлът с отчетите [" + path + "] не е намерен.");

  WriteFileBytes(dir.File("vedil.rav"), "@report Other\n");
  EXPECT_FALSE(renderer.SelectReport("Report1"));
  EXPECT_EQ(renderer.ErrorText(), "Във файла с отчетите [" + path + "] няма отчет \"Report1\".");
  EXPECT_TRUE(renderer.SelectedReport().isEmpty());

  WriteFileBytes(dir.File("vedil.rav"), "@report Report1\n@bogus\n");
  EXPECT_FALSE(renderer.SelectReport("Report1"));
  EXPECT_EQ(renderer.ErrorText(), path + ", ред 2: непозната директива @bogus");

  EXPECT_FALSE(renderer.Execute());
  EXPECT_EQ(renderer.ErrorText(), "Не е избран отчет.");
}

TEST(ReportRenderer, ParametersKeepTheOrderTheyWereFirstSetIn) {
  ReportRenderer renderer;
  renderer.SetParam("B", "1");
  renderer.SetParam("A", "2");
  renderer.SetParam("B", "3");
  EXPECT_EQ(renderer.ParamNames(), QStringList({"B", "A"}));
  EXPECT_EQ(renderer.Param("B"), "3");
  EXPECT_FALSE(renderer.HasParam("C"));
  EXPECT_EQ(renderer.Param("C"), "");
  renderer.ClearParams();
  EXPECT_TRUE(renderer.ParamNames().isEmpty());
}

TEST(ReportRenderer, ExecuteWritesTheChosenPdfFileAndCancelWritesNothing) {
  TempDir dir;
  WriteFileBytes(dir.File("p.rav"),
                 "@report R\n@footer стр. {{page}}\n@html\n<p>Здравей, {{Name}}</p>\n@end\n");
  ReportRenderer renderer;
  renderer.SetProjectFile(QString::fromStdString(dir.File("p.rav")));
  renderer.SetParam("Name", "свят");
  ASSERT_TRUE(renderer.SelectReport("R"));
  const QString pdf = QString::fromStdString(dir.File("out.pdf"));
  ScriptedUiDriver driver;
  QueueOutput(driver, {ReportDestination::kCancel, {}});
  EXPECT_FALSE(renderer.Execute());
  EXPECT_EQ(driver.modals(), QStringList({"ReportOutputDialog"}));
  EXPECT_FALSE(QFile::exists(pdf));

  QueueOutput(driver, {ReportDestination::kPdfFile, pdf});
  EXPECT_TRUE(renderer.Execute()) << renderer.ErrorText().toStdString();
  // The preview paints the report when it is shown, at 115 per cent.
  QueueOutput(driver, {ReportDestination::kPreview, {}});
  int preview_pages = 0;
  double zoom = 0;
  QString preview_title;
  driver.QueueModal([&](QDialog *dialog) {
    auto *view = dialog->findChild<QPrintPreviewWidget *>();
    view->updatePreview();
    preview_pages = view->pageCount();
    zoom = view->zoomFactor();
    preview_title = dialog->windowTitle();
    return int(QDialog::Accepted);
  });
  EXPECT_TRUE(renderer.Execute());
  EXPECT_EQ(driver.modals(), QStringList({"ReportOutputDialog", "ReportOutputDialog",
                                          "ReportOutputDialog", "ReportPreview"}));
  EXPECT_EQ(preview_pages, 1);
  EXPECT_DOUBLE_EQ(zoom, 1.15);
  EXPECT_EQ(preview_title, "Report Preview");

  const std::string bytes = ReadFileBytes(dir.File("out.pdf"));
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  // The text is drawn with an embedded font, not as empty boxes.
  EXPECT_NE(bytes.find("/FontFile2"), std::string::npos);
  // The job title becomes the document's title, in UTF-16 with a byte order mark.
  std::string title = "/Title (\xfe\xff";
  for (char c : std::string("ReportPrinter Report")) title += {'\0', c};
  EXPECT_NE(bytes.find(title), std::string::npos);

  QueueOutput(driver, {ReportDestination::kPdfFile, "/nonexistent/dir/out.pdf"});
  EXPECT_FALSE(renderer.Execute());
  EXPECT_EQ(renderer.ErrorText(), "Отчетът не може да бъде изведен в [/nonexistent/dir/out.pdf].");
}

TEST(ReportRenderer, LongReportRunsOverPagesReportingEachPage) {
  TempDir dir;
  WriteFileBytes(dir.File("p.rav"),
                 "@report R\n@footer {{page}}/{{pages}}\n@html\n<table><thead><tr><th>№</th>"
                 "</tr></thead>\n@end\n@rows Rows\n<tr><td>{{rowno}}</td></tr>\n@end\n"
                 "@html\n</table>\n@end\n");
  ReportRows rows;
  for (int i = 0; i < 200; ++i) rows.Add({});
  ReportRenderer renderer;
  renderer.SetProjectFile(QString::fromStdString(dir.File("p.rav")));
  renderer.SetConnection("Rows", &rows);
  ASSERT_TRUE(renderer.SelectReport("R"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.File("long.pdf")));
  std::vector<int> pages;
  const int count = renderer.Paint(printer, [&pages](int page) { pages.push_back(page); });
  EXPECT_GE(count, 3);
  ASSERT_EQ(pages.size(), static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) EXPECT_EQ(pages[i], i + 1);
  EXPECT_EQ(printer.docName(), "ReportPrinter Report");
  EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
}

TEST(ReportRenderer, StatusWindowAndPreviewCarryTheirTitlesAndZoom) {
  ReportStatusWindow status;
  status.ShowPage(QString::fromUtf8(kReportGeneratingText), 3);
  EXPECT_EQ(status.windowTitle(), "Report Status");
  EXPECT_EQ(status.Text(), "Generating page 3");
  status.ShowPage(QString::fromUtf8(kReportPrintingText), 12);
  EXPECT_EQ(status.Text(), "Printing page 12");

  QPrinter printer;
  auto preview = CreateReportPreview(&printer, nullptr);
  preview->show();
  EXPECT_EQ(preview->windowTitle(), "Report Preview");
  auto *view = preview->findChild<QPrintPreviewWidget *>();
  ASSERT_NE(view, nullptr);
  EXPECT_DOUBLE_EQ(view->zoomFactor(), 1.15);
  preview->close();

  ReportOutputDialog setup;
  EXPECT_EQ(setup.windowTitle(), "Output Options");
  EXPECT_EQ(setup.Choice().destination, ReportDestination::kPreview);
  setup.Select({ReportDestination::kPdfFile, "/tmp/a.pdf"});
  EXPECT_EQ(setup.Choice().destination, ReportDestination::kPdfFile);
  EXPECT_EQ(setup.Choice().pdf_path, "/tmp/a.pdf");
  setup.Select({ReportDestination::kPrinter, {}});
  EXPECT_EQ(setup.Choice().destination, ReportDestination::kPrinter);
}

// The payer, the rows and the code names that the shipped reports show.
struct ShippedFixture {
  ShippedFixture() {
    params = {{"FiscalYear", "2024"},
              {"OwnerNo", "121212123"},
              {"OwnerName", "Примерна Фирма ЕООД"},
              {"OwnerObl", "София-град"},
              {"OwnerObst", "Столична"},
              {"OwnerNM", "София"},
              {"OwnerPK", "1000"},
              {"OwnerAddr", "ул."},
              {"OwnerAddrName", "Витоша"},
              {"OwnerAddrBl", "№"},
              {"OwnerAddrNo", "15"},
              {"OwnerAddrVh", ""},
              {"OwnerAddrEt", "3"},
              {"OwnerAddrAp", ""},
              {"OwnerAddrFull", "ул.Витоша №15 ет.3"},
              {"OwnerAddrFull8", "бул.България №1"},
              {"OwnerObl8", "Пловдив"},
              {"OwnerPhone", "02 123 4567"},
              {"OwnerEMail", "office@primer.bg"},
              {"AuthorizedPersonName", "Иван Петров Иванов"},
              {"AuthorizedPersonID", "7  5  0  1  0  1  0  0  0  5"},
              {"OwnerNoEgnLnchSlNo", ""},
              {"OwnerNoBulstat", "1  2  1  2  1  2  1  2  3"},
              {"AppVerNo", "ver. 7.0 (2019)"},
              {"OwnerStopped", "x"},
              {"OwnerTarget", ""},
              {"RecordCount", "40"},
              {"sumf08", "4020.00"},
              {"sumf09", "402.00"},
              {"TotalPersons", "38"}};
    incomes.Add({{"CODE", "101"}, {"NAME", "Доходи от трудови правоотношения"}});
    incomes.Add({{"CODE", "820"}, {"NAME", "Доходи от етажна собственост"}});
    for (int i = 0; i < 40; ++i) {
      rows.Add({{"F02", i % 7 == 0 ? "1" : "0"},
                {"F03", i % 7 == 0 ? "2" : "0"},
                {"F04", QString("75010100%1").arg(i % 10, 2, 10, QChar('0'))},
                {"F05", QString("Лице Номер %1 Иванов-Петров").arg(i + 1)},
                {"F06", i % 7 == 0 ? "DE" : ""},
                {"F07", i % 7 == 0 ? "Berlin, Hauptstrasse 1" : ""},
                {"F08", "100.50"},
                {"F09", "10.05"},
                {"F10", i == 39 ? "820" : "101"}});
    }
  }
  void Apply(ReportRenderer &renderer) {
    renderer.SetProjectFile(kShippedProject);
    for (auto it = params.begin(); it != params.end(); ++it)
      renderer.SetParam(it.key(), it.value());
    renderer.SetConnection("RvDataSetConnection1", &rows);
    renderer.SetConnection("RvDataSetConnection2", &incomes);
  }
  QHash<QString, QString> params;
  ReportRows rows, incomes;
};

TEST(ReportRenderer, ShippedReport1ShowsPayerRowsCodeNamesAndTotals) {
  ShippedFixture fixture;
  ReportRenderer renderer;
  fixture.Apply(renderer);
  ASSERT_TRUE(renderer.SelectReport("Report1")) << renderer.ErrorText().toStdString();
  QTextDocument doc;
  doc.setHtml(renderer.BodyHtml());
  const QString text = doc.toPlainText();
  for (const char *shown :
       {"Примерна Фирма ЕООД", "121212123", "София-град", "Витоша", "Иван Петров Иванов",
        "ver. 7.0 (2019)", "4020.00", "402.00", "Лице Номер 40 Иванов-Петров",
        "Berlin, Hauptstrasse 1", "Доходи от трудови правоотношения",
        "Доходи от етажна собственост", "☒ Прекратяване", "☐ Справката е изготвена"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown;
  }
  EXPECT_TRUE(text.contains(QRegularExpression("Брой редове в справката\\s+40")));
  EXPECT_TRUE(text.contains(QRegularExpression("се подава справката\\s+38")));

  TempDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.File("r1.pdf")));
  EXPECT_GE(renderer.Paint(printer), 2);
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

// On the landscape page (96 dpi layout, 12 mm side margins) every column
// title of the rows' table breaks between words, never inside one.
TEST(ReportRenderer, ShippedReport1ColumnTitlesBreakOnlyBetweenWords) {
  ShippedFixture fixture;
  ReportRenderer renderer;
  fixture.Apply(renderer);
  ASSERT_TRUE(renderer.SelectReport("Report1"));
  QImage device(8, 8, QImage::Format_RGB32);
  device.setDotsPerMeterX(qRound(96 / 0.0254));
  device.setDotsPerMeterY(qRound(96 / 0.0254));
  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(&device);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(8);
  doc.setDefaultFont(font);
  doc.setDocumentMargin(0);
  doc.setHtml(renderer.BodyHtml());
  doc.setTextWidth((297 - 24) / 25.4 * 96);
  doc.size();  // lays the document out
  for (const char *title : {"Код на дохода", "Вид на дохода", "Размер на дохода (лв.)",
                            "Удържан данък (лв.)", "Собствено, бащино и фамилно име", "№ по ред"}) {
    SCOPED_TRACE(title);
    const QTextCursor found = doc.find(QString::fromUtf8(title));
    ASSERT_FALSE(found.isNull());
    const QTextBlock block = found.block();
    const QTextLayout *layout = block.layout();
    for (int i = 0; i + 1 < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const int end = line.textStart() + line.textLength();
      EXPECT_TRUE(block.text().at(end - 1).isSpace() || block.text().at(end).isSpace())
          << block.text().left(end).toStdString();
    }
  }
}

TEST(ReportRenderer, ShippedReport2ShowsBothAddressesBoxesAndFileTotals) {
  ShippedFixture fixture;
  ReportRenderer renderer;
  fixture.Apply(renderer);
  ASSERT_TRUE(renderer.SelectReport("Report2")) << renderer.ErrorText().toStdString();
  QTextDocument doc;
  doc.setHtml(renderer.BodyHtml());
  const QString text = doc.toPlainText();
  for (const char *shown :
       {"Примерна Фирма ЕООД", "ул.Витоша №15 ет.3", "бул.България №1", "Пловдив", "02 123 4567",
        "office@primer.bg", "Иван Петров Иванов", "4020.00", "402.00"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown;
  }
  EXPECT_TRUE(text.contains(QRegularExpression("файла\\s+40")));
  EXPECT_TRUE(text.contains(QRegularExpression("справката\\s+38")));

  TempDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.File("r2.pdf")));
  EXPECT_EQ(renderer.Paint(printer), 1);
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
}

}  // namespace
}  // namespace ui
