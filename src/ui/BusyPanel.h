#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;

namespace plx {

// The busy panel (Picture1) a window floats over its contents while it works:
// "処理中です。しばらくお待ち下さい。" (Label3) and, with progress, a counter
// (Label4) and a bar (ProgressBar1). It stays centred over its parent while
// shown, also when the parent is resized.
class BusyPanel : public QFrame
{
    Q_OBJECT
public:
    enum class Progress { Without, With };

    BusyPanel(QWidget* parent, const QSize& size, Progress progress = Progress::Without);

    // Clears the counter and the bar, centres the panel, shows it in front.
    void showCentred();
    // Shows "(progress/selected)" and the bar at progress of selected, and
    // paints at once: the caller holds the thread until its work is done.
    void showProgress(int progress, int selected);
    // Centres the panel over its parent as the parent stands now.
    void centre();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QLabel* m_counter = nullptr;
    QProgressBar* m_bar = nullptr;
};

} // namespace plx
