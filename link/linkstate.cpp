#include "linkstate.h"

#include "base/sharedstate.h"
#include "readwrite.h"
#include "transport.h"

#include <QMutex>

#include <array>
#include <vector>

namespace {
thread_local std::array<bool, OperationSwitch::KindCount> t_switches{};
thread_local int t_linkLocks = 0;
thread_local std::vector<int> t_pendingErrors;
}  // namespace

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

namespace {
std::atomic<ReadWrite *> g_current{nullptr};
QMutex g_retiredMutex;
std::vector<std::unique_ptr<ReadWrite>> &retiredDrivers()
{
    static std::vector<std::unique_ptr<ReadWrite>> drivers;
    return drivers;
}
}  // namespace

ReadWrite *currentDriver() { return g_current.load(); }

void setCurrentDriver(ReadWrite *driver)
{
    QMutexLocker lock(&g_retiredMutex);
    if (driver)
        retiredDrivers().emplace_back(driver);
    g_current.store(driver);
    lock.unlock();
    emit LinkEvents::instance()->linkChanged();
}

LinkEvents *LinkEvents::instance()
{
    static LinkEvents events;
    return &events;
}

void LinkEvents::report(int code)
{
    if (t_linkLocks > 0) {
        t_pendingErrors.push_back(code);
        return;
    }
    emit instance()->showErrorInfo(code);
}

namespace {
std::atomic<int> g_lineHealth{LinkEvents::LineUntried};
}

int LinkEvents::lineHealth() { return g_lineHealth.load(); }

void LinkEvents::noteExchange(bool answered)
{
    const int health = answered ? LineAnswered : LineFailed;
    if (g_lineHealth.exchange(health) != health)
        emit instance()->lineHealthChanged(health);
}

void LinkEvents::resetLineHealth()
{
    if (g_lineHealth.exchange(LineUntried) != LineUntried)
        emit instance()->lineHealthChanged(LineUntried);
}

LinkLockScope::LinkLockScope() { ++t_linkLocks; }

LinkLockScope::~LinkLockScope()
{
    if (--t_linkLocks > 0 || t_pendingErrors.empty())
        return;
    // A receiver may fail again and report; take the list first.
    std::vector<int> pending;
    pending.swap(t_pendingErrors);
    for (int code : pending)
        emit LinkEvents::instance()->showErrorInfo(code);
}

int LinkLockScope::heldByThisThread() { return t_linkLocks; }
