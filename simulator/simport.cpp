#include "simport.h"

#include "simulatedline.h"

SimPort::SimPort(std::shared_ptr<SimulatedLine> line, bool fast) : m_line(std::move(line))
{
    setRealTime(!fast);
    std::shared_ptr<SimulatedLine> target = m_line;
    setResponder([target](const QByteArray &request) { return target->respond(request); });
}

bool SimPort::applySettings(const LineSettings &settings)
{
    m_line->setLineSettings(settings);
    return FakeTransport::applySettings(settings);
}
