#pragma once

#include <QValidator>

#include <functional>

class QLineEdit;

namespace plx {

// Stops the typing in a box at what its field holds in CP932 bytes: a key or a
// paste that would make the text longer than `fits` allows is not taken, the
// same way in every box whatever its characters. A text set by the program
// (a record shown) is shown whole; the registration checks then refuse it.
class ByteLimit : public QValidator
{
public:
    ByteLimit(std::function<bool(QStringView)> fits, QObject* parent);
    State validate(QString& input, int& pos) const override;

    // Puts a ByteLimit on `edit` in place of a limit in characters.
    static void limit(QLineEdit& edit, std::function<bool(QStringView)> fits);

private:
    std::function<bool(QStringView)> m_fits;
};

} // namespace plx
