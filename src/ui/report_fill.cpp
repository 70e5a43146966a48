// Template expansion of reports; see report_fill.h and report_project.h.
#include "ui/report_fill.h"

#include <cmath>
#include <cstdlib>

namespace ui {

QString EscapeReportText(const QString &text) {
  QString html = text.toHtmlEscaped();
  QString out;
  out.reserve(html.size());
  for (qsizetype i = 0; i < html.size(); ++i) {
    const bool keep = html[i] == u' ' && (i == 0 || html[i - 1] == u' ');
    if (keep)
      out += QStringLiteral("&nbsp;");
    else
      out += html[i];
  }
  return out;
}

QString SumAmounts(ReportRowSource &rows, const QString &field) {
  long long cents = 0;
  for (rows.First(); !rows.Eof(); rows.Next()) {
    bool ok = false;
    const double value = rows.Value(field).trimmed().toDouble(&ok);
    if (ok) cents += std::llround(value * 100);
  }
  const long long whole = std::llabs(cents) / 100;
  const int part = static_cast<int>(std::llabs(cents) % 100);
  return QStringLiteral("%1%2.%3")
      .arg(cents < 0 ? QStringLiteral("-") : QString())
      .arg(whole)
      .arg(part, 2, 10, QLatin1Char('0'));
}

namespace {

// The characters of a spaced identifier, one boxed cell each, padded with
// empty cells to count; characters beyond count still get their own cell.
QString BoxesHtml(const QString &spaced, int count) {
  QString chars = spaced;
  chars.remove(u' ');
  QString html = QStringLiteral(
      "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" "
      "style=\"border-collapse:collapse; border-color:#000000\"><tr>");
  const qsizetype cells = std::max<qsizetype>(count, chars.size());
  for (qsizetype i = 0; i < cells; ++i) {
    html +=
        QStringLiteral("<td width=\"18\" align=\"center\">%1</td>")
            .arg(i < chars.size() ? EscapeReportText(QString(chars[i])) : QStringLiteral("&nbsp;"));
  }
  return html + QStringLiteral("</tr></table>");
}

}  // namespace

ReportFiller::ReportFiller(const ReportDefinition &report, const QHash<QString, QString> &params,
                           const QHash<QString, ReportRowSource *> &connections)
    : report_(report), params_(params), connections_(connections) {}

ReportRowSource *ReportFiller::Connection(const QString &name) const {
  ReportRowSource *source = connections_.value(name);
  if (!source) {
    throw ReportError(QStringLiteral("Отчетът %1 чете връзката с данни %2, която липсва.")
                          .arg(report_.name, name)
                          .toStdString());
  }
  return source;
}

const QHash<QString, QString> &ReportFiller::LookupTable(const ReportFilter &filter) {
  const QString id = filter.connection + u'\n' + filter.key_field + u'\n' + filter.result_field;
  auto found = lookups_.find(id);
  if (found != lookups_.end()) return found->second;
  QHash<QString, QString> table;
  ReportRowSource *source = Connection(filter.connection);
  for (source->First(); !source->Eof(); source->Next()) {
    const QString key = source->Value(filter.key_field).trimmed();
    if (!table.contains(key)) table.insert(key, source->Value(filter.result_field));
  }
  return lookups_.emplace(id, std::move(table)).first->second;
}

QString ReportFiller::ApplyFilters(const ReportPiece &piece, QString value) {
  for (const ReportFilter &filter : piece.filters) {
    switch (filter.kind) {
      case ReportFilter::Kind::kMap:
        for (const auto &[from, to] : filter.map) {
          if (value == from) {
            value = to;
            break;
          }
        }
        break;
      case ReportFilter::Kind::kLookup:
        value = LookupTable(filter).value(value.trimmed());
        break;
      case ReportFilter::Kind::kBoxes:
        return BoxesHtml(value, filter.boxes);  // HTML from here on
    }
  }
  return EscapeReportText(value);
}

QString ReportFiller::Expand(const ReportTemplate &pieces, ReportRowSource *row, int rowno,
                             int page, int pages) {
  QString html;
  for (const ReportPiece &piece : pieces) {
    switch (piece.kind) {
      case ReportPiece::Kind::kLiteral:
        html += piece.text;
        continue;
      case ReportPiece::Kind::kParam:
        html += ApplyFilters(piece, params_.value(piece.text));
        continue;
      case ReportPiece::Kind::kField:
        html += ApplyFilters(piece, row ? row->Value(piece.text) : QString());
        continue;
      case ReportPiece::Kind::kRowNo:
        html += ApplyFilters(piece, QString::number(rowno));
        continue;
      case ReportPiece::Kind::kPage:
        html += ApplyFilters(piece, QString::number(page));
        continue;
      case ReportPiece::Kind::kPages:
        html += ApplyFilters(piece, QString::number(pages));
        continue;
      case ReportPiece::Kind::kCount:
      case ReportPiece::Kind::kSum:
        break;
    }
    html += ApplyFilters(piece, Aggregate(piece));
  }
  return html;
}

const QString &ReportFiller::Aggregate(const ReportPiece &piece) {
  const bool sum = piece.kind == ReportPiece::Kind::kSum;
  const QString id = (sum ? QStringLiteral("sum\n") : QStringLiteral("count\n")) +
                     piece.connection + u'\n' + piece.text;
  auto found = aggregates_.find(id);
  if (found != aggregates_.end()) return found->second;
  ReportRowSource *source = Connection(piece.connection);
  QString value;
  if (sum) {
    value = SumAmounts(*source, piece.text);
  } else {
    long long count = 0;
    for (source->First(); !source->Eof(); source->Next()) ++count;
    value = QString::number(count);
  }
  return aggregates_.emplace(id, value).first->second;
}

void ReportFiller::Prepare(const ReportTemplate &pieces) {
  for (const ReportPiece &piece : pieces) {
    if (piece.kind == ReportPiece::Kind::kCount || piece.kind == ReportPiece::Kind::kSum)
      Aggregate(piece);
    for (const ReportFilter &filter : piece.filters)
      if (filter.kind == ReportFilter::Kind::kLookup) LookupTable(filter);
  }
}

QString ReportFiller::BodyHtml() {
  QString html;
  for (const ReportBlock &block : report_.blocks) {
    if (block.connection.isEmpty()) {
      html += Expand(block.body, nullptr, 0, 0, 0);
      continue;
    }
    // Lookups and sums walk their connections before this walk starts, so
    // that none of them moves the cursor of the rows being written.
    Prepare(block.body);
    ReportRowSource *source = Connection(block.connection);
    int rowno = 0;
    for (source->First(); !source->Eof(); source->Next())
      html += Expand(block.body, source, ++rowno, 0, 0);
  }
  return html;
}

QString ReportFiller::FooterHtml(int page, int pages) {
  return Expand(report_.footer, nullptr, 0, page, pages);
}

}  // namespace ui
