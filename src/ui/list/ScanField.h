#pragma once

#include "core/Protocol.h"

#include <QWidget>

#include <functional>

class QLineEdit;

namespace plx {

class DeliveryListModel;
struct Environment;

// The list window's key field for the packing table: it takes what a
// keyboard-wedge barcode scanner types, ending with Enter (a delivery key, or
// the data of one of our own slip or tag symbols), finds the live record with
// that key in the list shown, and hands its row on. When the list shown has
// none but the other format's tab has the key, the clerk is told so and may
// switch to that tab; message 630 when neither has it. A choice when the key
// stands in more than one company's records.
//
// Widgets (objectName): ScanKey (the field), ScanChoice (the choice).
class ScanField : public QWidget
{
    Q_OBJECT
public:
    // `shown` gives the list the clerk sees now (its model); `other` the list
    // of the window's other tab, or nullptr when the window shows one format.
    ScanField(Environment& env, std::function<const DeliveryListModel&()> shown,
              std::function<const DeliveryListModel*()> other, QWidget* parent = nullptr);

    // Back to the field, empty, for the next scan.
    void ready();

signals:
    // The list row (from 1) of the record the scan named, in the list of
    // `protocol` (the other tab's when the clerk chose to switch to it).
    void rowChosen(Protocol protocol, int row);

private:
    void scanned();

    Environment& m_env;
    std::function<const DeliveryListModel&()> m_shown;
    std::function<const DeliveryListModel*()> m_other;
    QLineEdit* m_edit;
};

} // namespace plx
