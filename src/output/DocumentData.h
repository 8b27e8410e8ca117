#pragma once

#include "DocumentColumns.h"

#include "store/CodeTable.h"
#include "store/CustRecord.h"
#include "store/DeliveryRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace plx {

// The comma-separated convention of the slip and tag data files: every value
// in double quotes, a double quote inside a value doubled, CR LF, CP932.
QByteArray csvLine(const QStringList& values);

// A stored number as plain text: no leading zeros, no trailing decimal zeros
// ("000012345.500" -> "12345.5", "0000000000" -> "0"); empty for a blank field.
QString plainNumber(const QString& stored);
// A stored date "YYYYMMDD" as "YY/MM/DD".
QString shortDate(const QString& stored);

// The kSlipColumnCount columns of a delivery slip for a record and its company,
// in the order of SlipColumn.
QStringList slipColumns(const DeliveryRecord& record, const CustRecord& company, const CodeTable& codes);
// The kTagColumnCount columns of the tag `tagNumber` of `tagTotal` of tag line
// `line` (1-based), in the order of TagColumn.
QStringList tagColumns(const DeliveryRecord& record, const CustRecord& company, const CodeTable& codes, int line,
                       int tagNumber, int tagTotal);
// The tags a record prints: the numbers of its tag lines before the first line
// whose number of tags is "00".
int tagTotalOf(const DeliveryRecord& record);

} // namespace plx
