#include "monitordata.h"

void MonitorData::reset()
{
    for (int k = 0; k < kSize; ++k) {
        m_values[k].store(0);
        m_dialFlags[k].store(0);
        m_trendFlags[k].store(0);
    }
}

MonitorData &monitorData()
{
    static MonitorData data;
    return data;
}
