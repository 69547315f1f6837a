#pragma once

#include "link/faketransport.h"

#include <memory>

class SimulatedLine;

// The virtual port "sim": the program's side of a simulated line. Answers
// arrive byte by byte with the line's timing; in fast mode that timing runs on
// the port's own clock and costs no real time (for tests).
class SimPort : public FakeTransport
{
public:
    explicit SimPort(std::shared_ptr<SimulatedLine> line, bool fast = false);

    QString portName() const override { return QStringLiteral("sim"); }
    bool applySettings(const LineSettings &settings) override;
    std::shared_ptr<SimulatedLine> line() const { return m_line; }

private:
    std::shared_ptr<SimulatedLine> m_line;
};
