#include "base/stopsignal.h"

#include <QElapsedTimer>
#include <QtTest>

#include <thread>

// A polling thread's pause ends when another thread asks it to stop, not
// when its interval is over; the request may come before the pause begins.
class TestStopSignal : public QObject
{
    Q_OBJECT
private slots:
    void pauseRunsItsTimeWithoutAStop()
    {
        StopSignal stop(false);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(stop.pause(60));
        QVERIFY(clock.elapsed() >= 55);
        QVERIFY(!stop.requested());
    }

    void requestFromAnotherThreadEndsThePause_data()
    {
        QTest::addColumn<int>("requestAfterMs");
        QTest::newRow("before the pause") << 0;
        QTest::newRow("during the pause") << 50;
    }

    void requestFromAnotherThreadEndsThePause()
    {
        QFETCH(int, requestAfterMs);
        StopSignal stop(false);
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(requestAfterMs));
            stop.request();
        });
        if (requestAfterMs == 0)
            stopper.join();
        QElapsedTimer clock;
        clock.start();
        // A pause of a minute: only the request can end it within the test's time.
        QVERIFY(!stop.pause(60000));
        QVERIFY(clock.elapsed() < 30000);
        if (stopper.joinable())
            stopper.join();
        QVERIFY(stop.requested());
    }

    void clearTakesTheRequestBack()
    {
        StopSignal stop;  // stopped until a run clears it
        QVERIFY(stop.requested());
        QVERIFY(!stop.pause(1000));
        stop.clear();
        QVERIFY(!stop.requested());
        QVERIFY(stop.pause(1));
    }
};

QTEST_GUILESS_MAIN(TestStopSignal)
#include "tst_stopsignal.moc"
