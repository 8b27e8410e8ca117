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

    auto* conditionsFrame = new QGroupBox(QStringLiteral("検索する条件"), this);
    conditionsFrame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(conditionsFrame);
    grid->addWidget(new QLabel(QStringLiteral("発注者    ："), conditionsFrame), 0, 0);
    m_orderer = new QComboBox(conditionsFrame);
    m_orderer->setObjectName(QStringLiteral("Combo1"));
    grid->addWidget(m_orderer, 0, 1, 1, 2);
    for (int i = 0; i < 8; ++i) {
        m_terms[i] = new QLineEdit(conditionsFrame);
        m_terms[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
    }
    // The chosen company: codes narrow, names wide.
    for (int i = 0; i < 4; ++i) {
        m_terms[i]->setReadOnly(true);
        m_terms[i]->setFocusPolicy(Qt::NoFocus);
    }
    // Whole codes (12 bytes) and names (50 bytes), also in the choice.
    m_orderer->setMinimumWidth(comboWidthForBytes(*m_orderer, 50));
    m_terms[0]->setFixedWidth(lineEditWidthForBytes(*m_terms[0], 12));
    m_terms[2]->setFixedWidth(lineEditWidthForBytes(*m_terms[2], 12));
    m_terms[1]->setMinimumWidth(lineEditWidthForBytes(*m_terms[1], 50));
    m_terms[3]->setMinimumWidth(lineEditWidthForBytes(*m_terms[3], 50));
    grid->addWidget(m_terms[0], 1, 1);
    grid->addWidget(m_terms[1], 1, 2);
    grid->addWidget(m_terms[2], 2, 1);
    grid->addWidget(m_terms[3], 2, 2);
    const char16_t* captions[4] = {u"注文番号  ：", u"納品ｷｰ番号：", u"品名ｺｰﾄﾞ　：", u"納　期　  ："};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf16(captions[i]), conditionsFrame), 3 + i, 0);
        grid->addWidget(m_terms[4 + i], 3 + i, 1, 1, 2);
        m_terms[4 + i]->installEventFilter(this);
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
    layout->addWidget(conditionsFrame);
    layout->addLayout(buttons);

    connect(m_orderer, &QComboBox::currentIndexChanged, this,
            [this](int index) { runTrapped(m_env, QStringLiteral("発注者情報切替/"), [&] { showOrderer(index); }); });
    connect(ok, &QPushButton::clicked, this, [this] { findClicked(); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelClicked(); });
    runTrapped(m_env, QStringLiteral("初期表示/"), [this] { showRemembered(); });
}

void SearchWindow::showRemembered()
{
    m_logLabels.setModule(QStringLiteral("検索"));
    m_logLabels.setOperation(QStringLiteral("Form_Load"));
    const std::array<QString, 8> terms = m_search.remembered().terms();
    for (int i = 0; i < 8; ++i)
        m_terms[i]->setText(terms[size_t(i)]);
    resize(twipsToPixels(7665), twipsToPixels(4095));
    setWindowTitle(QStringLiteral("納品書ﾃﾞｰﾀの検索") + protocolCaption(m_search.protocol()));

    m_search.loadCompanies();
    const QSignalBlocker block(m_orderer);
    m_orderer->clear();
    m_orderer->addItem(QStringLiteral("すべて"));
    m_orderer->addItems(m_search.companyNames());
    // A company that has gone since the last search leaves "すべて".
    int index = m_env.searchOrdererIndex;
    if (index < 0 || index >= m_orderer->count())
        index = 0;
    m_orderer->setCurrentIndex(index);
    showOrderer(index);
}

void SearchWindow::showOrderer(int index)
{
    const SearchCompany company = m_search.companyAt(index);
    m_terms[0]->setText(company.ordererCode);
    m_terms[1]->setText(company.ordererName);
    m_terms[2]->setText(company.supplierCode);
    m_terms[3]->setText(company.supplierName);
}

SearchConditions SearchWindow::conditions() const
{
    std::array<QString, 8> terms;
    for (int i = 0; i < 8; ++i)
        terms[size_t(i)] = m_terms[i]->text();
    return SearchConditions::fromTerms(std::max(0, m_orderer->currentIndex()), terms);
}

void SearchWindow::findClicked()
{
    m_logLabels.setOperation(QStringLiteral("OKﾎﾞﾀﾝ"));
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

void SearchWindow::cancelClicked()
{
    m_logLabels.setOperation(QStringLiteral("ｷｬﾝｾﾙﾎﾞﾀﾝ"));
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
