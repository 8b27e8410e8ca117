#include "ByteLimit.h"

#include "core/text/Cp932.h"

#include <QLineEdit>

namespace plx {

namespace {

bool cp932Longer(const QString& before, const QString& after)
{
    return cp932::byteLength(after) < cp932::byteLength(before);
}

} // namespace

ByteLimit::ByteLimit(std::function<bool(QStringView)> fits, QObject* parent)
    : QValidator(parent), m_fits(std::move(fits))
{
}

QValidator::State ByteLimit::validate(QString& input, int&) const
{
    if (m_fits(input))
        return Acceptable;
    // A text shown longer than the field (as the program set it) may still be
    // shortened.
    const auto* edit = qobject_cast<const QLineEdit*>(parent());
    return edit && cp932Longer(edit->text(), input) ? Intermediate : Invalid;
}

void ByteLimit::limit(QLineEdit& edit, std::function<bool(QStringView)> fits)
{
    edit.setMaxLength(32767);
    edit.setValidator(new ByteLimit(std::move(fits), &edit));
}

} // namespace plx
