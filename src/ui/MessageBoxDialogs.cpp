#include "MessageBoxDialogs.h"

#include "PrintProgressDialog.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace plx {

namespace {

// A message box that keeps clear of a print run's progress dialog: a question
// asked while the progress is shown goes below it (above it where the screen
// has no room below), so that neither covers the other and the progress's
// 中止 stays in sight.
class MessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        fitToText();
        keepClearOfProgress();
    }

    // A window manager may place a new dialog itself, and the progress may
    // only now have its final size: once the box is on screen, it is placed
    // again where it still overlaps the progress.
    bool event(QEvent* event) override
    {
        const bool done = QMessageBox::event(event);
        if (event->type() == QEvent::WindowActivate) {
            const QWidget* progress = PrintProgressDialog::shownDialog();
            if (progress && progress != this && progress->frameGeometry().intersects(frameGeometry()))
                keepClearOfProgress();
        }
        return done;
    }

private:
    // Qt wraps a text at about 500 pixels, wherever the line is: a Japanese
    // line a little longer ends with one or two characters on a line of
    // their own. The box is widened to its longest line instead, up to four
    // fifths of the screen; only a longer line wraps.
    void fitToText()
    {
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (!label || !layout())
            return;
        const QFontMetrics metrics = label->fontMetrics();
        int widest = 0;
        for (const QString& line : label->text().split(QLatin1Char('\n')))
            widest = std::max(widest, metrics.horizontalAdvance(line));
        // A little more than the line, so that rounding never wraps it.
        widest += 2 * metrics.averageCharWidth();
        const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
        const int most = screen.isValid() ? screen.width() * 4 / 5 : widest;
        label->setMinimumWidth(0);
        layout()->activate();
        const int beside = std::max(0, layout()->totalMinimumSize().width() - label->minimumSizeHint().width());
        label->setMinimumWidth(std::max(0, std::min(widest, most - beside)));
        layout()->activate();
        const int width = std::max(this->width(), layout()->totalMinimumSize().width());
        const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width)
                                                         : layout()->totalMinimumSize().height();
        setFixedSize(width, std::max(height, layout()->totalMinimumSize().height()));
    }

    void keepClearOfProgress()
    {
        const QWidget* progress = PrintProgressDialog::shownDialog();
        if (!progress || progress == this)
            return;
        QRect beside = progress->frameGeometry();
        // The title bar of this box, not yet on screen, as the progress has
        // it; a guess while the window manager has not told the progress's.
        constexpr int kTitleBarGuess = 32;
        const int known = beside.height() - progress->height();
        const int titleBar = known > 0 ? known : kTitleBarGuess;
        if (known <= 0) {
            beside.setTop(beside.top() - kTitleBarGuess);
            beside.setBottom(beside.bottom() + kTitleBarGuess);
        }
        constexpr int kGap = 8;
        const int width = frameGeometry().width();
        const int height = std::max(frameGeometry().height(), this->height() + titleBar);
        const QRect screen = progress->screen() ? progress->screen()->availableGeometry() : QRect();
        int x = beside.center().x() - width / 2;
        int y = beside.bottom() + 1 + kGap;
        if (screen.isValid()) {
            if (y + height > screen.bottom() + 1)
                y = beside.top() - kGap - height;
            x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - width));
            y = std::max(y, screen.top());
        }
        move(x, y);
    }
};

} // namespace

short MessageBoxDialogs::show(MessageIcon icon, const QString& text, MessageButtons buttons,
                              DefaultButton defaultButton)
{
    MessageBox box(m_parent);
    box.setWindowTitle(kMessageTitle);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(shown);
    switch (icon) {
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    if (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoStop) {
        QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        QPushButton* stop = nullptr;
        if (buttons == MessageButtons::YesNoStop) {
            stop = box.addButton(QStringLiteral("中止(&C)"), QMessageBox::DestructiveRole);
            stop->setObjectName(QStringLiteral("MessageStop"));
        }
        yes->setObjectName(QStringLiteral("MessageYes"));
        no->setObjectName(QStringLiteral("MessageNo"));
        box.setDefaultButton(defaultButton == DefaultButton::No ? no : yes);
        // Esc answers いいえ: for a print question, this one group only.
        box.setEscapeButton(no);
        box.exec();
        if (stop && box.clickedButton() == stop)
            return kAnswerStop;
        return box.clickedButton() == yes ? kAnswerYes : kAnswerNo;
    }
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return kAnswerOk;
}

} // namespace plx
