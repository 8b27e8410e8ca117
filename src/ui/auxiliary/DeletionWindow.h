#pragma once

#include "core/LogLabelScope.h"

#include "list/BulkDeletion.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace plx {

struct Environment;

// 納品書削除: deletes the delivery-slip records of one format in bulk, of every
// ordering company or of the one chosen, all of them or the issued ones. A view
// over BulkDeletion.
class DeletionWindow : public QDialog
{
    Q_OBJECT
public:
    // `protocol` is the format in use.
    DeletionWindow(Environment& env, Protocol protocol, QWidget* parent = nullptr);

    // Whether records were deleted (the window then closed by itself).
    bool changed() const { return m_changed; }

private:
    void load();
    void showCompany(int index);
    void deleteClicked();

    Environment& m_env;
    // The window's log labels while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    BulkDeletion m_deletion;
    QComboBox* m_company;
    QLineEdit* m_companyBoxes[4];
    QRadioButton* m_issuedOnly;
    QRadioButton* m_everything;
    int m_lastIndex = 0;
    bool m_changed = false;
};

} // namespace plx
