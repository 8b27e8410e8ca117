#pragma once

#include <QScrollArea>

namespace plx {

// A scroll area round the body of a form. It asks for the whole form, so that
// a window with room for it shows it without a scroll bar; where the screen
// is smaller the form scrolls, and the box that takes the focus (by Tab, a
// click or the window moving the focus) is scrolled into view.
class FormScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit FormScrollArea(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void focusMoved(QWidget* now);
};

} // namespace plx
