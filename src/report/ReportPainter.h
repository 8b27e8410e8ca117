#pragma once

#include "Code39Symbol.h"
#include "LineShaper.h"
#include "TextFit.h"

#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRawFont>

#include "ReportLayout.h"

#include <QPointF>
#include <QRectF>
#include <QStringList>

class QPainter;

namespace plx {

struct BarcodeFit;

// Paints documents of a layout with an active QPainter whose coordinates are the
// device's own (dots from the sheet's top-left corner): a PDF page or a printer page.
class ReportPainter
{
public:
    // `shaper`, when given, keeps its glyphs for the painters after this one (the
    // documents of the next PDF); otherwise the painter shapes with its own.
    ReportPainter(QPainter& painter, const ReportLayout& layout, LineShaper* shaper = nullptr);

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
    // `keyItem` is the item whose fits the text's fit is kept with: `item` itself, or
    // the barcode whose readable line `item` describes.
    void paintText(const QString& text, const LayoutItem& item, const QRectF& boxDots,
                   const LayoutItem* keyItem = nullptr);
    bool paintBarcode(qsizetype index, const LayoutItem& item, const QStringList& values);
    void paintBars(const Code39Symbol& symbol, const BarcodeFit& fit, double left, const QRectF& box);

    // Glyphs of one font in one text object: the PDF writer starts a text object, sets
    // its colour and font and saves its state for every run drawn, which costs more
    // than the glyphs of a short text. Lines that need no clip or narrowing are
    // collected by font and painted together before a filled box and at the end of
    // the document.
    struct PendingGlyphs
    {
        QRawFont font;
        QList<quint32> indexes;
        QList<QPointF> positions; // device dots
    };
    void deferGlyphs(const QGlyphRun& run, const QPointF& at);
    void flushGlyphs();
    void useTextPen();
    QList<PendingGlyphs> m_pendingGlyphs;
    QList<PendingGlyphs> m_spareGlyphs; // emptied batches, their lists' memory kept

    static QString barcodeData(const LayoutItem& item, const QStringList& values);
    static QString unfitText(qsizetype index, const LayoutItem& item, const QString& data, const BarcodeFit& fit,
                             double dotsPerMm);

    QPainter& m_painter;
    const ReportLayout& m_layout;
    double m_dotsPerMmX;
    double m_dotsPerMmY;
    QPointF m_originMm; // the current slot's origin
    QString m_problem;  // the first barcode of the current document that did not fit

    // Fitting a text measures it and laying out its glyphs shapes it, which costs
    // more than painting it; documents of one print repeat most texts (names, dates,
    // captions), so each fit is kept with its glyphs, ready to paint.
    struct FittedLines
    {
        FittedText fitted;
        QList<double> widths;              // of each line as printed
        QList<QList<QGlyphRun>> glyphRuns; // of each line, from the start of its baseline
    };
    struct FitKey
    {
        const LayoutItem* item; // stands for the font, alignment and wrapping
        double width;
        double height;
        QString text;
        bool operator==(const FitKey& other) const = default;
    };
    friend size_t qHash(const FitKey& key, size_t seed);
    const FittedLines& fittedText(const QString& text, const LayoutItem& item, const LayoutItem* keyItem,
                                  const QSizeF& box);
    QHash<FitKey, FittedLines> m_fits;
    // Each unwrapped item's font and metrics at its own size (an empty text's fit).
    QHash<const LayoutItem*, FittedText> m_atItemSize;
    LineShaper m_ownShaper;
    LineShaper& m_shaper;
    // Texts that differ in every document (numbers, keys) would make the cache grow
    // with the print; it starts over when it holds this many.
    static constexpr qsizetype kMaxFits = 4096;

    // Encoding a symbol costs more than painting it, and documents of one print
    // repeat some barcodes (item codes); kept by data like the fits.
    const Code39Symbol& symbolFor(const QString& data);
    QHash<QString, Code39Symbol> m_symbols;
    static constexpr qsizetype kMaxSymbols = 1024;
};

} // namespace plx
