// Splitting a detail band into its cells; see report_row_band.h.
#include "ui/report_row_band.h"

namespace ui {
namespace {

bool IsHtmlSpace(QChar c) { return c.isSpace() && c != QChar::Nbsp; }

qsizetype SkipSpaces(const QString &text, qsizetype at) {
  while (at < text.size() && IsHtmlSpace(text[at])) ++at;
  return at;
}

// The tag that starts at `at` (text[at] == '<'), up to and with its '>';
// empty when it does not end.
QString TagAt(const QString &text, qsizetype at) {
  QChar quote;
  for (qsizetype i = at + 1; i < text.size(); ++i) {
    const QChar c = text[i];
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'>') {
      return text.mid(at, i - at + 1);
    }
  }
  return {};
}

// The lower-case name of a tag ("td", "/td").
QString TagName(const QString &tag) {
  qsizetype end = 1;
  while (end < tag.size() && (tag[end].isLetterOrNumber() || (end == 1 && tag[end] == u'/')))
    ++end;
  return tag.mid(1, end - 1).toLower();
}

bool MakesMarkup(const ReportPiece &piece) {
  for (const ReportFilter &filter : piece.filters)
    if (filter.kind == ReportFilter::Kind::kBoxes) return true;
  return false;
}

}  // namespace

std::optional<QString> DecodeCellLiteral(const QString &literal) {
  static const std::pair<const char16_t *, char16_t> kNamed[] = {
      {u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''},
      {u"nbsp", QChar::Nbsp}};
  QString out;
  out.reserve(literal.size());
  for (qsizetype i = 0; i < literal.size(); ++i) {
    const QChar c = literal[i];
    if (c == u'<' || c == u'>') return std::nullopt;
    if (c != u'&') {
      out += c;
      continue;
    }
    const qsizetype semicolon = literal.indexOf(u';', i + 1);
    if (semicolon < 0) return std::nullopt;
    const QString name = literal.mid(i + 1, semicolon - i - 1);
    bool ok = false;
    if (name.startsWith(u'#')) {
      const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
      const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
      if (!ok || code == 0 || code > 0x10FFFF) return std::nullopt;
      out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
    } else {
      for (const auto &[named, ch] : kNamed) {
        if (name == QStringView(named)) {
          out += QChar(ch);
          ok = true;
          break;
        }
      }
      if (!ok) return std::nullopt;
    }
    i = semicolon;
  }
  return out;
}

std::optional<ReportRowBand> SplitRowBand(const ReportTemplate &body) {
  enum class At { kBeforeRow, kInRow, kInCell, kAfterRow };
  At at = At::kBeforeRow;
  ReportRowBand band;
  for (const ReportPiece &piece : body) {
    if (piece.kind != ReportPiece::Kind::kLiteral) {
      if (at != At::kInCell || MakesMarkup(piece)) return std::nullopt;
      band.cells.back().content.push_back(piece);
      continue;
    }
    const QString &text = piece.text;
    qsizetype i = 0;
    while (i < text.size()) {
      if (at == At::kInCell) {
        const qsizetype open = text.indexOf(u'<', i);
        const QString literal = text.mid(i, open < 0 ? -1 : open - i);
        if (!literal.isEmpty()) {
          const std::optional<QString> plain = DecodeCellLiteral(literal);
          if (!plain) return std::nullopt;
          band.cells.back().content.push_back({ReportPiece::Kind::kLiteral, *plain, {}, {}});
        }
        if (open < 0) break;
        const QString tag = TagAt(text, open);
        const QString name = TagName(tag);
        if (name != u"/td" && name != u"/th") return std::nullopt;
        band.cells.back().close = tag;
        at = At::kInRow;
        i = open + tag.size();
        continue;
      }
      i = SkipSpaces(text, i);
      if (i >= text.size()) break;
      if (text[i] != u'<' || at == At::kAfterRow) return std::nullopt;
      const QString tag = TagAt(text, i);
      const QString name = TagName(tag);
      if (tag.isEmpty()) return std::nullopt;
      if (at == At::kBeforeRow && name == u"tr") {
        band.row_open = tag;
        at = At::kInRow;
      } else if (at == At::kInRow && (name == u"td" || name == u"th")) {
        band.cells.push_back({tag, {}, {}});
        at = At::kInCell;
      } else if (at == At::kInRow && name == u"/tr") {
        band.row_close = tag;
        at = At::kAfterRow;
      } else {
        return std::nullopt;
      }
      i += tag.size();
    }
  }
  if (at != At::kAfterRow || band.cells.empty()) return std::nullopt;
  return band;
}

QString BandSampleRowHtml(const ReportRowBand &band, const QString &text) {
  QString html = band.row_open;
  for (size_t c = 0; c < band.cells.size(); ++c) {
    html += band.cells[c].open;
    if (c == 0)
      html += QStringLiteral("<a name=\"%1\">%2</a>").arg(QString::fromUtf8(kBandSampleAnchor), text);
    else
      html += text;
    html += band.cells[c].close;
  }
  return html + band.row_close + u'\n';
}

QString ValueDisplayChars(const QString &value) {
  QString out = value;
  for (qsizetype i = 0; i < out.size(); ++i)
    if (value[i] == u' ' && (i == 0 || value[i - 1] == u' ')) out[i] = QChar::Nbsp;
  return out;
}

QString CollapseCellText(const QString &text) {
  // Most cells collapse to themselves: single blanks after words.
  bool same = true;
  for (qsizetype i = 0; i < text.size() && same; ++i) {
    if (!IsHtmlSpace(text[i])) continue;
    same = text[i] == u' ' && i > 0 && (i + 1 == text.size() || !IsHtmlSpace(text[i + 1]));
  }
  if (same) return text;
  QString out;
  out.reserve(text.size());
  bool blank = false;
  for (const QChar c : text) {
    if (IsHtmlSpace(c)) {
      blank = !out.isEmpty();
      continue;
    }
    if (blank) out += u' ';
    blank = false;
    out += c;
  }
  if (blank) out += u' ';
  return out;
}

}  // namespace ui
