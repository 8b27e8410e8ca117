#pragma once

#include <QColor>
#include <QLineF>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace plx {

inline constexpr double kPointMm = 25.4 / 72.0;
// Room between a barcode's bars and its readable line, and the line's height per point of its size.
inline constexpr double kBarcodeTextGapMm = 0.6;
inline constexpr double kBarcodeTextLineFactor = 1.15;
// Code 39 wants a quiet zone of ten narrow bars on either side of the symbol, and
// wide elements 2 to 3 times as wide as narrow ones.
inline constexpr int kQuietZoneModules = 10;
inline constexpr double kMinWideRatio = 2.0;
inline constexpr double kMaxWideRatio = 3.0;

// How a field's value becomes the printed text.
enum class FieldFormat {
    Trim,   // trailing blanks removed (the data keeps fixed-width values padded)
    Raw,    // exactly as in the data file
    Number, // trimmed, and a plain number gets thousands separators: 1234567.5 -> 1,234,567.5
};

// One thing drawn in every document. All lengths are millimetres from the slot's
// top-left corner, font sizes are points.
struct LayoutItem
{
    enum class Kind { Text, Field, Box, Line, Barcode };

    Kind kind = Kind::Text;
    QRectF rect; // text, field, box; for a barcode the area of its bars and quiet zones
    QLineF line; // line

    double penWidth = 0.2; // box border, line; 0 draws no border
    Qt::PenStyle penStyle = Qt::SolidLine;
    QColor fill; // box; invalid means not filled

    QString text;   // static text
    int column = 0; // field, barcode: 1-based column of the data line

    double fontSize = 9.0;
    double minFontSize = 0.0; // 0: half the size, but not below 4 pt
    bool bold = false;
    Qt::Alignment hAlign = Qt::AlignLeft;
    Qt::Alignment vAlign = Qt::AlignVCenter;
    bool wrap = false;
    FieldFormat format = FieldFormat::Trim;

    double moduleWidth = 0.3;    // narrow bar in mm
    double minModuleWidth = 0.2; // narrowest bar used when shrinking to fit
    double wideRatio = 2.5;      // width of a wide bar or space to a narrow one
    int textColumn = 0;          // readable line under the bars; 0 for none
    double textSize = 7.0;

    double effectiveMinFontSize() const;
    // Height in mm of a barcode's readable line, 0 without one.
    double readableLineHeight() const;
};

// A layout file ("*.agr"): the sheet, where the documents sit on it, and what
// each document shows.
struct ReportLayout
{
    static constexpr int kVersion = 1;
    static constexpr double kDefaultFontSize = 9.0;

    int version = kVersion;
    QString name;
    QPageSize pageSize = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QSizeF slotSize;            // mm
    QList<QPointF> slotOrigins; // mm from the sheet's top-left corner, in filling order
    QString fontFamily = QStringLiteral("IPAGothic");
    QList<LayoutItem> items;

    // The sheet in millimetres as it lies (landscape swaps width and height).
    QSizeF sheetSize() const;
    QPageLayout pageLayout() const;
    int documentsPerSheet() const { return int(slotOrigins.size()); }
};

} // namespace plx
