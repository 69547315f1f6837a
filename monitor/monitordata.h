#pragma once

#include <QtGlobal>

#include <array>
#include <atomic>

// The live values the monitor thread reads and the pages show: 24 values and
// the request flags of the dial page and the trend page. Each entry is read
// and written from two threads, so each is atomic on its own.
class MonitorData
{
public:
    static constexpr int kSize = 24;

    double value(int k) const { return valid(k) ? m_values[k].load() : 0; }
    void setValue(int k, double v)
    {
        if (valid(k))
            m_values[k].store(v);
    }
    bool dialFlag(int k) const { return valid(k) && m_dialFlags[k].load() != 0; }
    void setDialFlag(int k, bool on)
    {
        if (valid(k))
            m_dialFlags[k].store(on ? 1 : 0);
    }
    bool trendFlag(int k) const { return valid(k) && m_trendFlags[k].load() != 0; }
    void setTrendFlag(int k, bool on)
    {
        if (valid(k))
            m_trendFlags[k].store(on ? 1 : 0);
    }
    // All values and flags back to zero.
    void reset();

private:
    static bool valid(int k) { return k >= 0 && k < kSize; }

    std::array<std::atomic<double>, kSize> m_values{};
    std::array<std::atomic<quint8>, kSize> m_dialFlags{};
    std::array<std::atomic<quint8>, kSize> m_trendFlags{};
};

// The one process-wide instance.
MonitorData &monitorData();
