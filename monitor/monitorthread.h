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
    // A window passes the drive it was built for; without one the current
    // drive is meant.
    std::shared_ptr<LinkJob> requestStartForDials(LinkWorker &worker);
    std::shared_ptr<LinkJob> requestStartForTrend(LinkWorker &worker);
    std::shared_ptr<LinkJob> requestStartForDials(LinkWorker &worker, const DriveTarget &drive);
    std::shared_ptr<LinkJob> requestStartForTrend(LinkWorker &worker, const DriveTarget &drive);
    void stopDials();
    void stopTrend();

    // The drives being polled for the dial page and for the trend page: each
    // the one its last start read the identity of. A station chosen later
    // changes neither. When the two differ, each cycle reads each page's
    // quantities from its own drive, with that drive's quantity table.
    DriveTarget dialTarget() const;
    DriveTarget trendTarget() const;

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
    template <class Sink>
    void attach(Sink *&slot, Sink *page);
    // Forgets the page in whichever role it has here; under the page lock.
    void unlink(PageLink *page);
    bool start(bool dials);
    std::shared_ptr<LinkJob> requestStart(LinkWorker &worker, bool dials,
                                          const DriveTarget &drive);
    void finishRequest(IdentityJob *job, bool dials);
    // Hands the identity to the pages, sets the flag and makes sure the loop runs.
    void beginMonitoring(bool dials, const QStringList &record, const DriveTarget &target);
    // Which page's requests a pass serves.
    enum Role { DialRole = 1, TrendRole = 2, BothRoles = DialRole | TrendRole };
    bool anyQuantityRequested(const DriveTarget &drive, int roles) const;
    bool anyQuantityRequested() const;
    // The requested quantities of `roles` from the drive bound to the thread
    // (the caller binds it), then the samples of those pages.
    bool readPass(int roles);
    bool readQuantity(const QList<QuantityFunctions> &table, int k, int roles);

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
    DriveTarget m_dialTarget;
    DriveTarget m_trendTarget;
};
