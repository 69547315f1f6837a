#pragma once

#include <QThread>
#include <QTimer>

#include <atomic>

struct QuantityFunctions;
class DialPageSink;
class ParameterAccess;
class TrendPageSink;

// Reads the live quantities the pages asked for, as fast as the link allows,
// while the dial page or the trend page is active. At the end of every
// complete cycle it hands the new values to the active pages; it ends by
// itself when the link is lost (finished() tells the pages).
class MonitorThread : public QThread
{
    Q_OBJECT
public:
    explicit MonitorThread(ParameterAccess *parameters = nullptr, QObject *parent = nullptr);
    ~MonitorThread() override;

    void setParameterAccess(ParameterAccess *parameters) { m_parameters = parameters; }
    void setDialPage(DialPageSink *page) { m_dialPage.store(page); }
    void setTrendPage(TrendPageSink *page) { m_trendPage.store(page); }

    // Read the identity and start (or keep) monitoring for a page; false,
    // with nothing changed, when the identity cannot be read.
    bool startForDials();
    bool startForTrend();
    void stopDials();
    void stopTrend();

    bool dialActive() const { return m_dialActive.load(); }
    bool trendActive() const { return m_trendActive.load(); }
    bool timerActive() const { return m_timer.isActive(); }
    double trendValue(int i) const { return i == 0 ? m_trendA.load() : m_trendB.load(); }

    // One pass over the requested quantities; true when it was complete.
    bool runCycle();

protected:
    void run() override;

private:
    bool start(std::atomic<bool> &flag);
    bool readQuantity(const QList<QuantityFunctions> &table, int k);

    ParameterAccess *m_parameters;
    std::atomic<DialPageSink *> m_dialPage{nullptr};
    std::atomic<TrendPageSink *> m_trendPage{nullptr};
    std::atomic<bool> m_dialActive{false};
    std::atomic<bool> m_trendActive{false};
    std::atomic<double> m_trendA{0};
    std::atomic<double> m_trendB{0};
    QTimer m_timer;
};
