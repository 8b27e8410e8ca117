#pragma once

#include <QWidget>

class QTextBrowser;

namespace plx {

// The help page viewer: a window of its own showing a local HTML page written
// in CP932, which can be placed, brought to the front and closed (Esc closes it).
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the page; false when it cannot be read.
    bool navigate(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* m_browser;
};

} // namespace plx
