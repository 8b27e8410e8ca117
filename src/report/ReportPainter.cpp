#include "ReportPainter.h"

#include "BarcodeFit.h"
#include "Code39Symbol.h"
#include "TextFit.h"

#include "core/text/NumericText.h"

#include <QLoggingCategory>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace plx {

namespace {

Q_LOGGING_CATEGORY(lcReport, "plx.report")

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u3000' || c == u'\t';
}

QString chopBlanks(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    text.truncate(end);
    return text;
}

} // namespace

ReportPainter::ReportPainter(QPainter& painter, const ReportLayout& layout, LineShaper* shaper)
    : m_painter(painter), m_layout(layout), m_dotsPerMmX(painter.device()->logicalDpiX() / 25.4),
      m_dotsPerMmY(painter.device()->logicalDpiY() / 25.4), m_shaper(shaper ? *shaper : m_ownShaper)
{
    m_shaper.useDevice(painter.device());
}

QString ReportPainter::formatValue(const QString& value, FieldFormat format)
{
    switch (format) {
    case FieldFormat::Raw:
        return value;
    case FieldFormat::Trim:
        return chopBlanks(value);
    case FieldFormat::Number: {
        QString text = chopBlanks(value);
        qsizetype start = 0;
        while (start < text.size() && isBlank(text[start]))
            ++start;
        return withThousands(text.mid(start));
    }
    }
    return value;
}

QString ReportPainter::fieldText(const LayoutItem& item, const QStringList& values)
{
    if (item.column < 1 || item.column > values.size())
        return QString();
    return formatValue(values[item.column - 1], item.format);
}

QRectF ReportPainter::toDots(const QRectF& mm) const
{
    const QRectF at = mm.translated(m_originMm);
    return QRectF(dotsX(at.x()), dotsY(at.y()), dotsX(at.width()), dotsY(at.height()));
}

bool ReportPainter::paintDocument(int slot, const QStringList& values)
{
    m_originMm = m_layout.slotOrigins.value(slot);
    m_problem.clear();
    bool whole = true;
    m_painter.save();
    m_painter.setClipRect(toDots(QRectF(QPointF(0, 0), m_layout.slotSize)));
    for (qsizetype i = 0; i < m_layout.items.size(); ++i) {
        const LayoutItem& item = m_layout.items[i];
        switch (item.kind) {
        case LayoutItem::Kind::Box:
            // A filled box covers what was painted before it: the texts waiting
            // are painted first. Everything else is black on white, where the
            // order of painting does not show.
            if (item.fill.isValid())
                flushGlyphs();
            paintBox(item);
            break;
        case LayoutItem::Kind::Line:
            paintLine(item);
            break;
        case LayoutItem::Kind::Text:
            paintText(item.text, item, toDots(item.rect));
            break;
        case LayoutItem::Kind::Field:
            paintText(fieldText(item, values), item, toDots(item.rect));
            break;
        case LayoutItem::Kind::Barcode:
            whole = paintBarcode(i, item, values) && whole;
            break;
        }
    }
    flushGlyphs();
    m_painter.restore();
    return whole;
}

void ReportPainter::paintBox(const LayoutItem& item)
{
    const QRectF box = toDots(item.rect);
    if (item.fill.isValid())
        m_painter.fillRect(box, item.fill);
    if (item.penWidth > 0) {
        QPen pen(Qt::black, dotsX(item.penWidth), item.penStyle, Qt::SquareCap, Qt::MiterJoin);
        m_painter.setPen(pen);
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRect(box);
    }
}

void ReportPainter::paintLine(const LayoutItem& item)
{
    const Qt::PenCapStyle cap = item.penStyle == Qt::SolidLine ? Qt::SquareCap : Qt::FlatCap;
    m_painter.setPen(QPen(Qt::black, dotsX(item.penWidth), item.penStyle, cap));
    const QLineF at = item.line.translated(m_originMm);
    m_painter.drawLine(QLineF(dotsX(at.x1()), dotsY(at.y1()), dotsX(at.x2()), dotsY(at.y2())));
}

size_t qHash(const ReportPainter::FitKey& key, size_t seed)
{
    return qHashMulti(seed, key.item, key.width, key.height, key.text);
}

const ReportPainter::FittedLines& ReportPainter::fittedText(const QString& text, const LayoutItem& item,
                                                            const LayoutItem* keyItem, const QSizeF& box)
{
    FitKey key{keyItem ? keyItem : &item, box.width(), box.height(), text};
    auto it = m_fits.constFind(key);
    if (it != m_fits.cend())
        return *it;
    if (m_fits.size() >= kMaxFits)
        m_fits.clear();
    QPaintDevice* device = m_painter.device();
    FittedLines fit;
    if (!item.wrap) {
        // Most single-line texts fit at the item's size: then the one layout that
        // shapes them also measures them, as FittedText::fit() would.
        QList<QGlyphRun> runs;
        // The font and its metrics at the item's size are the item's, whatever the text.
        auto atSize = m_atItemSize.constFind(key.item);
        if (atSize == m_atItemSize.cend())
            atSize = m_atItemSize.insert(
                key.item, FittedText::atSize(item.fontSize, QString(), item, m_layout.fontFamily, device));
        FittedText asIs = *atSize;
        asIs.lines = QStringList{text};
        const double width = m_shaper.shape(text, asIs.font, runs);
        if (width <= box.width() && asIs.height <= box.height()) {
            fit.fitted = asIs;
            fit.fitted.width = width;
            fit.widths = {width};
            fit.glyphRuns = {runs};
            return *m_fits.insert(std::move(key), std::move(fit));
        }
    }
    fit.fitted = FittedText::fit(text, item, m_layout.fontFamily, box, device);
    for (const QString& line : fit.fitted.lines) {
        QList<QGlyphRun> runs;
        fit.widths.append(m_shaper.shape(line, fit.fitted.font, runs) * fit.fitted.condense);
        fit.glyphRuns.append(runs);
    }
    return *m_fits.insert(std::move(key), std::move(fit));
}

void ReportPainter::paintText(const QString& text, const LayoutItem& item, const QRectF& boxDots,
                              const LayoutItem* keyItem)
{
    if (text.isEmpty())
        return;
    const FittedLines& fit = fittedText(text, item, keyItem, boxDots.size());
    const FittedText& fitted = fit.fitted;
    const double blockHeight = fitted.lineHeight * fitted.lines.size();
    double top = boxDots.top() + (boxDots.height() - blockHeight) / 2;
    if (item.vAlign & Qt::AlignTop)
        top = boxDots.top();
    else if (item.vAlign & Qt::AlignBottom)
        top = boxDots.bottom() - blockHeight;
    if (blockHeight > boxDots.height())
        top = boxDots.top(); // keep the first line in view when it is all too tall

    // Clip and scale only when the fit needs it: every state change costs
    // drawing operations in the PDF.
    const bool clip = fitted.clipped || blockHeight > boxDots.height();
    if (clip) {
        m_painter.save();
        m_painter.setClipRect(boxDots, Qt::IntersectClip);
    }
    // The cached glyphs carry their font: no font is set, and nothing is shaped again.
    // Lines that are neither cut nor narrowed wait to be painted with the other
    // glyphs of their font (see flushGlyphs()).
    const bool deferred = !clip && fitted.condense == 1.0;
    if (!deferred)
        useTextPen();
    for (qsizetype i = 0; i < fitted.lines.size(); ++i) {
        const double width = fit.widths[i];
        double x = boxDots.left();
        if (item.hAlign & Qt::AlignHCenter)
            x += (boxDots.width() - width) / 2;
        else if (item.hAlign & Qt::AlignRight)
            x += boxDots.width() - width;
        x = std::max(x, boxDots.left());
        const double baseline = top + i * fitted.lineHeight + fitted.ascent;
        const QList<QGlyphRun>& runs = fit.glyphRuns[i];
        if (deferred) {
            for (const QGlyphRun& run : runs)
                deferGlyphs(run, QPointF(x, baseline));
            continue;
        }
        if (fitted.condense == 1.0) {
            for (const QGlyphRun& run : runs)
                m_painter.drawGlyphRun(QPointF(x, baseline), run);
            continue;
        }
        m_painter.save();
        m_painter.translate(x, baseline);
        m_painter.scale(fitted.condense, 1.0);
        for (const QGlyphRun& run : runs)
            m_painter.drawGlyphRun(QPointF(0, 0), run);
        m_painter.restore();
    }
    if (clip)
        m_painter.restore();
}

void ReportPainter::useTextPen()
{
    // Glyphs take the pen's colour alone: a black pen of any width or dash (a box's
    // border) is left as it is, which saves the PDF a change of state.
    const QPen& pen = m_painter.pen();
    if (pen.style() == Qt::NoPen || pen.color() != QColor(Qt::black) || pen.brush().style() != Qt::SolidPattern)
        m_painter.setPen(Qt::black);
}

void ReportPainter::deferGlyphs(const QGlyphRun& run, const QPointF& at)
{
    const QRawFont font = run.rawFont();
    auto batch = std::find_if(m_pendingGlyphs.begin(), m_pendingGlyphs.end(),
                              [&](const PendingGlyphs& pending) { return pending.font == font; });
    if (batch == m_pendingGlyphs.end()) {
        // A batch painted before lends its lists, whose memory is kept.
        PendingGlyphs fresh;
        if (!m_spareGlyphs.isEmpty())
            fresh = m_spareGlyphs.takeLast();
        fresh.font = font;
        batch = m_pendingGlyphs.insert(m_pendingGlyphs.end(), std::move(fresh));
    }
    batch->indexes.append(run.glyphIndexes());
    const QList<QPointF> positions = run.positions();
    batch->positions.reserve(batch->positions.size() + positions.size());
    for (const QPointF& position : positions)
        batch->positions.append(at + position);
}

void ReportPainter::flushGlyphs()
{
    if (m_pendingGlyphs.isEmpty())
        return;
    useTextPen();
    for (const PendingGlyphs& pending : std::as_const(m_pendingGlyphs)) {
        QGlyphRun run;
        run.setRawFont(pending.font);
        run.setGlyphIndexes(pending.indexes);
        run.setPositions(pending.positions);
        m_painter.drawGlyphRun(QPointF(0, 0), run);
    }
    for (PendingGlyphs& pending : m_pendingGlyphs) {
        pending.indexes.resize(0);
        pending.positions.resize(0);
        m_spareGlyphs.append(std::move(pending));
    }
    m_pendingGlyphs.clear();
}

QString ReportPainter::barcodeData(const LayoutItem& item, const QStringList& values)
{
    return item.column <= values.size() ? values[item.column - 1] : QString();
}

QString ReportPainter::unfitText(qsizetype index, const LayoutItem& item, const QString& data, const BarcodeFit& fit,
                                 double dotsPerMm)
{
    return QStringLiteral("items[%1] (列 %2) の %3 文字は細バー %4 mm、太バー %5 mm でも静止帯を含めて幅 %6 mm "
                          "が必要ですが、枠の幅は %7 mm です")
        .arg(index)
        .arg(item.column)
        .arg(data.size())
        .arg(fit.narrow / dotsPerMm, 0, 'f', 3)
        .arg(fit.wide / dotsPerMm, 0, 'f', 3)
        .arg(fit.span() / dotsPerMm, 0, 'f', 1)
        .arg(item.rect.width(), 0, 'f', 1);
}

QString ReportPainter::findUnfitBarcode(const ReportLayout& layout, const QList<QStringList>& documents,
                                        double dotsPerMm)
{
    for (qsizetype i = 0; i < layout.items.size(); ++i) {
        const LayoutItem& item = layout.items[i];
        if (item.kind != LayoutItem::Kind::Barcode)
            continue;
        // Every Code 39 character is equally wide, so the fit depends on the length of
        // the data alone: one symbol is encoded for each length.
        QHash<qsizetype, BarcodeFit> fitOfLength;
        for (qsizetype d = 0; d < documents.size(); ++d) {
            const QString data = barcodeData(item, documents[d]);
            if (chopBlanks(data).isEmpty() || !Code39Symbol::canEncode(data))
                continue; // printed without a symbol
            auto fit = fitOfLength.constFind(data.size());
            if (fit == fitOfLength.cend()) {
                Code39Symbol symbol;
                if (!symbol.encode(data))
                    continue;
                fit = fitOfLength.insert(data.size(), BarcodeFit::choose(symbol, item, dotsPerMm));
            }
            if (!fit->fits)
                return QStringLiteral("%1 件目のデータ、%2").arg(d + 1).arg(unfitText(i, item, data, *fit, dotsPerMm));
        }
    }
    return QString();
}

bool ReportPainter::paintBarcode(qsizetype index, const LayoutItem& item, const QStringList& values)
{
    const QRectF box = toDots(item.rect);
    const QString data = barcodeData(item, values);
    static const Code39Symbol noSymbol;
    const bool hasData = !chopBlanks(data).isEmpty();
    const Code39Symbol& symbol = hasData ? symbolFor(data) : noSymbol;

    bool fits = true;
    double barsLeft = box.left() + dotsX(kQuietZoneModules * item.moduleWidth);
    double barsRight = barsLeft;
    if (!symbol.isEmpty()) {
        const BarcodeFit fit = BarcodeFit::choose(symbol, item, m_dotsPerMmX);
        barsLeft = box.left() + fit.narrow * kQuietZoneModules;
        if (item.hAlign & Qt::AlignHCenter)
            barsLeft = box.left() + (box.width() - fit.symbolWidth) / 2;
        else if (item.hAlign & Qt::AlignRight)
            barsLeft = box.right() - fit.narrow * kQuietZoneModules - fit.symbolWidth;
        barsLeft = std::round(std::max(barsLeft, box.left()));
        barsRight = barsLeft + fit.symbolWidth;
        fits = fit.fits;
        if (fits) {
            paintBars(symbol, fit, barsLeft, box);
        } else {
            // A symbol cut at the edge of its area scans as other data or not at all:
            // it is left out, and the caller fails the print.
            if (m_problem.isEmpty())
                m_problem = unfitText(index, item, data, fit, m_dotsPerMmX);
        }
    }

    if (item.textColumn > 0) {
        const QString readable = chopBlanks(item.textColumn <= values.size() ? values[item.textColumn - 1] : QString());
        LayoutItem textItem;
        textItem.fontSize = item.textSize;
        textItem.hAlign = item.hAlign;
        textItem.vAlign = Qt::AlignTop;
        QRectF textBox(box.left(), box.bottom() + dotsY(kBarcodeTextGapMm), box.width(),
                       dotsY(item.readableLineHeight()));
        // The readable line starts under the first bar (or ends under the last one).
        if (item.hAlign & Qt::AlignLeft)
            textBox.setLeft(std::min(barsLeft, textBox.right()));
        else if ((item.hAlign & Qt::AlignRight) && !symbol.isEmpty())
            textBox.setRight(std::max(barsRight, textBox.left()));
        paintText(readable, textItem, textBox, &item);
    }
    return fits;
}

const Code39Symbol& ReportPainter::symbolFor(const QString& data)
{
    auto it = m_symbols.constFind(data);
    if (it != m_symbols.cend())
        return *it;
    if (m_symbols.size() >= kMaxSymbols)
        m_symbols.clear();
    Code39Symbol symbol;
    if (!symbol.encode(data))
        qCWarning(lcReport) << "no barcode for" << data << ":" << symbol.errorText();
    return *m_symbols.insert(data, std::move(symbol));
}

void ReportPainter::paintBars(const Code39Symbol& symbol, const BarcodeFit& fit, double left, const QRectF& box)
{
    const double top = std::round(box.top());
    const double height = std::round(box.height());
    // All bars in one call with one brush: far fewer drawing operations than a fill
    // per bar, which keeps the PDF small and the run fast.
    QList<QRectF> bars;
    bars.reserve(symbol.bars().size());
    for (const Code39Symbol::Bar& bar : symbol.barsAt(fit.narrow, fit.wide))
        bars.append(QRectF(left + bar.start, top, bar.width, height));
    // Every other item sets the pen and brush it needs: no save and restore.
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(Qt::black);
    m_painter.drawRects(bars.constData(), int(bars.size()));
}

} // namespace plx
