#include "TextViewer.h"

#include "core/text/Cp932.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace plx {

TextViewer::TextViewer(const QString& path, QWidget* parent) : QDialog(parent), m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("TextViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - PLX-90"));
    m_text->setObjectName(QStringLiteral("TextViewerText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* closeButton = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("TextViewerClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(760, 480);

    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        m_text->setPlainText(cp932::decode(file.readAll()));
    else
        m_text->setPlainText(QStringLiteral("%1 を開けません。(%2)").arg(path, file.errorString()));
}

QString TextViewer::text() const
{
    return m_text->toPlainText();
}

} // namespace plx
