#pragma once

#include "Decimal.h"

#include <QString>
#include <QStringView>

namespace plx {

// Visual-Basic-style Format of a number with a numeric pattern.
//
// Pattern characters:
//   0  digit placeholder that always shows a digit (leading/trailing zeros)
//   #  digit placeholder that shows a digit only when it is significant
//   .  decimal point (the first one); placeholders after it give the decimals
//   ,  between integer placeholders: group the integer part by thousands
//   anything else is a literal and is always shown where it stands.
//
// The value is rounded half away from zero to the number of decimal
// placeholders. Integer digits fill the placeholders from the right; every
// placeholder from the leftmost '0' on shows a digit, a '#' left of it only a
// significant one. Integer digits beyond the placeholders are shown in full in
// front of the first placeholder (grouped too when grouping is on), and the point
// is shown even when no decimal follows it ((5, "#.##") -> "5."). Literals are
// shown where they stand even among unused '#' positions, as Format does:
// (5551234, "(###) ###-####") -> "() 555-1234", (531, "####/##/##") -> "/5/31".
// A negative value gets "-" in front of everything. A value that rounds to zero
// is shown without sign ((-0.0004, "0.000") -> "0.000"), deliberately: a stored
// or displayed "-0.000" would only confuse.
// Examples: (1234.5, "###,###,##0.000") -> "1,234.500"; (5, "00000") -> "00005";
// (123456, "00000") -> "123456"; (20000531, "####/##/##") -> "2000/05/31";
// (0, "#0") -> "0".
//
// Only the plain numeric patterns above are understood: sections (';'), escapes
// ('\', quotes), '%', exponents and a trailing ',' (scaling by 1000) have no
// special meaning here and are shown as literals.
QString vbFormat(const Decimal& value, QStringView pattern);

// Format applied to stored text: numeric text (Decimal::parse) is formatted as a
// number; anything else is returned unchanged, as Format does with non-numeric text.
// Numeric text beyond Decimal's 38 digits is returned unchanged as well.
QString vbFormatText(QStringView text, QStringView pattern);

} // namespace plx
