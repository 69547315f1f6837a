#include "linkstate.h"

#include "base/sharedstate.h"
#include "transport.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>
#include <QTimer>

#include <array>
#include <vector>

namespace {
thread_local std::array<bool, OperationSwitch::KindCount> t_switches{};
thread_local int t_linkLocks = 0;
thread_local std::vector<int> t_pendingErrors;
// LinkEvents' thread was to deliver while it held a link lock.
thread_local bool t_deliveryDeferred = false;
thread_local LinkErrorCapture *t_capture = nullptr;
}  // namespace

LinkErrorCapture::LinkErrorCapture() : m_outer(t_capture) { t_capture = this; }

LinkErrorCapture::~LinkErrorCapture() { t_capture = m_outer; }

std::vector<int> LinkErrorCapture::take()
{
    std::vector<int> codes;
    codes.swap(m_codes);
    return codes;
}

bool OperationSwitch::load() const { return t_switches[m_kind]; }
void OperationSwitch::store(bool on) { t_switches[m_kind] = on; }

QByteArray LinkState::stationText() const
{
    const quint16 bits = m_stationText.load();
    QByteArray text(2, '\0');
    text[0] = char(bits >> 8);
    text[1] = char(bits & 0xFF);
    return text;
}

void LinkState::setStationText(const QByteArray &text)
{
    const quint8 hi = text.size() > 0 ? quint8(text.at(0)) : 0;
    const quint8 lo = text.size() > 1 ? quint8(text.at(1)) : 0;
    m_stationText.store(quint16(hi << 8 | lo));
}

void LinkState::setStation(int station)
{
    stationByte.store(quint8(station));
    setStationText(stationTextFor(station));
}

std::shared_ptr<Transport> LinkState::serialPort() const
{
    m_portGuard.acquire();
    std::shared_ptr<Transport> port = m_port;
    m_portGuard.release();
    return port;
}

void LinkState::setSerialPort(std::shared_ptr<Transport> port)
{
    LinkLockScope held;
    portLock.acquire();
    m_portGuard.acquire();
    m_port.swap(port);
    m_portGuard.release();
    portLock.release();
    LinkEvents::resetLineHealth();
    emit LinkEvents::instance()->linkChanged();
    // The old port (now in `port`) closes here, outside the locks.
}

void LinkState::addFrameObserver(std::shared_ptr<FrameObserver> observer)
{
    QMutexLocker lock(&m_observerMutex);
    m_observers.append(std::move(observer));
}

void LinkState::removeFrameObserver(const std::shared_ptr<FrameObserver> &observer)
{
    QMutexLocker lock(&m_observerMutex);
    m_observers.removeAll(observer);
}

// A copy: an exchange calls its observers without the list's lock, so an
// observer removed meanwhile still sees the frames of that exchange.
QList<std::shared_ptr<FrameObserver>> LinkState::frameObservers() const
{
    QMutexLocker lock(&m_observerMutex);
    return m_observers;
}

void LinkState::reset()
{
    protocolCode = 0;
    stationByte = 0;
    lineEnd = 1;
    commError = false;
    linkLost = false;
    quietReads = false;
    silentReads = false;
    acceptReject77 = false;
    acceptReject288 = false;
    nativeGroup = -1;
    nativeGroupStation = -1;
    groupReselect = false;
    m_stationText = 0;
}

LinkState &linkState()
{
    static LinkState state;
    return state;
}

DriveTarget currentDriveTarget()
{
    if (const DriveTarget *bound = DriveTargetScope::bound())
        return *bound;
    DriveTarget target;
    target.station = linkState().stationByte.load();
    target.series = seriesLetter();
    target.model = modelString();
    return target;
}

int exchangeStation()
{
    if (const DriveTarget *bound = DriveTargetScope::bound())
        return bound->station;
    return linkState().stationByte.load();
}

QByteArray exchangeStationText()
{
    if (const DriveTarget *bound = DriveTargetScope::bound())
        return stationTextFor(bound->station);
    return linkState().stationText();
}

QByteArray stationTextFor(int station)
{
    return QByteArray::number(quint8(station), 16).toUpper().rightJustified(2, '0');
}

LinkEvents::LinkEvents()
{
    // Made on whichever thread asked first; its signals belong to the
    // application's thread.
    if (QCoreApplication *app = QCoreApplication::instance())
        moveToThread(app->thread());
}

LinkEvents *LinkEvents::instance()
{
    static LinkEvents events;
    return &events;
}


void LinkEvents::record(const std::vector<int> &codes, int health)
{
    if (!QCoreApplication::instance()) {
        // No event loop to pick them up: this thread emits.
        bool changed = false;
        {
            QMutexLocker lock(&m_mutex);
            if (health >= 0 && health != m_health) {
                m_health = m_toldHealth = health;
                changed = true;
            }
        }
        if (changed)
            emit lineHealthChanged(health);
        for (int code : codes)
            emit showErrorInfo(code);
        return;
    }
    const bool here = QThread::currentThread() == thread();
    if (here && !m_drain)
        startDrain();
    {
        QMutexLocker lock(&m_mutex);
        bool news = !codes.empty();
        m_pending.insert(m_pending.end(), codes.begin(), codes.end());
        if (health >= 0 && health != m_health) {
            m_health = health;
            news = true;
        }
        if (!news)
            return;
        // Another thread's news waits for the instance's drain timer: no
        // event crosses threads (a queued event is copied inside Qt, where a
        // race detector cannot see the locks that order it).
    }
    if (!here)
        return;
    if (t_linkLocks > 0)
        t_deliveryDeferred = true;
    else
        deliver();
}

// What other threads recorded is picked up here, every few milliseconds, on
// the instance's thread.
void LinkEvents::startDrain()
{
    if (!m_drain) {
        m_drain = new QTimer(this);
        m_drain->setInterval(kDrainMs);
        connect(m_drain, &QTimer::timeout, this, [this] {
            // A nested event loop of a thread that holds a link lock: the
            // lock's last scope delivers.
            if (t_linkLocks > 0)
                t_deliveryDeferred = true;
            else
                deliver();
        });
        // The timer goes with the application object, on its thread.
        qAddPostRoutine([] {
            LinkEvents *events = instance();
            delete events->m_drain;
            events->m_drain = nullptr;
        });
    }
    m_drain->start();
}

namespace {
// Every application object gets its drain from the start, so that reports of
// other threads are told even before the GUI thread itself reports.
void startLinkEventsDrain()
{
    LinkEvents *events = LinkEvents::instance();
    if (QThread::currentThread() == events->thread())
        QMetaObject::invokeMethod(events, "startDrainHere", Qt::DirectConnection);
}
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(startLinkEventsDrain)

void LinkEvents::startDrainHere() { startDrain(); }

void LinkEvents::deliverPending()
{
    LinkEvents *events = instance();
    if (!QCoreApplication::instance() || QThread::currentThread() != events->thread())
        return;
    if (t_linkLocks > 0)
        t_deliveryDeferred = true;
    else
        events->deliver();
}

// A receiver may report again (directly, or through a link lock of its own):
// the running loop takes that up after what came before it.
void LinkEvents::deliver()
{
    if (m_delivering)
        return;
    m_delivering = true;
    for (;;) {
        std::vector<int> codes;
        int health = -1;
        {
            QMutexLocker lock(&m_mutex);
            codes.swap(m_pending);
            if (m_health != m_toldHealth)
                health = m_toldHealth = m_health;
        }
        if (codes.empty() && health < 0)
            break;
        if (health >= 0)
            emit lineHealthChanged(health);
        for (int code : codes)
            emit showErrorInfo(code);
    }
    m_delivering = false;
}

void LinkEvents::report(int code)
{
    if (t_capture) {
        t_capture->m_codes.push_back(code);
        return;
    }
    if (t_linkLocks > 0) {
        t_pendingErrors.push_back(code);
        return;
    }
    instance()->record({code}, -1);
}

int LinkEvents::lineHealth()
{
    LinkEvents *events = instance();
    QMutexLocker lock(&events->m_mutex);
    return events->m_health;
}

void LinkEvents::noteExchange(bool answered)
{
    instance()->record({}, answered ? LineAnswered : LineFailed);
}

void LinkEvents::resetLineHealth() { instance()->record({}, LineUntried); }

LinkLockScope::LinkLockScope() { ++t_linkLocks; }

LinkLockScope::~LinkLockScope()
{
    if (--t_linkLocks > 0 || (t_pendingErrors.empty() && !t_deliveryDeferred))
        return;
    // A receiver may fail again and report; take the list first.
    std::vector<int> pending;
    pending.swap(t_pendingErrors);
    t_deliveryDeferred = false;
    if (!pending.empty())
        LinkEvents::instance()->record(pending, -1);
    else
        LinkEvents::deliverPending();
}

int LinkLockScope::heldByThisThread() { return t_linkLocks; }
