#include "DeletionWindow.h"

#include "ui/FieldWidths.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace plx {

DeletionWindow::DeletionWindow(Environment& env, Protocol protocol, QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env), m_deletion(env, protocol)
{
    setObjectName(QStringLiteral("納品書削除"));
    setModal(true);

    auto* pick = new QHBoxLayout;
    auto* comboCaption = new QLabel(QStringLiteral("発注者  ："), this);
    pick->addWidget(comboCaption);
    m_company = new QComboBox(this);
    m_company->setObjectName(QStringLiteral("Combo1"));
    // The choice shows whole names of 50 bytes.
    m_company->setMinimumWidth(comboWidthForBytes(*m_company, 50));
    comboCaption->setBuddy(m_company);
    pick->addWidget(m_company, 1);

    auto* form = new QFormLayout;
    const char16_t* captions[4] = {u"発注者ｺｰﾄﾞ：", u"発注者名称：", u"受注者ｺｰﾄﾞ：", u"受注者名称："};
    for (int i = 0; i < 4; ++i) {
        m_companyBoxes[i] = new QLineEdit(this);
        m_companyBoxes[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        m_companyBoxes[i]->setReadOnly(true);
        // Codes of 12 bytes, names of 50, shown whole.
        m_companyBoxes[i]->setMinimumWidth(lineEditWidthForBytes(*m_companyBoxes[i], i % 2 == 0 ? 12 : 50));
        form->addRow(QString::fromUtf16(captions[i]), m_companyBoxes[i]);
    }

    auto* conditionFrame = new QGroupBox(QStringLiteral("削除する条件"), this);
    conditionFrame->setObjectName(QStringLiteral("Frame1"));
    auto* modeCaption = new QLabel(QStringLiteral("処理ﾓｰﾄﾞ："), conditionFrame);
    modeCaption->setObjectName(QStringLiteral("Label1"));
    m_issuedOnly = new QRadioButton(QStringLiteral("発行済のﾃﾞｰﾀを削除する。"), conditionFrame);
    m_issuedOnly->setObjectName(QStringLiteral("Option1"));
    m_everything = new QRadioButton(QStringLiteral("すべてのﾃﾞｰﾀを削除する。"), conditionFrame);
    m_everything->setObjectName(QStringLiteral("Option2"));
    // The narrower deletion is the one offered first.
    m_issuedOnly->setChecked(true);
    auto* options = new QVBoxLayout;
    options->addWidget(m_issuedOnly);
    options->addWidget(m_everything);
    auto* condition = new QHBoxLayout(conditionFrame);
    condition->addWidget(modeCaption, 0, Qt::AlignTop);
    condition->addLayout(options, 1);

    auto* remove = new QPushButton(QStringLiteral("削除"), this);
    remove->setObjectName(QStringLiteral("Command1"));
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(remove);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pick);
    layout->addLayout(form);
    layout->addWidget(conditionFrame);
    layout->addLayout(buttons);

    connect(m_company, &QComboBox::currentIndexChanged, this,
            [this](int index) { runTrapped(m_env, QString(), [&] { showCompany(index); }); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteClicked(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    runTrapped(m_env, QString(), [this] { load(); });
}

void DeletionWindow::load()
{
    m_logLabels.setModule(QStringLiteral("納品書削除"));
    setWindowTitle(m_deletion.caption());
    const QSignalBlocker block(m_company);
    m_company->clear();
    m_company->addItems(m_deletion.companyChoice());
    m_company->setCurrentIndex(0);
    m_lastIndex = 0;
}

void DeletionWindow::showCompany(int index)
{
    if (index <= 0) {
        for (QLineEdit* t : m_companyBoxes)
            t->clear();
        m_lastIndex = 0;
        return;
    }
    if (index == m_lastIndex)
        return;
    m_lastIndex = index;
    const std::optional<DeletionCompany> company = m_deletion.companyAt(index);
    if (!company)
        return;
    m_companyBoxes[0]->setText(company->ordererCode);
    m_companyBoxes[1]->setText(company->ordererName);
    m_companyBoxes[2]->setText(company->supplierCode);
    m_companyBoxes[3]->setText(company->supplierName);
}

void DeletionWindow::deleteClicked()
{
    DeletionScope scope;
    scope.allCompanies = m_company->currentIndex() <= 0;
    scope.ordererCode = m_companyBoxes[0]->text();
    scope.supplierCode = m_companyBoxes[2]->text();
    scope.issuedOnly = m_issuedOnly->isChecked();
    // A refusal (a file another program holds, a damaged file) has been shown
    // and nothing was written: the window stays for another try.
    DeletionPreview preview;
    if (!runTrapped(m_env, QStringLiteral("削除ﾒｲﾝ/"), [&] { preview = m_deletion.preview(scope); }))
        return;
    // Nothing to delete: no question that could only be answered in vain.
    if (preview.records == 0) {
        ShowMessage(m_env, 630);
        return;
    }
    // The question names the company, the condition and how many records go.
    if (ShowMessage(m_env, 12, preview.lines()) == kAnswerNo)
        return;
    int deleted = 0;
    if (!runTrapped(m_env, QStringLiteral("削除ﾒｲﾝ/"), [&] { deleted = m_deletion.run(scope); }))
        return;
    if (deleted > 0) {
        m_changed = true;
        // The end of the deletion says how many records went.
        m_env.dialogs->show(MessageIcon::Information, QStringLiteral("納品書ﾃﾞｰﾀを%1件削除しました。").arg(deleted),
                            MessageButtons::Ok, DefaultButton::First);
        accept();
        return;
    }
    ShowMessage(m_env, 630);
}

} // namespace plx
