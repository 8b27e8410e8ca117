#include "VersionWindow.h"

#include "ui/CenterWindow.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "core/ProgramVersion.h"
#include "core/Registry.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace plx {

void VersionWindow::showOver(Environment& env, QWidget* parent)
{
    VersionWindow window(env, parent);
    window.adjustSize();
    window.setFixedSize(twipsToPixels(5385), twipsToPixels(3465));
    moveToCentre(env, window);
    window.exec();
}

VersionWindow::VersionWindow(Environment& env, QWidget* parent)
    : QDialog(parent), m_logLabels(env, QStringLiteral("Ver情報"))
{
    setObjectName(QStringLiteral("Ver情報"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 （PLX-90 納品書出力ｻｰﾋﾞｽ） "));
    setFixedSize(twipsToPixels(5385), twipsToPixels(3465));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    auto* title = new QLabel(QStringLiteral("PLX-90 納品書出力ｻｰﾋﾞｽ"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    title->setFont(big);
    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_programVersion = new QLabel(QStringLiteral("(") + programVersionLine() + QStringLiteral(")"), this);
    m_programVersion->setObjectName(QStringLiteral("lblProgramVersion"));
    auto* description = new QLabel(QStringLiteral("EIAJ・KORVAN 注文データから納品書と荷札を発行します。"), this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1);
    auto* versions = new QHBoxLayout;
    versions->addWidget(m_version);
    versions->addWidget(m_programVersion);
    versions->addStretch(1);
    layout->addLayout(versions, 1, 1);
    layout->addWidget(description, 2, 1);
    layout->addWidget(ok, 3, 1, Qt::AlignRight);
    layout->setRowStretch(2, 1);

    QString value;
    const qint32 result = env.registry->regGetValue(kRegistryKey, QStringLiteral("ExcurrentVersion"), value);
    if (result == RegOk) {
        m_version->setText(QStringLiteral("Ver. ") + value);
    } else {
        // The failure is reported and logged; the window still opens.
        ShowMessage(env, 20);
        ReportError(env, QStringLiteral("Version/") + Registry::regErrorText(result));
    }
}

QString VersionWindow::versionText() const
{
    return m_version->text();
}

QString VersionWindow::programVersionText() const
{
    return m_programVersion->text();
}

} // namespace plx
