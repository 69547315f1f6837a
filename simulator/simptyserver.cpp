#include "simptyserver.h"

#include "simulatedline.h"

#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

// The baud rate of a terminal's settings; 0 for one not listed.
int baudOf(speed_t speed)
{
    static const struct {
        speed_t code;
        int baud;
    } kSpeeds[] = {{B1200, 1200},   {B2400, 2400},   {B4800, 4800},     {B9600, 9600},
                   {B19200, 19200}, {B38400, 38400}, {B57600, 57600},   {B115200, 115200},
                   {B230400, 230400}};
    for (const auto &s : kSpeeds)
        if (s.code == speed)
            return s.baud;
    return 0;
}
}  // namespace

SimPtyServer::SimPtyServer(std::shared_ptr<SimulatedLine> line, bool fast)
    : m_line(std::move(line)), m_fast(fast)
{
}

SimPtyServer::~SimPtyServer()
{
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
    if (m_master >= 0)
        ::close(m_master);
}

bool SimPtyServer::open(const QString &linkPath, QString *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal");
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    // The terminal starts raw, so that every byte passes unchanged before
    // a client sets its own line settings; the slave is not kept open (a
    // second opener of the same terminal holds back a client's output on
    // some kernels).
    const int slave = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        termios t{};
        if (tcgetattr(slave, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(slave, TCSANOW, &t);
        }
        ::close(slave);
    }
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        if (!QFile::link(m_slavePath, linkPath)) {
            *error = QStringLiteral("cannot create the link %1").arg(linkPath);
            return false;
        }
        m_linkPath = linkPath;
    }
    return true;
}

void SimPtyServer::serve(const std::atomic<bool> &stop)
{
    auto lastByte = Clock::now();
    bool partial = false;
    while (!stop) {
        pollfd p{m_master, POLLIN, 0};
        const int ready = ::poll(&p, 1, 20);
        const double gapMs = std::max(2.0, 3.5 * m_line->characterMs());
        if (ready > 0 && !(p.revents & POLLIN)) {
            // No client on the other side (hang-up): wait for the next one.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        if (ready <= 0) {
            // A frame broken off by silence is dropped, as a drive does.
            const double quiet =
                std::chrono::duration<double, std::milli>(Clock::now() - lastByte).count();
            if (partial && quiet > gapMs) {
                m_line->resetInput();
                partial = false;
            }
            continue;
        }
        char buf[512];
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n <= 0)
            continue;
        lastByte = Clock::now();
        const QList<QByteArray> frames = m_line->frames(QByteArray(buf, int(n)));
        for (const QByteArray &frame : frames)
            answer(frame);
        partial = true;
    }
}

void SimPtyServer::answer(const QByteArray &frame)
{
    // The client's side of the terminal keeps the baud rate it set (the
    // master end reads the same settings); the drives hear a request sent at
    // another rate as noise.
    termios t{};
    if (tcgetattr(m_master, &t) == 0) {
        if (const int baud = baudOf(cfgetospeed(&t))) {
            LineSettings s = m_line->lineSettings();
            s.baudRate = baud;
            m_line->setLineSettings(s);
        }
    }
    for (const FakeTransport::Reply &reply : m_line->respond(frame)) {
        // The request has already arrived; what is left of the delay is the
        // drive's turnaround.
        const double turnaround = reply.delayMs - frame.size() * m_line->characterMs();
        writePaced(reply.bytes, std::max(0.0, turnaround), reply.byteIntervalMs);
    }
}

void SimPtyServer::writePaced(const QByteArray &bytes, double delayMs, double intervalMs)
{
    if (m_fast) {
        if (::write(m_master, bytes.constData(), size_t(bytes.size())) < 0)
            return;
        return;
    }
    const auto start = Clock::now();
    for (int i = 0; i < bytes.size(); ++i) {
        const auto due = start + std::chrono::microseconds(
                                     qint64((delayMs + i * intervalMs) * 1000));
        std::this_thread::sleep_until(due);
        if (::write(m_master, bytes.constData() + i, 1) < 0)
            return;
    }
}
