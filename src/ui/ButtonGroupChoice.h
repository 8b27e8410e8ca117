#pragma once

#include <QString>

class QButtonGroup;

namespace plx {

// An exclusive group of option buttons as the value it stands for: the id of
// the checked button as text, "" when none is checked.
QString checkedValue(const QButtonGroup& group);

// Checks the button whose id is `value`; with no such button, unchecks them all.
void checkValue(QButtonGroup& group, const QString& value);

} // namespace plx
