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
    m_logLabels.setModule(QStringLiteral("環境設定"));

    auto* fileNamesFrame = new QGroupBox(QStringLiteral("表示するﾌｧｲﾙ名"), this);
    fileNamesFrame->setObjectName(QStringLiteral("Frame1"));
    QRadioButton* protocols[2];
    auto* protocolFrame =
        optionFrame(QStringLiteral("ﾋﾞｼﾞﾈｽﾌﾟﾛﾄｺﾙ"), "Frame2", fileNamesFrame,
                    {{QStringLiteral("EIAJ"), "Option1"}, {QStringLiteral("KORVAN"), "Option2"}}, protocols);
    m_eiaj = protocols[0];
    m_korvan = protocols[1];

    auto* nameCaption = new QLabel(QStringLiteral("ﾌｧｲﾙ名/ﾌｧｲﾙの種類："), fileNamesFrame);
    nameCaption->setObjectName(QStringLiteral("Label1"));
    m_nameBox = new QLineEdit(fileNamesFrame);
    m_nameBox->setObjectName(QStringLiteral("Text1"));
    m_nameBox->installEventFilter(this);
    auto* add = button(QStringLiteral("追加"), "Command1", fileNamesFrame);
    auto* remove = button(QStringLiteral("削除"), "Command2", fileNamesFrame);
    m_nameList = new QListWidget(fileNamesFrame);
    m_nameList->setObjectName(QStringLiteral("List1"));
    m_nameList->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_nameBox, 1);
    nameRow->addWidget(add);
    nameRow->addWidget(remove);
    auto* names = new QVBoxLayout;
    names->addWidget(nameCaption);
    names->addLayout(nameRow);
    names->addWidget(m_nameList, 1);
    auto* fileNamesLayout = new QHBoxLayout(fileNamesFrame);
    fileNamesLayout->addWidget(protocolFrame);
    fileNamesLayout->addLayout(names, 1);

    QRadioButton* moves[2];
    auto* moveFrame = optionFrame(QStringLiteral("処理済ﾌｧｲﾙの移動"), "Frame3", this,
                                  {{QStringLiteral("する"), "Option3"}, {QStringLiteral("しない"), "Option4"}}, moves);
    m_moveFiles = moves[0];
    m_keepFiles = moves[1];

    auto* modeFrame = optionFrame(QStringLiteral("処理ﾓｰﾄﾞ"), "Frame4", this,
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
    options->addWidget(moveFrame);
    options->addWidget(modeFrame, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileNamesFrame, 1);
    layout->addLayout(options);
    layout->addLayout(buttons);

    connect(m_eiaj, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            protocolChosen(Protocol::Eiaj);
    });
    connect(m_korvan, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            protocolChosen(Protocol::Korvan);
    });
    connect(m_moveFiles, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_model.setMovesFiles(true);
    });
    connect(m_keepFiles, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_model.setMovesFiles(false);
    });
    for (int i = 0; i < 3; ++i) {
        connect(m_mode[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                m_model.setMakeModeChoice(i + 1);
        });
    }
    connect(add, &QPushButton::clicked, this, [this] { addClicked(); });
    connect(m_nameBox, &QLineEdit::returnPressed, this, [this] { addClicked(); });
    connect(remove, &QPushButton::clicked, this, [this] { removeClicked(); });
    connect(ok, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(twipsToPixels(7140), twipsToPixels(4755));
    runTrapped(m_env, QStringLiteral("ﾚｼﾞｽﾄﾘﾃﾞｰﾀ取得/"), [this] { load(); });
    // A clerk opens the window to type a file name: the name box has the focus.
    m_nameBox->setFocus();
    m_loaded = true;
}

void SettingsWindow::load()
{
    m_model.load();
    m_eiaj->setEnabled(m_model.eiajUsable());
    m_korvan->setEnabled(m_model.korvanUsable());
    (m_model.protocol() == Protocol::Eiaj ? m_eiaj : m_korvan)->setChecked(true);
    runTrapped(m_env, QStringLiteral("画面表示/"), [this] { showList(); });
}

void SettingsWindow::showList()
{
    m_nameList->clear();
    m_nameList->addItems(m_model.entries());
    (m_model.movesFiles() ? m_moveFiles : m_keepFiles)->setChecked(true);
    m_mode[m_model.makeModeChoice() - 1]->setChecked(true);
}

void SettingsWindow::protocolChosen(Protocol protocol)
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

void SettingsWindow::addClicked()
{
    m_logLabels.setOperation(QStringLiteral("追加ﾎﾞﾀﾝ"));
    runTrapped(m_env, QStringLiteral("追加処理/"), [this] {
        const auto refusal = m_model.add(m_nameBox->text());
        if (refusal) {
            ShowMessage(m_env, *refusal);
            if (*refusal == kMsgNoName || *refusal == kMsgNameTaken)
                m_nameBox->setFocus();
            return;
        }
        m_nameList->addItem(m_model.entries().last());
        m_nameBox->clear();
        m_nameBox->setFocus();
    });
}

void SettingsWindow::removeClicked()
{
    m_logLabels.setOperation(QStringLiteral("削除ﾎﾞﾀﾝ"));
    runTrapped(m_env, QStringLiteral("削除処理/"), [this] {
        QList<int> rows;
        for (const QModelIndex& index : m_nameList->selectionModel()->selectedIndexes())
            rows.append(index.row());
        if (const auto refusal = m_model.remove(rows)) {
            ShowMessage(m_env, *refusal);
        } else {
            m_nameList->clear();
            m_nameList->addItems(m_model.entries());
        }
        m_nameList->setFocus();
    });
}

void SettingsWindow::okClicked()
{
    m_logLabels.setOperation(QStringLiteral("OKﾎﾞﾀﾝ"));
    bool saved = false;
    runTrapped(m_env, QStringLiteral("ﾚｼﾞｽﾄﾘ書き込み編集/"), [&] { saved = m_model.save(); });
    if (saved)
        accept();
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Entering the name box selects its whole text (after the click that
    // brought the focus has placed the cursor).
    if (watched == m_nameBox && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_nameBox, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

} // namespace plx
