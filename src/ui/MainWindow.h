#pragma once

#include <QMainWindow>

namespace plx {

struct Environment;

// The program's main window after start-up. For now it shows the caption and
// the title of the delivery-slip list over an empty client area.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(Environment& env, QWidget* parent = nullptr);

    // 12000 x 9000 twips, centred on the screen, shown.
    void showCentred();

private:
    Environment& m_env;
};

} // namespace plx
