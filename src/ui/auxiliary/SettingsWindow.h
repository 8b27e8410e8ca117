#pragma once

#include "core/LogLabelScope.h"

#include "import/ImportSettingsModel.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QRadioButton;

namespace plx {

struct Environment;

// 環境設定 (caption "ﾌｧｲﾙ入力設定"): the input-file names of each format, the
// moving of processed files and the processing mode, written to the settings
// on ＯＫ. Widgets by objectName:
//   Frame1 表示するﾌｧｲﾙ名, Frame2 ﾋﾞｼﾞﾈｽﾌﾟﾛﾄｺﾙ: Option1 EIAJ, Option2 KORVAN;
//   Label1, Text1 (a name; Enter is 追加), Command1 追加, Command2 削除, List1;
//   Frame3 処理済ﾌｧｲﾙの移動: Option3 する, Option4 しない;
//   Frame4 処理ﾓｰﾄﾞ: Option5 / Option6 / Option7 (MakeMode 1 / 2 / 3);
//   Command3 ＯＫ, Command4 ｷｬﾝｾﾙ.
// Accepted only when every value was written; a failed write is reported and
// the window stays open with the edits.
class SettingsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsWindow(Environment& env, QWidget* parent = nullptr);

    const ImportSettingsModel& model() const { return m_model; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void showList();
    void protocolChosen(Protocol protocol);
    void addClicked();
    void removeClicked();
    void okClicked();

    Environment& m_env;
    // The window's log labels while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    ImportSettingsModel m_model;
    bool m_loaded = false;
    QRadioButton* m_eiaj;
    QRadioButton* m_korvan;
    QLineEdit* m_nameBox;
    QListWidget* m_nameList;
    QRadioButton* m_moveFiles;
    QRadioButton* m_keepFiles;
    QRadioButton* m_mode[3];
};

} // namespace plx
