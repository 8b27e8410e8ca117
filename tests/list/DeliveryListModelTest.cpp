#include "support/ListFixtures.h"

#include "core/ErrorReport.h"
#include "list/DeliveryList.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct ModelFixture : ::testing::Test
{
    TestInstall inst;
    ModelFixture()
    {
        writeListInstallation(inst);
        CustRecord kanjiCompany = company('1', "ORD1", "SUP", "漢字可の会社");
        kanjiCompany.setText(CustField::KanjiUse, u"1");
        CustRecord plainCompany = company('1', "ORD2", "SUP", "漢字不可の会社");
        plainCompany.setText(CustField::KanjiUse, u"0");
        CustRecord korvanCompany = company('2', "ORD1", "SUP", "KORVANの会社");
        korvanCompany.setText(CustField::KanjiUse, u"1");
        CustRecord deletedCompany = company('1', "ORD3", "SUP", "削除済");
        deletedCompany.setProtocolByte(' ');
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"),
                       fileOf(QList{kanjiCompany, plainCompany, korvanCompany, deletedCompany}));
    }
};

} // namespace

TEST_F(ModelFixture, CellsOfTheEiajList)
{
    DeliveryRecord deleted = listed('1', "ORD1", "K2", "0", "DEL", "");
    deleted.setKind(' ');
    DeliveryRecord shipped = listed('1', "ORD2", "K4", "2", "SINGLE", "二バイト");
    shipped.setText(DeliveryField::ShipDate, u"20261207");
    inst.writeFile(
        QStringLiteral("Prg/E_Deliv.dat"),
        fileOf(QList{listed('1', "ORD1", "K1", "0", "ITEM A", "品名Ａ"), deleted,
                     listed('1', "ORD1", "K3", "8", "ITEM B", ""), shipped,
                     listed('1', "ORD3", "K5", "1", "ITEM C", ""), listed('2', "ORD1", "K6", "1", "X", "")}));
    DeliveryList list(inst.env);
    ASSERT_TRUE(list.reload(Protocol::Eiaj));
    const DeliveryListModel& m = list.model(Protocol::Eiaj);
    ASSERT_EQ(m.listedCount(), 4); // the deleted record and the KORVAN one are not listed
    EXPECT_EQ(m.recordNumber(1), 3);

    // Running numbers without gaps, status texts.
    EXPECT_EQ(m.cellText(1, ListColumn::Number), QStringLiteral("2"));
    EXPECT_EQ(m.cellText(0, ListColumn::Status), QString());
    EXPECT_EQ(m.cellText(1, ListColumn::Status), QStringLiteral("待ち"));
    EXPECT_EQ(m.cellText(2, ListColumn::Status), QStringLiteral("済"));
    EXPECT_EQ(m.cellText(3, ListColumn::Status), QStringLiteral("待ち"));
    // Company names as stored (all 50 bytes); deleted companies do not match.
    EXPECT_EQ(m.cellText(0, ListColumn::OrdererName), fixed::read(fixed::fit(u"漢字可の会社", 50), {0, 50}));
    EXPECT_EQ(m.cellText(3, ListColumn::OrdererName), QString());
    // Kanji name, the single-byte one when the company forbids kanji, and the
    // EIAJ fallback for a blank kanji name.
    EXPECT_EQ(m.cellText(0, ListColumn::ItemName).trimmed(), QStringLiteral("品名Ａ"));
    EXPECT_EQ(m.cellText(2, ListColumn::ItemName).trimmed(), QStringLiteral("SINGLE"));
    EXPECT_EQ(m.cellText(1, ListColumn::ItemName).trimmed(), QStringLiteral("ITEM B"));
    EXPECT_EQ(m.cellText(3, ListColumn::ItemName).trimmed(),
              QStringLiteral("ITEM C")); // unknown company: kanji, then fallback
    // Stored texts keep their trailing blanks.
    EXPECT_EQ(m.cellText(0, ListColumn::OrderNo), QStringLiteral("PO-K1").leftJustified(23));
    EXPECT_EQ(m.cellText(0, ListColumn::DeliveryKeyNo), QStringLiteral("K1").leftJustified(23));
    EXPECT_EQ(m.cellText(0, ListColumn::ItemCode), QStringLiteral("IC-K1").leftJustified(25));
    // Formats and the inspection class name.
    EXPECT_EQ(m.cellText(0, ListColumn::OrderQty), QStringLiteral("12,345.500"));
    EXPECT_EQ(m.cellText(0, ListColumn::InspectionClassName), QStringLiteral("受入検査"));
    EXPECT_EQ(m.cellText(0, ListColumn::DueDate), QStringLiteral("2000/05/31"));
    EXPECT_EQ(m.cellText(0, ListColumn::InstructedQty), QStringLiteral("0.000"));
    EXPECT_EQ(m.cellText(0, ListColumn::ShipDate), QString());
    EXPECT_EQ(m.cellText(2, ListColumn::ShipDate), QStringLiteral("2026/12/07"));
    EXPECT_EQ(m.cellText(0, ListColumn::ShipQty), QStringLiteral("1,000.000"));
    EXPECT_EQ(DeliveryListModel::headerText(ListColumn::InspectionClassName), QStringLiteral("単位"));
}

TEST_F(ModelFixture, KorvanListHasNoKanjiFallbackAndItsOwnCodes)
{
    DeliveryRecord r = listed('2', "ORD1", "K1", "1", "SINGLE", "");
    r.setText(DeliveryField::InspectionClass, u"PC");
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{r}));
    DeliveryList list(inst.env);
    ASSERT_TRUE(list.reload(Protocol::Korvan));
    const DeliveryListModel& m = list.model(Protocol::Korvan);
    ASSERT_EQ(m.listedCount(), 1);
    EXPECT_EQ(m.cellText(0, ListColumn::OrdererName).trimmed(), QStringLiteral("KORVANの会社"));
    EXPECT_EQ(m.cellText(0, ListColumn::ItemName).trimmed(), QString());
    EXPECT_EQ(m.cellText(0, ListColumn::InspectionClassName), QStringLiteral("個"));
}

TEST_F(ModelFixture, EmptyCodeTableEmptiesBothListsEveryTime)
{
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{listed('1', "ORD1", "K1", "0", "A", "")}));
    DeliveryList list(inst.env);
    ASSERT_TRUE(list.reload());
    EXPECT_EQ(list.model(Protocol::Eiaj).listedCount(), 1);
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), QByteArray());
    EXPECT_FALSE(list.reload());
    EXPECT_FALSE(list.reload());
    EXPECT_EQ(list.model(Protocol::Eiaj).listedCount(), 0);
    EXPECT_EQ(inst.dialogs.texts(), QStringList({QStringLiteral("コード情報が確認できません。"),
                                                 QStringLiteral("コード情報が確認できません。")}));
}

TEST_F(ModelFixture, CompanyFileNoticeOncePerRunAndMissingFilesCreated)
{
    QFile::remove(inst.env.paths.custPath);
    DeliveryList list(inst.env);
    ASSERT_TRUE(list.reload());
    ASSERT_TRUE(list.reload());
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral("発注企業情報が登録されていません。")});
    EXPECT_TRUE(QFile::exists(inst.env.paths.custPath));
    EXPECT_TRUE(QFile::exists(inst.env.paths.eDelivPath));
    EXPECT_TRUE(QFile::exists(inst.env.paths.kDelivPath));
}

TEST_F(ModelFixture, OlderLayoutIsConvertedAtLoadAndABrokenFileIsNotListed)
{
    // An older-layout record: the first 2239 bytes of today's, without the currency fields.
    const QByteArray current = listed('1', "ORD1", "K1", "0", "OLD", "").bytes();
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), current.left(2239) + "\r\n");
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), QByteArray("not a data file\r\n"));
    DeliveryList list(inst.env);
    ASSERT_TRUE(list.reload());
    EXPECT_EQ(list.model(Protocol::Eiaj).listedCount(), 1);
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")).size(), DeliveryRecord::kLength);
    EXPECT_EQ(list.model(Protocol::Korvan).listedCount(), 0);
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/K_Deliv.dat")), QByteArray("not a data file\r\n"));
    // The message names the file and where its damage starts.
    ASSERT_EQ(inst.dialogs.shown.size(), 1);
    EXPECT_TRUE(inst.dialogs.shown[0].text.contains(QStringLiteral("K_Deliv.dat")));
    EXPECT_TRUE(inst.dialogs.shown[0].text.contains(QStringLiteral("1件目")));
    EXPECT_TRUE(list.refused(Protocol::Korvan));
    EXPECT_FALSE(list.refused(Protocol::Eiaj));
}

namespace {

// Makes the file at `relative` one that cannot be opened (a folder stands in
// its place: tests run as root, where permissions stop nothing), or gives the
// file back with `bytes`.
void breakFile(TestInstall& inst, const QString& relative)
{
    QFile::remove(inst.path(relative));
    ASSERT_TRUE(QDir().mkpath(inst.path(relative)));
}
void mendFile(TestInstall& inst, const QString& relative, const QByteArray& bytes)
{
    ASSERT_TRUE(QDir(inst.path(relative)).removeRecursively());
    inst.writeFile(relative, bytes);
}

// The ring log's record `n` as text.
QString logRecord(TestInstall& inst, int n)
{
    const QByteArray log = inst.readFile(QStringLiteral("Log/Deliv.log"));
    return cp932::decode(log.mid(qsizetype(n - 1) * kLogRecordLength, kLogRecordLength)).trimmed();
}

} // namespace

TEST_F(ModelFixture, AFileThatCannotBeOpenedIsToldAndLoggedNeverListedAsEmpty)
{
    struct Case
    {
        const char* what;
        QString file;      // the file that cannot be opened or written
        QByteArray mended; // what it holds once it can be opened again
        QString meaning;   // the first line of the message
        QString failure;   // the start of the failure the message and the log name
        int eiaj, korvan;  // rows listed meanwhile
        bool loaded;       // reload's result
        bool eiajWhole, korvanWhole;
    };
    const QByteArray eiajRecords = fileOf(QList{listed('1', "ORD1", "E1", "0", "A", "")});
    const QByteArray korvanRecords =
        fileOf(QList{listed('2', "ORD1", "K1", "0", "B", ""), listed('2', "ORD1", "K2", "0", "C", "")});
    // A record of the layout before the currency fields: converted at load.
    const QByteArray olderLayout = listed('1', "ORD1", "E1", "0", "A", "").bytes().left(2239) + "\r\n";
    const QByteArray codes = inst.readFile(QStringLiteral("Prg/Code.DAT"));
    const QByteArray companies = inst.readFile(QStringLiteral("Usr/Cust.DAT"));
    const QList<Case> cases = {
        {"the EIAJ data file", "Prg/E_Deliv.dat", eiajRecords, "EIAJの一覧を表示できません。",
         "納品書ﾌｧｲﾙを開けません。", 0, 2, true, false, true},
        {"the KORVAN data file", "Prg/K_Deliv.dat", korvanRecords, "KORVANの一覧を表示できません。",
         "納品書ﾌｧｲﾙを開けません。", 1, 0, true, true, false},
        {"the company file", "Usr/Cust.DAT", companies, "発注者名称を表示できません。", "発注企業ﾌｧｲﾙを開けません。", 1,
         2, true, false, false},
        {"the code table", "Prg/Code.DAT", codes, "一覧を表示できません。", "コードファイルを開けません。", 0, 0, false,
         false, false},
        {"the work file of the EIAJ conversion", "Prg/E_Deliv_w.dat", QByteArray(),
         "EIAJの納品書ﾌｧｲﾙを今の形式に変換できません。", "ファイルに書き込めません。", 0, 2, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool converting = c.file.endsWith(QStringLiteral("_w.dat"));
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), converting ? olderLayout : eiajRecords);
        inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), korvanRecords);
        inst.env.logCount = 100;
        inst.env.custNoticeShown = 0;
        inst.dialogs.shown.clear();
        breakFile(inst, c.file);

        DeliveryList list(inst.env);
        EXPECT_EQ(list.reload(), c.loaded);
        EXPECT_EQ(list.model(Protocol::Eiaj).listedCount(), c.eiaj);
        EXPECT_EQ(list.model(Protocol::Korvan).listedCount(), c.korvan);
        EXPECT_EQ(list.complete(Protocol::Eiaj), c.eiajWhole);
        EXPECT_EQ(list.complete(Protocol::Korvan), c.korvanWhole);
        // One message: what the list misses, then the failure naming the file
        // and the system's reason. Not "empty" (messages 2 and 3), not "damaged".
        ASSERT_EQ(inst.dialogs.shown.size(), 1) << inst.dialogs.texts().join(u'|').toStdString();
        const QString text = inst.dialogs.shown[0].text;
        const QString fileName = QFileInfo(inst.path(c.file)).fileName();
        EXPECT_TRUE(text.startsWith(c.meaning + QStringLiteral("\r\n") + c.failure)) << text.toStdString();
        EXPECT_TRUE(text.contains(fileName + QStringLiteral(": "))) << text.toStdString();
        EXPECT_EQ(inst.dialogs.shown[0].icon, MessageIcon::Exclamation);
        // And a line in the error log, stored as the ring's last.
        ASSERT_EQ(inst.env.logPointer, 1);
        const QString logged = logRecord(inst, 1);
        EXPECT_TRUE(logged.contains(QStringLiteral("[ﾌｧｲﾙｵｰﾌﾟﾝ]ﾌｧｲﾙｵｰﾌﾟﾝ/") + c.failure)) << logged.toStdString();
        EXPECT_TRUE(logged.contains(fileName)) << logged.toStdString();
        EXPECT_EQ(inst.setting(QStringLiteral("LogPointer")), QStringLiteral("1"));
        if (converting) {
            EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), olderLayout);
        }

        // Once the file can be opened again, the next load lists everything.
        mendFile(inst, c.file, c.mended);
        inst.dialogs.shown.clear();
        EXPECT_TRUE(list.reload());
        EXPECT_EQ(list.model(Protocol::Eiaj).listedCount(), 1);
        EXPECT_EQ(list.model(Protocol::Korvan).listedCount(), 2);
        EXPECT_TRUE(list.complete(Protocol::Eiaj) && list.complete(Protocol::Korvan));
        EXPECT_TRUE(inst.dialogs.shown.isEmpty()) << inst.dialogs.texts().join(u'|').toStdString();
        QFile::remove(inst.path(QStringLiteral("Log/Deliv.log")));
        inst.env.logPointer = 0;
    }

    // A damaged company file is told as damaged, never as an empty one
    // (message 2), and the lists miss their names.
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), "not a company file\r\n");
    inst.env.custNoticeShown = 0;
    inst.dialogs.shown.clear();
    DeliveryList list(inst.env);
    EXPECT_TRUE(list.reload());
    EXPECT_EQ(list.model(Protocol::Korvan).listedCount(), 2);
    EXPECT_FALSE(list.complete(Protocol::Korvan));
    ASSERT_EQ(inst.dialogs.shown.size(), 1) << inst.dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(inst.dialogs.shown[0].text.startsWith(QStringLiteral("発注企業ﾌｧｲﾙが壊れています。")));
}

namespace {

// The EIAJ list of the installation's data file as the window shows it.
struct ListedFile
{
    DeliveryStore store;
    CustStore companies;
    DeliveryListModel model{Protocol::Eiaj};
    explicit ListedFile(TestInstall& inst)
        : store(inst.path(QStringLiteral("Prg/E_Deliv.dat")), inst.clock),
          companies(inst.path(QStringLiteral("Usr/Cust.DAT")))
    {
        store.open();
        model.load(store.records(), companies, CodeTable());
    }
};

QString kindsOf(const DeliveryStore& store)
{
    QString kinds;
    for (int n = 1; n <= store.count(); ++n)
        kinds += QLatin1Char(store.read(n).kind());
    return kinds;
}

QString kindsOnDisk(const TestInstall& inst)
{
    QString kinds;
    const QByteArray bytes = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    for (qsizetype n = 0; n < bytes.size(); n += DeliveryRecord::kLength)
        kinds += QLatin1Char(bytes.at(n));
    return kinds;
}

} // namespace

TEST(DeleteListedRows, CountsOnlyLiveRecordsOfTheKind)
{
    TestInstall inst;
    DeliveryRecord gap = delivery('1', "A", "S", "GAP");
    gap.setKind(' ');
    inst.writeFile(
        QStringLiteral("Prg/E_Deliv.dat"),
        fileOf(QList{delivery('1', "A", "S", "R1"), delivery('1', "A", "S", "R2"), gap, delivery('2', "A", "S", "KV"),
                     delivery('1', "A", "S", "R3"), delivery('1', "A", "S", "R4")}));
    ListedFile listed(inst);
    EXPECT_EQ(deleteListedRows(listed.store, listed.model, 2, 3), 2);
    EXPECT_EQ(kindsOf(listed.store), QStringLiteral("1  2 1"));
    EXPECT_EQ(listed.store.read(2).text(DeliveryField::UpdatedAt), QStringLiteral("202612070941"));
    EXPECT_EQ(listed.store.read(6).text(DeliveryField::UpdatedAt), QString(12, QLatin1Char(' ')));
    // Written through to the file.
    EXPECT_EQ(kindsOnDisk(inst), QStringLiteral("1  2 1"));
}

TEST(DeleteListedRows, RefusesWhenAnotherProgramRenumberedTheRecords)
{
    TestInstall inst;
    const QString file = QStringLiteral("Prg/E_Deliv.dat");
    inst.writeFile(file, fileOf(QList{delivery('1', "A", "S", "R1"), delivery('1', "A", "S", "R2"),
                                      delivery('1', "A", "S", "R3")}));
    ListedFile listed(inst);
    // An import rebuilt the file meanwhile: R1 went, everything moved up one.
    const QByteArray rebuilt =
        fileOf(QList{delivery('1', "A", "S", "R2"), delivery('1', "A", "S", "R3"), delivery('1', "A", "S", "NEW")});
    inst.writeFile(file, rebuilt);
    try {
        deleteListedRows(listed.store, listed.model, 2, 2);
        FAIL() << "a renumbered record was deleted";
    } catch (const Refusal& refusal) {
        EXPECT_EQ(refusal.number(), 10);
    }
    EXPECT_EQ(inst.readFile(file), rebuilt);
    // A row whose record kept its number and keys is deleted.
    ListedFile again(inst);
    inst.writeFile(file, rebuilt);
    EXPECT_EQ(deleteListedRows(again.store, again.model, 3, 3), 1);
    EXPECT_EQ(kindsOnDisk(inst), QStringLiteral("11 "));
}

TEST(EntryOpeningFor, TheRowSelectionOrElseTheCurrentRowDecidesWhereTheEntryStarts)
{
    // The grid's selection as the list holds it, whether the grid was clicked
    // (or rows were selected by keyboard), the current row, and a list of 9.
    const GridSelection rows3to5{3, 5, 1, 12, true};
    const GridSelection row3{3, 3, 1, 12, true};
    const GridSelection cellOnRow7{7, 7, 4, 4, true};
    const GridSelection none{};
    const struct
    {
        const char* what;
        GridSelection grid;
        bool clicked;
        int currentRow;
        bool newRecord;
        EntryMode mode;
        int first, last;
        bool range;
    } cases[] = {
        {"several whole rows page through those rows", rows3to5, true, 5, false, EntryMode::Existing, 3, 5, true},
        {"one whole row starts there, to the end", row3, true, 3, false, EntryMode::Existing, 3, 9, false},
        {"a single cell on row 7 starts at row 7", cellOnRow7, true, 7, false, EntryMode::Existing, 7, 9, false},
        {"nothing selected, current row 7", none, false, 7, false, EntryMode::Existing, 7, 9, false},
        {"whole rows of a grid not clicked: the current row", rows3to5, false, 4, false, EntryMode::Existing, 4, 9,
         false},
        {"no current row starts at the first", none, false, 0, false, EntryMode::Existing, 1, 9, false},
        {"a current row past the list starts at the first", none, false, 12, false, EntryMode::Existing, 1, 9, false},
        {"a new record copies the first selected row", rows3to5, true, 5, true, EntryMode::New, 3, 3, true},
        {"a new record without a row selection is blank", cellOnRow7, true, 7, true, EntryMode::New, 7, 7, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const EntryOpening o = entryOpeningFor(rowSelectionOf(c.grid, c.clicked, false), c.currentRow, 9, c.newRecord);
        EXPECT_EQ(o.mode, c.mode);
        EXPECT_EQ(QList({o.firstOrdinal, o.lastOrdinal}), QList({c.first, c.last}));
        EXPECT_EQ(o.rangeFlag, c.range);
    }
}

TEST(RowSelection, WholeRowsOfAClickedGridAreTheRowSelectionAndADoubleClickOrEnterOpensItsRow)
{
    const GridSelection none{};
    const GridSelection rows3to5{3, 5, 1, 12, true};
    const GridSelection fromNumbers{3, 5, 0, 12, true};
    const GridSelection cells{2, 4, 1, 11, true};
    const GridSelection oneCell{2, 2, 3, 3, true};
    const struct
    {
        const char* what;
        GridSelection selection;
        bool clicked, forDeletion;
        bool valid;
    } recognised[] = {
        {"whole rows of a clicked grid", rows3to5, true, false, true},
        {"whole rows, the grid not clicked", rows3to5, false, false, false},
        {"from column 0: deletion only", fromNumbers, true, false, false},
        {"from column 0 for deletion", fromNumbers, true, true, true},
        {"not up to the last column", cells, true, true, false},
        {"one cell", oneCell, true, false, false},
        {"nothing selected", none, true, true, false},
    };
    for (const auto& c : recognised) {
        SCOPED_TRACE(c.what);
        const GridSelection s = rowSelectionOf(c.selection, c.clicked, c.forDeletion);
        EXPECT_EQ(s.valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(QList({s.firstRow, s.lastRow}), QList({c.selection.firstRow, c.selection.lastRow}));
        }
    }

    const struct
    {
        const char* what;
        GridSelection rowSelection;
        int row;
        bool byEnter;
        int first, last;
    } opened[] = {
        {"double-click, no row selection", none, 4, false, 4, 4},
        {"double-click inside a row selection takes its row alone", rows3to5, 4, false, 4, 4},
        {"Enter inside a row selection keeps it", rows3to5, 4, true, 3, 5},
        {"Enter outside a row selection takes its row", rows3to5, 7, true, 7, 7},
        {"Enter without a row selection takes its row", none, 1, true, 1, 1},
    };
    for (const auto& c : opened) {
        SCOPED_TRACE(c.what);
        const GridSelection s = rowsToOpen(c.rowSelection, c.row, c.byEnter);
        EXPECT_EQ(QList({s.firstRow, s.lastRow, s.firstColumn, s.lastColumn}), QList({c.first, c.last, 1, 12}));
        // What it opens is a row selection the commands accept.
        EXPECT_TRUE(rowSelectionOf(s, true, false).valid);
    }
}

TEST_F(ModelFixture, TheModelKeepsQtsItemModelRulesThroughReloads)
{
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{listed('1', "ORD1", "K1", "0", "ITEM A", "品名Ａ"),
                                                                   listed('1', "ORD2", "K2", "8", "ITEM B", "")}));
    DeliveryList list(inst.env);
    DeliveryListModel& m = list.model(Protocol::Eiaj);
    // The tester checks every signal and answer of the model as it changes;
    // a broken rule fails the test through its QtTest failure report.
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(list.reload(Protocol::Eiaj));
    EXPECT_EQ(m.rowCount(), 2);
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{listed('1', "ORD1", "K1", "0", "ITEM A", "")}));
    ASSERT_TRUE(list.reload(Protocol::Eiaj));
    EXPECT_EQ(m.rowCount(), 1);
    m.clear();
    EXPECT_EQ(m.rowCount(), 0);
}
