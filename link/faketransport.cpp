#include "faketransport.h"

#include <QThread>

#include <algorithm>

FakeTransport::FakeTransport() = default;

void FakeTransport::enqueueReply(const Reply &reply)
{
    QMutexLocker lock(&m_mutex);
    m_queue.append(reply);
}

void FakeTransport::enqueueReply(const QByteArray &bytes, double delayMs, double byteIntervalMs)
{
    enqueueReply(Reply{bytes, delayMs, byteIntervalMs});
}

void FakeTransport::enqueueSilence() { enqueueReply(Reply{}); }

void FakeTransport::setResponder(Responder responder)
{
    QMutexLocker lock(&m_mutex);
    m_responder = std::move(responder);
}

void FakeTransport::injectBytes(const QByteArray &bytes, double delayMs)
{
    QMutexLocker lock(&m_mutex);
    schedule(bytes, m_now + delayMs, 0);
}

QList<QByteArray> FakeTransport::writes() const
{
    QMutexLocker lock(&m_mutex);
    return m_writes;
}

QList<QByteArray> FakeTransport::takeWrites()
{
    QMutexLocker lock(&m_mutex);
    QList<QByteArray> taken;
    taken.swap(m_writes);
    m_stats.clear();
    return taken;
}

void FakeTransport::clearWrites()
{
    QMutexLocker lock(&m_mutex);
    m_writes.clear();
    m_stats.clear();
}

QList<AnswerReadStats> FakeTransport::readStats() const
{
    QMutexLocker lock(&m_mutex);
    return m_stats;
}

double FakeTransport::nowMs() const
{
    QMutexLocker lock(&m_mutex);
    return m_now;
}

bool FakeTransport::open()
{
    QMutexLocker lock(&m_mutex);
    m_open = !m_openFails;
    return m_open;
}

void FakeTransport::close()
{
    QMutexLocker lock(&m_mutex);
    m_open = false;
}

bool FakeTransport::isOpen() const
{
    QMutexLocker lock(&m_mutex);
    return m_open;
}

QString FakeTransport::errorString() const
{
    return isOpen() ? QString() : QStringLiteral("The fake port is closed");
}

bool FakeTransport::applySettings(const LineSettings &settings)
{
    QMutexLocker lock(&m_mutex);
    m_settings = settings;
    m_pollMs = settings.baudRate == 4800 ? 2 : 1;
    return true;
}

LineSettings FakeTransport::settings() const
{
    QMutexLocker lock(&m_mutex);
    return m_forced && m_open ? m_forcedSettings : m_settings;
}

void FakeTransport::setRecording(bool on)
{
    QMutexLocker lock(&m_mutex);
    m_recording = on;
}

void FakeTransport::setForcedSettings(const LineSettings &forced)
{
    QMutexLocker lock(&m_mutex);
    m_forced = true;
    m_forcedSettings = forced;
}

int FakeTransport::transact(const QByteArray &frame, int wanted, char *buf, int bufSize,
                            const AnswerTest &shortWhole)
{
    if (m_active.fetch_add(1) > 0)
        m_overlaps.fetch_add(1);
    AnswerReadStats stats;
    int n = -1;
    if (isOpen())
        n = transactOn(*this, frame, wanted, buf, bufSize, &stats, shortWhole);
    if (stats.timedOut)
        m_unsettled = true;
    {
        QMutexLocker lock(&m_mutex);
        if (m_recording)
            m_stats.append(stats);
    }
    m_active.fetch_sub(1);
    return n;
}

void FakeTransport::settle()
{
    if (!m_unsettled.exchange(false) || !isOpen())
        return;
    const int polls = settleLine(*this);
    if (polls > 0)
        m_settlePolls.fetch_add(polls);
}

void FakeTransport::schedule(const QByteArray &bytes, double start, double interval)
{
    for (int i = 0; i < bytes.size(); ++i)
        m_pending.push_back(Timed{bytes.at(i), start + i * interval});
    std::stable_sort(m_pending.begin(), m_pending.end(),
                     [](const Timed &a, const Timed &b) { return a.at < b.at; });
}

void FakeTransport::discardInput()
{
    QMutexLocker lock(&m_mutex);
    while (!m_pending.empty() && m_pending.front().at <= m_now)
        m_pending.pop_front();
}

bool FakeTransport::writeAll(const QByteArray &frame)
{
    if (m_failWrites)
        return false;
    Responder responder;
    QList<Reply> replies;
    {
        QMutexLocker lock(&m_mutex);
        if (m_recording)
            m_writes.append(frame);
        if (!m_queue.isEmpty())
            replies.append(m_queue.takeFirst());
        else
            responder = m_responder;
    }
    if (responder)
        replies = responder(frame);
    QMutexLocker lock(&m_mutex);
    for (const Reply &r : replies)
        schedule(r.bytes, m_now + r.delayMs, r.byteIntervalMs);
    return true;
}

void FakeTransport::waitMs(int ms)
{
    if (m_realTime)
        QThread::msleep(ulong(ms));
    QMutexLocker lock(&m_mutex);
    m_now += ms;
}

qint64 FakeTransport::bytesWaiting()
{
    QMutexLocker lock(&m_mutex);
    qint64 count = 0;
    for (const Timed &t : m_pending) {
        if (t.at > m_now)
            break;
        ++count;
    }
    return count;
}

qint64 FakeTransport::readInto(char *buf, qint64 max)
{
    QMutexLocker lock(&m_mutex);
    qint64 taken = 0;
    while (taken < max && !m_pending.empty() && m_pending.front().at <= m_now) {
        buf[taken++] = m_pending.front().byte;
        m_pending.pop_front();
    }
    return taken;
}

qint64 FakeTransport::peekInto(char *buf, qint64 max)
{
    QMutexLocker lock(&m_mutex);
    qint64 seen = 0;
    for (const Timed &t : m_pending) {
        if (seen >= max || t.at > m_now)
            break;
        buf[seen++] = t.byte;
    }
    return seen;
}
