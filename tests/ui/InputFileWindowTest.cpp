#include "support/ImportFixtures.h"

#include "ui/import/InputFileWindow.h"
#include "ui/list/ListWindow.h"

#include "core/ErrorReport.h"
#include "import/InputFileList.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

const QString kNothingSelected = QStringLiteral("入力ファイルが選択されていません。");
const QString kDriveNotReady = QStringLiteral("ドライブの準備ができていません。");
const QString kNotAnOrderFile = QStringLiteral("対象外のビジネスプロトコルです。(BAD.txt)");
// A one-line EIAJ order in the pair form.
const QByteArray kPairOrder = "\"REIAJC14\",\"0502\",REIAJ004,A001,REIAJ005,S01,REIAJ012,2,REIAJ159NO01,K9";

// Records the texts a label shows each time it is painted.
class PaintedTexts : public QObject
{
public:
    explicit PaintedTexts(QLabel* label) : m_label(label) { label->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint && !m_label->text().isEmpty() &&
            (texts.isEmpty() || texts.last() != m_label->text()))
            texts.append(m_label->text());
        return false;
    }
    QStringList texts;

private:
    QLabel* m_label;
};

struct InputWindowFixture : ::testing::Test
{
    ImportInstall imp;
    TestInstall& inst = imp.inst;

    InputWindowFixture()
    {
        inst.writeFile(
            QStringLiteral("Prg/Msg.DAT"),
            inst.readFile(QStringLiteral("Prg/Msg.DAT")) +
                cp932::encode(
                    QStringLiteral("009,3,\"%1\"\r\n023,3,\"%2\"\r\n").arg(kNothingSelected, kDriveNotReady)));
        inst.setSetting(QStringLiteral("DataFilePath"), imp.folder());
    }
    void file(const QString& name, const QByteArray& bytes, int day, const QTime& time = QTime(12, 0)) const
    {
        QFile f(imp.inPath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        ASSERT_TRUE(f.flush());
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2000, 5, day), time), QFileDevice::FileModificationTime));
    }
    template <typename T> static T* child(QWidget& w, const char* name)
    {
        T* found = w.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QTreeWidget* list(QWidget& w) { return child<QTreeWidget>(w, "ListView1"); }
    static QStringList column(QWidget& w, int column)
    {
        QStringList texts;
        for (int row = 0; row < list(w)->topLevelItemCount(); ++row)
            texts << list(w)->topLevelItem(row)->text(column);
        return texts;
    }
    static void select(QWidget& w, const QStringList& names)
    {
        for (int row = 0; row < list(w)->topLevelItemCount(); ++row)
            list(w)->topLevelItem(row)->setSelected(names.contains(list(w)->topLevelItem(row)->text(0)));
    }
    static void clickHeader(QWidget& w, int section)
    {
        QHeaderView* header = list(w)->header();
        const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, header->height() / 2));
    }
    static void press(QWidget& w, const char* button)
    {
        QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
    }
    static QStringList folders(QWidget& w)
    {
        QStringList names;
        auto* dir1 = child<QListWidget>(w, "Dir1");
        for (int row = 0; row < dir1->count(); ++row)
            names << dir1->item(row)->text();
        return names;
    }
    // Enters a folder of the folder list by its name.
    static void enterFolder(QWidget& w, const QString& name)
    {
        auto* dir1 = child<QListWidget>(w, "Dir1");
        const QList<QListWidgetItem*> found = dir1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        emit dir1->itemActivated(found.first());
    }
    // Makes `w` the active window so that keys reach its focus.
    static void activate(QWidget& w)
    {
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    // Records of the data file with the given statuses, written as E_Deliv.dat.
    void dataWithStatuses(const QStringList& statuses)
    {
        QList<DeliveryRecord> records;
        for (const QString& status : statuses)
            records.append(delivery('1', "A001", "S01", QStringLiteral("OLD") + status, status));
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
    }
};

} // namespace

TEST_F(InputWindowFixture, OpensOnTheSavedFolderListingSizesAndDatesOldestFirst)
{
    inst.setSetting(QStringLiteral("DataFilePath"), imp.folder() + QLatin1Char('/'));
    inst.setSetting(QStringLiteral("MakeMode"), QStringLiteral("2"));
    inst.setSetting(QStringLiteral("EiajFileName"), QStringLiteral("*.txt;*.CSV"));
    QDir().mkpath(imp.inPath(QStringLiteral("sub")));
    file(QStringLiteral("NEW.CSV"), QByteArray(90, 'x'), 31, QTime(18, 0));
    file(QStringLiteral("ORDER1.txt"), QByteArray(1091, 'x'), 31, QTime(14, 5, 9));
    file(QStringLiteral("A.TXT"), "x", 1);
    file(QStringLiteral("OLD.txt"), QByteArray(1090, 'x'), 2);
    InputFileWindow w(inst.env, Protocol::Eiaj);
    w.show();

    EXPECT_EQ(w.windowTitle(), QStringLiteral("入力ﾌｧｲﾙ選択 （ＥＩＡＪ）"));
    EXPECT_EQ(inst.env.logModule, QStringLiteral("入力ファイル選択"));
    EXPECT_EQ(w.currentFolder(), imp.folder());
    EXPECT_EQ(child<QLabel>(w, "Label1")->text() + child<QLabel>(w, "Label2")->text(),
              QStringLiteral("ﾌｧｲﾙの場所 ：処理ﾓｰﾄﾞ   ："));
    EXPECT_EQ(child<QRadioButton>(w, "Option2")->text(), QStringLiteral("発行済の納品書ﾃﾞｰﾀを削除して追加作成する。"));
    EXPECT_TRUE(child<QRadioButton>(w, "Option2")->isChecked());
    EXPECT_FALSE(child<QRadioButton>(w, "Option1")->isChecked() || child<QRadioButton>(w, "Option3")->isChecked());
    EXPECT_FALSE(child<QFrame>(w, "Picture1")->isVisible());
    EXPECT_FALSE(child<QTimer>(w, "Timer1")->isActive());
    EXPECT_EQ(child<QComboBox>(w, "Drive1")->currentText(),
              InputFileList::driveOf(imp.folder(), InputFileList::driveRoots()));
    EXPECT_EQ(folders(w), QStringList({"..", "sub"}));

    QTreeWidget* view = list(w);
    EXPECT_EQ(view->headerItem()->text(2) + view->headerItem()->text(3), QStringLiteral("サイズ更新日時"));
    EXPECT_EQ(QList({view->columnWidth(1), view->columnWidth(2), view->columnWidth(3)}), QList({33, 53, 246}));
    EXPECT_EQ(column(w, 0), QStringList({"OLD.txt", "ORDER1.txt", "NEW.CSV"}));
    EXPECT_EQ(column(w, 1), QStringList({"ﾌｧｲﾙ", "ﾌｧｲﾙ", "ﾌｧｲﾙ"}));
    EXPECT_EQ(column(w, 2), QStringList({" 1KB", " 2KB", " 1KB"}));
    EXPECT_EQ(column(w, 3)[1], QStringLiteral("2000年05月31日 (水曜日) 14時05分09秒"));
    EXPECT_TRUE(view->topLevelItem(1)->textAlignment(2) & Qt::AlignRight);
    EXPECT_TRUE(view->selectedItems().isEmpty());

    // List view: names only; report view again: every column.
    press(w, "Command3");
    EXPECT_TRUE(view->header()->isHidden() && view->isColumnHidden(3));
    EXPECT_EQ(column(w, 0), QStringList({"OLD.txt", "ORDER1.txt", "NEW.CSV"}));
    EXPECT_EQ(column(w, 2), QStringList({"", "", ""}));
    press(w, "Command4");
    EXPECT_FALSE(view->header()->isHidden() || view->isColumnHidden(3));
    EXPECT_EQ(column(w, 2), QStringList({" 1KB", " 2KB", " 1KB"}));
}

TEST_F(InputWindowFixture, HeaderClicksSortAsTextSwitchingTheOrderEveryTime)
{
    file(QStringLiteral("b.csv"), QByteArray(10050, 'x'), 1);
    file(QStringLiteral("C.csv"), QByteArray(2000, 'x'), 3);
    file(QStringLiteral("a.csv"), QByteArray(3000, 'x'), 2);
    InputFileWindow w(inst.env, Protocol::Eiaj);
    w.show();
    // The rows come ascending by date, so the first click sorts descending.
    clickHeader(w, 0);
    EXPECT_EQ(column(w, 0), QStringList({"C.csv", "b.csv", "a.csv"}));
    clickHeader(w, 0);
    EXPECT_EQ(column(w, 0), QStringList({"a.csv", "b.csv", "C.csv"}));
    clickHeader(w, 2); // sizes compare as texts: " 10KB" before " 2KB"
    EXPECT_EQ(column(w, 2), QStringList({" 3KB", " 2KB", " 10KB"}));
}

TEST_F(InputWindowFixture, FoldersUpAndDownAndDrivesThatCannotBeRead)
{
    QDir().mkpath(imp.inPath(QStringLiteral("sub/deeper")));
    file(QStringLiteral("sub/only.csv"), "x", 4);
    InputFileWindow w(inst.env, Protocol::Eiaj);
    w.show();
    enterFolder(w, QStringLiteral("sub"));
    EXPECT_EQ(w.currentFolder(), imp.inPath(QStringLiteral("sub")));
    EXPECT_EQ(folders(w), QStringList({"..", "deeper"}));
    EXPECT_EQ(column(w, 0), QStringList{"only.csv"});
    EXPECT_EQ(list(w)->selectedItems().size(), 1); // a lone file stands selected
    press(w, "Command1");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("上位ボタン"));
    EXPECT_EQ(w.currentFolder(), imp.folder());

    // A drive that cannot be read: message 23, and the window stays where it was.
    auto* drive1 = child<QComboBox>(w, "Drive1");
    w.setDriveRoots({QStringLiteral("/"), imp.inPath(QStringLiteral("sub")), imp.inPath(QStringLiteral("nodrive"))});
    drive1->setCurrentIndex(2);
    EXPECT_EQ(inst.dialogs.texts(), QStringList{kDriveNotReady});
    EXPECT_EQ(drive1->currentText(), QStringLiteral("/"));
    EXPECT_EQ(w.currentFolder(), imp.folder());
    // A drive opens at its root the first time, then where it was left.
    drive1->setCurrentIndex(1);
    enterFolder(w, QStringLiteral("deeper"));
    drive1->setCurrentIndex(0);
    EXPECT_EQ(w.currentFolder(), imp.folder());
    drive1->setCurrentIndex(1);
    EXPECT_EQ(w.currentFolder(), imp.inPath(QStringLiteral("sub/deeper")));
}

TEST_F(InputWindowFixture, OkWithNothingSelectedEmptiesTheErrorListAndStays)
{
    file(QStringLiteral("one.csv"), kPairOrder, 1);
    file(QStringLiteral("two.csv"), kPairOrder, 2);
    inst.writeFile(QStringLiteral("Log/Err.dat"), "old list\r\n");
    InputFileWindow w(inst.env, Protocol::Eiaj);
    w.show();
    press(w, "Command5");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("実行ボタン"));
    EXPECT_EQ(inst.dialogs.texts(), QStringList{kNothingSelected});
    EXPECT_TRUE(QFileInfo::exists(inst.path(QStringLiteral("Log/Err.dat"))));
    EXPECT_TRUE(inst.readFile(QStringLiteral("Log/Err.dat")).isEmpty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.importResult().finished);

    press(w, "Command6");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("ｷｬﾝｾﾙﾎﾞﾀﾝ"));
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_FALSE(w.importResult().finished);
}

TEST_F(InputWindowFixture, OnlyRefusedFilesCloseTheWindowWithTheRunDone)
{
    file(QStringLiteral("BAD.txt"), "A,1,B,2", 1);
    file(QStringLiteral("other.txt"), "A,1", 2);
    inst.setSetting(QStringLiteral("DataFilePath"), QString());
    inst.env.programBasePath = imp.folder(); // opens on the base folder
    const QByteArray data = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    InputFileWindow w(inst.env, Protocol::Eiaj);
    w.show();
    select(w, {"BAD.txt"});
    press(w, "Command5");

    EXPECT_EQ(inst.dialogs.texts(), QStringList{kNotAnOrderFile});
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(child<QTimer>(w, "Timer1")->isActive());
    EXPECT_TRUE(w.importResult().finished);
    EXPECT_TRUE(w.importResult().errors);
    EXPECT_EQ(inst.setting(QStringLiteral("DataFilePath")), imp.folder());
    EXPECT_EQ(imp.errorLines(), QStringList{QStringLiteral("BAD.txt [    ]:対象外のビジネスプロトコルです。(002)")});
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), data);
}

TEST_F(InputWindowFixture, AcceptedFilesRunBehindTheBusyPanelThenTheWindowCloses)
{
    file(QStringLiteral("BAD.txt"), "A,1,B,2", 1);
    file(QStringLiteral("P.CSV"), kPairOrder, 2);
    file(QStringLiteral("skip.csv"), kPairOrder, 3);
    InputFileWindow w(inst.env, Protocol::Eiaj);
    w.show();
    PaintedTexts painted(child<QLabel>(w, "Label4"));
    select(w, {"BAD.txt", "P.CSV"});
    press(w, "Command5");

    // The refusal is shown by the pre-check; the run waits for the timer.
    EXPECT_EQ(inst.dialogs.texts(), QStringList{kNotAnOrderFile});
    EXPECT_TRUE(child<QFrame>(w, "Picture1")->isVisible());
    EXPECT_EQ(child<QLabel>(w, "Label3")->text(), QStringLiteral("処理中です。しばらくお待ち下さい。"));
    EXPECT_TRUE(child<QTimer>(w, "Timer1")->isActive());
    EXPECT_FALSE(child<QPushButton>(w, "Command5")->isEnabled());
    EXPECT_FALSE(w.importResult().finished);
    QTest::keyClick(&w, Qt::Key_Escape); // no way out while busy
    EXPECT_TRUE(w.isVisible());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 5000));
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(w.importResult().finished);
    EXPECT_TRUE(w.importResult().errors);
    // The count starts at the error lines already written, out of the selected files.
    ASSERT_FALSE(painted.texts.isEmpty());
    EXPECT_EQ(painted.texts.first(), QStringLiteral("(1/2)"));
    EXPECT_EQ(child<QProgressBar>(w, "ProgressBar1")->maximum(), 2);
    EXPECT_EQ(inst.setting(QStringLiteral("DataFilePath")), imp.folder());
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("K9"));
    // Only the imported file went to the processed files.
    EXPECT_TRUE(QFile::exists(inst.path(QStringLiteral("Dust/P.CSV"))));
    EXPECT_TRUE(QFile::exists(imp.inPath(QStringLiteral("BAD.txt"))));
    EXPECT_TRUE(QFile::exists(imp.inPath(QStringLiteral("skip.csv"))));
}

TEST_F(InputWindowFixture, UnreadableSettingsReportTheFolderAndListNothing)
{
    file(QStringLiteral("P.CSV"), kPairOrder, 2);
    inst.env.programBasePath = imp.folder();
    const QString settings = inst.base() + QStringLiteral("/registry.ini");
    ASSERT_TRUE(QFile::remove(settings) && QDir().mkpath(settings)); // every read of it fails

    EXPECT_FALSE(endsProgram([&] {
        InputFileWindow w(inst.env, Protocol::Eiaj);
        EXPECT_EQ(w.currentFolder(), imp.folder());
        EXPECT_EQ(list(w)->topLevelItemCount(), 0);
    }));
    ASSERT_EQ(inst.dialogs.texts().size(), 2);
    EXPECT_EQ(inst.dialogs.texts()[0], QStringLiteral("レジストリ情報を取得できません。"));
    EXPECT_TRUE(inst.dialogs.texts()[1].startsWith(kErrorReportText + QStringLiteral("\r\nDataPath/")));
    QString ignored;
    const qint32 rc = inst.registry.regGetValue(kRegistryKey, QStringLiteral("DataFilePath"), ignored);
    ASSERT_NE(rc, RegOk);
    const QString log = cp932::decode(inst.readFile(QStringLiteral("Log/Deliv.log")));
    EXPECT_TRUE(log.contains(QStringLiteral("[入力ファイル選択]")));
    EXPECT_TRUE(log.contains(QStringLiteral("DataPath/") + Registry::regErrorText(rc)));
}

TEST_F(InputWindowFixture, ListWindowOpensItForTheCurrentListAndReloadsAfterARun)
{
    file(QStringLiteral("BAD.txt"), "A,1,B,2", 1);
    ListWindow main(inst.env);
    main.show();
    const auto loaded = [&] { return !main.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible(); };
    ASSERT_TRUE(QTest::qWaitFor(loaded, 5000));
    inst.dialogs.shown.clear();
    QString caption;
    QString operation;
    const auto onOpen = [&](const QStringList& selection, const char* button) {
        QTimer::singleShot(0, [&, selection, button] {
            auto* w = main.findChild<InputFileWindow*>();
            ASSERT_NE(w, nullptr);
            EXPECT_TRUE(w->isModal());
            caption = w->windowTitle();
            operation = inst.env.logOperation;
            select(*w, selection);
            press(*w, button);
        });
    };

    // ﾌｧｲﾙ入力, then ｷｬﾝｾﾙ: nothing to reload.
    onOpen({}, "Command6");
    QTest::mouseClick(child<QPushButton>(main, "Command3"), Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("入力ﾌｧｲﾙ選択 （ＥＩＡＪ）"));
    EXPECT_EQ(operation, QStringLiteral("入力ﾎﾞﾀﾝ"));
    EXPECT_EQ(inst.env.logModule, QStringLiteral("納品書一覧"));
    EXPECT_EQ(main.findChild<InputFileWindow*>(), nullptr);
    EXPECT_TRUE(loaded());

    // 開く on the KORVAN list with a refused file: the list reloads and offers the error list.
    main.findChild<QTabBar*>(QStringLiteral("TabStrip1"))->setCurrentIndex(1);
    onOpen({"BAD.txt"}, "Command5");
    main.findChild<QAction*>(QStringLiteral("MnuOpen"))->trigger();
    EXPECT_EQ(caption, QStringLiteral("入力ﾌｧｲﾙ選択 （ＫＯＲＶＡＮ）"));
    EXPECT_EQ(operation, QStringLiteral("開くﾒﾆｭｰ"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return inst.dialogs.shown.size() == 2; }, 5000));
    EXPECT_EQ(inst.dialogs.texts()[1], QStringLiteral("ﾌｧｲﾙ入力が終了しました。\r\n"
                                                      "取込：ﾌｧｲﾙ 0件、ﾚｺｰﾄﾞ 0件\r\n"
                                                      "拒否：ﾌｧｲﾙ 1件、ﾚｺｰﾄﾞ 0件\r\nｴﾗｰの詳細（") +
                                           inst.env.paths.errListPath + QStringLiteral("）を参照しますか？"));
}

TEST_F(InputWindowFixture, ARunThatCannotImportChangesNothingAndTheWindowStays)
{
    // A damaged data file, an empty code table: not "finished"; the data file
    // and the order file stay as they were, and the operator may choose again.
    struct Case
    {
        QByteArray data;
        QByteArray codes;
        QString told; // in the last box shown
    };
    const Case cases[] = {
        {"not whole records", inst.readFile(QStringLiteral("Prg/Code.DAT")), QStringLiteral("E_Deliv.dat")},
        {fileOf(QList{delivery('1', "A001", "S01", "OLD", "1")}), {}, QStringLiteral("コード情報が確認できません。")},
    };
    for (const Case& c : cases) {
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), c.data);
        inst.writeFile(QStringLiteral("Prg/Code.DAT"), c.codes);
        file(QStringLiteral("P.CSV"), kPairOrder, 2);
        InputFileWindow w(inst.env, Protocol::Eiaj);
        w.show();
        select(w, {"P.CSV"});
        press(w, "Command5");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !child<QFrame>(w, "Picture1")->isVisible(); }, 5000));
        EXPECT_TRUE(w.isVisible() && child<QPushButton>(w, "Command5")->isEnabled()) << c.told.toStdString();
        ASSERT_FALSE(inst.dialogs.texts().isEmpty());
        EXPECT_TRUE(inst.dialogs.texts().last().contains(c.told)) << inst.dialogs.texts().last().toStdString();
        EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), c.data) << c.told.toStdString();
        EXPECT_TRUE(QFile::exists(imp.inPath(QStringLiteral("P.CSV"))));
        EXPECT_FALSE(w.importResult().finished);
    }
}

TEST_F(InputWindowFixture, TheParentEntryAndATypedPathMoveBetweenFolders)
{
    QDir().mkpath(imp.inPath(QStringLiteral("sub/deeper")));
    file(QStringLiteral("sub/deeper/d.csv"), "x", 4);
    InputFileWindow w(inst.env, Protocol::Eiaj);
    activate(w);
    enterFolder(w, QStringLiteral("sub"));
    enterFolder(w, QStringLiteral(".."));
    EXPECT_EQ(w.currentFolder(), imp.folder());

    // A typed path, ended with Enter, opens that folder and lists its files;
    // Enter there does not start an import.
    auto* path = child<QLineEdit>(w, "DirPath");
    EXPECT_EQ(path->text(), QDir::toNativeSeparators(imp.folder()));
    path->setFocus();
    path->setText(QStringLiteral("sub/deeper"));
    QTest::keyClick(path, Qt::Key_Return);
    EXPECT_EQ(w.currentFolder(), imp.inPath(QStringLiteral("sub/deeper")));
    EXPECT_EQ(path->text(), QDir::toNativeSeparators(imp.inPath(QStringLiteral("sub/deeper"))));
    EXPECT_EQ(column(w, 0), QStringList{"d.csv"});
    EXPECT_FALSE(child<QFrame>(w, "Picture1")->isVisible());
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
    EXPECT_TRUE(w.isVisible());

    // A path that names no folder is reported; the window stays where it was.
    path->setText(imp.inPath(QStringLiteral("nowhere")));
    QTest::keyClick(path, Qt::Key_Return);
    ASSERT_EQ(inst.dialogs.shown.size(), 1);
    EXPECT_TRUE(inst.dialogs.texts()[0].startsWith(QStringLiteral("ﾌｫﾙﾀﾞが見つかりません。")));
    EXPECT_EQ(w.currentFolder(), imp.inPath(QStringLiteral("sub/deeper")));
    EXPECT_EQ(path->text(), QDir::toNativeSeparators(w.currentFolder()));
}

TEST_F(InputWindowFixture, EnterPressesOkButEntersAFolderInTheFolderList)
{
    QDir().mkpath(imp.inPath(QStringLiteral("sub")));
    file(QStringLiteral("sub/P.CSV"), kPairOrder, 2);
    InputFileWindow w(inst.env, Protocol::Eiaj);
    activate(w);
    EXPECT_TRUE(child<QPushButton>(w, "Command5")->isDefault());

    // Enter in the folder list enters the folder, nothing more.
    auto* dir1 = child<QListWidget>(w, "Dir1");
    dir1->setFocus();
    dir1->setCurrentItem(dir1->findItems(QStringLiteral("sub"), Qt::MatchExactly).first());
    QTest::keyClick(dir1, Qt::Key_Return);
    EXPECT_EQ(w.currentFolder(), imp.inPath(QStringLiteral("sub")));
    EXPECT_FALSE(child<QFrame>(w, "Picture1")->isVisible());
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());

    // Enter on the focused ｷｬﾝｾﾙ is ｷｬﾝｾﾙ.
    {
        InputFileWindow other(inst.env, Protocol::Eiaj);
        activate(other);
        auto* cancel = child<QPushButton>(other, "Command6");
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Return);
        EXPECT_EQ(other.result(), QDialog::Rejected);
        EXPECT_FALSE(other.isVisible());
        activate(w);
    }

    // Enter in the file list: ＯＫ, the import starts with the lone file.
    QTreeWidget* files = list(w);
    ASSERT_EQ(files->selectedItems().size(), 1);
    files->setFocus();
    QTest::keyClick(files, Qt::Key_Return);
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("実行ボタン"));
    EXPECT_TRUE(child<QFrame>(w, "Picture1")->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 5000));
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(w.importResult().finished);
    EXPECT_FALSE(w.importResult().errors);
    ASSERT_EQ(imp.records(Protocol::Eiaj).size(), 1);
}

TEST_F(InputWindowFixture, StartingAnewAsksBeforeRemovingRecordsThatWaitForIssue)
{
    inst.setSetting(QStringLiteral("MakeMode"), QStringLiteral("3"));
    dataWithStatuses({"1", "2", "8", "0", "1"});
    inst.writeFile(QStringLiteral("Log/Err.dat"), "old list\r\n");
    file(QStringLiteral("P.CSV"), kPairOrder, 2);
    const QByteArray data = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    InputFileWindow w(inst.env, Protocol::Eiaj);
    w.show();
    ASSERT_TRUE(child<QRadioButton>(w, "Option3")->isChecked());
    select(w, {"P.CSV"});

    // No: nothing runs and nothing changes.
    inst.dialogs.setNextAnswer(kAnswerNo);
    press(w, "Command5");
    ASSERT_EQ(inst.dialogs.shown.size(), 1);
    const auto& question = inst.dialogs.shown[0];
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.defaultButton, DefaultButton::No);
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_TRUE(question.text.contains(QStringLiteral("発行待ちの納品書ﾃﾞｰﾀが3件"))) << question.text.toStdString();
    EXPECT_FALSE(child<QFrame>(w, "Picture1")->isVisible());
    EXPECT_FALSE(child<QTimer>(w, "Timer1")->isActive());
    QTest::qWait(600); // no run was started behind the answer
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), data);
    EXPECT_EQ(inst.readFile(QStringLiteral("Log/Err.dat")), QByteArray("old list\r\n"));
    EXPECT_TRUE(QFile::exists(imp.inPath(QStringLiteral("P.CSV"))));
    EXPECT_FALSE(w.importResult().finished);

    // Yes: the run goes ahead and keeps only the new record.
    inst.dialogs.setNextAnswer(kAnswerYes);
    press(w, "Command5");
    EXPECT_EQ(inst.dialogs.shown.size(), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 5000));
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("K9"));
}

TEST_F(InputWindowFixture, StartingAnewAsksNothingWhenNoRecordWaits)
{
    dataWithStatuses({"2", "0"});
    file(QStringLiteral("P.CSV"), kPairOrder, 2);
    InputFileWindow w(inst.env, Protocol::Eiaj);
    w.show();
    child<QRadioButton>(w, "Option3")->setChecked(true);
    select(w, {"P.CSV"});
    press(w, "Command5");
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 5000));
    EXPECT_EQ(imp.records(Protocol::Eiaj).size(), 1);

    // The other modes never ask, whatever waits.
    dataWithStatuses({"1"});
    file(QStringLiteral("Q.CSV"), kPairOrder, 3);
    InputFileWindow again(inst.env, Protocol::Eiaj);
    again.show();
    child<QRadioButton>(again, "Option1")->setChecked(true);
    select(again, {"Q.CSV"});
    press(again, "Command5");
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !again.isVisible(); }, 5000));
}
