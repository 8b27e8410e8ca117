#include "BusyPanel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace plx {

BusyPanel::BusyPanel(QWidget* parent, const QSize& size, Progress progress) : QFrame(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("処理中です。しばらくお待ち下さい。"), this);
    text->setObjectName(QStringLiteral("Label3"));
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    if (progress == Progress::With) {
        m_counter = new QLabel(this);
        m_counter->setObjectName(QStringLiteral("Label4"));
        m_counter->setAlignment(Qt::AlignCenter);
        m_bar = new QProgressBar(this);
        m_bar->setObjectName(QStringLiteral("ProgressBar1"));
        m_bar->setTextVisible(false);
        layout->addWidget(m_counter);
        layout->addWidget(m_bar);
    }
    resize(size);
    hide();
    // The parent has its size only once it is laid out: the panel follows it
    // there and on every later resize.
    if (parent)
        parent->installEventFilter(this);
}

void BusyPanel::showCentred()
{
    if (m_counter)
        m_counter->clear();
    if (m_bar)
        m_bar->reset();
    centre();
    show();
    raise();
}

void BusyPanel::showProgress(int progress, int selected)
{
    if (m_counter)
        m_counter->setText(QStringLiteral("(%1/%2)").arg(progress).arg(selected));
    if (m_bar) {
        m_bar->setRange(0, std::max(selected, 1));
        m_bar->setValue(std::clamp(progress, 0, std::max(selected, 1)));
    }
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void BusyPanel::centre()
{
    const QWidget* area = parentWidget();
    if (!area)
        return;
    move(std::max(0, (area->width() - width()) / 2), std::max(0, (area->height() - height()) / 2));
}

bool BusyPanel::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::Resize && object == parentWidget())
        centre();
    return QFrame::eventFilter(object, event);
}

} // namespace plx
