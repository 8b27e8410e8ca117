#include "HelpViewer.h"

#include "core/text/Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace plx {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Never so small that no line of the page can be read.
    setMinimumSize(320, 240);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
}

void HelpViewer::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the viewer, as it closes the program's dialogs.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool HelpViewer::navigate(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The page is CP932 text: decode it ourselves rather than trust a guess.
    const QString html = cp932::decode(file.readAll());
    m_browser->setSearchPaths({QFileInfo(path).absolutePath()});
    m_browser->document()->setBaseUrl(QUrl::fromLocalFile(path));
    m_browser->setHtml(html);
    setWindowTitle(m_browser->documentTitle().isEmpty() ? QFileInfo(path).fileName() : m_browser->documentTitle());
    return true;
}

} // namespace plx
