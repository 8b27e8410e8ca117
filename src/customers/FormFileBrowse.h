#pragma once

#include <QChar>
#include <QDir>
#include <QString>
#include <QStringList>

// The rules of the form-file browse window (QRD参照), without widgets.
namespace plx {

// Folder paths shorter than this are shown unchanged in the browse window.
constexpr int kFolderLabelLimit = 44;
// The tail of a shortened folder label is cut at separators until it is shorter than this.
constexpr int kFolderTailLimit = 35;
// Width of the chosen form-file name, in characters.
constexpr int kChosenFormFileWidth = 36;

// The folder as the browse window shows it. A path shorter than 44 characters
// is returned unchanged. A longer one becomes its first two characters, "･･･"
// (three U+FF65) and a tail: starting from the whole path, every separator at
// 1-based position 4 … end makes the tail the text from that separator to the
// end, for as long as the tail is still 35 characters or longer. A long path
// without such a separator therefore keeps the whole path as its tail.
// `folder` must already use `separator` (QDir::toNativeSeparators for the default).
QString shortenedFolderLabel(const QString& folder, QChar separator = QDir::separator());

// The chosen file name as it is handed back: cut to its first 36 characters,
// not blank-padded (a caller that needs the fixed width pads; one that trims
// needs nothing). An empty name stays empty.
QString chosenFormFile(const QString& fileName);

// The names (without folder) of the files in `folder` that match "*.agr", the
// pattern compared case-insensitively; folders and hidden files are left out.
// Sorted by name, case-insensitively. An absent folder gives an empty list.
QStringList formFiles(const QString& folder);

} // namespace plx
