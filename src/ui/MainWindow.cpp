#include "MainWindow.h"

#include "CenterWindow.h"

#include "core/Environment.h"

#include <QLabel>
#include <QVBoxLayout>

namespace plx {

MainWindow::MainWindow(Environment& env, QWidget* parent) : QMainWindow(parent), m_env(env)
{
    setObjectName(QStringLiteral("納品書一覧"));
    setWindowTitle(QStringLiteral("PLX-90 納品書出力ｻｰﾋﾞｽ"));
    m_env.logModule = QStringLiteral("納品書一覧");

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* title = new QLabel(QStringLiteral("納品書データ一覧"), central);
    title->setObjectName(QStringLiteral("Label2"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    auto* base = new QLabel(QStringLiteral("インストール先: %1").arg(m_env.programBasePath), central);
    layout->addWidget(base);
    layout->addStretch();
    setCentralWidget(central);
}

void MainWindow::showCentred()
{
    resize(twipsToPixels(12000), twipsToPixels(9000));
    CenterWindow(m_env, *this);
    move(m_env.centerLeft / kTwipsPerPixel, m_env.centerTop / kTwipsPerPixel);
    show();
}

} // namespace plx
