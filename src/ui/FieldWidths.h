#pragma once

class QAbstractItemView;
class QComboBox;
class QFontMetrics;
class QLineEdit;

namespace plx {

// Widths that show a stored text of `bytes` bytes (CP932) whole, in the font
// of the widget that shows it: the wider of bytes / 2 full-width characters
// and `bytes` half-width digits. A 50-byte name is 25 full-width characters.
int textWidthForBytes(const QFontMetrics& metrics, int bytes);

// A line edit's width for such a text, with its frame, margins and cursor.
int lineEditWidthForBytes(const QLineEdit& edit, int bytes);

// A combo box's width for such a text, with its frame and drop-down arrow.
int comboWidthForBytes(const QComboBox& combo, int bytes);

// A column's width for such a text in `view`, with the cell's margins.
int columnWidthForBytes(const QAbstractItemView& view, int bytes);

} // namespace plx
