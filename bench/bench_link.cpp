// Exchanges per second of the Modbus RTU driver, on the scripted port and on
// a pseudo-terminal, and the overhead of one exchange above the floor the
// protocol sets (a 10 ms pause before the attempt, two 1 ms quiet polls).
#include "base/sharedstate.h"
#include "link/checksums.h"
#include "link/faketransport.h"
#include "link/linkstate.h"
#include "link/readwritertu.h"
#include "link/serialporttransport.h"
#include "simulator/simport.h"
#include "simulator/simptyserver.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>

namespace {
QByteArray answerFor(const QByteArray &request)
{
    QByteArray body = request.left(2) + QByteArray(1, 2) + request.mid(2, 2);
    const quint16 crc = modbusCrc(body);
    return body.append(char(crc & 0xFF)).append(char(crc >> 8));
}

void report(const char *what, int count, qint64 nsecs, double floorMs)
{
    const double perExchangeMs = nsecs / 1e6 / count;
    std::printf("%-32s %6d exchanges  %8.1f /s  %7.3f ms each  floor %6.3f ms  overhead %6.3f ms\n",
                what, count, count / (nsecs / 1e9), perExchangeMs, floorMs,
                perExchangeMs - floorMs);
}

int run(ReadWrite &driver, int count)
{
    int failures = 0;
    for (int i = 0; i < count; ++i)
        if (driver.readRegister(i % 1000, 1) != i % 1000)
            ++failures;
    return failures;
}

void onFake(ReadWrite &driver, int count)
{
    auto fake = std::make_shared<FakeTransport>();
    fake->open();
    fake->setRealTime(true);
    fake->setResponder(
        [](const QByteArray &req) { return QList<FakeTransport::Reply>{{answerFor(req), 0, 0}}; });
    linkState().setSerialPort(fake);
    QElapsedTimer t;
    t.start();
    const int failures = run(driver, count);
    report("scripted port (real-time polls)", count, t.nsecsElapsed(), 10 + 3);
    if (failures)
        std::printf("  %d failures\n", failures);
}

void onPty(ReadWrite &driver, int count)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::printf("no pseudo-terminal available\n");
        return;
    }
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    std::atomic<bool> stop{false};
    std::thread peer([&] {
        QByteArray pending;
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN))
                continue;
            char buf[256];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0)
                pending.append(buf, int(n));
            while (pending.size() >= 8) {
                const QByteArray a = answerFor(pending.left(8));
                pending.remove(0, 8);
                if (::write(master, a.constData(), size_t(a.size())) < 0)
                    break;
            }
        }
    });
    auto port = std::make_shared<SerialPortTransport>(slave);
    port->applySettings(LineSettings{});
    if (port->open()) {
        linkState().setSerialPort(port);
        QElapsedTimer t;
        t.start();
        const int failures = run(driver, count);
        report("pseudo-terminal (9600 8N1)", count, t.nsecsElapsed(), 10 + 3);
        if (failures)
            std::printf("  %d failures\n", failures);
        linkState().setSerialPort(nullptr);
    } else {
        std::printf("cannot open %s\n", qPrintable(slave));
    }
    stop = true;
    peer.join();
    ::close(master);
}
// The simulated drive with real byte timing: an exchange should take the
// 10 ms pause, the wire time of request and answer, the turnaround and the
// polls, and not much more.
std::shared_ptr<SimulatedLine> simulatedLine(int baud)
{
    auto line = std::make_shared<SimulatedLine>(1, 0);
    line->addDrive(std::make_shared<SimulatedDrive>(1, "ZM-043-7.5K"));
    LineSettings s;
    s.baudRate = baud;
    line->setLineSettings(s);
    return line;
}

int readSimulated(ReadWrite &driver, int count)
{
    int failures = 0;
    for (int i = 0; i < count; ++i)
        if (driver.readRegister(7, 0.1) != 5.0)
            ++failures;
    return failures;
}

void onSimulatedDrive(ReadWrite &driver, int count, int baud)
{
    auto line = simulatedLine(baud);
    auto port = std::make_shared<SimPort>(line);
    port->applySettings(line->lineSettings());
    port->open();
    linkState().setSerialPort(port);
    const double wire = 15 * line->characterMs();
    const double floor = 10 + wire + line->turnaroundMs() + 3;
    QElapsedTimer t;
    t.start();
    const int failures = readSimulated(driver, count);
    char what[64];
    std::snprintf(what, sizeof what, "sim port %d baud (wire %.2f ms)", baud, wire);
    report(what, count, t.nsecsElapsed(), floor);
    if (failures)
        std::printf("  %d failures\n", failures);
    linkState().setSerialPort(nullptr);
}

void onSimulatedPty(ReadWrite &driver, int count, int baud)
{
    auto line = simulatedLine(baud);
    SimPtyServer server(line);
    QString error;
    if (!server.open(QString(), &error)) {
        std::printf("%s\n", qPrintable(error));
        return;
    }
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.serve(stop); });
    auto port = std::make_shared<SerialPortTransport>(server.slavePath());
    port->applySettings(line->lineSettings());
    if (port->open()) {
        linkState().setSerialPort(port);
        const double wire = 7 * line->characterMs();  // the request arrives at once on a pty
        const double floor = 10 + wire + line->turnaroundMs() + 3;
        QElapsedTimer t;
        t.start();
        const int failures = readSimulated(driver, count);
        char what[64];
        std::snprintf(what, sizeof what, "simulate pty %d baud (answer %.2f ms)", baud, wire);
        report(what, count, t.nsecsElapsed(), floor);
        if (failures)
            std::printf("  %d failures\n", failures);
        linkState().setSerialPort(nullptr);
    }
    stop = true;
    serving.join();
}
}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    QTemporaryDir dir;
    QFile(dir.filePath("InvType")).exists() || QDir(dir.path()).mkpath("InvType");
    QFile empty(dir.filePath("InvType/FNC.txt"));
    empty.open(QIODevice::WriteOnly);
    empty.close();
    setDataDirectory(dir.path());
    linkState().setStation(1);
    std::printf("Floor: 10 ms pause + one poll that sees the answer + two quiet polls of 1 ms.\n");
    ReadWriteRTU driver;
    driver.setProtocol(1);
    onFake(driver, count);
    onPty(driver, count);
    for (int baud : {9600, 115200}) {
        onSimulatedDrive(driver, count, baud);
        onSimulatedPty(driver, count, baud);
    }
    return 0;
}
