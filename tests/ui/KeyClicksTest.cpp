#include "ui/KeyClicks.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace plx;

namespace {

// Reformats the box's number when the focus leaves it, as the windows' boxes do.
class LeaveRule : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut) {
            auto* box = static_cast<QLineEdit*>(watched);
            box->setText(box->text() + QStringLiteral(".000"));
        }
        return false;
    }
};

// A dialog whose box reformats its number when it is left, and whose buttons
// note what the box held when they acted.
struct Form
{
    LeaveRule leaveRule;
    QDialog dialog;
    QLineEdit* box = new QLineEdit(&dialog);
    QPushButton* ok = new QPushButton(QStringLiteral("ＯＫ(&O)"), &dialog);
    QPushButton* other = new QPushButton(QStringLiteral("ほか(&O)"), &dialog);
    QPushButton* plain = new QPushButton(QStringLiteral("別(&B)"), &dialog);
    QStringList acted;

    Form()
    {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* w : {static_cast<QWidget*>(box), static_cast<QWidget*>(ok), static_cast<QWidget*>(other),
                           static_cast<QWidget*>(plain)})
            layout->addWidget(w);
        ok->setDefault(true);
        other->setAutoDefault(false);
        plain->setAutoDefault(false);
        box->installEventFilter(&leaveRule);
        QObject::connect(ok, &QPushButton::clicked, ok, [this] { acted << QStringLiteral("ok ") + box->text(); });
        QObject::connect(other, &QPushButton::clicked, other,
                         [this] { acted << QStringLiteral("other ") + box->text(); });
        QObject::connect(plain, &QPushButton::clicked, plain,
                         [this] { acted << QStringLiteral("plain ") + box->text(); });
        dialog.show();
        dialog.activateWindow();
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("12"));
    }
};

} // namespace

// A key that presses a button leaves the box first, as a click would; a key
// that only chooses between buttons, or a button that cannot act, presses nothing.
TEST(KeyClicks, AButtonPressedByAKeyActsOnTheBoxAsLeft)
{
    installKeyClicks(*qApp);
    struct Case
    {
        const char* name;
        std::function<void(Form&)> press;
        QStringList acted;
        QString focus; // the button that has the focus afterwards
    };
    const Case cases[] = {
        {"a mnemonic", [](Form& f) { QTest::keyClick(f.box, Qt::Key_B, Qt::AltModifier); }, {"plain 12.000"}, "plain"},
        {"Enter on the default button", [](Form& f) { QTest::keyClick(f.box, Qt::Key_Return); }, {"ok 12.000"}, "ok"},
        {"keypad Enter",
         [](Form& f) { QTest::keyClick(f.box, Qt::Key_Enter, Qt::KeypadModifier); },
         {"ok 12.000"},
         "ok"},
        {"a mnemonic two buttons share only chooses",
         [](Form& f) { QTest::keyClick(f.box, Qt::Key_O, Qt::AltModifier); },
         {},
         "ok"},
        {"a disabled button",
         [](Form& f) {
             f.plain->setEnabled(false);
             QTest::keyClick(f.box, Qt::Key_B, Qt::AltModifier);
         },
         {},
         "box"},
        {"clickByKey", [](Form& f) { clickByKey(*f.plain); }, {"plain 12.000"}, "plain"},
    };
    for (const Case& c : cases) {
        Form f;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.dialog));
        c.press(f);
        // A mnemonic clicks after the button's short press animation.
        QTest::qWait(250);
        EXPECT_EQ(f.acted.join(u'|').toStdString(), c.acted.join(u'|').toStdString()) << c.name;
        const QWidget* focus = QApplication::focusWidget();
        const QString focusName = focus == f.box     ? "box"
                                  : focus == f.ok    ? "ok"
                                  : focus == f.other ? "other"
                                  : focus == f.plain ? "plain"
                                                     : "?";
        EXPECT_EQ(focusName.toStdString(), c.focus.toStdString()) << c.name;
    }
}
