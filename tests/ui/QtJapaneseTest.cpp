#include "ui/QtJapanese.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace plx;

// Qt's own dialogs and standard buttons speak Japanese once the translations
// are installed, as the program's main() installs them.
TEST(QtJapanese, QtsOwnDialogsAndButtonsSpeakJapanese)
{
    ASSERT_TRUE(installQtJapanese(*qApp)) << "Qt's Japanese translations (qt6-translations-l10n) are missing";
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    // The folder chooser of the first start.
    QFileDialog chooser;
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setFileMode(QFileDialog::Directory);
    const auto buttons = chooser.findChildren<QPushButton*>();
    QStringList texts;
    for (const QPushButton* b : buttons)
        texts << b->text();
    EXPECT_FALSE(texts.contains(QStringLiteral("&Cancel")) || texts.contains(QStringLiteral("Cancel")))
        << texts.join(u'|').toStdString();
}
