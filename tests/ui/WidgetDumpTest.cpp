// Every window of the program, opened in a fixed state on a fixed
// installation, written out as text: its widgets in tree order with their
// texts and states, its menus and actions, and its Tab order. The dump is
// compared with tests/ui/golden/widgets.txt, so a change to what any window
// shows or how the focus moves through it shows up as a diff. After an
// intended change, PLX90_UPDATE_GOLDEN=1 rewrites the golden file.

#include "support/EntryFixtures.h"

#include "history/HistoryStore.h"
#include "ui/MessageBoxDialogs.h"
#include "ui/PrintProgressDialog.h"
#include "ui/auxiliary/DeletionWindow.h"
#include "ui/auxiliary/FormFileBrowseWindow.h"
#include "ui/auxiliary/PrintSelectionWindow.h"
#include "ui/auxiliary/PrintSummaryDialog.h"
#include "ui/auxiliary/SearchWindow.h"
#include "ui/auxiliary/SettingsWindow.h"
#include "ui/auxiliary/TextViewer.h"
#include "ui/auxiliary/VersionWindow.h"
#include "ui/customers/CustomerWindow.h"
#include "ui/entry/EntryWindow.h"
#include "ui/history/HistoryWindow.h"
#include "ui/import/InputFileWindow.h"
#include "ui/list/HelpViewer.h"
#include "ui/list/ListWindow.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMetaEnum>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTabBar>
#include <QTest>

#include "ModalWindows.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plx;
using namespace plx::test;

namespace {

QString quoted(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\r'), QStringLiteral("\\r"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A widget as the focus chain names it: its object name, or its class and
// the nearest named ancestor for the parts Qt makes itself.
QString nameOf(const QWidget* w)
{
    if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
        return w->objectName();
    const QWidget* named = w->parentWidget();
    while (named && (named->objectName().isEmpty() || named->objectName().startsWith(QLatin1String("qt_"))))
        named = named->parentWidget();
    return QStringLiteral("<%1 in %2>")
        .arg(QLatin1String(w->metaObject()->className()), named ? named->objectName() : QStringLiteral("?"));
}

class Dumper
{
public:
    explicit Dumper(QStringList& out) : m_out(out) {}

    void window(const QString& title, QWidget& w)
    {
        m_window = &w;
        m_out << QStringLiteral("=== %1").arg(title);
        m_out << QStringLiteral("window %1 %2 title=%3 modality=%4 flags=0x%5")
                     .arg(QLatin1String(w.metaObject()->className()), quoted(w.objectName()), quoted(w.windowTitle()),
                          QString::number(int(w.windowModality())), QString::number(uint(w.windowFlags()), 16));
        m_out << QStringLiteral("focus %1")
                     .arg(QApplication::focusWidget() && QApplication::focusWidget()->window() == &w
                              ? nameOf(QApplication::focusWidget())
                              : QStringLiteral("-"));
        QStringList chain;
        for (QWidget* at = w.nextInFocusChain(); at && at != &w; at = at->nextInFocusChain()) {
            if (at->window() != &w || !(at->focusPolicy() & Qt::TabFocus))
                continue;
            const bool reachable = at->isVisibleTo(&w) && at->isEnabled();
            chain << nameOf(at) + (reachable ? QString() : QStringLiteral("(-)"));
        }
        m_out << QStringLiteral("tab %1").arg(chain.join(QStringLiteral(" > ")));
        widget(w, 0);
    }

private:
    void line(int depth, const QString& text) { m_out << QString(depth * 2, QLatin1Char(' ')) + text; }

    void widget(QWidget& w, int depth)
    {
        QStringList parts{QLatin1String(w.metaObject()->className()), quoted(w.objectName())};
        if (!w.isVisibleTo(m_window))
            parts << QStringLiteral("hidden");
        if (!w.isEnabled())
            parts << QStringLiteral("disabled");
        static const QMetaEnum policies = QMetaEnum::fromType<QSizePolicy::Policy>();
        parts << QStringLiteral("size=%1/%2")
                     .arg(QLatin1String(policies.valueToKey(w.sizePolicy().horizontalPolicy())),
                          QLatin1String(policies.valueToKey(w.sizePolicy().verticalPolicy())));
        static const QMetaEnum focus = QMetaEnum::fromType<Qt::FocusPolicy>();
        parts << QStringLiteral("focus=%1").arg(QLatin1String(focus.valueToKey(w.focusPolicy())));
        for (const char* name : {"readOnly", "editable", "checkable", "checked", "default", "autoDefault"}) {
            const QVariant value = w.property(name);
            if (value.isValid() && value.toBool())
                parts << QLatin1String(name);
        }
        if (auto* edit = qobject_cast<QLineEdit*>(&w))
            parts << QStringLiteral("maxLength=%1 align=0x%2")
                         .arg(edit->maxLength())
                         .arg(QString::number(int(edit->alignment()), 16));
        if (auto* label = qobject_cast<QLabel*>(&w); label && label->buddy())
            parts << QStringLiteral("buddy=%1").arg(nameOf(label->buddy()));
        if (auto* button = qobject_cast<QAbstractButton*>(&w); button && !button->shortcut().isEmpty())
            parts << QStringLiteral("shortcut=%1").arg(button->shortcut().toString(QKeySequence::PortableText));
        for (const char* name : {"text", "title", "placeholderText", "toolTip", "plainText", "labelText"}) {
            const QVariant value = w.property(name);
            if (value.isValid() && !value.toString().isEmpty())
                parts << QStringLiteral("%1=%2").arg(QLatin1String(name), quoted(value.toString()));
        }
        line(depth, parts.join(QLatin1Char(' ')));
        contents(w, depth + 1);
        for (QAction* action : w.actions())
            this->action(*action, depth + 1);
        if (qobject_cast<QMenuBar*>(&w) || qobject_cast<QMenu*>(&w))
            return; // their menus are written with their actions
        if (auto* area = qobject_cast<QScrollArea*>(&w)) {
            if (area->widget())
                widget(*area->widget(), depth + 1);
            return;
        }
        // The parts Qt builds inside these are not the program's.
        if (qobject_cast<QAbstractScrollArea*>(&w) || qobject_cast<QComboBox*>(&w) ||
            qobject_cast<QAbstractSpinBox*>(&w) || qobject_cast<QTabBar*>(&w))
            return;
        for (QObject* child : w.children()) {
            auto* cw = qobject_cast<QWidget*>(child);
            if (cw && !cw->isWindow())
                widget(*cw, depth + 1);
        }
    }

    void action(QAction& a, int depth)
    {
        if (a.isSeparator()) {
            line(depth, QStringLiteral("action ----"));
            return;
        }
        QStringList parts{QStringLiteral("action"), quoted(a.objectName()), quoted(a.text())};
        if (!a.isVisible())
            parts << QStringLiteral("hidden");
        if (!a.isEnabled())
            parts << QStringLiteral("disabled");
        if (a.isCheckable())
            parts << (a.isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked"));
        QStringList keys;
        for (const QKeySequence& key : a.shortcuts())
            keys << key.toString(QKeySequence::PortableText);
        if (!keys.isEmpty())
            parts << QStringLiteral("shortcut=%1").arg(keys.join(QLatin1Char(',')));
        if (!a.toolTip().isEmpty() && a.toolTip() != QString(a.text()).remove(QLatin1Char('&')))
            parts << QStringLiteral("toolTip=%1").arg(quoted(a.toolTip()));
        line(depth, parts.join(QLatin1Char(' ')));
        if (QMenu* menu = a.menu())
            for (QAction* item : menu->actions())
                action(*item, depth + 1);
    }

    // What a combo, tab strip, list or table holds.
    void contents(QWidget& w, int depth)
    {
        QStringList items;
        if (auto* combo = qobject_cast<QComboBox*>(&w)) {
            for (int i = 0; i < combo->count(); ++i)
                items << quoted(combo->itemText(i));
            line(depth, QStringLiteral("items [%1] current=%2").arg(items.join(u' ')).arg(combo->currentIndex()));
        } else if (auto* tabs = qobject_cast<QTabBar*>(&w)) {
            for (int i = 0; i < tabs->count(); ++i)
                items << quoted(tabs->tabText(i));
            line(depth, QStringLiteral("tabs [%1] current=%2").arg(items.join(u' ')).arg(tabs->currentIndex()));
        } else if (auto* view = qobject_cast<QAbstractItemView*>(&w); view && view->model()) {
            const QAbstractItemModel& model = *view->model();
            for (int c = 0; c < model.columnCount(); ++c)
                items << quoted(model.headerData(c, Qt::Horizontal).toString());
            const QModelIndex current = view->currentIndex();
            line(depth, QStringLiteral("columns [%1] rows=%2 current=%3,%4")
                            .arg(items.join(u' '))
                            .arg(model.rowCount())
                            .arg(current.row())
                            .arg(current.column()));
            for (int r = 0; r < model.rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < model.columnCount(); ++c)
                    cells << quoted(model.index(r, c).data().toString());
                line(depth, QStringLiteral("row %1").arg(cells.join(u' ')));
            }
        }
    }

    QStringList& m_out;
    QWidget* m_window = nullptr;
};

// The demo installation every window opens on: the entry installation
// (catalogue, code table, layouts, companies A of EIAJ and K of KORVAN) with
// records of both formats, the sample company, order files, a help page, an
// error list and a history of one run.
struct Demo
{
    TestInstall inst;
    RecordingReport report;

    Demo()
    {
        writeEntryInstallation(inst);
        inst.clock.set(QDateTime(QDate(2026, 12, 20), QTime(10, 0)));
        // K1 stands for companies A and B: a scan of it asks which.
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"),
                       inst.readFile(QStringLiteral("Usr/Cust.DAT")) +
                           outputCompany('1', "B", "1", QStringLiteral("湘洋")).bytes());
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                       fileOf(QList{shippable("K1"), shippable("K2", "2"), shippable("K1", "0", "B")}));
        DeliveryRecord k = delivery('2', "K", "SUP", "KK1", "0");
        k.setText(DeliveryField::MessageKind, u"D10");
        k.setText(DeliveryField::OrdererUse1, u"U1");
        inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{k}));
        CustRecord sample = company('1', QString(), QString(), QStringLiteral("見本"));
        sample.setText(CustField::OutputKind, u"3");
        inst.writeFile(QStringLiteral("Sample/Cust.DAT"), sample.bytes());
        inst.setSetting(QStringLiteral("DataFilePath"), inst.path(QStringLiteral("In")));
        for (const QString& name : {QStringLiteral("In/A.DAT"), QStringLiteral("In/B.TXT")}) {
            inst.writeFile(name, "0502\r\n");
            QFile f(inst.path(name));
            f.open(QIODevice::ReadWrite);
            f.setFileTime(QDateTime(QDate(2026, 12, 1), QTime(12, 0)), QFileDevice::FileModificationTime);
        }
        inst.writeFile(QStringLiteral("Help/H7120001.htm"), "<html><body>PLX-90 help</body></html>");
        inst.writeFile(QStringLiteral("Usr/ErrList.txt"), "line 1 error\r\n");
        HistoryStore store(inst.env.paths.historyPath);
        store.open();
        HistoryRun run;
        run.startedAt = QDateTime(QDate(2026, 12, 10), QTime(9, 0));
        HistoryDocument d;
        d.layoutName = QStringLiteral("E_Slip.agr");
        d.layout = "{}";
        d.pdfPath = inst.path(QStringLiteral("Usr/Print/A.pdf"));
        d.page = 1;
        d.expected = "K1";
        d.ordererCode = QStringLiteral("A");
        d.ordererName = QStringLiteral("北斗星電機");
        d.deliveryKey = QStringLiteral("K1");
        d.shipDate = QStringLiteral("20261201");
        d.amountWithTax = QStringLiteral("1100");
        QList<HistoryDocument> documents{d};
        store.addPending(run, documents);
        store.commit(run.id, {documents.first().id});
    }

    // The text with what varies between runs (the temporary folder, the
    // version, the time of day a list was read) as placeholders.
    QString normalised(QString text) const
    {
        for (const QString& base : {inst.base(), QDir(inst.base()).canonicalPath()})
            text.replace(base, QStringLiteral("<BASE>"));
        text.replace(QStringLiteral(PLX90_VERSION), QStringLiteral("<VERSION>"));
        // The time of day a list was read.
        static const QRegularExpression clockTime(QStringLiteral("\\b\\d\\d:\\d\\d:\\d\\d\\b"));
        return text.replace(clockTime, QStringLiteral("<TIME>"));
    }
};

using Factory = std::function<std::unique_ptr<QWidget>(Demo&)>;

std::unique_ptr<QWidget> entry(Demo& demo, Protocol format, EntryMode mode)
{
    return std::make_unique<EntryWindow>(demo.inst.env, format, EntryOpening{mode, 1, 1, false}, &demo.report);
}

// The input file window with the drives of this installation instead of the machine's.
std::unique_ptr<QWidget> input(Demo& demo, Protocol protocol)
{
    auto window = std::make_unique<InputFileWindow>(demo.inst.env, protocol);
    window->setDriveRoots({QStringLiteral("/"), demo.inst.base()});
    return window;
}

// A run that issued the slips of company A and was declined its tags.
PrintRunResult printRun(const Demo& demo)
{
    PrintRunResult result;
    for (const OutputDocument document : {OutputDocument::Slip, OutputDocument::Tag}) {
        PrintedGroup group;
        group.document = document;
        group.ordererCode = QStringLiteral("A");
        group.ordererName = QStringLiteral("北斗星電機");
        group.items = group.sheets = 1;
        group.outcome =
            document == OutputDocument::Slip ? PrintedGroup::Outcome::Issued : PrintedGroup::Outcome::Declined;
        if (document == OutputDocument::Slip)
            group.pdfPath = demo.inst.path(QStringLiteral("Usr/Print/A.pdf"));
        result.groups.append(group);
    }
    result.slipGroups = result.tagGroups = 1;
    result.issued = true;
    result.printer = QStringLiteral("PLX90PDF");
    return result;
}

const std::pair<const char*, Factory> kWindows[] = {
    {"list", [](Demo& d) { return std::make_unique<ListWindow>(d.inst.env); }},
    {"entry EIAJ record", [](Demo& d) { return entry(d, Protocol::Eiaj, EntryMode::Existing); }},
    {"entry EIAJ new", [](Demo& d) { return entry(d, Protocol::Eiaj, EntryMode::New); }},
    {"entry KORVAN record", [](Demo& d) { return entry(d, Protocol::Korvan, EntryMode::Existing); }},
    {"entry KORVAN new", [](Demo& d) { return entry(d, Protocol::Korvan, EntryMode::New); }},
    {"company", [](Demo& d) { return std::make_unique<CustomerWindow>(d.inst.env); }},
    {"settings", [](Demo& d) { return std::make_unique<SettingsWindow>(d.inst.env); }},
    {"search EIAJ", [](Demo& d) { return std::make_unique<SearchWindow>(d.inst.env, Protocol::Eiaj, 0); }},
    {"search KORVAN", [](Demo& d) { return std::make_unique<SearchWindow>(d.inst.env, Protocol::Korvan, 0); }},
    {"deletion EIAJ", [](Demo& d) { return std::make_unique<DeletionWindow>(d.inst.env, Protocol::Eiaj); }},
    {"deletion KORVAN", [](Demo& d) { return std::make_unique<DeletionWindow>(d.inst.env, Protocol::Korvan); }},
    {"print EIAJ",
     [](Demo& d) { return std::make_unique<PrintSelectionWindow>(d.inst.env, Protocol::Eiaj, d.report); }},
    {"print KORVAN",
     [](Demo& d) { return std::make_unique<PrintSelectionWindow>(d.inst.env, Protocol::Korvan, d.report); }},
    {"form file browse", [](Demo& d) { return std::make_unique<FormFileBrowseWindow>(d.inst.env); }},
    {"input file EIAJ", [](Demo& d) { return input(d, Protocol::Eiaj); }},
    {"input file KORVAN", [](Demo& d) { return input(d, Protocol::Korvan); }},
    {"history EIAJ", [](Demo& d) { return std::make_unique<HistoryWindow>(d.inst.env, &d.report, Protocol::Eiaj); }},
    {"history KORVAN",
     [](Demo& d) { return std::make_unique<HistoryWindow>(d.inst.env, &d.report, Protocol::Korvan); }},
    {"version", [](Demo& d) { return std::make_unique<VersionWindow>(d.inst.env); }},
    {"text viewer",
     [](Demo& d) { return std::make_unique<TextViewer>(d.inst.path(QStringLiteral("Usr/ErrList.txt"))); }},
    {"help viewer",
     [](Demo& d) {
         auto viewer = std::make_unique<HelpViewer>();
         viewer->navigate(d.inst.path(QStringLiteral("Help/H7120001.htm")));
         return viewer;
     }},
    {"print summary", [](Demo& d) { return std::make_unique<PrintSummaryDialog>(printRun(d)); }},
};

// Shows `w` active, as a person sees it, and dumps it.
void dumpShown(Dumper& dumper, const QString& title, QWidget& w)
{
    if (auto* list = qobject_cast<ListWindow*>(&w)) {
        list->showCentred();
        EXPECT_TRUE(listLoaded(*list));
    } else {
        w.show();
    }
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w)) << title.toStdString();
    QCoreApplication::processEvents();
    dumper.window(title, w);
}

QString dumpAll(Demo& demo)
{
    QStringList out;
    Dumper dumper(out);
    for (const auto& [title, make] : kWindows) {
        demo.inst.dialogs.shown.clear();
        std::unique_ptr<QWidget> w = make(demo);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        dumpShown(dumper, QLatin1String(title), *w);
        for (const QString& message : demo.inst.dialogs.texts())
            out << QStringLiteral("message %1").arg(quoted(message));
        w->hide();
    }

    // The list window's choice when a scanned key stands for two companies.
    {
        ListWindow list(demo.inst.env);
        list.showCentred();
        EXPECT_TRUE(listLoaded(list));
        whenModalShows<QInputDialog>("scan choice", [&](QInputDialog& choice) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&choice));
            QCoreApplication::processEvents();
            dumper.window(QStringLiteral("scan choice"), choice);
            choice.reject();
        });
        auto* scan = list.findChild<QLineEdit*>(QStringLiteral("ScanKey"));
        scan->setFocus();
        QTest::keyClicks(scan, QStringLiteral("K1"));
        QTest::keyClick(scan, Qt::Key_Return);
        list.hide();
    }

    // A question box, and the progress of a print run.
    QWidget owner;
    owner.setObjectName(QStringLiteral("Owner"));
    owner.show();
    whenModalShows<QMessageBox>("message box", [&](QMessageBox& box) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        QCoreApplication::processEvents();
        dumper.window(QStringLiteral("message box"), box);
        box.reject();
    });
    MessageBoxDialogs(&owner).show(MessageIcon::Question, QStringLiteral("納品書を印刷します。"),
                                   MessageButtons::YesNoStop, DefaultButton::No);
    {
        PrintProgressDialog progress(&owner, 0);
        progress.proceed(PrintStep{OutputDocument::Slip, 1, 2, QStringLiteral("A"), QStringLiteral("北斗星電機")});
        auto* dialog = owner.findChild<QProgressDialog*>(QStringLiteral("PrintProgress"));
        EXPECT_NE(dialog, nullptr);
        if (dialog)
            dumpShown(dumper, QStringLiteral("print progress"), *dialog);
        progress.finished();
    }
    return demo.normalised(out.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

} // namespace

TEST(WidgetDump, EveryWindowMatchesTheGoldenDump)
{
    // The installation in /tmp whatever TMPDIR says: the form file window
    // shortens a long folder name, so the base's length must not vary.
    const bool tmpdirSet = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/tmp");
    Demo demo;
    if (tmpdirSet)
        qputenv("TMPDIR", tmpdir);
    else
        qunsetenv("TMPDIR");
    const QString dump = dumpAll(demo);
    const QString goldenPath = QStringLiteral(PLX90_GOLDEN_DIR "/widgets.txt");
    const bool update = qEnvironmentVariableIntValue("PLX90_UPDATE_GOLDEN") == 1;
    QFile golden(goldenPath);
    if (!update && golden.open(QIODevice::ReadOnly) && QString::fromUtf8(golden.readAll()) == dump)
        return;
    const QString actualPath =
        update ? goldenPath : QCoreApplication::applicationDirPath() + QStringLiteral("/widgets.actual.txt");
    QFile actual(actualPath);
    ASSERT_TRUE(actual.open(QIODevice::WriteOnly | QIODevice::Truncate)) << actualPath.toStdString();
    actual.write(dump.toUtf8());
    if (update)
        return;
    ADD_FAILURE() << "The windows' widgets differ from " << goldenPath.toStdString()
                  << ".\nThis run's dump: " << actualPath.toStdString() << "\nCompare them with: diff "
                  << goldenPath.toStdString() << ' ' << actualPath.toStdString()
                  << "\nIf the change is intended, rewrite the golden file with PLX90_UPDATE_GOLDEN=1 "
                     "(e.g. PLX90_UPDATE_GOLDEN=1 build/tests/ui/ui_tests --gtest_filter=WidgetDump.*) "
                     "and commit it.";
}
