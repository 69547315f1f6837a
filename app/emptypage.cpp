#include "emptypage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QIcon>

EmptyPage::EmptyPage(const char *context, const char *title, const QString &iconPath,
                     QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_context(context), m_title(title)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowIcon(QIcon(iconPath));
    setMinimumSize(640, 480);
    retranslate();
}

void EmptyPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

void EmptyPage::retranslate()
{
    setWindowTitle(QCoreApplication::translate(m_context, m_title));
}
