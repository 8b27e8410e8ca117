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
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    // The choice shows whole names of 50 bytes.
    m_combo1->setMinimumWidth(comboWidthForBytes(*m_combo1, 50));
    comboCaption->setBuddy(m_combo1);
    pick->addWidget(m_combo1, 1);

    auto* form = new QFormLayout;
    const char16_t* captions[4] = {u"発注者ｺｰﾄﾞ：", u"発注者名称：", u"受注者ｺｰﾄﾞ：", u"受注者名称："};
    for (int i = 0; i < 4; ++i) {
        m_text[i] = new QLineEdit(this);
        m_text[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        m_text[i]->setReadOnly(true);
        // Codes of 12 bytes, names of 50, shown whole.
        m_text[i]->setMinimumWidth(lineEditWidthForBytes(*m_text[i], i % 2 == 0 ? 12 : 50));
        form->addRow(QString::fromUtf16(captions[i]), m_text[i]);
    }

    auto* frame1 = new QGroupBox(QStringLiteral("削除する条件"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* label1 = new QLabel(QStringLiteral("処理ﾓｰﾄﾞ："), frame1);
    label1->setObjectName(QStringLiteral("Label1"));
    m_option1 = new QRadioButton(QStringLiteral("発行済のﾃﾞｰﾀを削除する。"), frame1);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option2 = new QRadioButton(QStringLiteral("すべてのﾃﾞｰﾀを削除する。"), frame1);
    m_option2->setObjectName(QStringLiteral("Option2"));
    // The narrower deletion is the one offered first.
    m_option1->setChecked(true);
    auto* options = new QVBoxLayout;
    options->addWidget(m_option1);
    options->addWidget(m_option2);
    auto* condition = new QHBoxLayout(frame1);
    condition->addWidget(label1, 0, Qt::AlignTop);
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
    layout->addWidget(frame1);
    layout->addLayout(buttons);

    connect(m_combo1, &QComboBox::currentIndexChanged, this,
            [this](int index) { runTrapped(m_env, QString(), [&] { Combo1_Click(index); }); });
    connect(remove, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    runTrapped(m_env, QString(), [this] { Form_Load(); });
}

void DeletionWindow::Form_Load()
{
    m_env.logModule = QStringLiteral("納品書削除");
    setWindowTitle(m_deletion.caption());
    const QSignalBlocker block(m_combo1);
    m_combo1->clear();
    m_combo1->addItems(m_deletion.companyChoice());
    m_combo1->setCurrentIndex(0);
    m_lastIndex = 0;
}

void DeletionWindow::Combo1_Click(int index)
{
    if (index <= 0) {
        for (QLineEdit* t : m_text)
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
    m_text[0]->setText(company->ordererCode);
    m_text[1]->setText(company->ordererName);
    m_text[2]->setText(company->supplierCode);
    m_text[3]->setText(company->supplierName);
}

void DeletionWindow::Command1_Click()
{
    DeletionScope scope;
    scope.allCompanies = m_combo1->currentIndex() <= 0;
    scope.ordererCode = m_text[0]->text();
    scope.supplierCode = m_text[2]->text();
    scope.issuedOnly = m_option1->isChecked();
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
