#include "ReportPainter.h"

#include "Code39Symbol.h"
#include "TextFit.h"

#include <QLoggingCategory>
#include <QPaintDevice>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

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

QString withThousands(const QString& number)
{
    static const QRegularExpression plain(QStringLiteral("^([-+]?)(\\d+)(\\.\\d+)?$"));
    const QRegularExpressionMatch match = plain.match(number);
    if (!match.hasMatch())
        return number;
    QString digits = match.captured(2);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return match.captured(1) + digits + match.captured(3);
}

} // namespace

ReportPainter::ReportPainter(QPainter& painter, const ReportLayout& layout)
    : m_painter(painter), m_layout(layout), m_dotsPerMmX(painter.device()->logicalDpiX() / 25.4),
      m_dotsPerMmY(painter.device()->logicalDpiY() / 25.4)
{
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

void ReportPainter::paintDocument(int slot, const QStringList& values)
{
    m_originMm = m_layout.slotOrigins.value(slot);
    m_painter.save();
    m_painter.setClipRect(toDots(QRectF(QPointF(0, 0), m_layout.slotSize)));
    for (const LayoutItem& item : m_layout.items) {
        switch (item.kind) {
        case LayoutItem::Kind::Box:
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
            paintBarcode(item, values);
            break;
        }
    }
    m_painter.restore();
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

const ReportPainter::FittedLines& ReportPainter::fittedText(const QString& text, const LayoutItem& item,
                                                            const QSizeF& box)
{
    // The item's address stands for its font, alignment and box.
    const QString key = QString::number(quintptr(&item)) + QLatin1Char('\x1f') + QString::number(box.width()) +
                        QLatin1Char('x') + QString::number(box.height()) + QLatin1Char('\x1f') + text;
    auto it = m_fits.constFind(key);
    if (it != m_fits.cend())
        return *it;
    FittedLines fit;
    fit.fitted = FittedText::fit(text, item, m_layout.fontFamily, box, m_painter.device());
    for (const QString& line : fit.fitted.lines)
        fit.widths.append(fit.fitted.lineWidth(line, m_painter.device()));
    return *m_fits.insert(key, std::move(fit));
}

void ReportPainter::paintText(const QString& text, const LayoutItem& item, const QRectF& boxDots)
{
    if (text.isEmpty())
        return;
    const FittedLines& fit = fittedText(text, item, boxDots.size());
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
    m_painter.setFont(fitted.font);
    m_painter.setPen(Qt::black);
    for (qsizetype i = 0; i < fitted.lines.size(); ++i) {
        const QString& line = fitted.lines[i];
        const double width = fit.widths[i];
        double x = boxDots.left();
        if (item.hAlign & Qt::AlignHCenter)
            x += (boxDots.width() - width) / 2;
        else if (item.hAlign & Qt::AlignRight)
            x += boxDots.width() - width;
        x = std::max(x, boxDots.left());
        const double baseline = top + i * fitted.lineHeight + fitted.ascent;
        if (fitted.condense == 1.0) {
            m_painter.drawText(QPointF(x, baseline), line);
            continue;
        }
        m_painter.save();
        m_painter.translate(x, baseline);
        m_painter.scale(fitted.condense, 1.0);
        m_painter.drawText(QPointF(0, 0), line);
        m_painter.restore();
    }
    if (clip)
        m_painter.restore();
}

void ReportPainter::paintBarcode(const LayoutItem& item, const QStringList& values)
{
    const QRectF box = toDots(item.rect);
    const QString data = item.column <= values.size() ? values[item.column - 1] : QString();
    Code39Symbol symbol;
    const bool hasData = !chopBlanks(data).isEmpty();
    if (hasData && !symbol.encode(data))
        qCWarning(lcReport) << "no barcode for" << data << ":" << symbol.errorText();

    double barsLeft = box.left() + dotsX(kQuietZoneModules * item.moduleWidth);
    double barsRight = barsLeft;
    if (!symbol.isEmpty()) {
        // The narrow bar is a whole number of device dots so that every bar of the
        // same kind prints exactly as wide as the others.
        const int span = symbol.modules() + 2 * kQuietZoneModules;
        const double minimum = std::max(1.0, std::ceil(dotsX(item.minModuleWidth) - 0.01));
        double module = std::max(minimum, double(std::lround(dotsX(item.moduleWidth))));
        if (module * span > box.width())
            module = std::max(minimum, std::floor(box.width() / span));
        const double symbolWidth = module * symbol.modules();
        barsLeft = box.left() + module * kQuietZoneModules;
        if (item.hAlign & Qt::AlignHCenter)
            barsLeft = box.left() + (box.width() - symbolWidth) / 2;
        else if (item.hAlign & Qt::AlignRight)
            barsLeft = box.right() - module * kQuietZoneModules - symbolWidth;
        barsLeft = std::round(std::max(barsLeft, box.left()));
        barsRight = barsLeft + symbolWidth;
        const double top = std::round(box.top());
        const double height = std::round(box.height());
        // All bars in one call with one brush: far fewer drawing operations than
        // a fill per bar, which keeps the PDF small and the run fast.
        QList<QRectF> bars;
        bars.reserve(symbol.bars().size());
        for (const Code39Symbol::Bar& bar : symbol.bars())
            bars.append(QRectF(barsLeft + bar.start * module, top, bar.width * module, height));
        m_painter.save();
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(Qt::black);
        m_painter.drawRects(bars.constData(), int(bars.size()));
        m_painter.restore();
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
        paintText(readable, textItem, textBox);
    }
}

} // namespace plx
