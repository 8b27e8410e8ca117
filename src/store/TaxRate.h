#pragma once

#include "CodeTable.h"

#include "core/Protocol.h"
#include "core/text/Decimal.h"

#include <QString>
#include <QStringView>

namespace plx {

// The currency a record's amounts are in: the currency text trimmed and
// upper-cased, "JPY" when it is empty.
QString currencyOf(QStringView currency);
// Yen when the currency box, trimmed and upper-cased, is empty or "JPY".
bool isForeignCurrency(QStringView currency);

// The code-table name of the taxation class that carries no consumption tax.
inline const QString kTaxExemptName = QStringLiteral("消費税対象外");

// The tax rate in percent of the selected taxation class: the value of the
// first kind-"03" entry of the format whose code, read as a number, is
// position + 1. Zero for "消費税対象外", for a position without such an entry
// and for a value that does not start with a number.
Decimal taxRate(const CodeTable& codes, Protocol format, int taxationPosition, QStringView taxationName);

// The rate of the taxation class a record stores (its code, "1", "2"...), as
// taxRate() reads the class the entry window shows for that record.
Decimal taxRateOfCode(const CodeTable& codes, Protocol format, QStringView taxationCode);

} // namespace plx
