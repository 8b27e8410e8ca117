#include "SettingsWindow.h"

#include "ui/CenterWindow.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace plx {
namespace {

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    // Enter belongs to the name box (追加), never to a button of the window.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QRadioButton* option(const QString& text, const char* name, QWidget* parent)
{
    auto* o = new QRadioButton(text, parent);
    o->setObjectName(QLatin1String(name));
    return o;
}

// A titled frame of option buttons, one under the other; `options` are the
// captions and object names of its buttons, created into `made`.
QGroupBox* optionFrame(const QString& title, const char* name, QWidget* parent,
                       std::initializer_list<std::pair<QString, const char*>> options, QRadioButton** made)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(QLatin1String(name));
    auto* column = new QVBoxLayout(frame);
    for (const auto& [text, objectName] : options) {
        *made = option(text, objectName, frame);
        column->addWidget(*made++);
    }
    column->addStretch(1);
    return frame;
}

} // namespace

SettingsWindow::SettingsWindow(Environment& env, QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env), m_model(env)
{
    setObjectName(QStringLiteral("環境設定"));
    setWindowTitle(QStringLiteral("ﾌｧｲﾙ入力設定"));
    setModal(true);
    m_env.logModule = QStringLiteral("環境設定");

    auto* frame1 = new QGroupBox(QStringLiteral("表示するﾌｧｲﾙ名"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    QRadioButton* protocols[2];
    auto* frame2 = optionFrame(QStringLiteral("ﾋﾞｼﾞﾈｽﾌﾟﾛﾄｺﾙ"), "Frame2", frame1,
                               {{QStringLiteral("EIAJ"), "Option1"}, {QStringLiteral("KORVAN"), "Option2"}}, protocols);
    m_option1 = protocols[0];
    m_option2 = protocols[1];

    auto* label1 = new QLabel(QStringLiteral("ﾌｧｲﾙ名/ﾌｧｲﾙの種類："), frame1);
    label1->setObjectName(QStringLiteral("Label1"));
    m_text1 = new QLineEdit(frame1);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->installEventFilter(this);
    auto* add = button(QStringLiteral("追加"), "Command1", frame1);
    auto* remove = button(QStringLiteral("削除"), "Command2", frame1);
    m_list1 = new QListWidget(frame1);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_text1, 1);
    nameRow->addWidget(add);
    nameRow->addWidget(remove);
    auto* names = new QVBoxLayout;
    names->addWidget(label1);
    names->addLayout(nameRow);
    names->addWidget(m_list1, 1);
    auto* frame1Layout = new QHBoxLayout(frame1);
    frame1Layout->addWidget(frame2);
    frame1Layout->addLayout(names, 1);

    QRadioButton* moves[2];
    auto* frame3 = optionFrame(QStringLiteral("処理済ﾌｧｲﾙの移動"), "Frame3", this,
                               {{QStringLiteral("する"), "Option3"}, {QStringLiteral("しない"), "Option4"}}, moves);
    m_option3 = moves[0];
    m_option4 = moves[1];

    auto* frame4 = optionFrame(QStringLiteral("処理ﾓｰﾄﾞ"), "Frame4", this,
                               {{QStringLiteral("追加作成する。"), "Option5"},
                                {QStringLiteral("発行済の納品書ﾃﾞｰﾀを削除して追加作成する。"), "Option6"},
                                {QStringLiteral("すべての納品書ﾃﾞｰﾀを削除して新規作成する。"), "Option7"}},
                               m_mode);

    auto* ok = button(QStringLiteral("ＯＫ"), "Command3", this);
    auto* cancel = button(QStringLiteral("ｷｬﾝｾﾙ"), "Command4", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* options = new QHBoxLayout;
    options->addWidget(frame3);
    options->addWidget(frame4, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1, 1);
    layout->addLayout(options);
    layout->addLayout(buttons);

    connect(m_option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option_Click(Protocol::Eiaj);
    });
    connect(m_option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option_Click(Protocol::Korvan);
    });
    connect(m_option3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_model.setMovesFiles(true);
    });
    connect(m_option4, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_model.setMovesFiles(false);
    });
    for (int i = 0; i < 3; ++i) {
        connect(m_mode[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                m_model.setMakeModeChoice(i + 1);
        });
    }
    connect(add, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(m_text1, &QLineEdit::returnPressed, this, [this] { Command1_Click(); });
    connect(remove, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(ok, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(twipsToPixels(7140), twipsToPixels(4755));
    runTrapped(m_env, QStringLiteral("ﾚｼﾞｽﾄﾘﾃﾞｰﾀ取得/"), [this] { Form_Load(); });
    // A clerk opens the window to type a file name: the name box has the focus.
    m_text1->setFocus();
    m_loaded = true;
}

void SettingsWindow::Form_Load()
{
    m_model.load();
    m_option1->setEnabled(m_model.eiajUsable());
    m_option2->setEnabled(m_model.korvanUsable());
    (m_model.protocol() == Protocol::Eiaj ? m_option1 : m_option2)->setChecked(true);
    runTrapped(m_env, QStringLiteral("画面表示/"), [this] { showList(); });
}

void SettingsWindow::showList()
{
    m_list1->clear();
    m_list1->addItems(m_model.entries());
    (m_model.movesFiles() ? m_option3 : m_option4)->setChecked(true);
    m_mode[m_model.makeModeChoice() - 1]->setChecked(true);
}

void SettingsWindow::Option_Click(Protocol protocol)
{
    // While the window opens the options are set from the settings; only the
    // operator's choice switches lists.
    if (!m_loaded)
        return;
    runTrapped(m_env, QStringLiteral("画面表示/"), [&] {
        m_model.switchTo(protocol);
        showList();
    });
}

void SettingsWindow::Command1_Click()
{
    m_env.logOperation = QStringLiteral("追加ﾎﾞﾀﾝ");
    runTrapped(m_env, QStringLiteral("追加処理/"), [this] {
        const auto refusal = m_model.add(m_text1->text());
        if (refusal) {
            ShowMessage(m_env, *refusal);
            if (*refusal == kMsgNoName || *refusal == kMsgNameTaken)
                m_text1->setFocus();
            return;
        }
        m_list1->addItem(m_model.entries().last());
        m_text1->clear();
        m_text1->setFocus();
    });
}

void SettingsWindow::Command2_Click()
{
    m_env.logOperation = QStringLiteral("削除ﾎﾞﾀﾝ");
    runTrapped(m_env, QStringLiteral("削除処理/"), [this] {
        QList<int> rows;
        for (const QModelIndex& index : m_list1->selectionModel()->selectedIndexes())
            rows.append(index.row());
        if (const auto refusal = m_model.remove(rows)) {
            ShowMessage(m_env, *refusal);
        } else {
            m_list1->clear();
            m_list1->addItems(m_model.entries());
        }
        m_list1->setFocus();
    });
}

void SettingsWindow::Command3_Click()
{
    m_env.logOperation = QStringLiteral("OKﾎﾞﾀﾝ");
    bool saved = false;
    runTrapped(m_env, QStringLiteral("ﾚｼﾞｽﾄﾘ書き込み編集/"), [&] { saved = m_model.save(); });
    if (saved)
        accept();
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Entering the name box selects its whole text (after the click that
    // brought the focus has placed the cursor).
    if (watched == m_text1 && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_text1, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

} // namespace plx
