#pragma once

#include "userinteraction.h"

class QWidget;

// Message boxes for the core's messages. Calls from other threads are shown
// by the GUI thread while the caller waits.
class GuiInteraction : public UserInteraction
{
public:
    explicit GuiInteraction(QWidget *parent = nullptr) : m_parent(parent) {}

    void warning(const QString &title, const QString &text) override;
    void critical(const QString &title, const QString &text) override;
    void information(const QString &title, const QString &text) override;
    Answer question(const QString &title, const QString &text, bool withNo,
                    bool withCancel) override;

private:
    QWidget *m_parent;
};
