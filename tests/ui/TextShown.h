#pragma once

// Checks of what a clerk sees in a box: the whole text, from its start.

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <gtest/gtest.h>

namespace plx::test {

// The program's own font (IPA Gothic 10 pt) for the application while it
// lives, so that windows made meanwhile look as the clerk sees them.
class ProgramFont
{
public:
    ProgramFont() : m_before(QApplication::font())
    {
        QFont font(QStringLiteral("IPAGothic"), 10);
        font.setStyleHint(QFont::TypeWriter);
        QApplication::setFont(font);
    }
    ~ProgramFont() { QApplication::setFont(m_before); }
    ProgramFont(const ProgramFont&) = delete;
    ProgramFont& operator=(const ProgramFont&) = delete;

private:
    QFont m_before;
};

// Whether the box shows its whole text, scrolled to its start: its cursor is
// at the start, and moving it to the end scrolls nothing. The box must be
// shown.
inline ::testing::AssertionResult showsWhole(QLineEdit* edit)
{
    const QString text = edit->text();
    if (edit->cursorPosition() != 0)
        return ::testing::AssertionFailure() << "cursor at " << edit->cursorPosition();
    // The box scrolls its text when it paints: paint it where the cursor stands.
    const auto cursorLeft = [edit] {
        edit->repaint();
        return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    };
    const int start = cursorLeft();
    edit->setCursorPosition(int(text.size()));
    const int end = cursorLeft();
    edit->setCursorPosition(0);
    const int advance = edit->fontMetrics().horizontalAdvance(text);
    if (end - start != advance)
        return ::testing::AssertionFailure() << "scrolled by " << advance - (end - start) << " px";
    return ::testing::AssertionSuccess();
}

// Whether the combo box's text field is as wide as its current text.
inline ::testing::AssertionResult showsWhole(QComboBox* combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    const int advance = combo->fontMetrics().horizontalAdvance(combo->currentText());
    if (field.width() < advance)
        return ::testing::AssertionFailure() << field.width() << " px for a text of " << advance << " px";
    return ::testing::AssertionSuccess();
}

} // namespace plx::test
