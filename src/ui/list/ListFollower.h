#pragma once

#include "list/DataFileWatch.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

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
// bar says when the lists were last read and whose change it was.
class ListFollower : public QObject
{
    Q_OBJECT
public:
    // `busy` tells whether the window is busy now.
    ListFollower(DeliveryList& list, std::array<ListGrid*, 2> grids, QLabel* status, const Paths& paths,
                 std::function<bool()> busy, QObject* parent = nullptr);

    // The window is about to read `mode`'s lists itself (0 EIAJ, 1 KORVAN, 2 both).
    void readingOwn(int mode);
    // The window has read them.
    void readOwn();

    // Compares the files now instead of at the next interval (tests).
    void checkNow() { m_watch.check(); }

private:
    void changedElsewhere(int kind);
    void reloadPending();
    void reload(int kind);
    void tell(bool byOther);

    DeliveryList& m_list;
    std::array<ListGrid*, 2> m_grids;
    QLabel* m_status;
    std::function<bool()> m_busy;
    DataFileWatch m_watch;
    std::array<bool, 2> m_pending{false, false};
    QTimer m_retry;
};

} // namespace plx
