#include "SearchWindow.h"

#include "ui/FieldWidths.h"

#include "ui/CenterWindow.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "core/Protocol.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace plx {

SearchWindow::SearchWindow(Environment& env, Protocol protocol, int startRow, QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env), m_search(env, protocol), m_startRow(startRow < 0 ? 0 : startRow)
{
    setObjectName(QStringLiteral("検索"));
    setModal(true);

    auto* frame1 = new QGroupBox(QStringLiteral("検索する条件"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame1);
    grid->addWidget(new QLabel(QStringLiteral("発注者    ："), frame1), 0, 0);
    m_combo1 = new QComboBox(frame1);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    grid->addWidget(m_combo1, 0, 1, 1, 2);
    for (int i = 0; i < 8; ++i) {
        m_text[i] = new QLineEdit(frame1);
        m_text[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
    }
    // The chosen company: codes narrow, names wide.
    for (int i = 0; i < 4; ++i) {
        m_text[i]->setReadOnly(true);
        m_text[i]->setFocusPolicy(Qt::NoFocus);
    }
    // Whole codes (12 bytes) and names (50 bytes), also in the choice.
    m_combo1->setMinimumWidth(comboWidthForBytes(*m_combo1, 50));
    m_text[0]->setFixedWidth(lineEditWidthForBytes(*m_text[0], 12));
    m_text[2]->setFixedWidth(lineEditWidthForBytes(*m_text[2], 12));
    m_text[1]->setMinimumWidth(lineEditWidthForBytes(*m_text[1], 50));
    m_text[3]->setMinimumWidth(lineEditWidthForBytes(*m_text[3], 50));
    grid->addWidget(m_text[0], 1, 1);
    grid->addWidget(m_text[1], 1, 2);
    grid->addWidget(m_text[2], 2, 1);
    grid->addWidget(m_text[3], 2, 2);
    const char16_t* captions[4] = {u"注文番号  ：", u"納品ｷｰ番号：", u"品名ｺｰﾄﾞ　：", u"納　期　  ："};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf16(captions[i]), frame1), 3 + i, 0);
        grid->addWidget(m_text[4 + i], 3 + i, 1, 1, 2);
        m_text[4 + i]->installEventFilter(this);
    }
    grid->setColumnStretch(2, 1);
    grid->setVerticalSpacing(4);

    auto* ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(frame1);
    layout->addLayout(buttons);

    connect(m_combo1, &QComboBox::currentIndexChanged, this,
            [this](int index) { runTrapped(m_env, QStringLiteral("発注者情報切替/"), [&] { Combo1_Click(index); }); });
    connect(ok, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { Command2_Click(); });
    runTrapped(m_env, QStringLiteral("初期表示/"), [this] { Form_Load(); });
}

void SearchWindow::Form_Load()
{
    m_env.logModule = QStringLiteral("検索");
    m_env.logOperation = QStringLiteral("Form_Load");
    const std::array<QString, 8> terms = m_search.remembered().terms();
    for (int i = 0; i < 8; ++i)
        m_text[i]->setText(terms[size_t(i)]);
    resize(twipsToPixels(7665), twipsToPixels(4095));
    setWindowTitle(QStringLiteral("納品書ﾃﾞｰﾀの検索") + protocolCaption(m_search.protocol()));

    m_search.loadCompanies();
    const QSignalBlocker block(m_combo1);
    m_combo1->clear();
    m_combo1->addItem(QStringLiteral("すべて"));
    m_combo1->addItems(m_search.companyNames());
    // A company that has gone since the last search leaves "すべて".
    int index = m_env.searchOrdererIndex;
    if (index < 0 || index >= m_combo1->count())
        index = 0;
    m_combo1->setCurrentIndex(index);
    Combo1_Click(index);
}

void SearchWindow::Combo1_Click(int index)
{
    const SearchCompany company = m_search.companyAt(index);
    m_text[0]->setText(company.ordererCode);
    m_text[1]->setText(company.ordererName);
    m_text[2]->setText(company.supplierCode);
    m_text[3]->setText(company.supplierName);
}

SearchConditions SearchWindow::conditions() const
{
    std::array<QString, 8> terms;
    for (int i = 0; i < 8; ++i)
        terms[size_t(i)] = m_text[i]->text();
    return SearchConditions::fromTerms(std::max(0, m_combo1->currentIndex()), terms);
}

void SearchWindow::Command1_Click()
{
    m_env.logOperation = QStringLiteral("OKﾎﾞﾀﾝ");
    int row = 0;
    const bool ran = runTrapped(m_env, QStringLiteral("検索開始/"), [&] {
        const SearchConditions wanted = conditions();
        m_search.remember(wanted);
        m_foundRow = 0;
        row = m_search.find(wanted, m_startRow);
    });
    if (!ran)
        return;
    if (row == 0) {
        ShowMessage(m_env, 630);
        return;
    }
    m_foundRow = row;
    accept();
}

void SearchWindow::Command2_Click()
{
    m_env.logOperation = QStringLiteral("ｷｬﾝｾﾙﾎﾞﾀﾝ");
    m_foundRow = 0;
    reject();
}

bool SearchWindow::eventFilter(QObject* object, QEvent* event)
{
    // Entering a condition selects its whole text.
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(object)) {
            edit->selectAll();
            // A click places the cursor after the focus arrives.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(object, event);
}

} // namespace plx
