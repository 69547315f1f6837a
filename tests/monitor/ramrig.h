#pragma once

#include "link/driverregistry.h"
#include "common/testsupport.h"
#include "link/driverfactory.h"
#include "link/frameobserver.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "monitor/ramthread.h"

#include <QMutex>
#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

// The requests put on the line: (address, count) of each read frame.
class RequestLog : public FrameObserver
{
public:
    void frameSent(const QByteArray &frame, int, FrameForm form) override
    {
        if (form == FrameForm::Text) {
            // ':' station, function, address and count in hex digits.
            if (frame.size() < 13 || frame.mid(3, 2) != "03")
                return;
            QMutexLocker lock(&m_mutex);
            m_reads.push_back({frame.mid(5, 4).toInt(nullptr, 16), frame.mid(9, 4).toInt(nullptr, 16)});
            return;
        }
        if (frame.size() < 6 || frame.at(1) != 0x03)
            return;
        QMutexLocker lock(&m_mutex);
        m_reads.push_back({quint8(frame.at(2)) << 8 | quint8(frame.at(3)),
                        quint8(frame.at(4)) << 8 | quint8(frame.at(5))});
    }
    void frameReceived(const QByteArray &, int, FrameForm) override {}
    // A copy of its own, built under the lock: the reading thread goes on
    // appending, and an implicitly shared list would be handed across.
    QList<QPair<int, int>> reads() const
    {
        QMutexLocker lock(&m_mutex);
        return QList<QPair<int, int>>(m_reads.begin(), m_reads.end());
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_reads.clear();
    }

private:
    mutable QMutex m_mutex;
    std::vector<QPair<int, int>> m_reads;
};

// A simulated ZN at station 1 on a Modbus RTU line, with a current RTU
// driver and a log of the requests. Its clock stands still unless moved;
// `fast` lines cost no real time, slow ones time answers (and silence) as
// the wire would.
struct RamRig {
    std::shared_ptr<SimulatedLine> line;
    std::shared_ptr<SimulatedDrive> drive;
    std::shared_ptr<SimPort> port;
    std::shared_ptr<RequestLog> log = std::make_shared<RequestLog>();

    // `protocol` as the link counts it: 1 Modbus RTU, 2 Modbus ASCII.
    explicit RamRig(bool fast = true, int protocol = 1)
    {
        line = std::make_shared<SimulatedLine>(
            protocol == 2 ? SlaveProtocol::Ascii : SlaveProtocol::Rtu, 2);
        drive = makeSimulatedDrive(1, QStringLiteral("ZN-020-5.5K"));
        drive->setManualClock(true);
        line->addDrive(drive);
        port = std::make_shared<SimPort>(line, fast);
        port->open();
        LinkState &link = linkState();
        link.setSerialPort(nullptr);
        link.reset();
        link.protocolCode = quint8(protocol);
        link.setStation(1);
        link.setSerialPort(port);
        link.addFrameObserver(log);
        setCurrentDriver(createDriver(protocol));
    }
    ~RamRig()
    {
        // A reader let go of during the test may still be inside its
        // exchange: it ends before the log and the line go.
        RamThread::deleteRetired();
        linkState().removeFrameObserver(log);
        linkState().setSerialPort(nullptr);
    }
    void breakLine()
    {
        SimFaults dead;
        dead.noAnswer = true;
        line->setFaults(1, dead);
    }
    void mendLine() { line->setFaults(1, SimFaults()); }
    // The free-running byte at the start of each memory window: advanced
    // to `value` (the drive counts in 10 ms steps).
    void setCounter(int value) { drive->advance(value * 10.0); }
};

// The rig's line with a slow answer on demand: once armed, the next request
// is answered kLateMs of real time later (the drive's answer is made at the
// end of that time, so it carries what the drive holds then).
class LateLine
{
public:
    static constexpr int kLateMs = 1500;

    explicit LateLine(RamRig &rig) : m_state(std::make_shared<State>())
    {
        std::shared_ptr<SimulatedLine> line = rig.line;
        std::shared_ptr<State> state = m_state;
        rig.port->setResponder([line, state](const QByteArray &request) {
            if (state->armed.exchange(false)) {
                state->holding = true;
                QThread::msleep(kLateMs);
                const auto answer = line->respond(request);
                state->holding = false;
                state->answered = true;
                return answer;
            }
            return line->respond(request);
        });
    }
    void arm() { m_state->armed = true; }
    // The armed request has come and its answer is being held.
    bool holding() const { return m_state->holding; }
    // The held answer has been given.
    bool answered() const { return m_state->answered; }

private:
    struct State {
        std::atomic<bool> armed{false};
        std::atomic<bool> holding{false};
        std::atomic<bool> answered{false};
    };
    std::shared_ptr<State> m_state;
};
