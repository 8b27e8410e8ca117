#include "support/ImportFixtures.h"

#include "ui/import/InputFileWindow.h"
#include "ui/list/ListWindow.h"

#include "import/InputFileList.h"

#include "core/ErrorReport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
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

const QString kCaptionEiaj = QStringLiteral("入力ﾌｧｲﾙ選択 （ＥＩＡＪ）");
const QString kNothingSelected = QStringLiteral("入力ファイルが選択されていません。");
const QString kDriveNotReady = QStringLiteral("ドライブの準備ができていません。ディスクを確認してください。");
const QString kNotAnOrderFile = QStringLiteral("対象外のビジネスプロトコルです。(BAD.txt)");
// A one-line EIAJ order in the pair form.
const QString kPairOrder = QStringLiteral("\"REIAJC14\",\"0502\",REIAJ004,A001,REIAJ005,S01,REIAJ012,2,"
                                          "REIAJ022,CHIP,REIAJ159NO01,K9");

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
        QByteArray catalogue = inst.readFile(QStringLiteral("Prg/Msg.DAT"));
        catalogue += cp932::encode(QStringLiteral("009,3,\"") + kNothingSelected + QStringLiteral("\"\r\n023,3,\"") +
                                   kDriveNotReady + QStringLiteral("\"\r\n"));
        inst.writeFile(QStringLiteral("Prg/Msg.DAT"), catalogue);
        inst.setSetting(QStringLiteral("DataFilePath"), imp.folder());
    }

    void file(const QString& name, const QByteArray& bytes, const QDateTime& modified) const
    {
        QFile f(imp.inPath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        ASSERT_TRUE(f.flush());
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    static QDateTime may(int day, int hour = 12, int minute = 0, int second = 0)
    {
        return QDateTime(QDate(2000, 5, day), QTime(hour, minute, second));
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
        for (int row = 0; row < list(w)->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = list(w)->topLevelItem(row);
            item->setSelected(names.contains(item->text(0)));
        }
    }
    static void clickHeader(QWidget& w, int section)
    {
        QHeaderView* header = list(w)->header();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    static void press(QWidget& w, const char* button)
    {
        QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
    }
};

} // namespace

TEST_F(InputWindowFixture, OpensOnTheSavedFolderWithTheModeOfTheSettings)
{
    inst.setSetting(QStringLiteral("DataFilePath"), imp.folder() + QLatin1Char('/'));
    inst.setSetting(QStringLiteral("MakeMode"), QStringLiteral("2"));
    QDir().mkpath(imp.inPath(QStringLiteral("sub")));
    InputFileWindow w(inst.env, 0);
    w.show();

    EXPECT_EQ(w.windowTitle(), kCaptionEiaj);
    EXPECT_EQ(inst.env.logModule, QStringLiteral("入力ファイル選択"));
    EXPECT_EQ(w.currentFolder(), imp.folder());
    EXPECT_EQ(child<QLabel>(w, "Label1")->text(), QStringLiteral("ﾌｧｲﾙの場所 ："));
    EXPECT_EQ(child<QLabel>(w, "Label2")->text(), QStringLiteral("処理ﾓｰﾄﾞ   ："));
    const char* options[] = {"Option1", "Option2", "Option3"};
    const char16_t* captions[] = {u"追加作成する。", u"発行済の納品書ﾃﾞｰﾀを削除して追加作成する。",
                                  u"すべての納品書ﾃﾞｰﾀを削除して新規作成する。"};
    for (int i = 0; i < 3; ++i) {
        auto* option = child<QRadioButton>(w, options[i]);
        EXPECT_EQ(option->text(), QString::fromUtf16(captions[i]));
        EXPECT_EQ(option->isChecked(), i == 1) << i;
    }
    EXPECT_EQ(child<QPushButton>(w, "Command5")->text(), QStringLiteral("ＯＫ"));
    EXPECT_EQ(child<QPushButton>(w, "Command6")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_FALSE(child<QFrame>(w, "Picture1")->isVisible());
    auto* timer = child<QTimer>(w, "Timer1");
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(timer->interval(), 500);
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(child<QComboBox>(w, "Drive1")->currentText(),
              InputFileList::driveOf(imp.folder(), InputFileList::driveRoots()));
    auto* dir1 = child<QListWidget>(w, "Dir1");
    ASSERT_EQ(dir1->count(), 1);
    EXPECT_EQ(dir1->item(0)->text(), QStringLiteral("sub"));
}

TEST_F(InputWindowFixture, KorvanDefaultsToAllFilesInTheBaseFolderAndTheFirstMode)
{
    inst.setSetting(QStringLiteral("DataFilePath"), imp.folder() + QStringLiteral("/gone"));
    inst.setSetting(QStringLiteral("EiajFileName"), QStringLiteral("*.none"));
    inst.writeFile(QStringLiteral("../ORDER"), "x");
    InputFileWindow w(inst.env, 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("入力ﾌｧｲﾙ選択 （ＫＯＲＶＡＮ）"));
    EXPECT_EQ(w.currentFolder(), inst.env.programBasePath);
    EXPECT_TRUE(child<QRadioButton>(w, "Option1")->isChecked());
    // The KORVAN masks are unset: "*.*" lists every file but the settings file
    // (.ini), and the EIAJ masks do not count.
    ASSERT_TRUE(QFileInfo::exists(inst.base() + QStringLiteral("/registry.ini")));
    EXPECT_EQ(column(w, 0), QStringList{"ORDER"});
}

TEST_F(InputWindowFixture, ReportViewShowsSizesAndDatesOldestFirst)
{
    inst.setSetting(QStringLiteral("EiajFileName"), QStringLiteral("*.txt;*.CSV"));
    file(QStringLiteral("NEW.CSV"), QByteArray(90, 'x'), may(31, 18));
    file(QStringLiteral("ORDER1.txt"), QByteArray(1091, 'x'), may(31, 14, 5, 9));
    file(QStringLiteral("A.TXT"), "x", may(1));
    file(QStringLiteral("OLD.txt"), QByteArray(1090, 'x'), may(2));
    InputFileWindow w(inst.env, 0);
    w.show();

    QTreeWidget* view = list(w);
    QTreeWidgetItem* header = view->headerItem();
    EXPECT_EQ(header->text(0) + header->text(1) + header->text(2) + header->text(3),
              QStringLiteral("名前種類サイズ更新日時"));
    EXPECT_EQ(view->columnWidth(1), 500 / 15);
    EXPECT_EQ(view->columnWidth(2), 800 / 15);
    EXPECT_EQ(view->columnWidth(3), 3700 / 15);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);

    EXPECT_EQ(column(w, 0), QStringList({"OLD.txt", "ORDER1.txt", "NEW.CSV"}));
    EXPECT_EQ(column(w, 1), QStringList({"ﾌｧｲﾙ", "ﾌｧｲﾙ", "ﾌｧｲﾙ"}));
    EXPECT_EQ(column(w, 2), QStringList({" 1KB", " 2KB", " 1KB"}));
    EXPECT_EQ(column(w, 3)[1], QStringLiteral("2000年05月31日 (水曜日) 14時05分09秒"));
    EXPECT_EQ(column(w, 3)[0], QStringLiteral("2000年05月02日 (火曜日) 12時00分00秒"));
    EXPECT_TRUE(view->topLevelItem(1)->textAlignment(2) & Qt::AlignRight);
    // With two or more rows nothing is selected to begin with.
    EXPECT_TRUE(view->selectedItems().isEmpty());

    // List view: names only; report view again: every column.
    press(w, "Command3");
    EXPECT_TRUE(view->header()->isHidden());
    EXPECT_TRUE(view->isColumnHidden(2));
    EXPECT_EQ(column(w, 0), QStringList({"OLD.txt", "ORDER1.txt", "NEW.CSV"}));
    EXPECT_EQ(column(w, 2), QStringList({"", "", ""}));
    press(w, "Command4");
    EXPECT_FALSE(view->header()->isHidden());
    EXPECT_FALSE(view->isColumnHidden(3));
    EXPECT_EQ(column(w, 2), QStringList({" 1KB", " 2KB", " 1KB"}));
}

TEST_F(InputWindowFixture, HeaderClicksSortAsTextSwitchingTheOrderEveryTime)
{
    file(QStringLiteral("b.csv"), QByteArray(10050, 'x'), may(1));
    file(QStringLiteral("C.csv"), QByteArray(2000, 'x'), may(3));
    file(QStringLiteral("a.csv"), QByteArray(3000, 'x'), may(2));
    InputFileWindow w(inst.env, 0);
    w.show();
    ASSERT_EQ(column(w, 0), QStringList({"b.csv", "a.csv", "C.csv"}));

    // The rows start ascending by date, so the first click sorts descending.
    clickHeader(w, 0);
    EXPECT_EQ(column(w, 0), QStringList({"C.csv", "b.csv", "a.csv"}));
    clickHeader(w, 0);
    EXPECT_EQ(column(w, 0), QStringList({"a.csv", "b.csv", "C.csv"}));
    // Sizes compare as texts: " 10KB" before " 2KB".
    clickHeader(w, 2);
    EXPECT_EQ(column(w, 2), QStringList({" 3KB", " 2KB", " 10KB"}));
    clickHeader(w, 2);
    EXPECT_EQ(column(w, 2), QStringList({" 10KB", " 2KB", " 3KB"}));
}

TEST_F(InputWindowFixture, FoldersUpAndDownAndDrivesThatCannotBeRead)
{
    QDir().mkpath(imp.inPath(QStringLiteral("sub/deeper")));
    file(QStringLiteral("sub/only.csv"), "x", may(4));
    file(QStringLiteral("top.csv"), "x", may(4));
    InputFileWindow w(inst.env, 0);
    w.show();
    auto* dir1 = child<QListWidget>(w, "Dir1");
    ASSERT_EQ(dir1->count(), 1);
    emit dir1->itemActivated(dir1->item(0));
    EXPECT_EQ(w.currentFolder(), imp.inPath(QStringLiteral("sub")));
    EXPECT_EQ(column(w, 0), QStringList{"only.csv"});
    // A lone file stands selected.
    EXPECT_EQ(list(w)->selectedItems().size(), 1);
    EXPECT_EQ(dir1->item(0)->text(), QStringLiteral("deeper"));

    press(w, "Command1");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("上位ボタン"));
    EXPECT_EQ(w.currentFolder(), imp.folder());
    EXPECT_EQ(column(w, 0), QStringList{"top.csv"});

    // A drive that cannot be read: message 23, and the window stays where it was.
    auto* drive1 = child<QComboBox>(w, "Drive1");
    w.setDriveRoots({QStringLiteral("/"), imp.inPath(QStringLiteral("sub")), imp.inPath(QStringLiteral("nodrive"))});
    EXPECT_EQ(drive1->currentText(), QStringLiteral("/"));
    drive1->setCurrentIndex(2);
    EXPECT_EQ(inst.dialogs.texts(), QStringList{kDriveNotReady});
    EXPECT_EQ(drive1->currentText(), QStringLiteral("/"));
    EXPECT_EQ(w.currentFolder(), imp.folder());

    // A readable drive opens at its root, and each drive remembers its folder.
    drive1->setCurrentIndex(1);
    EXPECT_EQ(w.currentFolder(), imp.inPath(QStringLiteral("sub")));
    emit dir1->itemActivated(dir1->item(0));
    EXPECT_EQ(w.currentFolder(), imp.inPath(QStringLiteral("sub/deeper")));
    drive1->setCurrentIndex(0);
    EXPECT_EQ(w.currentFolder(), imp.folder());
    drive1->setCurrentIndex(1);
    EXPECT_EQ(w.currentFolder(), imp.inPath(QStringLiteral("sub/deeper")));
    EXPECT_EQ(inst.dialogs.shown.size(), 1);
}

TEST_F(InputWindowFixture, OkWithNothingSelectedEmptiesTheErrorListAndStays)
{
    file(QStringLiteral("one.csv"), kPairOrder.toLatin1(), may(1));
    file(QStringLiteral("two.csv"), kPairOrder.toLatin1(), may(2));
    inst.writeFile(QStringLiteral("Log/Err.dat"), "old list\r\n");
    InputFileWindow w(inst.env, 0);
    w.show();
    press(w, "Command5");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("実行ボタン"));
    EXPECT_EQ(inst.dialogs.texts(), QStringList{kNothingSelected});
    EXPECT_TRUE(QFileInfo::exists(inst.path(QStringLiteral("Log/Err.dat"))));
    EXPECT_TRUE(inst.readFile(QStringLiteral("Log/Err.dat")).isEmpty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(child<QTimer>(w, "Timer1")->isActive());
    EXPECT_EQ(inst.env.importDone, 0);
    EXPECT_EQ(inst.env.changedFlag, 0);

    press(w, "Command6");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("ｷｬﾝｾﾙﾎﾞﾀﾝ"));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(inst.env.importDone, 0);
}

TEST_F(InputWindowFixture, OnlyRefusedFilesCloseTheWindowWithTheRunDone)
{
    file(QStringLiteral("BAD.txt"), "A,1,B,2", may(1));
    file(QStringLiteral("other.txt"), "A,1", may(2));
    inst.setSetting(QStringLiteral("DataFilePath"), QString());
    inst.env.programBasePath = imp.folder(); // the list opens on the base folder
    const QByteArray data = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    InputFileWindow w(inst.env, 0);
    w.show();
    select(w, {"BAD.txt"});
    press(w, "Command5");

    EXPECT_EQ(inst.dialogs.texts(), QStringList{kNotAnOrderFile});
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(child<QTimer>(w, "Timer1")->isActive());
    EXPECT_EQ(inst.env.importDone, 1);
    EXPECT_EQ(inst.env.changedFlag, 1);
    EXPECT_NE(inst.env.importErrors, 0);
    EXPECT_EQ(inst.setting(QStringLiteral("DataFilePath")), imp.folder());
    EXPECT_EQ(imp.errorLines(), QStringList{QStringLiteral("BAD.txt [    ]:対象外のビジネスプロトコルです。(002)")});
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), data);
    EXPECT_TRUE(QFile::exists(imp.inPath(QStringLiteral("BAD.txt"))));
}

TEST_F(InputWindowFixture, AcceptedFilesRunBehindTheBusyPanelThenTheWindowCloses)
{
    file(QStringLiteral("BAD.txt"), "A,1,B,2", may(1));
    file(QStringLiteral("P.CSV"), kPairOrder.toLatin1(), may(2));
    file(QStringLiteral("skip.csv"), kPairOrder.toLatin1(), may(3));
    inst.setSetting(QStringLiteral("DataFilePath"), QString());
    inst.env.programBasePath = imp.folder();
    InputFileWindow w(inst.env, 0);
    w.show();
    auto* progress = child<QLabel>(w, "Label4");
    PaintedTexts painted(progress);
    select(w, {"BAD.txt", "P.CSV"});
    press(w, "Command5");

    // The refusal is shown during the pre-check; the run waits for the timer.
    EXPECT_EQ(inst.dialogs.texts(), QStringList{kNotAnOrderFile});
    auto* panel = child<QFrame>(w, "Picture1");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(child<QLabel>(w, "Label3")->text(), QStringLiteral("処理中です。しばらくお待ち下さい。"));
    EXPECT_TRUE(child<QTimer>(w, "Timer1")->isActive());
    EXPECT_TRUE(w.isBusy());
    EXPECT_FALSE(child<QPushButton>(w, "Command5")->isEnabled());
    EXPECT_EQ(inst.env.importDone, 0);
    // No way out while busy.
    w.reject();
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 5000));
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(inst.env.importDone, 1);
    EXPECT_EQ(inst.env.changedFlag, 1);
    EXPECT_NE(inst.env.importErrors, 0);
    ASSERT_FALSE(painted.texts.isEmpty());
    // The count starts at the error lines already written, out of the selected files.
    EXPECT_EQ(painted.texts.first(), QStringLiteral("(1/2)"));
    EXPECT_TRUE(painted.texts.last().endsWith(QStringLiteral("/2)")));
    EXPECT_EQ(child<QProgressBar>(w, "ProgressBar1")->maximum(), 2);
    EXPECT_EQ(inst.setting(QStringLiteral("DataFilePath")), imp.folder());

    const auto records = imp.records(0);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("K9"));
    // The imported file went to the processed files, the refused one stayed.
    EXPECT_FALSE(QFile::exists(imp.inPath(QStringLiteral("P.CSV"))));
    EXPECT_TRUE(QFile::exists(inst.path(QStringLiteral("Dust/P.CSV"))));
    EXPECT_TRUE(QFile::exists(imp.inPath(QStringLiteral("BAD.txt"))));
    EXPECT_TRUE(QFile::exists(imp.inPath(QStringLiteral("skip.csv"))));
}

TEST_F(InputWindowFixture, UnreadableSettingsReportTheFolderAndListNothing)
{
    file(QStringLiteral("P.CSV"), kPairOrder.toLatin1(), may(2));
    inst.env.programBasePath = imp.folder();
    // The settings file becomes a folder: every read of it fails.
    const QString settings = inst.base() + QStringLiteral("/registry.ini");
    ASSERT_TRUE(QFile::remove(settings));
    ASSERT_TRUE(QDir().mkpath(settings));

    bool ended = endsProgram([&] {
        InputFileWindow w(inst.env, 0);
        EXPECT_EQ(w.currentFolder(), imp.folder());
        EXPECT_EQ(list(w)->topLevelItemCount(), 0);
    });
    EXPECT_FALSE(ended);
    ASSERT_EQ(inst.dialogs.texts().size(), 2);
    EXPECT_EQ(inst.dialogs.texts()[0], QStringLiteral("レジストリ情報を取得できません。"));
    EXPECT_EQ(inst.dialogs.texts()[1], kErrorReportText);
    const QString log = cp932::decode(inst.readFile(QStringLiteral("Log/Deliv.log")));
    EXPECT_TRUE(log.contains(QStringLiteral("[入力ファイル選択]")));
    ASSERT_NE(inst.env.regResult, RegOk);
    EXPECT_TRUE(log.contains(QStringLiteral("DataPath/") + Registry::regErrorText(inst.env.regResult)));
}

TEST_F(InputWindowFixture, ListWindowOpensItForTheCurrentListAndReloadsAfterARun)
{
    file(QStringLiteral("BAD.txt"), "A,1,B,2", may(1));
    ListWindow main(inst.env);
    main.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible(); },
                                5000));
    auto* command3 = child<QPushButton>(main, "Command3");
    ASSERT_TRUE(command3->isEnabled());
    inst.dialogs.shown.clear();

    // ﾌｧｲﾙ入力, then ｷｬﾝｾﾙ: nothing to reload.
    QString caption;
    QString operation;
    QTimer::singleShot(0, [&] {
        auto* w = main.findChild<InputFileWindow*>();
        ASSERT_NE(w, nullptr);
        caption = w->windowTitle();
        operation = inst.env.logOperation;
        EXPECT_TRUE(w->isModal());
        press(*w, "Command6");
    });
    inst.env.changedFlag = 1;
    QTest::mouseClick(command3, Qt::LeftButton);
    EXPECT_EQ(caption, kCaptionEiaj);
    EXPECT_EQ(operation, QStringLiteral("入力ﾎﾞﾀﾝ"));
    EXPECT_EQ(inst.env.changedFlag, 0);
    EXPECT_EQ(inst.env.logModule, QStringLiteral("納品書一覧"));
    EXPECT_EQ(main.findChild<InputFileWindow*>(), nullptr);
    EXPECT_FALSE(main.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible());

    // 開く on the KORVAN list, with a refused file: the list reloads and offers the error list.
    main.findChild<QTabBar*>(QStringLiteral("TabStrip1"))->setCurrentIndex(1);
    QTimer::singleShot(0, [&] {
        auto* w = main.findChild<InputFileWindow*>();
        ASSERT_NE(w, nullptr);
        caption = w->windowTitle();
        operation = inst.env.logOperation;
        select(*w, {"BAD.txt"});
        press(*w, "Command5");
    });
    main.findChild<QAction*>(QStringLiteral("MnuOpen"))->trigger();
    EXPECT_EQ(caption, QStringLiteral("入力ﾌｧｲﾙ選択 （ＫＯＲＶＡＮ）"));
    EXPECT_EQ(operation, QStringLiteral("開くﾒﾆｭｰ"));
    EXPECT_EQ(inst.env.changedFlag, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return inst.dialogs.shown.size() == 2; }, 5000));
    EXPECT_EQ(inst.dialogs.texts()[1], QStringLiteral("ﾌｧｲﾙ入力が終了しました。\r\nｴﾗｰの詳細（") +
                                           inst.env.paths.errListPath + QStringLiteral("）を参照しますか？"));
    EXPECT_EQ(inst.env.importDone, 0);
}
