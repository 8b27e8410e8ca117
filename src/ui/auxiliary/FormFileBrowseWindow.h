#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;

namespace plx {

struct Environment;

// QRD参照: picks a report-definition file ("*.agr") from the user folder.
// Modal; the caller runs exec() and then reads chosenFile().
class FormFileBrowseWindow : public QDialog
{
    Q_OBJECT
public:
    explicit FormFileBrowseWindow(Environment& env, QWidget* parent = nullptr);

    // The chosen file name, cut to 36 characters and not padded; empty when no
    // file was chosen or the window was cancelled (ｷｬﾝｾﾙ, Esc, the close box).
    QString chosenFile() const { return m_chosen; }

public slots:
    void reject() override;

private:
    void load();
    void fileChosen();

    Environment& m_env;
    QString m_chosen;
    QLabel* m_folder;
    QListWidget* m_files;
};

} // namespace plx
