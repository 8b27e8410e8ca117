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

// Paints documents of a layout with an active QPainter whose coordinates are the
// device's own (dots from the sheet's top-left corner): a PDF page or a printer page.
class ReportPainter
{
public:
    ReportPainter(QPainter& painter, const ReportLayout& layout);

    // Paints the document whose data line is `values` in slot `slot` of the current sheet.
    void paintDocument(int slot, const QStringList& values);

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
    void paintBarcode(const LayoutItem& item, const QStringList& values);

    QPainter& m_painter;
    const ReportLayout& m_layout;
    double m_dotsPerMmX;
    double m_dotsPerMmY;
    QPointF m_originMm; // the current slot's origin

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
