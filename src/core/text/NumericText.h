#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace plx {

// True for "digits with optional sign, decimal point and surrounding blanks":
// " 12 ", "-3", "+0.50", ".5", "5." are numeric; "", " ", "12a", "1 2", "1,000",
// "--1", "１２" (full-width) are not.
bool isNumericText(QStringView text);

// Numeric text rounded to the nearest integer with halves to even, as a signed
// 16-bit value. Nothing when the text is not numeric or the result falls outside
// -32768..32767.
std::optional<short> toInt16HalfEven(QStringView text);

// A plain decimal number with thousands separators in its integer part
// ("1234567.5" -> "1,234,567.5", "-1000" -> "-1,000"); any other text as it is.
QString withThousands(const QString& number);

} // namespace plx
