#pragma once

#include "shipment/EntryBoxes.h"

#include <QList>
#include <QMap>

#include <array>

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
    QRadioButton* option1 = nullptr;
    QRadioButton* option2 = nullptr;
    TagGrid* grid = nullptr;
    QLabel* label1 = nullptr; // the record's kind and status
    QLabel* label2 = nullptr; // the page
    QLabel* status = nullptr; // what the last registration did
    // The "(漢字可)" labels, shown when the company allows kanji.
    QList<QLabel*> kanjiLabels;
    // Command1 ... Command7 by their number.
    std::array<QPushButton*, 8> command{};
};

// Builds the entry window of `format` into `window`: the menus, the heading,
// the boxes of the box table in their frames and tab order, the tag grid (the
// frames and the grid in a scroll area), the buttons and the status line.
// Nothing is connected: the window wires what it needs.
EntryWidgets buildEntryWindow(QDialog& window, Protocol format);

} // namespace plx
