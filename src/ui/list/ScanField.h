#pragma once

#include <QWidget>

#include <functional>

class QLineEdit;

namespace plx {

class DeliveryListModel;
struct Environment;

// The list window's key field for the packing table: it takes what a
// keyboard-wedge barcode scanner types, ending with Enter (a delivery key, or
// the data of one of our own slip or tag symbols), finds the live record with
// that key in the list shown, and hands its row on. Message 630 when there is
// none; a choice when the key stands in more than one company's records.
//
// Widgets (objectName): ScanKey (the field), ScanChoice (the choice).
class ScanField : public QWidget
{
    Q_OBJECT
public:
    // `shown` gives the list the clerk sees now (its model).
    ScanField(Environment& env, std::function<const DeliveryListModel&()> shown, QWidget* parent = nullptr);

    // Back to the field, empty, for the next scan.
    void ready();

signals:
    // The list row (from 1) of the record the scan named.
    void rowChosen(int row);

private:
    void scanned();

    Environment& m_env;
    std::function<const DeliveryListModel&()> m_shown;
    QLineEdit* m_edit;
};

} // namespace plx
