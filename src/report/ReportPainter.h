#pragma once

#include "TextFit.h"

#include <QHash>
#include <QList>

#include "ReportLayout.h"

#include <QPointF>
#include <QRectF>
#include <QStringList>

class QPainter;

namespace plx {

class Code39Symbol;
struct BarcodeFit;

// Paints documents of a layout with an active QPainter whose coordinates are the
// device's own (dots from the sheet's top-left corner): a PDF page or a printer page.
class ReportPainter
{
public:
    ReportPainter(QPainter& painter, const ReportLayout& layout);

    // Paints the document whose data line is `values` in slot `slot` of the current sheet.
    // Returns false when a barcode symbol is wider than its area even at the item's
    // smallest module: that symbol is left out rather than cut, and problem() says
    // which item it is, for example "items[44] (列 39) の 40 文字は細バー 0.212 mm、…".
    bool paintDocument(int slot, const QStringList& values);
    const QString& problem() const { return m_problem; }

    // Checks, without painting, that every barcode symbol of `documents` fits its area
    // on a device of `dotsPerMm`. Returns the first that does not, described like
    // problem() after the number of its document ("3 件目のデータ、items[44] …"), or
    // an empty string when all fit.
    static QString findUnfitBarcode(const ReportLayout& layout, const QList<QStringList>& documents, double dotsPerMm);

    // The text a field prints for a data line: the column's value (empty when the
    // line has fewer columns) in the field's format.
    static QString fieldText(const LayoutItem& item, const QStringList& values);
    static QString formatValue(const QString& value, FieldFormat format);

private:
    double dotsX(double mm) const { return mm * m_dotsPerMmX; }
    double dotsY(double mm) const { return mm * m_dotsPerMmY; }
    QRectF toDots(const QRectF& mm) const;

    void paintBox(const LayoutItem& item);
    void paintLine(const LayoutItem& item);
    void paintText(const QString& text, const LayoutItem& item, const QRectF& boxDots);
    bool paintBarcode(qsizetype index, const LayoutItem& item, const QStringList& values);
    void paintBars(const Code39Symbol& symbol, const BarcodeFit& fit, double left, const QRectF& box);

    static QString barcodeData(const LayoutItem& item, const QStringList& values);
    static QString unfitText(qsizetype index, const LayoutItem& item, const QString& data, const BarcodeFit& fit,
                             double dotsPerMm);

    QPainter& m_painter;
    const ReportLayout& m_layout;
    double m_dotsPerMmX;
    double m_dotsPerMmY;
    QPointF m_originMm; // the current slot's origin
    QString m_problem;  // the first barcode of the current document that did not fit

    // Fitting a text measures it, which costs more than painting it; documents of
    // one print repeat most texts (names, dates, captions), so each fit is kept.
    struct FittedLines
    {
        FittedText fitted;
        QList<double> widths; // of each line as printed
    };
    const FittedLines& fittedText(const QString& text, const LayoutItem& item, const QSizeF& box);
    QHash<QString, FittedLines> m_fits;
};

} // namespace plx
