#include "ListFollower.h"

#include "ListGrid.h"

#include "core/Paths.h"
#include "list/DeliveryList.h"

#include <QDateTime>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollBar>

namespace plx {

ListFollower::ListFollower(DeliveryList& list, PerProtocol<ListGrid*> grids, QLabel* status, const Paths& paths,
                           std::function<bool()> busy, QObject* parent)
    : QObject(parent), m_list(list), m_grids(grids), m_status(status), m_busy(std::move(busy)),
      m_watch(paths.eDelivPath, paths.kDelivPath, 500)
{
    connect(&m_watch, &DataFileWatch::changed, this, &ListFollower::changedElsewhere);
    m_retry.setSingleShot(true);
    m_retry.setInterval(300);
    connect(&m_retry, &QTimer::timeout, this, &ListFollower::reloadPending);
}

void ListFollower::readingOwn(std::optional<Protocol> only)
{
    m_readingOnly = only;
    m_otherInOwnRead = false;
    for (Protocol protocol : kProtocols) {
        if (!only || *only == protocol) {
            m_otherInOwnRead = m_otherInOwnRead || m_watch.changedByOther(protocol);
            m_watch.read(protocol);
            m_pending[protocol] = false;
        }
    }
}

void ListFollower::readOwn()
{
    for (Protocol protocol : kProtocols) {
        if (!m_readingOnly || *m_readingOnly == protocol)
            m_watch.hasRead(protocol);
    }
    tell(m_otherInOwnRead);
}

void ListFollower::changedElsewhere(Protocol protocol)
{
    m_pending[protocol] = true;
    reloadPending();
}

void ListFollower::reloadPending()
{
    if (!m_pending[Protocol::Eiaj] && !m_pending[Protocol::Korvan])
        return;
    if (m_busy()) {
        // The window works with the files now: after it.
        m_retry.start();
        return;
    }
    // A change this program made without a window asking the list to read
    // it is followed like any other, but named as its own.
    bool byOther = false;
    for (Protocol protocol : kProtocols)
        byOther = byOther || (m_pending[protocol] && m_watch.changedByOther(protocol));
    for (Protocol protocol : kProtocols) {
        if (m_pending[protocol])
            reload(protocol);
    }
    tell(byOther);
}

void ListFollower::reload(Protocol protocol)
{
    m_pending[protocol] = false;
    ListGrid* grid = m_grids[protocol];
    DeliveryListModel& model = m_list.model(protocol);
    // The place the clerk is at: the selected rows by their records' keys,
    // the current cell's column and the scroll position.
    const GridSelection selected = grid->selectionRect();
    const QModelIndex current = grid->currentIndex();
    const int column = current.isValid() ? current.column() : kRowFirstColumn;
    const bool wholeRows = selected.valid && selected.lastColumn == kRowLastColumn;
    QByteArray firstKeys, lastKeys, currentKeys;
    if (selected.valid && selected.lastRow <= model.listedCount()) {
        firstKeys = model.rowKeys(selected.firstRow - 1);
        lastKeys = model.rowKeys(selected.lastRow - 1);
    }
    if (current.isValid() && current.row() < model.listedCount())
        currentKeys = model.rowKeys(current.row());
    const int scrolledTo = grid->verticalScrollBar()->value();
    const int scrolledAcross = grid->horizontalScrollBar()->value();

    m_watch.read(protocol);
    m_list.reload(protocol);
    m_watch.hasRead(protocol);

    const int first = firstKeys.isEmpty() ? -1 : model.rowOfKeys(firstKeys);
    const int last = lastKeys.isEmpty() ? -1 : model.rowOfKeys(lastKeys);
    const int at = currentKeys.isEmpty() ? -1 : model.rowOfKeys(currentKeys);
    if (wholeRows && first >= 0 && last >= first) {
        grid->selectRows(first + 1, last + 1);
    } else if (at >= 0) {
        grid->selectCell(at + 1, column);
    } else if (model.listedCount() > 0) {
        grid->selectCell(1, kRowFirstColumn);
    }
    grid->verticalScrollBar()->setValue(scrolledTo);
    grid->horizontalScrollBar()->setValue(scrolledAcross);
}

void ListFollower::tell(bool byOther)
{
    const QString when = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    m_status->setText(byOther ? QStringLiteral("一覧 %1 読込み（他のﾌﾟﾛｸﾞﾗﾑの変更）").arg(when)
                              : QStringLiteral("一覧 %1 読込み（この画面）").arg(when));
}

} // namespace plx
