#pragma once

#include "shipment/EntryForm.h"

#include <QList>
#include <QMap>

#include <array>

class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace plx {

class TagGrid;

// The widgets of an entry window that the window binds to its session.
struct EntryWidgets
{
    QMap<EntryBox, QLineEdit*> texts;
    QMap<EntryBox, QComboBox*> combos;
    // The KORVAN bar-code output class: 出力する, 出力しない.
    QRadioButton* bcOutput = nullptr;
    QRadioButton* bcNoOutput = nullptr;
    TagGrid* grid = nullptr;
    QLabel* recordLabel = nullptr; // the record's kind and status
    QLabel* pageLabel = nullptr;   // the page
    QLabel* status = nullptr;      // what the last registration did
    // The "(漢字可)" labels, shown when the company allows kanji.
    QList<QLabel*> kanjiLabels;
    std::array<QPushButton*, 7> buttons{};
    // The menu entries the window answers: 終了, ﾍﾙﾌﾟ, ﾊﾞｰｼﾞｮﾝ情報.
    QAction* exitAction = nullptr;
    QAction* helpAction = nullptr;
    QAction* versionAction = nullptr;

    QPushButton* button(EntryButton b) const { return buttons[size_t(b)]; }
};

// Builds the entry window of `format` into `window`: the menus, the heading,
// the boxes of the box table in their frames and tab order, the tag grid (the
// frames and the grid in a scroll area), the buttons and the status line.
// Nothing is connected: the window wires what it needs.
EntryWidgets buildEntryWindow(QDialog& window, Protocol format);

} // namespace plx
