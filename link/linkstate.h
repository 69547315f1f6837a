#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSemaphore>

#include "base/drivetarget.h"

#include <atomic>
#include <memory>
#include <vector>

class FrameObserver;
class QTimer;
class Transport;

// A reporting switch of one operation. Each thread has its own value: a batch
// read on the link worker keeps its reads quiet while the monitor thread's
// failures are still reported, and a failed exchange on one thread cannot
// end another thread's quiet mode. Reads and assignments look like a bool's.
class OperationSwitch
{
public:
    enum Kind { QuietReads, SilentReads, AcceptReject77, AcceptReject288, KindCount };

    explicit constexpr OperationSwitch(Kind kind) : m_kind(kind) {}
    OperationSwitch(const OperationSwitch &) = delete;

    bool load() const;
    void store(bool on);
    operator bool() const { return load(); }
    OperationSwitch &operator=(bool on)
    {
        store(on);
        return *this;
    }

private:
    const Kind m_kind;
};

// Sets a switch for the length of a scope and restores what it was.
class SwitchScope
{
public:
    SwitchScope(OperationSwitch &flag, bool on) : m_flag(flag), m_was(flag.load())
    {
        m_flag = on;
    }
    ~SwitchScope() { m_flag = m_was; }
    SwitchScope(const SwitchScope &) = delete;
    SwitchScope &operator=(const SwitchScope &) = delete;

private:
    OperationSwitch &m_flag;
    const bool m_was;
};

// The state of the one serial link, shared by every thread that talks to the
// drive. The shared flags are atomic: the GUI thread, the link worker and the
// polling threads all read and write them. The reporting switches belong to
// the thread that sets them.
class LinkState
{
public:
    // Held for the whole of one exchange (all its attempts).
    QSemaphore portLock{1};

    std::atomic<quint8> protocolCode{0};  // 0 native, 1 Modbus RTU, 2 Modbus ASCII
    std::atomic<quint8> stationByte{0};
    std::atomic<int> lineEnd{1};          // native terminator: 0 none, 1 CR, 2 CR LF
    std::atomic<bool> commError{false};
    std::atomic<bool> linkLost{false};
    // Failed reads that got an answer are not reported (batch transfers);
    // an exchange that brought no byte at all clears it.
    OperationSwitch quietReads{OperationSwitch::QuietReads};
    // Failed reads are never reported (the caller handles them).
    OperationSwitch silentReads{OperationSwitch::SilentReads};
    // A refused write of register 77 (288, 290) counts as success.
    OperationSwitch acceptReject77{OperationSwitch::AcceptReject77};
    OperationSwitch acceptReject288{OperationSwitch::AcceptReject288};
    std::atomic<int> nativeGroup{-1};
    // The station nativeGroup was selected on; -1 when it was set without one.
    std::atomic<int> nativeGroupStation{-1};
    std::atomic<bool> groupReselect{false};

    // Two ASCII characters, upper-case hex of the station number.
    QByteArray stationText() const;
    void setStationText(const QByteArray &text);
    // Sets stationByte and stationText together.
    void setStation(int station);

    // The port every driver uses; replacing it waits for a running exchange.
    std::shared_ptr<Transport> serialPort() const;
    void setSerialPort(std::shared_ptr<Transport> port);

    // Observers of every frame exchanged (see FrameObserver); any thread
    // may add or remove one, also while others exchange.
    void addFrameObserver(std::shared_ptr<FrameObserver> observer);
    void removeFrameObserver(const std::shared_ptr<FrameObserver> &observer);
    QList<std::shared_ptr<FrameObserver>> frameObservers() const;

    // Start-up values (used at start-up and by tests); the reporting
    // switches of the calling thread only.
    void reset();

private:
    mutable QMutex m_observerMutex;
    QList<std::shared_ptr<FrameObserver>> m_observers;
    std::atomic<quint16> m_stationText{0};
    std::shared_ptr<Transport> m_port;
    mutable QSemaphore m_portGuard{1};
};

LinkState &linkState();

// The drive new work starts from: the current station, series, model and
// catalogue version as the calling thread sees them (its bound target, if
// any, else the navigation panel's choice). A job takes it when it is made.
DriveTarget currentDriveTarget();
// The station an exchange made now by the calling thread goes to: its bound
// target's, else the current station.
int exchangeStation();
// The same as the text protocols address it (the current station's text when
// the thread has no bound target).
QByteArray exchangeStationText();

// The station number as the text protocols address it: "0A" for 10, "C8" for 200.
QByteArray stationTextFor(int station);

// Carries link errors and the line's health to whoever shows them (the main
// window's warning box and lamp, the command-line tool's stderr).
//
// The signals are emitted on the thread the instance lives in (the
// application's main thread), never on the thread that failed: another thread
// only records its reports and the line's health under the instance's lock,
// in the order they came; a timer of the instance's thread picks them up
// every few milliseconds and emits them, each report once, from its event
// loop (no event crosses threads). On the instance's own thread a report is emitted at once. Either
// way a report comes out once the thread that emits it holds no link lock any
// more (see LinkLockScope): a receiver may open a modal box without stalling
// the other threads. The GUI still connects with a queued connection, so a box
// never opens inside a driver call. Without an application object there is no
// event loop to pick them up, and the reporting thread emits itself.
class LinkEvents : public QObject
{
    Q_OBJECT
public:
    static LinkEvents *instance();

    // Emits showErrorInfo now, or when the calling thread releases its last
    // link lock; from another thread than the instance's, through its event
    // loop.
    static void report(int code);

    // On the instance's thread, holding no link lock: emits at once what
    // other threads have recorded and not yet seen emitted (the next drain
    // then finds nothing). For a caller that must see a worker's reports
    // before it goes on, e.g. at the end of a job. Does nothing elsewhere.
    static void deliverPending();

    // How the line did in its last exchange, for a lamp: untried since the
    // port was (re)opened, answered, or failed (no answer, or one that did
    // not pass its checks). Single attempts of a probe do not count.
    enum LineHealth { LineUntried, LineAnswered, LineFailed };
    static int lineHealth();
    // Called by every exchange; lineHealthChanged is emitted only when the
    // health differs from the one last emitted, so that a fast poll does not
    // flood the receiver (a change and its undoing between two looks of the
    // instance's thread are not told).
    static void noteExchange(bool answered);
    // Back to untried (a new port).
    static void resetLineHealth();

signals:
    void showErrorInfo(int code);
    void lineHealthChanged(int health);
    // The port or the driver was replaced: port name, line settings or
    // protocol may differ now.
    void linkChanged();

private slots:
    void startDrainHere();

private:
    friend class LinkLockScope;
    LinkEvents();

    // Records reports and, when health is not negative, the line's health;
    // emits them at once on the instance's thread, else leaves them to the drain.
    void record(const std::vector<int> &codes, int health);
    // On the instance's thread, holding no link lock: emits what is recorded.
    void deliver();

    // Guards what other threads record for the instance's thread.
    mutable QMutex m_mutex;
    std::vector<int> m_pending;
    int m_health = LineUntried;
    int m_toldHealth = LineUntried;
    // The instance's thread only: picks up what other threads recorded.
    static constexpr int kDrainMs = 20;
    QTimer *m_drain = nullptr;
    void startDrain();
    // Instance's thread only: deliver() is running (a receiver reported).
    bool m_delivering = false;
};

// Marks the holding of a link lock (the port lock, a driver's function lock,
// the native group lock) by the calling thread, for as long as it lives:
// create it before taking the lock, so that it ends after the lock is given
// back. Errors reported meanwhile are delivered (or handed to LinkEvents'
// thread) when the thread's last scope ends.
class LinkLockScope
{
public:
    LinkLockScope();
    ~LinkLockScope();
    LinkLockScope(const LinkLockScope &) = delete;
    LinkLockScope &operator=(const LinkLockScope &) = delete;

    // How many link locks the calling thread holds.
    static int heldByThisThread();
};

// While one lives, the link errors the calling thread reports are kept here
// instead of being shown: a caller that tells of the failure itself (a batch
// write asking whether to go on) shows the reason in the same box, and no
// second box arrives after the question. Nestable; the innermost keeps them.
class LinkErrorCapture
{
public:
    LinkErrorCapture();
    ~LinkErrorCapture();
    LinkErrorCapture(const LinkErrorCapture &) = delete;
    LinkErrorCapture &operator=(const LinkErrorCapture &) = delete;

    // The message codes reported since it was made (or since take()).
    std::vector<int> take();

private:
    friend class LinkEvents;
    LinkErrorCapture *m_outer;
    std::vector<int> m_codes;
};
