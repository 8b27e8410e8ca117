#include "MessageBoxDialogs.h"

#include "PrintProgressDialog.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>

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
        keepClearOfProgress();
    }

    // A window manager may place a new dialog itself (openbox does so after
    // the box is active), and the progress may only now have its final size:
    // once the box is on screen, it is placed again wherever it is found
    // overlapping the progress, a few times at most so that a window manager
    // that insists is not fought for ever.
    bool event(QEvent* event) override
    {
        const bool done = QMessageBox::event(event);
        if (event->type() == QEvent::Show)
            m_replacements = 0;
        if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::Move) && isVisible() &&
            m_replacements < kMostReplacements) {
            const QWidget* progress = PrintProgressDialog::shownDialog();
            if (progress && progress != this && progress->frameGeometry().intersects(frameGeometry())) {
                ++m_replacements;
                keepClearOfProgress();
            }
        }
        return done;
    }

private:
    static constexpr int kMostReplacements = 4;
    int m_replacements = 0;

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

// The widest a message's text may be: four fifths of the screen, and no
// wider than QMessageBox lets a box grow before it breaks words anywhere; less
// the icon and the margins beside the text.
int textRoom(const QMessageBox& box)
{
    const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    const int width = screen ? screen->availableGeometry().width() : 1024;
    const int boxLimit = width <= 1024 ? width : std::min(width - 480, 1000);
    const int beside = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize) + 64;
    return std::max(200, std::min(width * 4 / 5, boxLimit) - beside);
}

// Puts the text into the box one row per line. QMessageBox wraps a text at
// about 500 pixels wherever a line is, which leaves one or two characters of
// a Japanese line a little longer on a row of their own: the label is made as
// wide as the longest line instead, and only a line wider than the room is
// broken, into rows of even length.
void setTextInRows(QMessageBox& box, const QString& text)
{
    // The catalogue's texts are plain ("? < > |" included).
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    const QFontMetrics metrics = label->fontMetrics();
    const int room = textRoom(box);
    QStringList rows;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const int width = metrics.horizontalAdvance(line);
        if (width <= room) {
            rows.append(line);
            continue;
        }
        const int count = (width + room - 1) / room;
        QTextLayout layout(line, label->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
            row.setLineWidth(std::min(room, width / count + 2 * metrics.averageCharWidth()));
            rows.append(line.mid(row.textStart(), row.textLength()).trimmed());
        }
        layout.endLayout();
    }
    int widest = 0;
    for (const QString& row : std::as_const(rows))
        widest = std::max(widest, metrics.horizontalAdvance(row));
    box.setText(rows.join(QLatin1Char('\n')));
    // A little more than the widest row, so that rounding never wraps it.
    label->setMinimumWidth(widest + metrics.averageCharWidth());
}

} // namespace

Answer MessageBoxDialogs::show(MessageIcon icon, const QString& text, MessageButtons buttons,
                               DefaultButton defaultButton)
{
    MessageBox box(m_parent);
    box.setWindowTitle(kMessageTitle);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setTextInRows(box, shown);
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
