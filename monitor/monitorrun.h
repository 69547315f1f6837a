#pragma once

#include "identityread.h"

#include "base/drivetarget.h"

#include <QObject>

#include <memory>
#include <optional>

class LinkJob;
class LinkWorker;
class MonitorThread;
class ParameterAccess;

// One page's monitoring of its drive, from Run to Stop: the identity read as
// a job on the link worker, the monitor thread started for the page's role
// once the drive has answered, and the way back to idle when the page stops,
// closes or loses its line. Bound to the drive the page was opened for: a
// station chosen later changes neither what it reads nor what it starts.
// Lives on the page's thread; the page keeps only its widgets' reactions.
class MonitorRun : public QObject
{
    Q_OBJECT
public:
    // Which of the monitor thread's pages the run serves.
    enum class Role { Dials, Trend };
    // Idle: a start may be asked for. Starting: the identity is being read
    // on the link worker. Running: the monitor thread samples for the page.
    enum class State { Idle, Starting, Running };
    Q_ENUM(State)

    // `monitor` may be null: nothing can be started then. `parameters` is the
    // catalogue access of the identity read and must outlive the run.
    MonitorRun(Role role, MonitorThread *monitor, LinkWorker &worker,
               ParameterAccess *parameters, const DriveTarget &target,
               QObject *parent = nullptr);
    // A run deleted while it starts or runs still gives up what it asked
    // for; nothing is signalled any more.
    ~MonitorRun() override;

    Role role() const { return m_role; }
    State state() const { return m_state; }
    const DriveTarget &target() const { return m_target; }
    bool canStart() const { return m_monitor != nullptr; }
    // The identity last handed over, as the tool bars show it (none yet, or
    // the record was empty).
    const std::optional<DriveInfo> &driveInfo() const { return m_driveInfo; }
    // The monitor thread has ended (a lost line ends it); false without one.
    bool monitorEnded() const;

    // Idle to Starting: the identity read is posted. The run goes on when
    // the job has ended (the monitor thread has taken its answer by then).
    // False when the run is not idle or nothing can read the identity.
    bool start();
    // Back to idle from whatever state: a start in progress is cancelled, the
    // thread stops serving the role, stopping() lets the page quiet its
    // widgets, and the role's request flags are cleared.
    void stop();
    // Stops a running run whose monitor thread has ended or whose line is
    // lost; true when it did.
    bool endIfOffLine();

    // The identity record the monitor thread hands the page, from any
    // thread: decoded for the run's drive and told on the run's thread.
    void showDriveInfo(const QStringList &record);

signals:
    void stateChanged(MonitorRun::State state);
    // Every stop (asked for, the page closing, the line lost), after the
    // thread was told and before the state goes back to idle: state() still
    // says what is ending.
    void stopping();
    void driveInfoChanged(const DriveInfo &info);

private:
    void setState(State state);
    void startAnswered(LinkJob *job);
    void cancelStart();
    void stopRole();
    void clearRequests();
    void takeDriveInfo(const QStringList &record);

    const Role m_role;
    MonitorThread *const m_monitor;
    LinkWorker &m_worker;
    ParameterAccess *const m_parameters;
    const DriveTarget m_target;
    State m_state = State::Idle;
    std::shared_ptr<LinkJob> m_startJob;
    std::optional<DriveInfo> m_driveInfo;
};
