// The detail band painted directly against the same report laid out as one
// HTML document, as it was before: the same pages, cut at the same places,
// looking the same and holding the same texts (a PDF file's text is what a
// search or a copy finds, clipped or not), for the shipped "Report1" and for
// a band with its own padding, border colour, colours, fonts and a spanned
// cell.
#include "ui/report_pages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPaintEngine>
#include <QPainter>

#include "support/qt/report_rows.h"
#include "support/qt/shipped_report.h"

namespace ui {
namespace {

using testing_support::ReportRows;
using testing_support::ShippedFixture;

// The project with its band turned into plain HTML: an empty span before
// the end of every cell lays out the same and is markup, which a band may
// not hold, so the rows are laid out as HTML.
QString WithoutBand(QString project) {
  const qsizetype rows = project.indexOf(QStringLiteral("@rows "));
  const qsizetype end = project.indexOf(QStringLiteral("@end"), rows);
  QString block = project.mid(rows, end - rows);
  block.replace(QStringLiteral("</td>"), QStringLiteral("<span></span></td>"));
  return project.left(rows) + block + project.mid(end);
}

struct Laid {
  Laid(const QString &project, const QString &name, const QHash<QString, QString> &params,
       const QHash<QString, ReportRowSource *> &connections)
      : parsed(ParseReportProject(project, "t.rav")),
        report(*parsed.Find(name)),
        filler(report, params, connections),
        pages(ReportPages::Lay(report, filler, ReportPageArea(ReportPageLayout(report.page)))) {}
  ReportProject parsed;
  const ReportDefinition &report;
  ReportFiller filler;
  std::unique_ptr<ReportPages> pages;
};

QImage PageImage(ReportPages &pages, int index) {
  constexpr double kScale = 2;
  QImage image((pages.PageSize() * kScale).toSize(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(kScale, kScale);
  pages.Paint(painter, index);
  return image;
}

// A page-sized device that keeps the texts painted on it, wherever they
// fall, and draws nothing.
class TextRecorder : public QPaintDevice {
 public:
  explicit TextRecorder(const QSizeF &page) : image_(page.toSize(), QImage::Format_RGB32) {}
  QPaintEngine *paintEngine() const override { return &engine_; }
  QStringList Texts() const {
    QStringList texts = engine_.texts;
    texts.sort();
    return texts;
  }

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth: return image_.width();
      case PdmHeight: return image_.height();
      case PdmWidthMM: return image_.widthMM();
      case PdmHeightMM: return image_.heightMM();
      case PdmDpiX: case PdmPhysicalDpiX: return image_.logicalDpiX();
      case PdmDpiY: case PdmPhysicalDpiY: return image_.logicalDpiY();
      case PdmDepth: return 32;
      case PdmNumColors: return INT_MAX;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    }
    return 0;
  }

 private:
  struct Engine : QPaintEngine {
    Engine() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawTextItem(const QPointF &, const QTextItem &item) override {
      if (!item.text().trimmed().isEmpty()) texts << item.text().trimmed();
    }
    Type type() const override { return User; }
    QStringList texts;
  };
  QImage image_;
  mutable Engine engine_;
};

QStringList PageTexts(ReportPages &pages, int index) {
  TextRecorder recorder(pages.PageSize());
  QPainter painter(&recorder);
  pages.Paint(painter, index);
  painter.end();
  return recorder.Texts();
}

// Pixels whose colour differs clearly, not by a shade of antialiasing.
int DifferentPixels(const QImage &a, const QImage &b) {
  int different = 0;
  for (int y = 0; y < a.height(); ++y) {
    const QRgb *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
    const QRgb *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      const int d = std::max({std::abs(qRed(pa[x]) - qRed(pb[x])),
                              std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                              std::abs(qBlue(pa[x]) - qBlue(pb[x]))});
      if (d > 64) ++different;
    }
  }
  return different;
}

void ExpectSamePages(const QString &project, const QString &name,
                     const QHash<QString, QString> &params,
                     const QHash<QString, ReportRowSource *> &connections) {
  Laid band(project, name, params, connections);
  Laid html(WithoutBand(project), name, params, connections);
  ASSERT_EQ(band.pages->PaintsBandDirectly(), band.pages->BandRows() > 0);
  ASSERT_EQ(band.pages->PaintsHeaderDirectly(), band.pages->BandRows() > 0);
  ASSERT_FALSE(html.pages->PaintsBandDirectly());
  ASSERT_EQ(band.pages->Count(), html.pages->Count());
  for (int i = 0; i < band.pages->Count(); ++i) {
    SCOPED_TRACE(i);
    const ReportPageSlice &a = band.pages->Slices()[i], &b = html.pages->Slices()[i];
    EXPECT_NEAR(a.top, b.top, 1e-6);
    EXPECT_NEAR(a.bottom, b.bottom, 1e-6);
    EXPECT_EQ(a.repeat_header, b.repeat_header);
    EXPECT_NEAR(a.header_top, b.header_top, 1e-6);
    EXPECT_NEAR(a.header_bottom, b.header_bottom, 1e-6);
    const QImage ia = PageImage(*band.pages, i), ib = PageImage(*html.pages, i);
    EXPECT_LE(DifferentPixels(ia, ib), 0);
    EXPECT_EQ(PageTexts(*band.pages, i), PageTexts(*html.pages, i));
    if (qEnvironmentVariableIsSet("DUMP")) {
      static int dumped = 0;
      ++dumped;
      ia.save(QStringLiteral("/tmp/scratch/band-%1-%2.png").arg(dumped).arg(i));
      ib.save(QStringLiteral("/tmp/scratch/html-%1-%2.png").arg(dumped).arg(i));
    }
  }
}

QString ReadProject(const QString &path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return QString::fromUtf8(file.readAll());
}

// Rows whose names, addresses and code names wrap at every length around a
// column's width, with blanks, markup characters and a character from
// outside the Latin and Cyrillic ranges.
void AddAwkwardRows(ReportRows &rows, ReportRows &incomes) {
  incomes.Add({{"CODE", "3071"},
               {"NAME", "Възнаграждения по граждански договори за извършени услуги, "
                        "включително и за много други неща"}});
  const QString name = "Александър Константинов Хаджиконстантинов-Попгеоргиев";
  const QString places[] = {"  гр. София", "ул.  Витоша   № 15", "<b>&amp; \"кв.\"",
                            "Hauptstrasseundnochmehrbuchstabenzusammengeschrieben",
                            "a\tb → c", ""};
  for (int n = 1; n <= name.size(); n += 2) {
    rows.Add({{"F02", n % 3 ? "0" : "1"},
              {"F03", "0"},
              {"F04", QString::number(7501010000LL + n)},
              {"F05", name.left(n)},
              {"F06", "BG"},
              {"F07", places[n % 6]},
              {"F08", QString::number(n * 1000) + ".25"},
              {"F09", "1.00"},
              {"F10", n % 4 ? "3071" : "820"}});
  }
}

TEST(ReportPages, ShippedReport1LooksAsItsHtmlWouldForAnyNumberOfRows) {
  const QString project = ReadProject(testing_support::kShippedProject);
  for (int rows : {0, 1, 40, -1}) {  // -1: the fixture's rows and the awkward ones
    SCOPED_TRACE(rows);
    ShippedFixture fixture;
    ReportRows some;
    for (int i = 0; i < rows; ++i) some.Add({{"F05", QString("Лице %1").arg(i)}, {"F10", "101"}});
    QHash<QString, ReportRowSource *> connections = fixture.Connections();
    if (rows >= 0) connections["RvDataSetConnection1"] = &some;
    if (rows < 0) AddAwkwardRows(fixture.rows, fixture.incomes);
    ExpectSamePages(project, "Report1", fixture.params, connections);
  }
}

TEST(ReportPages, BandWithItsOwnBordersColoursAndSpanLooksAsItsHtmlWould) {
  const QString project = QStringLiteral(
      "@report R\n@page A4 portrait 15 15 15 15\n@font DejaVu Sans 9\n"
      "@footer {{page}}/{{pages}}\n@html\n<p>Заглавие</p>\n"
      "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"5\" "
      "style=\"border-collapse:collapse; border-style:solid; border-color:#336699\">\n"
      "<thead><tr bgcolor=\"#dddddd\"><th width=\"10%\">№</th><th width=\"40%\">Текст</th>"
      "<th width=\"25%\">А</th><th width=\"25%\">Б</th></tr></thead>\n@end\n"
      "@rows Rows\n<tr bgcolor=\"#f0f0e0\" style=\"font-size:10pt\">"
      "<td align=\"right\">{{rowno}}</td>"
      "<td style=\"color:#aa0000\">{{row.T}}</td>"
      "<td colspan=\"2\" valign=\"top\" align=\"center\" style=\"font-size:8pt; "
      "font-weight:bold\">&lt;{{row.A|map:x=хикс}}&gt;&nbsp;&#8212;</td></tr>\n@end\n"
      "@html\n<tr><td colspan=\"4\">Край на таблицата</td></tr></table>\n<p>Бележка</p>\n@end\n");
  ReportRows rows;
  QString text;
  for (int i = 0; i < 90; ++i) {
    text += i % 9 ? QStringLiteral("дума ") : QStringLiteral("дългадумабезпрекъсване");
    rows.Add({{"T", text}, {"A", i % 2 ? "x" : QString(i, u'ж')}});
  }
  const QHash<QString, QString> params;
  const QHash<QString, ReportRowSource *> connections{{"Rows", &rows}};
  ExpectSamePages(project, "R", params, connections);
  // A wider table border is not what the cells get, a coloured outset
  // border has lighter and darker sides, the document draws a cell aligned
  // to the middle a little off its place: such bands are left to the HTML,
  // and so is a band without rows.
  const std::pair<const char *, const char *> kOthers[] = {
      {"border=\"1\"", "border=\"2\""},
      {"border-style:solid", "border-style:outset"},
      {"valign=\"top\"", "valign=\"middle\""}};
  for (const auto &[from, to] : kOthers) {
    SCOPED_TRACE(to);
    const QString changed = QString(project).replace(from, to);
    ASSERT_NE(changed, project);
    EXPECT_FALSE(Laid(changed, "R", params, connections).pages->PaintsBandDirectly());
  }
  ReportRows none;
  EXPECT_FALSE(Laid(project, "R", params, {{"Rows", &none}}).pages->PaintsBandDirectly());
}

TEST(ReportPages, BandKeepsEachRowsTextsAndHeights) {
  ShippedFixture fixture;
  const QString project = ReadProject(testing_support::kShippedProject);
  Laid laid(project, "Report1", fixture.params, fixture.Connections());
  ASSERT_TRUE(laid.pages->PaintsBandDirectly());
  ASSERT_EQ(laid.pages->BandRows(), 40);
  // № по ред, ЧФЛ, ..., the code's name from the lookup, the amounts.
  EXPECT_EQ(laid.pages->CellText(0, 0), "1");
  EXPECT_EQ(laid.pages->CellText(0, 1), "Да");
  EXPECT_EQ(laid.pages->CellText(39, 8), "Доходи от етажна собственост");
  EXPECT_EQ(laid.pages->CellText(39, 10), "10.05");
  // Rows of one line are all as high as one another; a wrapped name is higher.
  EXPECT_EQ(laid.pages->RowHeight(1), laid.pages->RowHeight(2));
  ReportRows rows;
  rows.Add({{"F05", "Кратко"}});
  rows.Add({{"F05", QString(30, u'Ш') + " " + QString(30, u'Ш')}});
  QHash<QString, ReportRowSource *> connections = fixture.Connections();
  connections["RvDataSetConnection1"] = &rows;
  Laid wrapped(project, "Report1", fixture.params, connections);
  EXPECT_GT(wrapped.pages->RowHeight(1), wrapped.pages->RowHeight(0));
}

// The row number's column is laid out for one digit; four digits reach into
// its padding rather than break over two lines, five are set smaller, and
// the row keeps its height.
TEST(ReportPages, FourAndFiveDigitRowNumbersStayOnOneLine) {
  ShippedFixture fixture;
  ReportRows rows;
  for (int i = 0; i < 10000; ++i) rows.Add({{"F05", "Кратко"}});
  QHash<QString, ReportRowSource *> connections = fixture.Connections();
  connections["RvDataSetConnection1"] = &rows;
  Laid laid(ReadProject(testing_support::kShippedProject), "Report1", fixture.params,
            connections);
  ASSERT_EQ(laid.pages->CellText(999, 0), "1000");
  EXPECT_EQ(laid.pages->RowHeight(999), laid.pages->RowHeight(0));
  ASSERT_EQ(laid.pages->CellText(9999, 0), "10000");
  EXPECT_EQ(laid.pages->RowHeight(9999), laid.pages->RowHeight(0));
  // The last row is on the last page or, when the totals took a page of
  // their own, on the one before.
  const int last = laid.pages->Count() - 1;
  const QStringList texts = PageTexts(*laid.pages, last - 1) + PageTexts(*laid.pages, last);
  EXPECT_TRUE(texts.contains("10000")) << texts.join("|").toStdString();
}

// The pages cut while the rows are read a few at a time are those of the
// whole report laid out at once, each painted as it will be once all are
// cut, but for the page count, which the footer shows as "…" till then.
TEST(ReportPages, PagesCutWhileTheRowsAreReadAreThoseOfTheWholeReport) {
  const QString project = ReadProject(testing_support::kShippedProject);
  ShippedFixture fixture;
  for (int i = 0; i < 200; ++i)
    fixture.rows.Add({{"F05", QString("Лице %1").arg(i)}, {"F10", i % 3 ? "101" : "820"}});
  AddAwkwardRows(fixture.rows, fixture.incomes);
  const QHash<QString, ReportRowSource *> connections = fixture.Connections();
  for (const bool count_in_footer : {false, true}) {
    SCOPED_TRACE(count_in_footer);
    const QString tried =
        count_in_footer ? project : QString(project).replace("{{pages}}", QString());
    Laid whole(tried, "Report1", fixture.params, connections);
    ASSERT_GT(whole.pages->Count(), 3);
    ReportFiller filler(whole.report, fixture.params, connections);
    std::unique_ptr<ReportPages> pages =
        ReportPages::Begin(whole.report, filler, whole.pages->PageSize());
    std::vector<QImage> images;
    std::vector<QStringList> texts;
    std::vector<bool> cut_early;  // before the last row was read
    int64_t first_page_at = 0;
    while (!pages->Complete()) {
      ASSERT_TRUE(pages->Continue(7));
      if (pages->Count() > 0 && first_page_at == 0) first_page_at = pages->RowsRead();
      for (int i = static_cast<int>(images.size()); i < pages->Count(); ++i) {
        images.push_back(PageImage(*pages, i));
        texts.push_back(PageTexts(*pages, i));
        cut_early.push_back(!pages->Complete());
      }
    }
    EXPECT_LT(first_page_at, pages->BandRows() / 2);
    ASSERT_EQ(pages->Count(), whole.pages->Count());
    for (int i = 0; i < pages->Count(); ++i) {
      SCOPED_TRACE(i);
      const ReportPageSlice &a = pages->Slices()[i], &b = whole.pages->Slices()[i];
      EXPECT_EQ(a.top, b.top);
      EXPECT_EQ(a.bottom, b.bottom);
      EXPECT_EQ(a.repeat_header, b.repeat_header);
      QStringList expected = PageTexts(*whole.pages, i);
      if (count_in_footer && cut_early[i]) {
        const QString count = QString(" от %1").arg(pages->Count());
        expected.replaceInStrings(count, " от …");
      } else {
        EXPECT_EQ(DifferentPixels(images[i], PageImage(*whole.pages, i)), 0);
      }
      EXPECT_EQ(texts[i], expected);
    }
  }
}

}  // namespace
}  // namespace ui
