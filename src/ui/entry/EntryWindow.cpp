#include "EntryWindow.h"

#include "TagGrid.h"

#include "ui/CenterWindow.h"
#include "ui/PrintProgressDialog.h"
#include "ui/auxiliary/PrintSummaryDialog.h"
#include "ui/auxiliary/VersionWindow.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "output/PrintRun.h"
#include "shipment/EntryBoxes.h"
#include "shipment/EntryLimits.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace plx {

namespace {

// A control of the form as the layout places it: two controls with their
// captions to a row, a wide one alone on its row.
struct Slot
{
    const char* name;
    bool wide = false;
};

bool isText(const QString& name)
{
    return name.startsWith(QLatin1String("Text"));
}

// The labels the lost-focus handlers report a run-time failure with.
QString leaveLabel(const QString& name)
{
    if (name == QLatin1String("Text3") || name == QLatin1String("Text6"))
        return QStringLiteral("発注企業情報初期表示/");
    if (name == QLatin1String("Text19"))
        return QStringLiteral("出荷数量ﾌｫｰｶｽ移動/");
    if (name == QLatin1String("Text22"))
        return QStringLiteral("単価ﾌｫｰｶｽ移動/");
    if (name == QLatin1String("Combo2"))
        return QStringLiteral("消費税区分ﾌｫｰｶｽ移動/");
    if (name == QLatin1String("Combo3"))
        return QStringLiteral("課税区分ﾌｫｰｶｽ移動/");
    return QString();
}

// The status line after a registration: the key and the status written.
QString registeredText(const QString& key, const QString& status)
{
    QString shown;
    switch (statusOf(status)) {
    case RecordStatus::Unprocessed:
        shown = QStringLiteral("未処理");
        break;
    case RecordStatus::Marked:
        shown = QStringLiteral("発行待（印刷指定）");
        break;
    case RecordStatus::Issued:
        shown = QStringLiteral("発行済");
        break;
    default:
        shown = QStringLiteral("発行待");
        break;
    }
    return QStringLiteral("登録しました。 納品ｷｰ番号 %1  状態 %2").arg(key, shown);
}

const QString kModuleEiaj = QStringLiteral("EIAJ出荷入力");
const QString kModuleKorvan = QStringLiteral("KORVAN出荷入力");

} // namespace

EntryWindow::EntryWindow(Environment& env, Protocol format, const EntryOpening& opening, ReportControl* report,
                         QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env), m_format(format), m_report(report),
      m_session(std::make_unique<EntrySession>(env, format, opening))
{
    const bool eiaj = format == Protocol::Eiaj;
    setObjectName(eiaj ? QStringLiteral("EIAJ出荷入力") : QStringLiteral("Korvan出荷入力"));
    setWindowTitle(eiaj ? QStringLiteral("出荷登録（ＥＩＡＪ）") : QStringLiteral("出荷登録（ＫＯＲＶＡＮ）"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 8);
    layout->setSpacing(4);
    buildMenus(layout);
    buildForm(layout);
    buildButtons(layout);
    setTabOrderOfForm();
    Form_Load();
}

EntryWindow::~EntryWindow() = default;

void EntryWindow::buildMenus(QVBoxLayout* layout)
{
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    const auto action = [this](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    // The entries of the list window's menus that have no use here stay in
    // their place, switched off.
    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    action(file, "MnuNew", QStringLiteral("新規作成(&N)"))->setEnabled(false);
    action(file, "MnuOpen", QStringLiteral("開く(&O)..."))->setEnabled(false);
    file->addSeparator();
    action(file, "MnuPrint", QStringLiteral("印刷(&P)..."))->setEnabled(false);
    file->addSeparator();
    action(file, "MnuDelete", QStringLiteral("削除(&D)..."))->setEnabled(false);
    file->addSeparator();
    connect(action(file, "MnuEnd", QStringLiteral("終了(&X)")), &QAction::triggered, this, [this] { close(); });

    QMenu* tools = bar->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    action(tools, "MnuCust", QStringLiteral("発注者情報設定(&C)..."))->setEnabled(false);
    action(tools, "MnuEnv", QStringLiteral("ﾌｧｲﾙ入力設定(&E)..."))->setEnabled(false);
    tools->addSeparator();
    action(tools, "MnuDust", QStringLiteral("\"処理済ﾌｧｲﾙ\"ﾌｫﾙﾀﾞを空にする。(&Y)"))->setEnabled(false);
    tools->addSeparator();
    action(tools, "MnuFind", QStringLiteral("検索(&F)..."))->setEnabled(false);

    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    connect(action(help, "MnuMaru", QStringLiteral("ﾍﾙﾌﾟ(&H)")), &QAction::triggered, this,
            [this] { MnuMaru_Click(); });
    help->addSeparator();
    connect(action(help, "MnuVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)")), &QAction::triggered, this,
            [this] { MnuVer_Click(); });
}

QLineEdit* EntryWindow::addText(QGridLayout* grid, int n, int row, int column, int width)
{
    auto* edit = new QLineEdit(grid->parentWidget());
    edit->setObjectName(textBox(n));
    if (const int length = maxLengthOf(textBox(n), m_format))
        edit->setMaxLength(length);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this] { setStatus(QString()); });
    grid->addWidget(edit, row, column, 1, width);
    m_texts.insert(n, edit);
    return edit;
}

void EntryWindow::buildForm(QVBoxLayout* layout)
{
    const bool eiaj = m_format == Protocol::Eiaj;
    auto* heading = new QHBoxLayout;
    auto* title = new QLabel(windowTitle(), this);
    title->setObjectName(QStringLiteral("Label3"));
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() + 4);
    titleFont.setBold(true);
    title->setFont(titleFont);
    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    heading->addWidget(title);
    heading->addSpacing(24);
    heading->addWidget(m_label1);
    heading->addStretch(1);
    heading->addWidget(m_label2);
    layout->addLayout(heading);

    // Places the slots two to a row (caption, control, caption, control).
    const auto place = [this](QGroupBox* frame, std::initializer_list<Slot> entries) {
        auto* grid = new QGridLayout(frame);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(3);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        int row = 0;
        int column = 0;
        for (const Slot& slot : entries) {
            const QString name = QLatin1String(slot.name);
            m_formOrder.append(name);
            if (slot.wide && column != 0) {
                ++row;
                column = 0;
            }
            if (name != QLatin1String("Text4"))
                grid->addWidget(new QLabel(captionOf(name, m_format), frame), row, column);
            const int width = slot.wide ? 3 : 1;
            if (isText(name)) {
                addText(grid, name.mid(4).toInt(), row, column + 1, width);
            } else if (name.startsWith(QLatin1String("Combo"))) {
                const int n = name.mid(5).toInt();
                auto* combo = new QComboBox(frame);
                combo->setObjectName(name);
                combo->setEditable(n == 5);
                combo->installEventFilter(this);
                if (n == 5) {
                    combo->lineEdit()->installEventFilter(this);
                    connect(combo->lineEdit(), &QLineEdit::editingFinished, this, [this] { comboChosen(5); });
                }
                connect(combo, &QComboBox::activated, this, [this, n] { comboChosen(n); });
                m_combos[size_t(n)] = combo;
                grid->addWidget(combo, row, column + 1, 1, width);
            } else {
                auto* box = new QWidget(frame);
                auto* options = new QHBoxLayout(box);
                options->setContentsMargins(0, 0, 0, 0);
                m_option1 = new QRadioButton(QStringLiteral("出力する"), box);
                m_option1->setObjectName(QStringLiteral("Option1"));
                m_option2 = new QRadioButton(QStringLiteral("出力しない"), box);
                m_option2->setObjectName(QStringLiteral("Option2"));
                options->addWidget(m_option1);
                options->addWidget(m_option2);
                m_formOrder.append(QStringLiteral("Option2"));
                options->addStretch(1);
                grid->addWidget(box, row, column + 1, 1, width);
            }
            // The kanji pairs say when kanji may be typed.
            const int n = isText(name) ? name.mid(4).toInt() : 0;
            if (n == 10 || n == 12 || n == 13 || n == 15 || n == 28 || (m_format == Protocol::Korvan && n == 24)) {
                auto* note = new QLabel(n == 24 ? QStringLiteral("(漢字のみ)") : QStringLiteral("(漢字可)"), frame);
                note->setObjectName(QStringLiteral("Label_Kanji%1").arg(n));
                // Hidden while no company allows kanji, yet keeping its room,
                // so that the window does not change its width as a code is typed.
                QSizePolicy keep = note->sizePolicy();
                keep.setRetainSizeWhenHidden(true);
                note->setSizePolicy(keep);
                grid->addWidget(note, row, column + width + 1);
                if (n != 24)
                    m_kanjiLabels.append(note);
            }
            if (slot.wide || column == 2) {
                ++row;
                column = 0;
            } else {
                column = 2;
            }
        }
        return grid;
    };

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    place(frame1, {{"Text3"}, {"Text4"}, {"Text6"}, {"Text5"}, {"Text7"}, {"Text8"}});
    layout->addWidget(frame1);

    auto* middle = new QHBoxLayout;
    m_frame3 = new QGroupBox(QStringLiteral("受注データ"), this);
    m_frame3->setObjectName(QStringLiteral("Frame3"));
    if (eiaj) {
        place(m_frame3, {{"Text9"},
                         {"Combo1"},
                         {"Text10", true},
                         {"Text11"},
                         {"Text14"},
                         {"Text12", true},
                         {"Text13", true},
                         {"Text15", true},
                         {"Text16"},
                         {"Text17"},
                         {"Text18"},
                         {"Combo2"},
                         {"Combo3"},
                         {"Combo4"},
                         {"Combo5"},
                         {"Text22"}});
    } else {
        place(m_frame3, {{"Text9"},
                         {"Combo1"},
                         {"Text10", true},
                         {"Text11"},
                         {"Text18"},
                         {"Text12", true},
                         {"Text13", true},
                         {"Text15", true},
                         {"Text16"},
                         {"Text17"},
                         {"Option1", true},
                         {"Text22"},
                         {"Text23"},
                         {"Text24", true}});
    }
    middle->addWidget(m_frame3, 3);

    auto* frame2 = new QGroupBox(QStringLiteral("出荷データ"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* frame2Layout = new QVBoxLayout(frame2);
    auto* shipped = new QGroupBox(frame2);
    shipped->setFlat(true);
    if (eiaj) {
        place(shipped, {{"Text19", true},
                        {"Text20", true},
                        {"Text21", true},
                        {"Text24", true},
                        {"Text23", true},
                        {"Text25", true},
                        {"Text27", true},
                        {"Text28", true}});
    } else {
        place(shipped, {{"Text19", true}, {"Text20", true}, {"Text21", true}, {"Text27", true}, {"Text28", true}});
    }
    frame2Layout->addWidget(shipped);
    frame2Layout->addWidget(new QLabel(captionOf(kTagGrid, m_format), frame2));
    m_grid = new TagGrid(frame2);
    m_grid->setObjectName(kTagGrid);
    m_grid->setMinimumHeight(120);
    frame2Layout->addWidget(m_grid, 1);
    middle->addWidget(frame2, 2);
    layout->addLayout(middle, 1);

    for (int n : {16, 17, 19, 22, 23, 24, 25, 18, 20, 21}) {
        if (QLineEdit* e = m_texts.value(n); e && (n < 22 || eiaj))
            e->setAlignment(Qt::AlignRight);
    }
    for (QLineEdit* e : std::as_const(m_texts))
        e->setMinimumWidth(130);
    m_texts[4]->setMinimumWidth(260);
}

void EntryWindow::buildButtons(QVBoxLayout* layout)
{
    auto* buttons = new QHBoxLayout;
    const struct
    {
        int number;
        const char16_t* caption;
    } captions[] = {{4, u"登録(&R)"},   {5, u"登録印刷(&P)"}, {6, u"削除(&D)"}, {7, u"受注ﾃﾞｰﾀ修正(&E)"},
                    {2, u"前頁(PgUp)"}, {3, u"次頁(PgDn)"},   {1, u"戻る(&B)"}};
    for (const auto& c : captions) {
        auto* b = new QPushButton(QString::fromUtf16(c.caption), this);
        b->setObjectName(QStringLiteral("Command%1").arg(c.number));
        b->setMinimumSize(88, 30);
        // No default button: Enter in a box never registers anything; a
        // button with the focus takes Enter itself (eventFilter).
        b->setAutoDefault(false);
        b->installEventFilter(this);
        m_command[size_t(c.number)] = b;
        if (c.number == 2 || c.number == 1)
            buttons->addStretch(1);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    // What the last registration did, until the next action.
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLine"));
    m_status->setMinimumHeight(m_status->fontMetrics().height());
    layout->addWidget(m_status);
    // PageUp / PageDown page as 前頁 / 次頁 do, from any box of the window.
    const auto pageKey = [this](QKeySequence key, int command) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, command] {
            QPushButton* button = m_command[size_t(command)];
            if (!button->isEnabled())
                return;
            // As a click does: the box being left first runs its own rules.
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
        });
    };
    pageKey(QKeySequence(Qt::Key_PageUp), 2);
    pageKey(QKeySequence(Qt::Key_PageDown), 3);
    connect(m_command[1], &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(m_command[2], &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(m_command[3], &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(m_command[4], &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(m_command[5], &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(m_command[6], &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(m_command[7], &QPushButton::clicked, this, [this] { Command7_Click(); });
}

void EntryWindow::setTabOrderOfForm()
{
    // The boxes as the form shows them, from the top down and left to right
    // within a row, then the shipment, the tag grid and the buttons.
    QList<QWidget*> order;
    for (const QString& name : std::as_const(m_formOrder)) {
        if (auto* w = findChild<QWidget*>(name))
            order.append(w);
    }
    order.append(m_grid);
    for (int n : {4, 5, 6, 7, 2, 3, 1})
        order.append(m_command[size_t(n)]);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    for (int n : {4, 5}) {
        m_texts[n]->setReadOnly(true);
        m_texts[n]->setFocusPolicy(Qt::NoFocus);
    }
}

void EntryWindow::Form_Load()
{
    const bool eiaj = m_format == Protocol::Eiaj;
    m_env.logModule = eiaj ? kModuleEiaj : kModuleKorvan;
    runTrapped(m_env, eiaj ? QStringLiteral("EIAJﾒｲﾝ/") : QStringLiteral("KORVANﾒｲﾝ/"), [this] {
        m_grid->setRowTotal(m_session->tagRows());
        m_opened = m_session->open();
        if (!m_opened)
            return;
        // The code lists: names of kinds "01" ... "04" with their codes, the
        // currency codes of kind "05".
        const QString digit = formatDigitOf(m_format);
        for (int n = 1; n <= 5; ++n) {
            QComboBox* combo = m_combos[size_t(n)];
            if (!combo)
                continue;
            combo->clear();
            for (const CodeEntry& e : m_session->codes().list(digit, QStringLiteral("0%1").arg(n))) {
                if (n == 5)
                    combo->addItem(e.code, e.code);
                else
                    combo->addItem(e.name, e.code);
            }
        }
        showRecord();
        focusTarget({m_session->mode() == EntryMode::New ? textBox(3) : textBox(19)});
    });
}

void EntryWindow::showRecord()
{
    refreshAll();
    m_grid->toFirstRow();
}

void EntryWindow::setStatus(const QString& text)
{
    m_status->setText(text);
}

void EntryWindow::pullForm()
{
    EntryForm& f = m_session->form();
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        f.text(it.key()) = it.value()->text();
    for (int n = 1; n <= 5; ++n) {
        const QComboBox* combo = m_combos[size_t(n)];
        if (!combo)
            continue;
        if (n == 5)
            f.combo(n) = combo->currentText();
        else
            f.combo(n) = combo->currentIndex() >= 0 ? combo->currentData().toString() : QString();
    }
    if (m_option1)
        f.bcOption = m_option1->isChecked() ? 1 : m_option2->isChecked() ? 2 : 0;
    f.tags = m_grid->tagRows();
}

void EntryWindow::pushForm()
{
    const EntryForm& f = m_session->form();
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it) {
        if (it.value()->text() != f.text(it.key()))
            it.value()->setText(f.text(it.key()));
    }
    for (int n = 1; n <= 5; ++n) {
        QComboBox* combo = m_combos[size_t(n)];
        if (!combo)
            continue;
        if (n == 5) {
            if (combo->currentText() != f.combo(n))
                combo->setCurrentText(f.combo(n));
        } else {
            combo->setCurrentIndex(f.combo(n).isEmpty() ? -1 : combo->findData(f.combo(n)));
        }
    }
    if (m_option1) {
        // Neither option may be selected: exclusivity off while setting them.
        m_option1->setAutoExclusive(false);
        m_option2->setAutoExclusive(false);
        m_option1->setChecked(f.bcOption == 1);
        m_option2->setChecked(f.bcOption == 2);
        m_option1->setAutoExclusive(true);
        m_option2->setAutoExclusive(true);
    }
    m_grid->setTagRows(f.tags);
}

void EntryWindow::refreshAll()
{
    pushForm();
    applyView();
}

void EntryWindow::applyView()
{
    const EntryView& v = m_session->view();
    const EntryMode mode = m_session->mode();
    const bool isNew = mode == EntryMode::New;
    const bool orderData = mode != EntryMode::Existing;
    m_label1->setText(v.label1);
    m_label2->setText(m_session->pageText());
    m_command[2]->setEnabled(m_session->canGoBack());
    m_command[3]->setEnabled(m_session->canGoForward());
    m_command[4]->setEnabled(v.registerEnabled || isNew);
    m_command[6]->setEnabled(!isNew);
    m_command[7]->setEnabled(!isNew);

    // Locked boxes show the window's background and take no focus.
    const QColor base = QApplication::palette().color(QPalette::Base);
    const QColor locked = QApplication::palette().color(QPalette::Window);
    const auto lock = [&](QLineEdit* edit, bool editable) {
        edit->setReadOnly(!editable);
        edit->setFocusPolicy(editable ? Qt::StrongFocus : Qt::NoFocus);
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, editable ? base : locked);
        edit->setPalette(p);
    };
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it) {
        const int n = it.key();
        if (n == 4 || n == 5)
            lock(it.value(), false);
        else if (n == 3 || n == 6 || n == 7 || n == 8)
            lock(it.value(), isNew);
        else if ((n >= 9 && n <= 18) || n == 22 || (m_format == Protocol::Korvan && (n == 23 || n == 24)))
            lock(it.value(), orderData);
        else
            lock(it.value(), true);
    }
    for (QComboBox* combo : m_combos) {
        if (combo)
            combo->setEnabled(orderData);
    }
    if (m_option1) {
        m_option1->setEnabled(orderData);
        m_option2->setEnabled(orderData);
    }
    for (QLabel* label : m_kanjiLabels)
        label->setVisible(v.kanjiLabels);
    m_grid->setEnabled(v.gridEnabled);
}

void EntryWindow::focusTarget(const FocusTarget& target)
{
    if (target.control.isEmpty())
        return;
    if (target.control == kTagGrid) {
        m_grid->focusCell(std::max(target.row, 0), target.column);
        return;
    }
    if (auto* w = findChild<QWidget*>(target.control); w && w->isEnabled())
        w->setFocus(Qt::OtherFocusReason);
}

bool EntryWindow::ask(short message)
{
    return ShowMessage(m_env, message) == kAnswerYes;
}

bool EntryWindow::eventFilter(QObject* object, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || m_closing)
        return QDialog::eventFilter(object, event);
    // The line edit of the currency box stands for the box.
    QString name = widget->objectName();
    if (name.isEmpty() && widget->parentWidget() == m_combos[5])
        name = comboBox(5);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                button->click();
                return true;
            }
        }
        return QDialog::eventFilter(object, event);
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        static const QList<int> eiajSwallow = {16, 17, 19, 22, 23, 24, 25};
        static const QList<int> korvanSwallow = {16, 17, 19};
        const int n = isText(name) ? name.mid(4).toInt() : 0;
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            (m_format == Protocol::Eiaj ? eiajSwallow : korvanSwallow).contains(n))
            return true;
        break;
    }
    case QEvent::FocusIn: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason)
            boxFocused(name, reason);
        break;
    }
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && isText(name))
            boxLeft(name);
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(object, event);
}

void EntryWindow::boxFocused(const QString& name, Qt::FocusReason reason)
{
    runTrapped(m_env, QString(), [&] {
        pullForm();
        m_session->focusBox(name);
        pushForm();
    });
    if (QLineEdit* edit = m_texts.value(isText(name) ? name.mid(4).toInt() : 0)) {
        // The whole text selected from its end back to its start, so that the
        // box shows the start of a text longer than itself (not the blanks
        // that pad a kanji text).
        const auto selectFromStart = [edit] {
            edit->setSelection(int(edit->text().size()), -int(edit->text().size()));
        };
        selectFromStart();
        if (reason == Qt::MouseFocusReason)
            QTimer::singleShot(0, edit, selectFromStart);
    }
    // The shipped quantity of a record without its ordering company: message
    // 2, once per opening, and on to the return button.
    if (name == textBox(19) && m_session->takeCompanyNotice()) {
        QTimer::singleShot(0, this, [this] {
            ShowMessage(m_env, 2);
            m_command[1]->setFocus(Qt::OtherFocusReason);
        });
    }
}

void EntryWindow::boxLeft(const QString& name)
{
    runTrapped(m_env, leaveLabel(name), [&] {
        pullForm();
        m_session->leaveBox(name);
        refreshAll();
    });
}

void EntryWindow::comboChosen(int n)
{
    const QString name = comboBox(n);
    if (m_closing || (n != 2 && n != 3 && n != 5))
        return;
    runTrapped(m_env, leaveLabel(name), [&] {
        pullForm();
        m_session->leaveBox(name);
        refreshAll();
        // A further change compares with the value chosen now.
        m_session->focusBox(name);
    });
}

void EntryWindow::afterPaging()
{
    setStatus(QString());
    showRecord();
    if (m_session->takeCompanyNotice()) {
        ShowMessage(m_env, 2);
        m_command[1]->setFocus(Qt::OtherFocusReason);
    } else {
        focusTarget({textBox(19)});
    }
}

void EntryWindow::Command1_Click()
{
    m_env.logOperation = QStringLiteral("戻りﾎﾞﾀﾝ");
    m_returnFlag = true;
    close();
}

void EntryWindow::Command2_Click()
{
    m_env.logOperation = QStringLiteral("前頁ﾎﾞﾀﾝ");
    runTrapped(m_env, QStringLiteral("前頁ﾎﾞﾀﾝﾒｲﾝ"), [this] {
        m_session->previousPage();
        afterPaging();
    });
}

void EntryWindow::Command3_Click()
{
    m_env.logOperation = QStringLiteral("次頁ﾎﾞﾀﾝ");
    runTrapped(m_env, QStringLiteral("次頁ﾎﾞﾀﾝﾒｲﾝ/"), [this] {
        m_session->nextPage();
        afterPaging();
    });
}

void EntryWindow::Command4_Click()
{
    m_env.logOperation = QStringLiteral("登録ﾎﾞﾀﾝ");
    runTrapped(m_env, QStringLiteral("登録ﾎﾞﾀﾝﾒｲﾝ/"), [this] { registerShown(false); });
}

void EntryWindow::Command5_Click()
{
    m_env.logOperation = QStringLiteral("登録発行ﾎﾞﾀﾝ");
    runTrapped(m_env, QStringLiteral("登録発行ﾎﾞﾀﾝﾒｲﾝ/"), [this] { registerShown(true); });
}

void EntryWindow::registerShown(bool issue)
{
    setStatus(QString());
    pullForm();
    const QString key = m_session->form().text(7).trimmed();
    const EntryOutcome outcome = m_session->registerShown(issue, [this](short n) { return ask(n); });
    if (outcome.written) {
        showRecord();
        setStatus(registeredText(key, m_session->lastWrittenStatus()));
    } else {
        refreshAll();
    }
    if (outcome.message)
        ShowMessage(m_env, outcome.message);
    else if (!outcome.text.isEmpty())
        m_env.dialogs->show(MessageIcon::Exclamation, outcome.text, MessageButtons::Ok, DefaultButton::First);
    focusTarget(outcome.focus);
}

void EntryWindow::Command6_Click()
{
    m_env.logOperation = QStringLiteral("削除ﾎﾞﾀﾝ");
    runTrapped(m_env, QStringLiteral("削除ﾎﾞﾀﾝﾒｲﾝ/"), [this] {
        if (ShowMessage(m_env, 6) == kAnswerNo)
            return;
        setStatus(QString());
        const EntryOutcome outcome = m_session->deleteShown();
        if (outcome.closeWindow) {
            m_returnFlag = true;
            close();
            return;
        }
        showRecord();
        if (outcome.message)
            ShowMessage(m_env, outcome.message);
        focusTarget(outcome.focus);
    });
}

void EntryWindow::Command7_Click()
{
    setStatus(QString());
    runTrapped(m_env, QString(), [this] {
        pullForm();
        m_session->startCorrection();
        refreshAll();
        focusTarget({textBox(9)});
    });
}

void EntryWindow::MnuMaru_Click()
{
    m_env.logOperation = QStringLiteral("Helpﾒﾆｭｰ");
    runTrapped(m_env, QStringLiteral("Help移動/"), [this] {
        if (!QFileInfo::exists(m_env.paths.helpPagePath) || !m_navigate) {
            ShowMessage(m_env, 30);
            return;
        }
        m_navigate(m_env.paths.helpPagePath);
    });
}

void EntryWindow::MnuVer_Click()
{
    {
        VersionWindow window(m_env, this);
        window.adjustSize();
        window.setFixedSize(twipsToPixels(5385), twipsToPixels(3465));
        moveToCentre(m_env, window);
        window.exec();
    }
}

void EntryWindow::Form_Unload()
{
    PrintRunResult printed;
    runTrapped(m_env, QStringLiteral("戻り発行/"), [&] {
        m_env.closeFiles();
        // The documents marked for issue while the window was open.
        if (m_report) {
            PrintProgressDialog progress(parentWidget());
            printed = runMarkedPrint(m_env, kindOf(m_format), *m_report, &progress);
        }
    });
    // What was issued, beside the window that opened this one.
    PrintSummaryDialog::showFor(printed, parentWidget());
    const bool issued = printed.issued;
    m_result.changed = m_session->changed() || issued;
    m_result.endProgram = !m_returnFlag;
}

void EntryWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        Form_Unload();
    }
    QDialog::closeEvent(event);
}

void EntryWindow::reject()
{
    // Esc does not leave the window; closing it goes through closeEvent.
    if (m_closing)
        QDialog::reject();
}

} // namespace plx
