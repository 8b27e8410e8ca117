#include "FieldWidths.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace plx {

int textWidthForBytes(const QFontMetrics& metrics, int bytes)
{
    return std::max(metrics.horizontalAdvance(QString(bytes / 2, QChar(u'漢'))),
                    metrics.horizontalAdvance(QString(bytes, QLatin1Char('0'))));
}

int lineEditWidthForBytes(const QLineEdit& edit, int bytes)
{
    // What the line edit adds around its text: its size hint is room for 17
    // 'x' plus frame and margins.
    const QFontMetrics metrics = edit.fontMetrics();
    const int around = edit.sizeHint().width() - 17 * metrics.horizontalAdvance(QLatin1Char('x'));
    return textWidthForBytes(metrics, bytes) + around + 1;
}

int comboWidthForBytes(const QComboBox& combo, int bytes)
{
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = combo.isEditable();
    const QSize text(textWidthForBytes(combo.fontMetrics(), bytes), combo.fontMetrics().height());
    return combo.style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, &combo).width();
}

int columnWidthForBytes(const QAbstractItemView& view, int bytes)
{
    // The item delegate leaves a focus-frame margin and a pixel at each side,
    // and the grid line takes one more.
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    return textWidthForBytes(view.fontMetrics(), bytes) + 2 * margin + 1;
}

} // namespace plx
