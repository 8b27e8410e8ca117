#pragma once

#include "core/FileLock.h"

#include <optional>

namespace plx {

// The lock of a store's file for one operation: taken when it begins, given to
// the store so that its writes go under it, and taken back from the store when
// the operation ends. `Store` is a store of one file (DeliveryStore, CustStore):
// it has path(), label() and setLock(). A holder that already keeps the file
// locked for longer (an entry session holding its files for a whole run) asks
// for none, and the store keeps the lock it was given.
template <typename Store> class StoreLock
{
public:
    // Takes the lock of the store's file, waiting as FileLock does. Throws Refusal.
    explicit StoreLock(Store& store) : StoreLock(store, false) {}
    // Takes it unless `alreadyHeld`.
    StoreLock(Store& store, bool alreadyHeld) : m_store(store)
    {
        if (alreadyHeld)
            return;
        m_lock.emplace(store.path(), Store::label());
        store.setLock(&*m_lock);
    }
    ~StoreLock()
    {
        if (m_lock)
            m_store.setLock(nullptr);
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    Store& m_store;
    std::optional<FileLock> m_lock;
};

} // namespace plx
