#include "ScanField.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "list/DeliveryListModel.h"
#include "list/ScanLookup.h"
#include "store/CustStore.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>

namespace plx {

ScanField::ScanField(Environment& env, std::function<const DeliveryListModel&()> shown,
                     std::function<const DeliveryListModel*()> other, QWidget* parent)
    : QWidget(parent), m_env(env), m_shown(std::move(shown)), m_other(std::move(other))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(QStringLiteral("ｽｷｬﾝ(&K)："), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("ScanKey"));
    m_edit->setPlaceholderText(QStringLiteral("納品ｷｰ番号またはバーコード"));
    // A key, or the longest symbol data (40 characters), and room to spare.
    m_edit->setMaxLength(64);
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 26);
    label->setBuddy(m_edit);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    connect(m_edit, &QLineEdit::returnPressed, this, &ScanField::scanned);
}

void ScanField::ready()
{
    m_edit->clear();
    m_edit->setFocus(Qt::OtherFocusReason);
}

void ScanField::scanned()
{
    const QString text = m_edit->text();
    if (text.trimmed().isEmpty())
        return;
    QList<ScanMatch> matches;
    Protocol protocol = m_shown().protocol();
    const bool found = runTrapped(m_env, QStringLiteral("検索開始/"), [&] {
        CustStore companies(m_env.paths.custPath);
        companies.openReadOnly();
        const auto find = [&](const DeliveryListModel& model) {
            protocol = model.protocol();
            matches = findScanned(model.records(), protocol, companies.entries(protocol), text);
        };
        find(m_shown());
        // A key from the other format's orders: the clerk scanned the right
        // sheet with the wrong tab in front.
        if (matches.isEmpty() && m_other && m_other())
            find(*m_other());
    });
    if (!found)
        return;
    if (matches.isEmpty()) {
        ShowMessage(m_env, 630);
        m_edit->selectAll();
        return;
    }
    if (protocol != m_shown().protocol()) {
        const QString tab = protocol == Protocol::Eiaj ? QStringLiteral("ＥＩＡＪ") : QStringLiteral("ＫＯＲＶＡＮ");
        const Answer answer = m_env.dialogs->show(
            MessageIcon::Question,
            QStringLiteral(
                "納品ｷｰ番号 %1 はこのﾀﾌﾞにはなく、%2のﾀﾌﾞにあります。\r\n%2のﾀﾌﾞに切り替えて出荷登録しますか？")
                .arg(matches.first().deliveryKeyNo, tab),
            MessageButtons::YesNo, DefaultButton::First);
        if (answer != kAnswerYes) {
            m_edit->selectAll();
            return;
        }
    }
    int chosen = 0;
    if (matches.size() > 1) {
        // The same key in the records of several companies: the clerk says which.
        QStringList items;
        for (const ScanMatch& m : matches)
            items << QStringLiteral("%1  %2  %3  %4").arg(m.row).arg(m.ordererCode, m.supplierCode, m.ordererName);
        QInputDialog choice(this);
        choice.setObjectName(QStringLiteral("ScanChoice"));
        choice.setWindowTitle(QStringLiteral("PLX-90ﾒｯｾｰｼﾞ"));
        choice.setLabelText(QStringLiteral("納品ｷｰ番号 %1 は複数の発注者にあります。出荷登録する行を選んでください。")
                                .arg(matches.first().deliveryKeyNo));
        choice.setComboBoxItems(items);
        choice.setOption(QInputDialog::UseListViewForComboBoxItems);
        if (choice.exec() != QDialog::Accepted) {
            m_edit->selectAll();
            return;
        }
        chosen = int(items.indexOf(choice.textValue()));
    }
    emit rowChosen(protocol, matches.at(std::max(chosen, 0)).row);
}

} // namespace plx
