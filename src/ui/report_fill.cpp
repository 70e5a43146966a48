// Template expansion of reports; see report_fill.h and report_project.h.
#include "ui/report_fill.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "ui/report_row_band.h"

namespace ui {
namespace {

// Adds an amount written with a point to cents; false for a text that is no
// number.
bool AddAmount(const QString &text, long long &cents) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (ok) cents += std::llround(value * 100);
  return ok;
}

QString CentsText(long long cents) {
  const long long whole = std::llabs(cents) / 100;
  const int part = static_cast<int>(std::llabs(cents) % 100);
  return QStringLiteral("%1%2.%3")
      .arg(cents < 0 ? QStringLiteral("-") : QString())
      .arg(whole)
      .arg(part, 2, 10, QLatin1Char('0'));
}

QString LookupId(const ReportFilter &filter) {
  return filter.connection + u'\n' + filter.key_field + u'\n' + filter.result_field;
}

QString AggregateId(const ReportPiece &piece) {
  const bool sum = piece.kind == ReportPiece::Kind::kSum;
  return (sum ? QStringLiteral("sum\n") : QStringLiteral("count\n")) + piece.connection + u'\n' +
         (sum ? piece.text : QString());
}

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

bool IsBoxes(const ReportFilter &filter) { return filter.kind == ReportFilter::Kind::kBoxes; }

}  // namespace

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
  for (rows.First(); !rows.Eof(); rows.Next()) AddAmount(rows.Value(field), cents);
  return CentsText(cents);
}

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

bool ReportFiller::Prepare(const ReportSteps &steps) {
  // What each connection is walked for.
  struct Needs {
    bool count = false;
    std::vector<QString> sums;
    std::vector<const ReportFilter *> lookups;
  };
  std::map<QString, Needs> needs;
  auto scan = [&](const ReportTemplate &pieces) {
    for (const ReportPiece &piece : pieces) {
      if (piece.kind == ReportPiece::Kind::kCount || piece.kind == ReportPiece::Kind::kSum) {
        if (aggregates_.count(AggregateId(piece))) continue;
        Needs &need = needs[piece.connection];
        if (piece.kind == ReportPiece::Kind::kCount) need.count = true;
        if (piece.kind == ReportPiece::Kind::kSum) need.sums.push_back(piece.text);
      }
      for (const ReportFilter &filter : piece.filters)
        if (filter.kind == ReportFilter::Kind::kLookup && !lookups_.count(LookupId(filter)))
          needs[filter.connection].lookups.push_back(&filter);
    }
  };
  for (const ReportBlock &block : report_.blocks) scan(block.body);
  scan(report_.footer);

  int64_t total = 0;
  for (const auto &[name, need] : needs) total += std::max<int64_t>(0, Connection(name)->SizeHint());
  int64_t done = 0;
  for (const auto &[name, need] : needs) {
    ReportRowSource &source = *Connection(name);
    long long count = 0;
    std::vector<long long> cents(need.sums.size(), 0);
    std::vector<QHash<QString, QString>> tables(need.lookups.size());
    for (source.First(); !source.Eof(); source.Next()) {
      ++count;
      for (size_t i = 0; i < need.sums.size(); ++i) AddAmount(source.Value(need.sums[i]), cents[i]);
      for (size_t i = 0; i < need.lookups.size(); ++i) {
        const QString key = source.Value(need.lookups[i]->key_field).trimmed();
        if (!tables[i].contains(key))
          tables[i].insert(key, source.Value(need.lookups[i]->result_field));
      }
      if (steps && !steps(++done, std::max(total, done))) return false;
    }
    if (need.count) aggregates_[QStringLiteral("count\n") + name + u'\n'] = QString::number(count);
    for (size_t i = 0; i < need.sums.size(); ++i)
      aggregates_[QStringLiteral("sum\n") + name + u'\n' + need.sums[i]] = CentsText(cents[i]);
    for (size_t i = 0; i < need.lookups.size(); ++i)
      lookups_.emplace(LookupId(*need.lookups[i]), std::move(tables[i]));
  }
  return true;
}

const QHash<QString, QString> &ReportFiller::LookupTable(const ReportFilter &filter) {
  const QString id = LookupId(filter);
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

const QString &ReportFiller::Aggregate(const ReportPiece &piece) {
  const QString id = AggregateId(piece);
  auto found = aggregates_.find(id);
  if (found != aggregates_.end()) return found->second;
  ReportRowSource *source = Connection(piece.connection);
  QString value;
  if (piece.kind == ReportPiece::Kind::kSum) {
    value = SumAmounts(*source, piece.text);
  } else {
    long long count = 0;
    for (source->First(); !source->Eof(); source->Next()) ++count;
    value = QString::number(count);
  }
  return aggregates_.emplace(id, value).first->second;
}

// Map and lookup filters, up to a filter that makes HTML.
QString ReportFiller::Filtered(const ReportPiece &piece, QString value) {
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
        return value;
    }
  }
  return value;
}

QString ReportFiller::Value(const ReportPiece &piece, ReportRowSource *row, int rowno, int page,
                            int pages) {
  switch (piece.kind) {
    case ReportPiece::Kind::kLiteral:
      return piece.text;
    case ReportPiece::Kind::kParam:
      return params_.value(piece.text);
    case ReportPiece::Kind::kField:
      return row ? row->Value(piece.text) : QString();
    case ReportPiece::Kind::kRowNo:
      return QString::number(rowno);
    case ReportPiece::Kind::kPage:
      return QString::number(page);
    case ReportPiece::Kind::kPages:  // 0 while the pages are still being cut
      return pages > 0 ? QString::number(pages) : QStringLiteral("…");
    case ReportPiece::Kind::kCount:
    case ReportPiece::Kind::kSum:
      break;
  }
  return Aggregate(piece);
}

QString ReportFiller::Expand(const ReportTemplate &pieces, ReportRowSource *row, int rowno,
                             int page, int pages) {
  QString html;
  for (const ReportPiece &piece : pieces) {
    if (piece.kind == ReportPiece::Kind::kLiteral) {
      html += piece.text;
      continue;
    }
    const QString value = Filtered(piece, Value(piece, row, rowno, page, pages));
    auto boxes = std::find_if(piece.filters.begin(), piece.filters.end(), IsBoxes);
    html += boxes == piece.filters.end() ? EscapeReportText(value) : BoxesHtml(value, boxes->boxes);
  }
  return html;
}

QString ReportFiller::CellText(const ReportTemplate &content, ReportRowSource &row, int rowno) {
  QString text;
  for (const ReportPiece &piece : content) {
    if (piece.kind == ReportPiece::Kind::kLiteral)
      text += piece.text;
    else
      text += ValueDisplayChars(Filtered(piece, Value(piece, &row, rowno, 0, 0)));
  }
  return CollapseCellText(text);
}

void ReportFiller::PrepareBlock(const ReportTemplate &pieces) {
  for (const ReportPiece &piece : pieces) {
    if (piece.kind == ReportPiece::Kind::kCount || piece.kind == ReportPiece::Kind::kSum)
      Aggregate(piece);
    for (const ReportFilter &filter : piece.filters)
      if (filter.kind == ReportFilter::Kind::kLookup) LookupTable(filter);
  }
}

QString ReportFiller::BlocksHtml(size_t from, size_t to) {
  QString html;
  for (size_t b = from; b < to && b < report_.blocks.size(); ++b) {
    const ReportBlock &block = report_.blocks[b];
    if (block.connection.isEmpty()) {
      html += Expand(block.body, nullptr, 0, 0, 0);
      continue;
    }
    // Lookups and sums walk their connections before this walk starts, so
    // that none of them moves the cursor of the rows being written.
    PrepareBlock(block.body);
    ReportRowSource *source = Connection(block.connection);
    int rowno = 0;
    for (source->First(); !source->Eof(); source->Next())
      html += Expand(block.body, source, ++rowno, 0, 0);
  }
  return html;
}

QString ReportFiller::BodyHtml() { return BlocksHtml(0, report_.blocks.size()); }

QString ReportFiller::FooterHtml(int page, int pages) {
  return Expand(report_.footer, nullptr, 0, page, pages);
}

}  // namespace ui
