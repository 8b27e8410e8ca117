#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace plx {

class ReportControl;
struct Environment;

// 印刷指定: starts the normal print run of the format in use for every ordering
// company or for the one chosen.
class PrintSelectionWindow : public QDialog
{
    Q_OBJECT
public:
    // `kind` is the format in use (0 EIAJ, 1 KORVAN).
    PrintSelectionWindow(Environment& env, int kind, ReportControl& report, QWidget* parent = nullptr);

private:
    void Form_Load();
    void Combo1_Click(int index);
    void Command1_Click();

    Environment& m_env;
    int m_kind;
    ReportControl& m_report;
    QComboBox* m_combo1;
    QLineEdit* m_text[4];
    int m_lastIndex = 0;
};

} // namespace plx
