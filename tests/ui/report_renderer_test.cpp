// The report renderer as the windows use it: project file, parameters,
// selection, and execution to a PDF file or the preview through the output
// choice, with its progress and cancel; the shipped project's two reports
// filled and paginated on A4.
#include "ui/report_renderer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
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
#include "support/qt/shipped_report.h"
#include "ui/report_output.h"
#include "ui/report_preview.h"
#include "ui/scripted_ui_driver.h"

namespace ui {
namespace {

using testing_support::ReadFileBytes;
using testing_support::ReportRows;
using testing_support::ShippedFixture;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

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
  // The preview shows the report's pages at 115 per cent.
  QueueOutput(driver, {ReportDestination::kPreview, {}});
  double zoom = 0;
  QString preview_title;
  int painted = 0;
  driver.QueueModal([&](QDialog *dialog) {
    auto *view = dialog->findChild<ReportPageView *>();
    dialog->show();
    QApplication::processEvents();
    view->viewport()->grab();
    painted = view->PaintedPages();
    zoom = view->Zoom();
    preview_title = dialog->windowTitle();
    return int(QDialog::Accepted);
  });
  EXPECT_TRUE(renderer.Execute());
  EXPECT_EQ(driver.modals(), QStringList({"ReportOutputDialog", "ReportOutputDialog",
                                          "ReportOutputDialog", "ReportPreview"}));
  EXPECT_GE(painted, 1);
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
                 "@report R\n@footer {{page}}/{{pages}}\n@html\n<table border=\"1\" "
                 "style=\"border-collapse:collapse; border-color:#000000\"><thead><tr><th>№</th>"
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
  // The rows as they are read, then every page before it is painted.
  std::vector<std::pair<int64_t, int64_t>> steps;
  const int count = renderer.Paint(printer, [&steps](int64_t done, int64_t total) {
    steps.emplace_back(done, total);
    return true;
  });
  EXPECT_GE(count, 3);
  ASSERT_EQ(steps.size(), 200u + count);
  using Step = std::pair<int64_t, int64_t>;
  for (int i = 0; i < 200; ++i) EXPECT_EQ(steps[i], Step(i + 1, 200));
  for (int i = 0; i < count; ++i) EXPECT_EQ(steps[200 + i], Step(i + 1, count));
  EXPECT_EQ(printer.docName(), "ReportPrinter Report");
  EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
}

// A report of a few rows each taller than a page, so that it has more
// pages than rows and a cancel can be aimed at either.
struct TallRowsReport {
  TallRowsReport() {
    WriteFileBytes(dir.File("p.rav"),
                   "@report R\n@footer {{page}}/{{pages}}\n@html\n<table width=\"100%\" "
                   "border=\"1\" style=\"border-collapse:collapse; border-color:#000\">\n@end\n@rows Rows\n"
                   "<tr><td>{{row.T}}</td></tr>\n@end\n@html\n</table>\n@end\n");
    QString tall;
    for (int i = 0; i < 4000; ++i) tall += QStringLiteral("дума ");
    for (int i = 0; i < 4; ++i) rows.Add({{"T", tall}});
    renderer.SetProjectFile(QString::fromStdString(dir.File("p.rav")));
    renderer.SetConnection("Rows", &rows);
  }
  TempDir dir;
  ReportRows rows;
  ReportRenderer renderer;
};

TEST(ReportRenderer, ProgressShowsRowsThenPagesAndACancelKeepsTheOldPdf) {
  TallRowsReport report;
  ASSERT_TRUE(report.renderer.SelectReport("R"));
  const QString pdf = QString::fromStdString(report.dir.File("out.pdf"));
  WriteFileBytes(report.dir.File("out.pdf"), "the old report");
  ScriptedUiDriver driver;
  for (int64_t cancel_at : {3, 6}) {  // while the rows are read; on page 7
    SCOPED_TRACE(cancel_at);
    driver.ClearRecords();
    QueueOutput(driver, {ReportDestination::kPdfFile, pdf});
    driver.CancelProgressAt(cancel_at);
    EXPECT_FALSE(report.renderer.Execute());
    EXPECT_EQ(report.renderer.ErrorText(), "");
    ASSERT_EQ(driver.progress().size(), 1u);
    const ScriptedUiDriver::ProgressCall &call = driver.progress()[0];
    EXPECT_EQ(call.caption, "Report Status");
    EXPECT_EQ(call.cancel, Cancel::kAllowed);
    EXPECT_TRUE(call.cancelled);
    EXPECT_TRUE(call.closed);
    EXPECT_EQ(call.label, cancel_at == 3 ? "Подготовка на справката..." : "Generating page 7");
    EXPECT_EQ(ReadFileBytes(report.dir.File("out.pdf")), "the old report");
    EXPECT_EQ(QDir(QString::fromStdString(report.dir.path())).entryList(QDir::Files),
              QStringList({"out.pdf", "p.rav"}));
  }

  // Uncancelled, the new file replaces the old one; the progress went over
  // the rows and then over every page.
  driver.ClearRecords();
  QueueOutput(driver, {ReportDestination::kPdfFile, pdf});
  EXPECT_TRUE(report.renderer.Execute()) << report.renderer.ErrorText().toStdString();
  EXPECT_EQ(ReadFileBytes(report.dir.File("out.pdf")).substr(0, 5), "%PDF-");
  ASSERT_EQ(driver.progress().size(), 1u);
  const ScriptedUiDriver::ProgressCall &call = driver.progress()[0];
  EXPECT_FALSE(call.cancelled);
  EXPECT_GT(call.total, 4);
  EXPECT_EQ(call.label, QStringLiteral("Generating page %1").arg(call.total));
  EXPECT_EQ(call.last_done, call.total - 1);

  // A cancel while the rows are read opens no preview.
  driver.ClearRecords();
  QueueOutput(driver, {ReportDestination::kPreview, {}});
  driver.CancelProgressAt(2);
  EXPECT_FALSE(report.renderer.Execute());
  EXPECT_EQ(driver.modals(), QStringList({"ReportOutputDialog"}));
}

TEST(ReportRenderer, OutputDialogOffersPreviewPrinterAndPdf) {
  ReportOutputDialog setup;
  EXPECT_EQ(setup.windowTitle(), "Output Options");
  EXPECT_EQ(setup.Choice().destination, ReportDestination::kPreview);
  setup.Select({ReportDestination::kPdfFile, "/tmp/a.pdf"});
  EXPECT_EQ(setup.Choice().destination, ReportDestination::kPdfFile);
  EXPECT_EQ(setup.Choice().pdf_path, "/tmp/a.pdf");
  setup.Select({ReportDestination::kPrinter, {}});
  EXPECT_EQ(setup.Choice().destination, ReportDestination::kPrinter);
}

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
