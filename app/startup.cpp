#include "startup.h"

#include "cmainwindow.h"
#include "guiinteraction.h"
#include "base/sharedstate.h"

#include "link/linkstate.h"
#include "monitor/monitorthread.h"
#include "resources/images.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

namespace {
MonitorThread *g_monitorThread = nullptr;
}

MonitorThread *monitorThread() { return g_monitorThread; }

void setMonitorThread(MonitorThread *thread) { g_monitorThread = thread; }

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
    CMainWindow::Options options;
    options.demo = QCoreApplication::arguments().contains(QStringLiteral("--demo"));
    auto *window = new CMainWindow(translator, options);
    if (window->quitRequested()) {
        // Cancel at "load saved stations ?": no event loop.
        delete window;
        g_monitorThread = nullptr;
        setUserInteraction(nullptr);
        return 0;
    }
    interaction.setParentWidget(window);
    window->showMaximized();
    const int result = app.exec();
    interaction.setParentWidget(nullptr);
    delete window;
    g_monitorThread = nullptr;
    setUserInteraction(nullptr);
    return result;
}
