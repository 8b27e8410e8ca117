#include "ScanField.h"

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

ScanField::ScanField(Environment& env, std::function<const DeliveryListModel&()> shown, QWidget* parent)
    : QWidget(parent), m_env(env), m_shown(std::move(shown))
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
    const bool found = runTrapped(m_env, QStringLiteral("検索開始/"), [&] {
        const DeliveryListModel& model = m_shown();
        CustStore companies(m_env.paths.custPath);
        companies.openReadOnly();
        matches = findScanned(model.records(), model.protocol(), companies.entries(model.protocol()), text);
    });
    if (!found)
        return;
    if (matches.isEmpty()) {
        ShowMessage(m_env, 630);
        m_edit->selectAll();
        return;
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
    emit rowChosen(matches.at(std::max(chosen, 0)).row);
}

} // namespace plx
