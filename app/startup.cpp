#include "startup.h"

#include "guiinteraction.h"
#include "base/messagetable.h"
#include "base/sharedstate.h"

#include "link/linkstate.h"
#include "link/portsetup.h"
#include "monitor/monitorthread.h"
#include "resources/images.h"
#include "simulator/demoline.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QTranslator>

namespace {
MonitorThread *g_monitorThread = nullptr;
}

MonitorThread *monitorThread() { return g_monitorThread; }

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
    // Errors from any thread arrive in the GUI thread (the window's thread),
    // queued also from the GUI thread itself: the box opens from the event
    // loop, never inside a driver call.
    QObject::connect(LinkEvents::instance(), &LinkEvents::showErrorInfo, window, &showLinkError,
                     Qt::QueuedConnection);
    return window;
}

void openLink(bool demo)
{
    PortSetup::setTransportFactory(&openPortOrSimulation);
    PortSetup::openPortFromFile();
    if (!demo)
        return;
    // The demo runs on the simulated line whatever iniProtocol.txt says, and
    // leaves that file alone.
    ComSettings settings = ComSettings::fromLine(QStringLiteral("1-sim-1-1-0-0-0"));
    PortSetup::installDriver(settings.protocol);
    linkState().lineEnd = settings.lineEndIndex;
    PortSetup::reopenPort(settings.portText, settings.lineSettings());
}

int runApplication(int argc, char **argv)
{
    QApplication app(argc, argv);
    initialiseImages();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/new prefix/images/Korvane.ico")));
    QTranslator translator;
    QApplication::installTranslator(&translator);
    initialiseSharedState();
    // The one monitor thread, not started; the pages start it.
    MonitorThread monitor;
    g_monitorThread = &monitor;

    GuiInteraction interaction;
    setUserInteraction(&interaction);
    QMainWindow *window = createMainWindow();
    openLink(QCoreApplication::arguments().contains(QStringLiteral("--demo")));
    window->showMaximized();
    const int result = app.exec();
    delete window;
    g_monitorThread = nullptr;
    setUserInteraction(nullptr);
    return result;
}
