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
    void Form_Load();
    void showList();
    void Option_Click(Protocol protocol);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    Environment& m_env;
    // The window's log labels while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    ImportSettingsModel m_model;
    bool m_loaded = false;
    QRadioButton* m_option1;
    QRadioButton* m_option2;
    QLineEdit* m_text1;
    QListWidget* m_list1;
    QRadioButton* m_option3;
    QRadioButton* m_option4;
    QRadioButton* m_mode[3];
};

} // namespace plx
