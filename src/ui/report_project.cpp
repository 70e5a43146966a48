// Parser of the report project file; the grammar is in report_project.h.
#include "ui/report_project.h"

#include <QFile>
#include <QStringList>

namespace ui {
namespace {

[[noreturn]] void Fail(const QString &source, int line, const QString &what) {
  throw ReportError(QStringLiteral("%1, ред %2: %3").arg(source).arg(line).arg(what).toStdString());
}

ReportFilter ParseFilter(const QString &spec, const QString &source, int line) {
  ReportFilter filter;
  const qsizetype colon = spec.indexOf(u':');
  const QString name = spec.left(colon).trimmed();
  const QString args = colon < 0 ? QString() : spec.mid(colon + 1);
  if (name == u"map") {
    filter.kind = ReportFilter::Kind::kMap;
    for (const QString &pair : args.split(u',', Qt::SkipEmptyParts)) {
      const qsizetype eq = pair.indexOf(u'=');
      if (eq < 0) Fail(source, line, QStringLiteral("map без '=' в \"%1\"").arg(pair));
      filter.map.emplace_back(pair.left(eq), pair.mid(eq + 1));
    }
  } else if (name == u"lookup") {
    const QStringList parts = args.split(u',');
    if (parts.size() != 3)
      Fail(source, line, QStringLiteral("lookup иска връзка, ключово поле и поле за резултат"));
    filter.kind = ReportFilter::Kind::kLookup;
    filter.connection = parts[0].trimmed();
    filter.key_field = parts[1].trimmed();
    filter.result_field = parts[2].trimmed();
  } else if (name == u"boxes") {
    bool ok = false;
    filter.kind = ReportFilter::Kind::kBoxes;
    filter.boxes = args.trimmed().toInt(&ok);
    if (!ok || filter.boxes < 1 || filter.boxes > 64)
      Fail(source, line, QStringLiteral("boxes иска брой клетки от 1 до 64"));
  } else {
    Fail(source, line, QStringLiteral("непознат филтър \"%1\"").arg(name));
  }
  return filter;
}

ReportPiece ParsePlaceholder(const QString &inner, bool in_rows, bool in_footer,
                             const QString &source, int line) {
  QStringList parts = inner.split(u'|');
  const QString head = parts.takeFirst().trimmed();
  ReportPiece piece;
  if (head.startsWith(u"row.")) {
    if (!in_rows) Fail(source, line, QStringLiteral("{{%1}} е извън @rows").arg(head));
    piece.kind = ReportPiece::Kind::kField;
    piece.text = head.mid(4);
  } else if (head == u"rowno") {
    if (!in_rows) Fail(source, line, QStringLiteral("{{rowno}} е извън @rows"));
    piece.kind = ReportPiece::Kind::kRowNo;
  } else if (head.startsWith(u"count:")) {
    piece.kind = ReportPiece::Kind::kCount;
    piece.connection = head.mid(6);
  } else if (head.startsWith(u"sum:")) {
    const QString ref = head.mid(4);
    const qsizetype dot = ref.indexOf(u'.');
    if (dot <= 0) Fail(source, line, QStringLiteral("sum иска ВРЪЗКА.ПОЛЕ"));
    piece.kind = ReportPiece::Kind::kSum;
    piece.connection = ref.left(dot);
    piece.text = ref.mid(dot + 1);
  } else if (head == u"page" || head == u"pages") {
    if (!in_footer) Fail(source, line, QStringLiteral("{{%1}} е само за @footer").arg(head));
    piece.kind = head == u"page" ? ReportPiece::Kind::kPage : ReportPiece::Kind::kPages;
  } else {
    if (head.isEmpty()) Fail(source, line, QStringLiteral("празно {{}}"));
    piece.kind = ReportPiece::Kind::kParam;
    piece.text = head;
  }
  for (const QString &filter : parts) piece.filters.push_back(ParseFilter(filter, source, line));
  return piece;
}

// Appends the pieces of one line of template text to out. Literal pieces next
// to each other are merged.
void ParseTemplateLine(const QString &text, bool in_rows, bool in_footer, const QString &source,
                       int line, ReportTemplate &out) {
  auto add_literal = [&out](const QString &literal) {
    if (literal.isEmpty()) return;
    if (!out.empty() && out.back().kind == ReportPiece::Kind::kLiteral)
      out.back().text += literal;
    else
      out.push_back({ReportPiece::Kind::kLiteral, literal, {}, {}});
  };
  qsizetype at = 0;
  while (at < text.size()) {
    const qsizetype open = text.indexOf(QStringLiteral("{{"), at);
    if (open < 0) break;
    const qsizetype close = text.indexOf(QStringLiteral("}}"), open + 2);
    if (close < 0) Fail(source, line, QStringLiteral("незатворено {{"));
    add_literal(text.mid(at, open - at));
    out.push_back(
        ParsePlaceholder(text.mid(open + 2, close - open - 2), in_rows, in_footer, source, line));
    at = close + 2;
  }
  add_literal(text.mid(at));
}

double ParseNumber(const QString &text, const QString &source, int line) {
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (!ok || value < 0 || value > 100)
    Fail(source, line, QStringLiteral("невалидно поле \"%1\"").arg(text));
  return value;
}

}  // namespace

const ReportDefinition *ReportProject::Find(const QString &name) const {
  for (const ReportDefinition &report : reports)
    if (report.name == name) return &report;
  return nullptr;
}

ReportProject ParseReportProject(const QString &text, const QString &source) {
  ReportProject project;
  const QStringList lines = text.split(u'\n');
  ReportBlock *block = nullptr;  // the open @html or @rows block
  int block_line = 0;
  for (int i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    if (line.endsWith(u'\r')) line.chop(1);
    const int number = i + 1;
    const QString trimmed = line.trimmed();
    if (block) {
      if (trimmed == u"@end") {
        block = nullptr;
        continue;
      }
      ParseTemplateLine(line + u'\n', !block->connection.isEmpty(), false, source, number,
                        block->body);
      continue;
    }
    if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
    const qsizetype blank = trimmed.indexOf(u' ');
    const QString directive = trimmed.left(blank);
    const QString rest = blank < 0 ? QString() : trimmed.mid(blank + 1).trimmed();
    if (directive == u"@report") {
      if (rest.isEmpty()) Fail(source, number, QStringLiteral("@report без име"));
      if (project.Find(rest)) Fail(source, number, QStringLiteral("повторен отчет %1").arg(rest));
      project.reports.push_back({});
      project.reports.back().name = rest;
      continue;
    }
    if (project.reports.empty())
      Fail(source, number, QStringLiteral("%1 преди @report").arg(directive));
    ReportDefinition &report = project.reports.back();
    const QStringList args = rest.split(u' ', Qt::SkipEmptyParts);
    if (directive == u"@page") {
      if (args.size() != 6 || args[0] != u"A4" ||
          (args[1] != u"portrait" && args[1] != u"landscape"))
        Fail(source, number, QStringLiteral("@page иска A4 portrait|landscape и четири полета"));
      report.page.landscape = args[1] == u"landscape";
      report.page.left_mm = ParseNumber(args[2], source, number);
      report.page.top_mm = ParseNumber(args[3], source, number);
      report.page.right_mm = ParseNumber(args[4], source, number);
      report.page.bottom_mm = ParseNumber(args[5], source, number);
    } else if (directive == u"@font") {
      if (args.size() < 2) Fail(source, number, QStringLiteral("@font иска шрифт и размер"));
      report.font_points = ParseNumber(args.back(), source, number);
      report.font_family = QStringList(args.mid(0, args.size() - 1)).join(u' ');
    } else if (directive == u"@footer") {
      report.footer.clear();
      ParseTemplateLine(rest, false, true, source, number, report.footer);
    } else if (directive == u"@html" || directive == u"@rows") {
      if (directive == u"@rows" && rest.isEmpty())
        Fail(source, number, QStringLiteral("@rows без име на връзка"));
      report.blocks.push_back({directive == u"@rows" ? rest : QString(), {}});
      block = &report.blocks.back();
      block_line = number;
    } else {
      Fail(source, number, QStringLiteral("непозната директива %1").arg(directive));
    }
  }
  if (block) Fail(source, block_line, QStringLiteral("блокът няма @end"));
  return project;
}

ReportProject LoadReportProject(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw ReportError(
        QStringLiteral("Файлът с отчетите %1 не може да бъде отворен.").arg(path).toStdString());
  }
  return ParseReportProject(QString::fromUtf8(file.readAll()), path);
}

}  // namespace ui
