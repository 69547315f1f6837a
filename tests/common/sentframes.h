#pragma once

#include "link/frameobserver.h"

#include <QCoreApplication>
#include <QList>
#include <QMutex>
#include <QThread>

// The frames the program sends, as the simulated drive receives them.
class SentFrames : public FrameObserver
{
public:
    void frameSent(const QByteArray &frame, int station, FrameForm) override
    {
        QMutexLocker lock(&mutex);
        frames.append(frame);
        stations.append(station);
        onGuiThread.append(QThread::currentThread() == QCoreApplication::instance()->thread());
    }
    int stationOfLast()
    {
        QMutexLocker lock(&mutex);
        return stations.isEmpty() ? -1 : stations.last();
    }
    void frameReceived(const QByteArray &, int, FrameForm) override {}
    QByteArray lastWithFunction(char function)
    {
        QMutexLocker lock(&mutex);
        for (int i = frames.size() - 1; i >= 0; --i)
            if (frames.at(i).size() > 1 && frames.at(i).at(1) == function)
                return frames.at(i);
        return QByteArray();
    }
    int count()
    {
        QMutexLocker lock(&mutex);
        return frames.size();
    }
    QMutex mutex;
    QList<QByteArray> frames;
    QList<int> stations;
    QList<bool> onGuiThread;
};
