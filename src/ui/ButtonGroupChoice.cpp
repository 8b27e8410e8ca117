#include "ButtonGroupChoice.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace plx {

QString checkedValue(const QButtonGroup& group)
{
    const int id = group.checkedId();
    return id < 0 ? QString() : QString::number(id);
}

void checkValue(QButtonGroup& group, const QString& value)
{
    bool ok = false;
    const int id = value.toInt(&ok);
    if (QAbstractButton* button = ok ? group.button(id) : nullptr) {
        button->setChecked(true);
        return;
    }
    // Nothing chosen: an exclusive group cannot uncheck its last button.
    const bool exclusive = group.exclusive();
    group.setExclusive(false);
    for (QAbstractButton* b : group.buttons())
        b->setChecked(false);
    group.setExclusive(exclusive);
}

} // namespace plx
