#pragma once

#include "monitorpages.h"

#include "base/drivetarget.h"

#include <QMutex>
#include <QThread>

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

struct QuantityFunctions;
class IdentityJob;
class LinkJob;
class LinkWorker;
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
    // with nothing changed, when the identity cannot be read. These wait on
    // the line: the command-line tool and tests use them.
    bool startForDials();
    bool startForTrend();
    // The same for a window: the identity is read by a job on `worker`, and
    // startFinished tells the outcome on this object's thread (the pages
    // have the identity by then). Cancelling the job refuses the start.
    std::shared_ptr<LinkJob> requestStartForDials(LinkWorker &worker);
    std::shared_ptr<LinkJob> requestStartForTrend(LinkWorker &worker);
    void stopDials();
    void stopTrend();

    // The drive being polled: the one the last start read the identity of.
    // A station chosen later does not change it.
    DriveTarget target() const;

    bool dialActive() const { return m_dialActive.load(); }
    bool trendActive() const { return m_trendActive.load(); }
    double trendValue(int i) const { return i == 0 ? m_trendA.load() : m_trendB.load(); }

    // One pass over the requested quantities; true when it was complete.
    bool runCycle();

signals:
    void startFinished(bool dials, bool ok);

protected:
    void run() override;

private:
    friend class PageLink;

    void attachDial(DialPageSink *page);
    void attachTrend(TrendPageSink *page);
    // Forgets the page in whichever role it has here; under the page lock.
    void unlink(PageLink *page);
    bool start(std::atomic<bool> &flag);
    std::shared_ptr<LinkJob> requestStart(LinkWorker &worker, bool dials);
    void finishRequest(IdentityJob *job, bool dials);
    // Hands the identity to the pages, sets the flag and makes sure the loop runs.
    void beginMonitoring(std::atomic<bool> &flag, const QStringList &record,
                         const DriveTarget &target);
    bool anyQuantityRequested() const;
    bool readQuantity(const QList<QuantityFunctions> &table, int k);

    ParameterAccess *m_parameters;
    // Under the page lock, as is every call into them.
    DialPageSink *m_dialPage = nullptr;
    TrendPageSink *m_trendPage = nullptr;
    std::atomic<bool> m_dialActive{false};
    std::atomic<bool> m_trendActive{false};
    std::atomic<double> m_trendA{0};
    std::atomic<double> m_trendB{0};
    // Set while run() is in its loop or about to be (see beginMonitoring).
    std::atomic<bool> m_looping{false};
    std::vector<std::shared_ptr<IdentityJob>> m_identityJobs;
    mutable QMutex m_targetMutex;
    DriveTarget m_target;
};
