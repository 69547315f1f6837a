#include "guiinteraction.h"

#include <QApplication>
#include <QMessageBox>
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
}  // namespace

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
