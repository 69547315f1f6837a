#include "startup.h"

#include "guiinteraction.h"
#include "messagetable.h"
#include "sharedstate.h"

#include "link/linkstate.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QTranslator>

void initialiseSharedState()
{
    LinkState &link = linkState();
    link.stationByte = 0;
    setSeriesLetter('0');
    link.commError = false;
    if (!loadLanguageCode())
        setLanguageCode(0);
    link.setStationText(QByteArray(2, '\0'));
    loadSeriesFeatures();
}

void showLinkError(int code)
{
    userInteraction()->warning(messageText(20), errorMessage(code));
}

QMainWindow *createMainWindow()
{
    auto *window = new QMainWindow;
    window->setObjectName(QStringLiteral("CMainWindow"));
    window->setWindowTitle(QStringLiteral("Vantreo"));
    window->setWindowIcon(QIcon(QStringLiteral(":/new prefix/images/Korvane.ico")));
    auto *label = new QLabel(window);
    label->setAlignment(Qt::AlignCenter);
    window->setCentralWidget(label);
    // Errors from any thread arrive in the GUI thread (the window's thread).
    QObject::connect(LinkEvents::instance(), &LinkEvents::showErrorInfo, window, &showLinkError);
    return window;
}

int runApplication(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/new prefix/images/Korvane.ico")));
    QTranslator translator;
    QApplication::installTranslator(&translator);
    initialiseSharedState();

    GuiInteraction interaction;
    setUserInteraction(&interaction);
    QMainWindow *window = createMainWindow();
    window->showMaximized();
    const int result = app.exec();
    delete window;
    setUserInteraction(nullptr);
    return result;
}
