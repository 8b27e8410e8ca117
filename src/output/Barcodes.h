#pragma once

#include "store/DeliveryRecord.h"

#include <QString>
#include <QStringView>

#include <array>

namespace plx {

// The 42 characters a Code 39 barcode of the program may carry.
inline const QString kCode39Alphabet = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.$/+%");

// Whether every character of `text` is in the alphabet. An empty text passes.
bool isCode39Text(QStringView text);

// The shortest decimal form of a stored quantity ("000000123.500" -> "123.5",
// "000000010.000" -> "10"). Blanks and commas are ignored. Throws
// RuntimeFailure when the text is not a number.
QString BarcodeQuantity(QStringView text);

// `text` without any `c`.
QString RemoveChar(QStringView text, QChar c);

// Whether a KORVAN unit may carry the text: false for a character outside
// 0x20..0x5C, or "!", '"', "[".
bool isKorvanUnitText(QStringView text);

enum class BarcodeVariant { Eiaj, KorvanWithBarcode, KorvanWithoutBarcode };
enum class BarcodeDocument { Slip, Tag };

// The six lines of one document's barcodes: readable "3N3", "3N4", "3N5" and
// the barcode data of the same, each at most 40 characters (padded to 40), with
// their lengths before padding.
struct BarcodeLines
{
    std::array<QString, 6> lines;
    std::array<short, 6> lengths{};

    // Line k (0-based) cut to its length.
    QString text(int k) const { return lines[k].left(lengths[k]); }
};

// Composes the barcode lines of a record within `digits` characters per line.
// `tagQty` is the tag line's quantity per package (tags only).
BarcodeLines EncodeBarcodes(BarcodeVariant variant, const DeliveryRecord& record, BarcodeDocument document, int digits,
                            QStringView tagQty = {});

// The variant of a record by its kind and barcode output class.
BarcodeVariant barcodeVariantOf(const DeliveryRecord& record);

} // namespace plx
