#pragma once

#include "core/LogLabelScope.h"

#include <QDialog>

class QLabel;

namespace plx {

struct Environment;

// Ver情報: the product title, the version text kept in the settings and, beside
// it, the version of the programs (what --version prints).
class VersionWindow : public QDialog
{
    Q_OBJECT
public:
    explicit VersionWindow(Environment& env, QWidget* parent = nullptr);

    // Ver情報 of a window's menu: shown modal at its fixed size, centred.
    static void showOver(Environment& env, QWidget* parent);

    QString versionText() const;
    QString programVersionText() const;

private:
    // The window's log label while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    QLabel* m_version;
    QLabel* m_programVersion;
};

} // namespace plx
