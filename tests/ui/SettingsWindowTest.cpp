#include "support/ListFixtures.h"

#include "ui/auxiliary/SettingsWindow.h"
#include "ui/list/ListWindow.h"

#include "core/ErrorReport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plx;
using namespace plx::test;

namespace {

const QString kTaken = QStringLiteral("既に登録されているため、追加できません。");
const QString kNoName = QStringLiteral("ファイル名を入力または選択してください。");
const QString kBadCharacter = QStringLiteral("ファイル名に次の文字は使用できません。 ? < > | \\ / : , ; \"");

struct SettingsWindowFixture : ::testing::Test
{
    TestInstall inst;

    SettingsWindowFixture()
    {
        writeListInstallation(inst);
        inst.writeFile(QStringLiteral("Prg/Msg.DAT"),
                       cp932::encode(u"020,1,\"レジストリ情報を取得できません。\"\r\n"
                                     u"585,3,\"既に登録されているため、追加できません。\"\r\n"
                                     u"600,3,\"ファイル名を入力または選択してください。\"\r\n"
                                     u"645,3,\"システムファイルの拡張子は指定できません。\"\r\n"
                                     u"650,3,\"ファイル名に次の文字は使用できません。 ? < > | \\ / : , ; \"\r\n"));
        inst.env.logCount = 10;
        inst.setSetting(QStringLiteral("EiajFileName"), QStringLiteral("A.DAT;ORD*;"));
        inst.setSetting(QStringLiteral("KoRFileName"), QStringLiteral("K1.TXT"));
        inst.setSetting(QStringLiteral("FileMove"), QStringLiteral("1"));
        inst.setSetting(QStringLiteral("MakeMode"), QStringLiteral("2"));
    }

    QByteArray settingsBytes() const
    {
        QFile f(inst.registry.filePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

template <typename T> T* child(QWidget& w, const char* name)
{
    T* found = w.findChild<T*>(QLatin1String(name));
    if (!found)
        ADD_FAILURE() << "no widget " << name;
    return found;
}

QStringList items(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

void click(QWidget& w, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(w, name), Qt::LeftButton);
}

} // namespace

TEST_F(SettingsWindowFixture, OpensWithTheStoredValuesInItsFrames)
{
    SettingsWindow w(inst.env);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ﾌｧｲﾙ入力設定"));
    EXPECT_EQ(w.size(), QSize(476, 317));
    EXPECT_TRUE(w.isModal());
    EXPECT_EQ(inst.env.logModule, QStringLiteral("環境設定"));
    EXPECT_EQ(child<QGroupBox>(w, "Frame1")->title(), QStringLiteral("表示するﾌｧｲﾙ名"));
    EXPECT_EQ(child<QGroupBox>(w, "Frame2")->title(), QStringLiteral("ﾋﾞｼﾞﾈｽﾌﾟﾛﾄｺﾙ"));
    EXPECT_EQ(child<QGroupBox>(w, "Frame2")->parentWidget(), child<QGroupBox>(w, "Frame1"));
    EXPECT_EQ(child<QGroupBox>(w, "Frame3")->title(), QStringLiteral("処理済ﾌｧｲﾙの移動"));
    EXPECT_EQ(child<QGroupBox>(w, "Frame4")->title(), QStringLiteral("処理ﾓｰﾄﾞ"));
    EXPECT_EQ(child<QPushButton>(w, "Command1")->text(), QStringLiteral("追加"));
    EXPECT_EQ(child<QPushButton>(w, "Command2")->text(), QStringLiteral("削除"));
    EXPECT_EQ(child<QPushButton>(w, "Command3")->text(), QStringLiteral("ＯＫ"));
    EXPECT_EQ(child<QPushButton>(w, "Command4")->text(), QStringLiteral("ｷｬﾝｾﾙ"));

    EXPECT_TRUE(child<QRadioButton>(w, "Option1")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(w, "Option1")->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(w, "Option2")->isEnabled());
    EXPECT_EQ(items(child<QListWidget>(w, "List1")), (QStringList{"A.DAT", "ORD*"}));
    EXPECT_TRUE(child<QRadioButton>(w, "Option3")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(w, "Option6")->isChecked());
    EXPECT_EQ(child<QRadioButton>(w, "Option6")->text(), QStringLiteral("発行済の納品書ﾃﾞｰﾀを削除して追加作成する。"));
}

TEST_F(SettingsWindowFixture, WithApUseKorvanOnlyKorvanCanBeChosen)
{
    inst.setSetting(QStringLiteral("ApUse"), QStringLiteral("KORVAN"));
    SettingsWindow w(inst.env);
    EXPECT_FALSE(child<QRadioButton>(w, "Option1")->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(w, "Option2")->isChecked());
    EXPECT_EQ(items(child<QListWidget>(w, "List1")), QStringList{"K1.TXT"});
}

TEST_F(SettingsWindowFixture, AddDeleteSwitchAndOkWriteTheSettings)
{
    SettingsWindow w(inst.env);
    w.show();
    auto* text1 = child<QLineEdit>(w, "Text1");
    auto* list1 = child<QListWidget>(w, "List1");

    // Enter in the name box is 追加, and only that.
    text1->setFocus();
    QTest::keyClicks(text1, QStringLiteral(" NEW.CSV "));
    QTest::keyClick(text1, Qt::Key_Return);
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("追加ﾎﾞﾀﾝ"));
    EXPECT_EQ(items(list1), (QStringList{"A.DAT", "ORD*", "NEW.CSV"}));
    EXPECT_TRUE(text1->text().isEmpty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.result(), 0);

    // Refusals show their message and change nothing.
    QTest::keyClicks(text1, QStringLiteral("a.dat"));
    click(w, "Command1");
    QTest::keyClicks(text1, QStringLiteral(",x"));
    click(w, "Command1");
    EXPECT_EQ(inst.dialogs.texts(), (QStringList{kTaken, kBadCharacter}));
    EXPECT_EQ(list1->count(), 3);

    // 削除 of the selected entries.
    list1->item(0)->setSelected(true);
    list1->item(2)->setSelected(true);
    click(w, "Command2");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("削除ﾎﾞﾀﾝ"));
    EXPECT_EQ(items(list1), QStringList{"ORD*"});

    // The KORVAN list, edited, then the options.
    click(w, "Option2");
    EXPECT_EQ(items(list1), QStringList{"K1.TXT"});
    text1->setText(QStringLiteral("K2.TXT"));
    click(w, "Command1");
    click(w, "Option1");
    EXPECT_EQ(items(list1), QStringList{"ORD*"});
    click(w, "Option2");
    EXPECT_EQ(items(list1), (QStringList{"K1.TXT", "K2.TXT"}));
    click(w, "Option4");
    click(w, "Option7");

    click(w, "Command3");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("OKﾎﾞﾀﾝ"));
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(inst.setting(QStringLiteral("EiajFileName")), QStringLiteral("ORD*"));
    EXPECT_EQ(inst.setting(QStringLiteral("KoRFileName")), QStringLiteral("K1.TXT;K2.TXT"));
    EXPECT_EQ(inst.setting(QStringLiteral("FileMove")), QStringLiteral("2"));
    EXPECT_EQ(inst.setting(QStringLiteral("MakeMode")), QStringLiteral("3"));
}

TEST_F(SettingsWindowFixture, EmptyNameAndNothingSelectedShow600)
{
    SettingsWindow w(inst.env);
    w.show();
    click(w, "Command1");
    click(w, "Command2");
    EXPECT_EQ(inst.dialogs.texts(), (QStringList{kNoName, kNoName}));
    EXPECT_EQ(child<QListWidget>(w, "List1")->count(), 2);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(SettingsWindowFixture, CancelAfterEditsWritesNothing)
{
    const QByteArray before = settingsBytes();
    SettingsWindow w(inst.env);
    w.show();
    child<QLineEdit>(w, "Text1")->setText(QStringLiteral("X.DAT"));
    click(w, "Command1");
    click(w, "Option2");
    click(w, "Option4");
    click(w, "Command4");
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(SettingsWindowFixture, AFailedWriteIsShownAndTheWindowStaysOpen)
{
    SettingsWindow w(inst.env);
    w.show();
    child<QLineEdit>(w, "Text1")->setText(QStringLiteral("X.DAT"));
    click(w, "Command1");
    const QString path = inst.registry.filePath();
    ASSERT_TRUE(QFile::remove(path) && QDir().mkpath(path));

    EXPECT_FALSE(endsProgram([&] { click(w, "Command3"); }));
    EXPECT_TRUE(w.isVisible());
    EXPECT_NE(w.result(), QDialog::Accepted);
    const qint32 rc = inst.registry.regPutValue(kRegistryKey, QStringLiteral("EiajFileName"), QString());
    ASSERT_NE(rc, RegOk);
    ASSERT_EQ(inst.dialogs.texts().size(), 1);
    EXPECT_EQ(inst.dialogs.texts()[0],
              kErrorReportText + QStringLiteral("\r\nﾚｼﾞｽﾄﾘ書き込み編集/EiajFileName/") + Registry::regErrorText(rc));
    EXPECT_EQ(items(child<QListWidget>(w, "List1")), (QStringList{"A.DAT", "ORD*", "X.DAT"}));

    // With the store back, ＯＫ closes the window.
    ASSERT_TRUE(QDir(path).removeRecursively());
    inst.writeSettings();
    click(w, "Command3");
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(inst.setting(QStringLiteral("EiajFileName")), QStringLiteral("A.DAT;ORD*;X.DAT"));
}

TEST_F(SettingsWindowFixture, TheListWindowsMenuOpensItModally)
{
    ListWindow list(inst.env);
    list.show();
    auto* mnuEnv = list.findChild<QAction*>(QStringLiteral("MnuEnv"));
    ASSERT_TRUE(mnuEnv);
    ASSERT_TRUE(mnuEnv->isEnabled());

    bool seen = false;
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [&, poll, tries] {
        if (auto* w = qobject_cast<SettingsWindow*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            poll->stop();
            poll->deleteLater();
            seen = true;
            EXPECT_EQ(inst.env.logModule, QStringLiteral("環境設定"));
            w->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
        } else if (++*tries > 300) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no settings window";
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        }
    });
    poll->start(10);
    mnuEnv->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(inst.env.logModule, QStringLiteral("納品書一覧"));
}
