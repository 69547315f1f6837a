#pragma once

#include "link/frameobserver.h"

#include <QList>
#include <QMutex>

#include <functional>

// The station of every frame sent; calls `onSent` after each one, on the
// thread that sent it (between two exchanges of a job, as a click would come).
class StationLog : public FrameObserver
{
public:
    std::function<void(int sent)> onSent;

    void frameSent(const QByteArray &, int station, FrameForm) override
    {
        int count = 0;
        {
            QMutexLocker lock(&m_mutex);
            m_stations.append(station);
            count = m_stations.size();
        }
        if (onSent)
            onSent(count);
    }
    void frameReceived(const QByteArray &, int, FrameForm) override {}
    QList<int> stations() const
    {
        QMutexLocker lock(&m_mutex);
        return m_stations;
    }
    int sent() const { return stations().size(); }

private:
    mutable QMutex m_mutex;
    QList<int> m_stations;
};
