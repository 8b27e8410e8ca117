#pragma once

#include "ReportLayout.h"

#include <QByteArray>
#include <QString>

namespace plx {

// Reads layout files ("*.agr", JSON; docs/layout-format.md) and checks them
// completely before anything is printed. Every refusal is a Japanese message that
// names the file and the offending key, for example
// "帳票定義ファイルの形式が正しくありません。(E_Slip.agr: items[3].column は 1 以上の整数で指定してください)".
class LayoutReader
{
public:
    // Reads the file at `path` (UTF-8; CP932 is accepted too).
    static bool read(const QString& path, ReportLayout& layout, QString& error);

    // Checks the contents of a layout file; `fileName` is used in messages only.
    static bool parse(const QByteArray& bytes, const QString& fileName, ReportLayout& layout, QString& error);
};

} // namespace plx
