#pragma once

#include "core/Dialogs.h"

class QWidget;

namespace plx {

// Message boxes of the windows: title "PLX-90ﾒｯｾｰｼﾞ", the icon, OK or Yes/No
// (and 中止 for a print question) with the requested default button; Esc
// answers No. A box shown while a print run's progress is on screen is placed
// clear of it.
//
// Buttons (objectName): MessageYes, MessageNo, MessageStop.
class MessageBoxDialogs : public Dialogs
{
public:
    explicit MessageBoxDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    Answer show(MessageIcon icon, const QString& text, MessageButtons buttons, DefaultButton defaultButton) override;

private:
    QWidget* m_parent;
};

} // namespace plx
