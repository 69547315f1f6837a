#pragma once

#include <QString>

#include <atomic>
#include <memory>

class SimulatedLine;

// Serves a simulated line on a new pseudo-terminal, so that programs outside
// this process (other Modbus masters, a second copy of the program) can talk
// to the simulated drives as to a serial port.
class SimPtyServer
{
public:
    explicit SimPtyServer(std::shared_ptr<SimulatedLine> line, bool fast = false);
    ~SimPtyServer();

    // Creates the pseudo-terminal and, when `linkPath` is given, a symbolic
    // link to it. Returns false with `error` set when that fails.
    bool open(const QString &linkPath, QString *error);
    QString slavePath() const { return m_slavePath; }

    // Answers requests until `stop` becomes true.
    void serve(const std::atomic<bool> &stop);

private:
    void answer(const QByteArray &frame);
    void writePaced(const QByteArray &bytes, double delayMs, double intervalMs);

    std::shared_ptr<SimulatedLine> m_line;
    bool m_fast;
    int m_master = -1;
    QString m_slavePath;
    QString m_linkPath;
};
