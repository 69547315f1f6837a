// How long a STOP click on the navigation panel takes to reach the wire while
// a full batch read runs on the link worker: the demo window on the simulated
// drives with real byte timing at 9600 baud, offscreen. The click goes in
// as a mouse click; the time runs until the observer sees the STOP frame
// leave. About one exchange in flight plus the STOP exchange is the floor.
#include "gui/mainwindow/cmainwindow.h"
#include "gui/widgets/jobprogresspanel.h"
#include "base/series.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/frameobserver.h"
#include "link/linkstate.h"
#include "gui/navigation/cnavigation.h"
#include "gui/parameters/cparameter.h"
#include "simulator/demoline.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
// The time the first write (Modbus function 06: the batch only reads) leaves
// after being armed.
class FirstGuiFrame : public FrameObserver
{
public:
    explicit FirstGuiFrame(QElapsedTimer &clock) : m_clock(clock) {}
    void arm() { m_sentAt = -1; }
    qint64 sentAt() const { return m_sentAt.load(); }
    void frameSent(const QByteArray &frame, int, FrameForm) override
    {
        if (frame.size() > 1 && frame.at(1) == 0x06 && m_sentAt.load() < 0)
            m_sentAt = m_clock.elapsed();
    }
    void frameReceived(const QByteArray &, int, FrameForm) override {}

private:
    QElapsedTimer &m_clock;
    std::atomic<qint64> m_sentAt{-1};
};

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setDataDirectory(QStringLiteral(VANTREO_BIN_DIR));
    loadSeriesFeatures();
    // Yes to every question, messages on stderr, no progress lines.
    StderrInteraction answers(nullptr, false);
    setUserInteraction(&answers);
    QTranslator translator;
    CMainWindow::Options demo;
    demo.demo = true;
    auto window = std::make_unique<CMainWindow>(translator, demo);
    window->resize(1280, 900);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return 1;
    CNavigation *nav = window->navigationPanel();
    if (!window->selectStation(1)) {
        std::fprintf(stderr, "station 1 of the demo could not be chosen\n");
        return 1;
    }
    auto button = [nav](const char *name) { return nav->findChild<QPushButton *>(name); };
    QTest::mouseClick(button("CUPB"), Qt::LeftButton);
    nav->findChild<QDoubleSpinBox *>("FrespinBox")->setValue(20);
    QTest::mouseClick(button("NaSetPB"), Qt::LeftButton);

    QElapsedTimer clock;
    clock.start();
    auto observer = std::make_shared<FirstGuiFrame>(clock);
    linkState().addFrameObserver(observer);
    CParameter *form = window->parameterForm();
    form->show();
    while (form->catalogueLoading())
        QTest::qWait(20);
    QTest::qWait(50);  // the splitter lays the form out
    QTest::mouseClick(form->findChild<QPushButton *>("allReadPB"), Qt::LeftButton);

    std::vector<qint64> latencies;
    SimulatedDrive &drive = *demoLine()->drive(1);
    int notStopped = 0;
    while (form->transferRunning() && latencies.size() < 20) {
        QTest::mouseClick(button("NaFWDPB"), Qt::LeftButton);
        QTest::qWait(120);
        if (!form->transferRunning())
            break;
        observer->arm();
        const qint64 clicked = clock.elapsed();
        QTest::mouseClick(button("NaStopPB"), Qt::LeftButton);
        QTest::qWait(5);
        if (observer->sentAt() >= 0)
            latencies.push_back(observer->sentAt() - clicked);
        if (drive.targetHz() != 0)
            ++notStopped;
        QTest::qWait(80);
    }
    const bool stillRunning = form->transferRunning();
    form->progressPanel()->cancelJob();
    while (form->transferRunning())
        QTest::qWait(20);
    linkState().removeFrameObserver(observer);
    if (latencies.empty()) {
        std::fprintf(stderr, "no STOP was measured during the batch\n");
        return 1;
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("%zu STOP clicks during a batch read at 9600 baud (batch %s when measured)\n",
                latencies.size(), stillRunning ? "still running" : "ended");
    std::printf("STOP latency during a batch read: %lld ms (median %lld ms, best %lld ms)\n",
                static_cast<long long>(latencies.back()),
                static_cast<long long>(latencies[latencies.size() / 2]),
                static_cast<long long>(latencies.front()));
    std::printf("drives not stopped right after their STOP click: %d\n", notStopped);
    window.reset();
    setUserInteraction(nullptr);
    return 0;
}
