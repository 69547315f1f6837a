#include "sampleclock.h"

#include <QElapsedTimer>

#include <memory>

SampleClock::SampleClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    m_nowMs = [timer] { return timer->elapsed(); };
}

void SampleClock::setSource(std::function<qint64()> nowMs)
{
    m_nowMs = std::move(nowMs);
    restart();
}

void SampleClock::restart() { m_originMs = m_nowMs(); }

double SampleClock::seconds() const { return double(m_nowMs() - m_originMs) / 1000.0; }
