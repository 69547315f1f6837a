#pragma once

#include "base/userinteraction.h"

#include <QPointer>

class QProgressDialog;
class QWidget;

// Message boxes and the progress dialog for the core's messages. Calls from
// other threads are shown by the GUI thread while the caller waits.
class GuiInteraction : public UserInteraction
{
public:
    explicit GuiInteraction(QWidget *parent = nullptr) : m_parent(parent) {}
    ~GuiInteraction() override;

    // The window the boxes open over.
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    void warning(const QString &title, const QString &text) override;
    void critical(const QString &title, const QString &text) override;
    void information(const QString &title, const QString &text) override;
    Answer question(const QString &title, const QString &text, bool withNo,
                    bool withCancel) override;
    int choose(Icon icon, const QString &title, const QString &text, const QStringList &buttons,
               int defaultButton) override;

    void progressStart(const ProgressSetup &setup) override;
    void progressSetRange(int minimum, int maximum) override;
    void progressSetValue(int value) override;
    bool progressCancelled() override;
    void progressEnd() override;

private:
    QPointer<QWidget> m_parent;
    QPointer<QProgressDialog> m_progress;
};
