#pragma once

#include "monitorpages.h"

#include <QThread>

#include <atomic>
#include <cstddef>

struct QuantityFunctions;
class ParameterAccess;

// Reads the live quantities the pages asked for, as fast as the link allows,
// while the dial page or the trend page is active. At the end of every
// complete cycle it hands the new values to the active pages; it ends by
// itself when the link is lost (finished() tells the pages). The pages come
// and go while it runs: see monitorpages.h.
class MonitorThread : public QThread
{
    Q_OBJECT
public:
    explicit MonitorThread(ParameterAccess *parameters = nullptr, QObject *parent = nullptr);
    ~MonitorThread() override;

    void setParameterAccess(ParameterAccess *parameters) { m_parameters = parameters; }
    // The page to call from now on (nullptr: none). The page before is
    // detached first: these return once no call into it is in progress.
    template <class Page>
    void setDialPage(MonitorPage<Page> *page) { attachDial(page); }
    void setDialPage(std::nullptr_t) { attachDial(nullptr); }
    template <class Page>
    void setTrendPage(MonitorPage<Page> *page) { attachTrend(page); }
    void setTrendPage(std::nullptr_t) { attachTrend(nullptr); }

    // Read the identity and start (or keep) monitoring for a page; false,
    // with nothing changed, when the identity cannot be read.
    bool startForDials();
    bool startForTrend();
    void stopDials();
    void stopTrend();

    bool dialActive() const { return m_dialActive.load(); }
    bool trendActive() const { return m_trendActive.load(); }
    double trendValue(int i) const { return i == 0 ? m_trendA.load() : m_trendB.load(); }

    // One pass over the requested quantities; true when it was complete.
    bool runCycle();

protected:
    void run() override;

private:
    friend class PageLink;

    void attachDial(DialPageSink *page);
    void attachTrend(TrendPageSink *page);
    // Forgets the page in whichever role it has here; under the page lock.
    void unlink(PageLink *page);
    bool start(std::atomic<bool> &flag);
    bool readQuantity(const QList<QuantityFunctions> &table, int k);

    ParameterAccess *m_parameters;
    // Under the page lock, as is every call into them.
    DialPageSink *m_dialPage = nullptr;
    TrendPageSink *m_trendPage = nullptr;
    std::atomic<bool> m_dialActive{false};
    std::atomic<bool> m_trendActive{false};
    std::atomic<double> m_trendA{0};
    std::atomic<double> m_trendB{0};
};
