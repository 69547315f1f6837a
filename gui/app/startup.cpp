#include "startup.h"

#include "gui/mainwindow/cmainwindow.h"
#include "gui/widgets/guiinteraction.h"
#include "base/sharedstate.h"

#include "link/linkstate.h"
#include "monitor/monitorthread.h"
#include "resources/images.h"

#include <QApplication>
#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace {
void answerForQuitting(QWidget *dialog)
{
    if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
        for (QAbstractButton *button : box->buttons()) {
            const QMessageBox::ButtonRole role = box->buttonRole(button);
            if (role == QMessageBox::YesRole || role == QMessageBox::AcceptRole) {
                button->click();
                return;
            }
        }
    }
    dialog->close();
}
}  // namespace

bool quitAfterSeconds(const QStringList &arguments, int *seconds, QString *error)
{
    *seconds = -1;
    const int at = arguments.indexOf(QStringLiteral("--quit-after"));
    if (at < 0)
        return true;
    bool ok = false;
    const int value = arguments.value(at + 1).toInt(&ok);
    // A day at most: the timer counts milliseconds in an int.
    if (!ok || value < 0 || value > 86400) {
        *error = QStringLiteral("--quit-after needs a number of seconds from 0 to 86400");
        return false;
    }
    *seconds = value;
    return true;
}

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
    int quitAfter = -1;
    QString argumentError;
    if (!quitAfterSeconds(QCoreApplication::arguments(), &quitAfter, &argumentError)) {
        std::fprintf(stderr, "vantreo: %s\n", qPrintable(argumentError));
        return 2;
    }
    initialiseImages();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/new prefix/images/Korvane.ico")));
    QTranslator translator;
    QApplication::installTranslator(&translator);
    initialiseSharedState();
    // The one monitor thread, not started; the pages start it.
    MonitorThread monitor;

    GuiInteraction interaction;
    setUserInteraction(&interaction);
    CMainWindow::Options options;
    options.demo = QCoreApplication::arguments().contains(QStringLiteral("--demo"));
    options.monitorThread = &monitor;
    // For scripted checks of an installation: leave after the given time. A
    // message box open then (the start question among them) is answered Yes
    // or OK, so that the main window comes up; any other dialog is closed as
    // Escape closes it; then the main window is closed as Exit closes it.
    QTimer quitTimer;
    CMainWindow *window = nullptr;
    if (quitAfter >= 0) {
        QObject::connect(&quitTimer, &QTimer::timeout, [&quitTimer, &window] {
            quitTimer.setInterval(100);
            if (QWidget *dialog = QApplication::activeModalWidget())
                answerForQuitting(dialog);
            else if (window && window->isVisible())
                window->close();
        });
        quitTimer.start(quitAfter * 1000);
    }
    window = new CMainWindow(translator, options);
    if (window->quitRequested()) {
        // Cancel at "load saved stations ?": no event loop.
        delete window;
        setUserInteraction(nullptr);
        return 0;
    }
    interaction.setParentWidget(window);
    window->showMaximized();
    const int result = app.exec();
    interaction.setParentWidget(nullptr);
    delete window;
    setUserInteraction(nullptr);
    return result;
}
