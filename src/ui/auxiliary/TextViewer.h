#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace plx {

// Shows a CP932 text file (the import error list) read-only, in the program's
// fixed-width font.
class TextViewer : public QDialog
{
    Q_OBJECT
public:
    explicit TextViewer(const QString& path, QWidget* parent = nullptr);
    QString text() const;

private:
    QPlainTextEdit* m_text;
};

} // namespace plx
