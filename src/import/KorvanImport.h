#pragma once

#include "OrderImport.h"

#include <array>

namespace plx {

// Torikomi_Korvan: KORVAN order records ("D10", one delivery key each) into
// records of K_Deliv.dat: a new record, an update of the existing one, or a
// refusal.
class KorvanImport : public OrderImport
{
public:
    KorvanImport(Context context);

protected:
    bool findItems(const ItemTable& table) override;
    void processRecord(const ItemTable& table) override;

private:
    enum Item : int;
    bool present(Item item) const { return m_rows[item] != 0; }
    QString value(const ItemTable& table, Item item) const { return table.value(m_rows[item]); }

    std::array<int, 21> m_rows{}; // row of each recognised item, 0 when absent
};

} // namespace plx
