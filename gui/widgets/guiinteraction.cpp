#include "guiinteraction.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include <functional>

namespace {
void onGuiThread(const std::function<void()> &work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        work();
    else
        QMetaObject::invokeMethod(app, work, Qt::BlockingQueuedConnection);
}

QMessageBox::Icon boxIcon(UserInteraction::Icon icon)
{
    switch (icon) {
    case UserInteraction::Icon::Warning: return QMessageBox::Warning;
    case UserInteraction::Icon::Information: return QMessageBox::Information;
    default: return QMessageBox::Question;
    }
}

// The first button accepts, the last of several rejects (Escape), the others act.
QMessageBox::ButtonRole buttonRole(int index, int count)
{
    if (index == 0)
        return QMessageBox::AcceptRole;
    return index == count - 1 ? QMessageBox::RejectRole : QMessageBox::ActionRole;
}
}  // namespace

GuiInteraction::~GuiInteraction() { delete m_progress.data(); }

void GuiInteraction::warning(const QString &title, const QString &text)
{
    onGuiThread([&] { QMessageBox::warning(m_parent, title, text, QMessageBox::Ok); });
}

void GuiInteraction::critical(const QString &title, const QString &text)
{
    onGuiThread([&] { QMessageBox::critical(m_parent, title, text, QMessageBox::Ok); });
}

void GuiInteraction::information(const QString &title, const QString &text)
{
    onGuiThread([&] { QMessageBox::information(m_parent, title, text, QMessageBox::Ok); });
}

UserInteraction::Answer GuiInteraction::question(const QString &title, const QString &text,
                                                 bool withNo, bool withCancel)
{
    Answer answer = Answer::Cancel;
    onGuiThread([&] {
        QMessageBox::StandardButtons buttons = QMessageBox::Yes;
        if (withNo)
            buttons |= QMessageBox::No;
        if (withCancel)
            buttons |= QMessageBox::Cancel;
        const int chosen = QMessageBox::question(m_parent, title, text, buttons);
        answer = chosen == QMessageBox::Yes ? Answer::Yes
                 : chosen == QMessageBox::No ? Answer::No
                                             : Answer::Cancel;
    });
    return answer;
}

int GuiInteraction::choose(Icon icon, const QString &title, const QString &text,
                           const QStringList &buttons, int defaultButton)
{
    int chosen = -1;
    onGuiThread([&] {
        QMessageBox box(boxIcon(icon), title, text, QMessageBox::NoButton, m_parent);
        QList<QPushButton *> pushButtons;
        for (int i = 0; i < buttons.size(); ++i)
            pushButtons.append(box.addButton(buttons.at(i), buttonRole(i, buttons.size())));
        if (defaultButton >= 0 && defaultButton < pushButtons.size())
            box.setDefaultButton(pushButtons.at(defaultButton));
        box.exec();
        chosen = pushButtons.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
    });
    return chosen;
}

void GuiInteraction::progressStart(const ProgressSetup &setup)
{
    onGuiThread([&] {
        delete m_progress.data();
        m_progress = new QProgressDialog(setup.label, setup.cancelText, setup.minimum,
                                         setup.maximum, m_parent);
        m_progress->setWindowTitle(setup.title);
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setMinimumDuration(0);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setValue(setup.minimum);
        // Enter meant for the window behind must not cancel a batch.
        for (QPushButton *button : m_progress->findChildren<QPushButton *>()) {
            button->setAutoDefault(false);
            button->setDefault(false);
        }
        m_progress->show();
        QCoreApplication::processEvents();
    });
}

void GuiInteraction::progressSetRange(int minimum, int maximum)
{
    onGuiThread([&] {
        if (m_progress)
            m_progress->setRange(minimum, maximum);
    });
}

void GuiInteraction::progressSetValue(int value)
{
    // A window-modal dialog runs pending events in setValue, which keeps the
    // GUI alive during a batch in the GUI thread.
    onGuiThread([&] {
        if (m_progress)
            m_progress->setValue(value);
    });
}

bool GuiInteraction::progressCancelled()
{
    bool cancelled = false;
    onGuiThread([&] { cancelled = m_progress && m_progress->wasCanceled(); });
    return cancelled;
}

void GuiInteraction::progressEnd()
{
    onGuiThread([&] {
        if (m_progress) {
            m_progress->close();
            m_progress->deleteLater();
            m_progress = nullptr;
        }
    });
}
