#pragma once

#include "OrderImport.h"

namespace plx {

// Torikomi_Eiaj: EIAJ order records into records of E_Deliv.dat. Items are
// named "REIAJ" with the item number in three or five digits ("REIAJ004",
// "REIAJ00004"); each record carries up to 31 delivery keys, each of which
// appends, updates or deletes a record, or is refused.
class EiajImport : public OrderImport
{
public:
    EiajImport(Context context);

protected:
    bool findItems(const ItemTable& table) override;
    void processRecord(const ItemTable& table) override;

private:
    struct Item
    {
        int row = 0;
        QString name; // as the file spells it
    };
    // The recognised item of a name: "C14", "004", "00281", "159NO07",
    // "DUE07" (031 and 033 share it), "032NO07"; empty when not recognised.
    static QString itemKey(const QString& name);

    bool present(const QString& key) const { return m_items.contains(key); }
    QString value(const ItemTable& table, const QString& key) const;
    QString itemName(const QString& key) const { return m_items.value(key).name; }
    // The name of an occurrence item for error lines: the prefix as the file
    // spells the group (three or five digits) and the occurrence number.
    QString occurrenceName(const QString& group, int n) const;

    QHash<QString, Item> m_items;
};

} // namespace plx
