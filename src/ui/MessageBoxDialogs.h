#pragma once

#include "core/Dialogs.h"

class QWidget;

namespace plx {

// Message boxes of the windows: title "PLX-90ﾒｯｾｰｼﾞ", the icon, OK or Yes/No with
// the requested default button.
class MessageBoxDialogs : public Dialogs
{
public:
    explicit MessageBoxDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    short show(MessageIcon icon, const QString& text, MessageButtons buttons, DefaultButton defaultButton) override;

private:
    QWidget* m_parent;
};

} // namespace plx
