#pragma once

#include "list/DataFileWatch.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class QLabel;

namespace plx {

class DeliveryList;
class ListGrid;
struct Paths;

// Keeps the list window's lists in step with the data files: when another
// program (a watch import, a `ship`, a second window) changes a data file, the
// list of that format is read again within about a second, keeping the
// selected row (found again by its keys) and the scroll position. While the
// window itself is busy with the files (a modal window is open, a print runs,
// the list is loading) it waits and reloads afterwards. A line in the status
// bar says when the lists were last read and whose change it was: another
// program's, or this program's own (whichever of its windows wrote, the data
// file watch knows what this process wrote).
class ListFollower : public QObject
{
    Q_OBJECT
public:
    // `busy` tells whether the window is busy now.
    ListFollower(DeliveryList& list, PerProtocol<ListGrid*> grids, QLabel* status, const Paths& paths,
                 std::function<bool()> busy, QObject* parent = nullptr);

    // The window is about to read the list of `only`, or both, itself.
    void readingOwn(std::optional<Protocol> only);
    // The window has read them (those readingOwn named).
    void readOwn();

private:
    void changedElsewhere(Protocol protocol);
    void reloadPending();
    void reload(Protocol protocol);
    void tell(bool byOther);

    DeliveryList& m_list;
    PerProtocol<ListGrid*> m_grids;
    QLabel* m_status;
    std::function<bool()> m_busy;
    DataFileWatch m_watch;
    PerProtocol<bool> m_pending;
    QTimer m_retry;
    // What the window's own reading reads, and whether another program had
    // changed one of those files since the list last read it.
    std::optional<Protocol> m_readingOnly;
    bool m_otherInOwnRead = false;
};

} // namespace plx
