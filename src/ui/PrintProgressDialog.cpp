#include "PrintProgressDialog.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>

namespace plx {

PrintProgressDialog::PrintProgressDialog(QWidget* parent, int showAfterMilliseconds)
    : m_parent(parent), m_showAfter(showAfterMilliseconds)
{
    m_started.start();
}

PrintProgressDialog::~PrintProgressDialog()
{
    delete m_dialog;
}

QWidget* PrintProgressDialog::shownDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->objectName() == QLatin1String("PrintProgress"))
            return w;
    }
    return nullptr;
}

QString PrintProgressDialog::stepText(const PrintStep& step)
{
    return QStringLiteral("%1を印刷しています。(%2/%3)\n%4  %5")
        .arg(documentName(step.document))
        .arg(step.group)
        .arg(step.groups)
        .arg(step.ordererCode, step.ordererName);
}

bool PrintProgressDialog::proceed(const PrintStep& step)
{
    // A press of 中止 while a question or the printing had the screen arrives here.
    QCoreApplication::processEvents();
    if (m_cancelled || (m_dialog && m_dialog->wasCanceled())) {
        m_cancelled = true;
        return false;
    }
    if (!m_dialog && m_started.elapsed() >= m_showAfter) {
        auto* dialog = new QProgressDialog(m_parent);
        dialog->setObjectName(QStringLiteral("PrintProgress"));
        dialog->setWindowTitle(QStringLiteral("PLX-90ﾒｯｾｰｼﾞ"));
        auto* cancel = new QPushButton(QStringLiteral("中止(&C)"), dialog);
        cancel->setObjectName(QStringLiteral("PrintProgressCancel"));
        dialog->setCancelButton(cancel);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        // Shown here, not by the dialog's own clock: it only runs between groups.
        dialog->setMinimumDuration(0);
        m_dialog = dialog;
    }
    if (m_dialog) {
        m_dialog->setLabelText(stepText(step));
        m_dialog->setRange(0, step.groups);
        m_dialog->setValue(step.group - 1);
        m_dialog->show();
        QCoreApplication::processEvents();
        if (m_dialog->wasCanceled()) {
            m_cancelled = true;
            return false;
        }
    }
    return true;
}

void PrintProgressDialog::finished()
{
    if (m_dialog)
        m_dialog->hide();
}

} // namespace plx
