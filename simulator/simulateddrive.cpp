#include "simulateddrive.h"

#include "simregisters.h"

#include "base/series.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

using namespace SimRegisters;

namespace {
constexpr double kSqrt3 = 1.7320508;
constexpr double kPowerFactor = 0.85;
constexpr double kMaxStep = 0.05;  // seconds per physics step
constexpr int kHistoryDepth = 12;

// The version a series ships with when none is given.
double defaultVersion(char series)
{
    switch (series) {
    case 'A': return 0.10;
    case 'B': return 0.40;
    case 'C': return 0.40;
    case 'E': return 1.00;
    case 'F': return 1.00;
    case 'G': return 0.33;
    case 'H': return 0.10;
    case 'L': return 0.14;
    case 'S': return 1.10;
    case 'T': return 0.43;
    case 'X': return 0.60;
    default: return 1.00;
    }
}

// Register 188 as the series stores its version (the reader divides some by ten).
quint16 versionRegister(char series, double v)
{
    const bool fine = series == 'A' || series == 'L' || (series == 'G' && v > 0.3 + 1e-9) ||
                      (series == 'T' && v > 0.41 + 1e-9) || (series == 'X' && v >= 0.6 - 1e-9);
    return quint16(std::lround(v * (fine ? 1000 : 100)));
}

struct IdentityRange {
    char series;
    int first;
    int last;
};
const IdentityRange kIdentity[] = {
    {'F', 301, 360}, {'G', 401, 460}, {'X', 401, 460}, {'T', 401, 460}, {'B', 201, 231},
    {'C', 201, 231}, {'S', 201, 231}, {'E', 201, 260}, {'L', 701, 760}, {'A', 1401, 1460},
};

bool isCommunicationParameter(int n)
{
    static const int kComms[] = {32, 33, 48, 49, 50, 51, 52, 53, 153, 154, 170, 171, 172, 173};
    return std::find(std::begin(kComms), std::end(kComms), n) != std::end(kComms);
}
}  // namespace

SimulatedDrive::SimulatedDrive(int station, const QString &model, double version)
    : m_station(station), m_model(model.simplified())
{
    m_series = seriesLetterForModel(m_model, 'F');
    m_version = version > 0 ? version : defaultVersion(m_series);
    const QStringList parts = m_model.split(QRegularExpression("-|/"), Qt::SkipEmptyParts);
    if (parts.size() >= 3)
        m_capacity = parts.at(2).left(parts.at(2).size() - 1).toDouble();
    if (m_capacity <= 0)
        m_capacity = 0.75;
    const QString voltage = parts.value(1);
    m_voltageClass = voltage.size() >= 2 && voltage.at(1) == QLatin1Char('2') ? 220 : 440;
    m_wall.start();
    seedParameters();
    seedIdentity();
}

void SimulatedDrive::seedParameters()
{
    auto def = [this](int n, int value, int digits, int min = 0, int max = 0xFFFF) {
        Parameter p;
        p.value = p.defaultValue = quint16(value);
        p.digits = digits;
        p.minimum = quint16(min);
        p.maximum = quint16(max);
        m_parameters.insert(n, p);
    };
    def(0, 40, 1, 0, 300);              // torque boost, 0.1 %
    def(1, 12000, 2, 0, 40000);         // maximum frequency
    def(2, 0, 2, 0, 12000);             // minimum frequency
    def(3, 5000, 2, 0, 65000);          // base frequency
    def(4, 5000, 2, 0, 40000);          // speeds high, middle, low
    def(5, 3000, 2, 0, 40000);
    def(6, 1000, 2, 0, 40000);
    def(7, m_capacity < 11 ? 50 : 150, 1, 0, 36000);  // acceleration time, 0.1 s
    def(8, m_capacity < 11 ? 50 : 150, 1, 0, 36000);  // deceleration time
    def(9, int(ratedCurrent() * 100), 2, 0, 50000);   // electronic thermal current
    def(15, 500, 2, 0, 40000);          // jog frequency
    def(16, 5, 1, 0, 36000);            // jog acceleration time
    def(20, 5000, 2, 100, 40000);       // acceleration reference frequency
    def(32, 1, 0, 0, 5);                // communication speed
    def(33, 0, 0, 0, 1);                // protocol
    def(42, 600, 2, 0, 40000);          // frequency detection level
    def(48, 1, 0, 0, 1);
    def(49, 0, 0, 0, 1);
    def(50, 0, 0, 0, 2);
    def(51, 1, 0, 0, 2);
    def(77, 0, 0, 0, 9999);             // write guard
    if (m_series == 'A')                // PWM carrier frequency, whole kHz, lower on big drives
        def(72, m_capacity < 37 ? 5 : m_capacity < 132 ? 4 : 2, 0, 1, 15);
    def(186, 0, 0, 0, 1);               // rating selection of dual-rated models
    def(187, 0, 0, 0, 1);               // frequency resolution of the alarm data
}

void SimulatedDrive::seedIdentity()
{
    // P.56 starts at the rated current, which the identity read takes from it:
    // 0.01 A, 0.1 A on big ZM-K drives, whole amperes on ZN.
    Parameter current;
    current.digits = m_series == 'H' ? 0 : bigCapacity() && m_series == 'G' ? 1 : 2;
    current.value = current.defaultValue =
        quint16(std::lround(ratedCurrent() * std::pow(10.0, current.digits)));
    m_parameters.insert(56, current);
    m_fixed.insert(188, versionRegister(m_series, m_version));
    const int voltageCode = m_voltageClass < 300 ? 2 : 3;
    m_fixedDigits.insert(188, 2);
    if (m_series == 'H') {
        m_fixedDigits.insert(300, 2);
        m_fixedDigits.insert(199, 2);
        m_fixed.insert(300, quint16(std::lround(m_capacity * 100)));
        m_fixed.insert(301, quint16(m_voltageClass < 300 ? 220 : 440));
        // The firmware keeps its version x 100 in the integer part of P.199 (0.01 steps).
        m_fixed.insert(199, quint16(std::lround(m_version * 10000)));
        return;
    }
    for (const IdentityRange &r : kIdentity) {
        if (r.series != m_series)
            continue;
        m_fixed.insert(r.first, quint16(voltageCode));
        m_fixed.insert(r.first + 1, quint16(std::lround(m_capacity * 100)));
        m_fixed.insert(r.last, quint16(std::lround(m_version * 100)));
        m_fixedDigits.insert(r.first + 1, 2);
        m_fixedDigits.insert(r.last, 2);
    }
}

double SimulatedDrive::ratedCurrent() const
{
    return m_capacity * 1000 / (kSqrt3 * m_voltageClass * kPowerFactor * 0.9);
}

// A parameter's value in its unit (P.7 in seconds whatever its resolution).
double SimulatedDrive::param(int number, double fallback) const
{
    const auto it = m_parameters.constFind(number);
    if (it == m_parameters.constEnd() || it->value == 0xFFFF)
        return fallback;
    return it->value * std::pow(10.0, -it->digits);
}

double SimulatedDrive::targetHz() const
{
    if (m_direction == 0 || m_tripped)
        return 0;
    const double hz = m_mode == 2 ? param(15, 5) : m_frequencyCommand * 0.01;
    return std::min(hz, param(1, 400));
}

double SimulatedDrive::outputVoltage() const
{
    const double f = std::fabs(m_signedHz);
    if (f <= 0)
        return 0;
    const double base = std::max(param(3, 50), 1.0);
    const double boost = param(0, 4) / 100 * m_voltageClass;
    return std::min(m_voltageClass, boost + (m_voltageClass - boost) * f / base);
}

double SimulatedDrive::outputCurrent() const
{
    const double f = std::fabs(m_signedHz);
    if (f <= 0)
        return 0;
    const double base = std::max(param(3, 50), 1.0);
    const double accelerating = std::fabs(m_signedHz) > std::fabs(m_previousHz) + 1e-6 ? 0.4 : 0;
    return ratedCurrent() * (0.35 + 0.45 * std::min(f / base, 1.5) + accelerating);
}

double SimulatedDrive::dcBusVoltage() const
{
    const double regenerating =
        std::fabs(m_signedHz) + 1e-6 < std::fabs(m_previousHz) ? 0.12 : 0;
    return m_voltageClass * 1.414 * (1 + regenerating);
}

void SimulatedDrive::setManualClock(bool manual)
{
    QMutexLocker lock(&m_mutex);
    m_manualClock = manual;
    m_lastUpdateMs = manual ? m_clockMs : double(m_wall.elapsed());
}

void SimulatedDrive::advance(double ms)
{
    QMutexLocker lock(&m_mutex);
    m_clockMs += ms;
    update();
}

void SimulatedDrive::update()
{
    const double now = m_manualClock ? m_clockMs : double(m_wall.nsecsElapsed()) / 1e6;
    double seconds = (now - m_lastUpdateMs) / 1000;
    m_lastUpdateMs = now;
    while (seconds > 1e-9) {
        const double dt = std::min(seconds, kMaxStep);
        step(dt);
        seconds -= dt;
    }
}

void SimulatedDrive::step(double dt)
{
    m_previousHz = m_signedHz;
    if (m_tripped) {
        m_signedHz = 0;
        m_direction = 0;
    }
    const double target = m_direction * targetHz();
    const double reference = std::max(param(20, 50), 1.0);
    const bool jog = m_mode == 2;
    const double accel = std::max(jog ? param(16, 0.5) : param(7, 5), 0.1);
    const double decel = std::max(jog ? param(16, 0.5) : param(8, 5), 0.1);
    const bool speedingUp = std::fabs(target) > std::fabs(m_signedHz) &&
                            (m_signedHz == 0 || (target > 0) == (m_signedHz > 0));
    const double rate = reference / (speedingUp ? accel : decel);
    if (m_signedHz < target)
        m_signedHz = std::min(target, m_signedHz + rate * dt);
    else if (m_signedHz > target)
        m_signedHz = std::max(target, m_signedHz - rate * dt);

    const double load = ratedCurrent() > 0 ? outputCurrent() / ratedCurrent() : 0;
    m_thermal += (100 * load * load - m_thermal) * std::min(1.0, dt / 60);
    m_temperature += (80 * load - m_temperature) * std::min(1.0, dt / 300);
    if (std::fabs(m_signedHz) > 0) {
        m_runSeconds += dt;
        m_continuousSeconds += dt;
    } else {
        m_continuousSeconds = 0;
    }
}

quint16 SimulatedDrive::statusWord() const
{
    QMutexLocker lock(&m_mutex);
    const_cast<SimulatedDrive *>(this)->update();
    return currentStatus();
}

quint16 SimulatedDrive::currentStatus() const
{
    const double f = std::fabs(m_signedHz);
    const bool running = f > 0 || m_direction != 0;
    const double target = targetHz();
    quint16 word = 0;
    if (running)
        word |= 0x01;
    if (running && (m_signedHz > 0 || (f == 0 && m_direction > 0)))
        word |= 0x02;
    if (running && (m_signedHz < 0 || (f == 0 && m_direction < 0)))
        word |= 0x04;
    if (running && target > 0 && std::fabs(f - target) < 0.05)
        word |= 0x08;
    if (outputCurrent() > 1.5 * ratedCurrent())
        word |= 0x10;
    if (f >= param(42, 6))
        word |= 0x40;
    if (m_tripped)
        word |= 0x80;
    return word;
}

quint16 SimulatedDrive::quantity(int id) const
{
    const double maxHz = std::max(param(1, 60), 1.0);
    const double fraction = std::fabs(m_signedHz) / maxHz;
    const double command = std::min(m_frequencyCommand * 0.01 / maxHz, 1.0);
    const quint16 status = currentStatus();
    switch (id) {
    case Analog25: return quint16(std::lround(1000 * command));
    case Analog45: return quint16(std::lround(400 + 1600 * command));
    case AnalogOutAM: return quint16(std::lround(1000 * fraction));
    case DcBus: return quint16(std::lround(dcBusVoltage()));
    case ThermalRecord: return quint16(std::lround(m_thermal * 100));
    case TemperatureRate: return quint16(std::lround(m_temperature * 100));
    case TerminalInputs: {
        quint16 word = 0x03FF;  // active low
        if (m_direction > 0)
            word &= ~0x0001;
        if (m_direction < 0)
            word &= ~0x0002;
        return word;
    }
    case TerminalOutputs: {
        quint16 word = 0x003F;  // active low
        if (status & 0x08)
            word &= ~0x0001;
        if (m_tripped)
            word &= ~0x0002;
        if (status & 0x01)
            word &= ~0x0010;
        if (status & 0x40)
            word &= ~0x0020;
        return word;
    }
    case StatusWordQuantity: return status;
    case MotorThermal: return quint16(std::lround(m_thermal * 90));
    case PidTarget: return 500;
    case PidFeedback: return quint16(std::lround(1000 * fraction));
    case PgSpeed: return quint16(std::lround(std::fabs(m_signedHz) * 98));
    case HdiFrequency: return quint16(std::lround(1000 * fraction));
    case AnalogOutAM2: return quint16(std::lround(1000 * fraction));
    case OutputTorque:
        return quint16(std::lround(100 * outputCurrent() / std::max(ratedCurrent(), 0.01)));
    case OutputPower:
        return quint16(std::lround(kSqrt3 * outputVoltage() * outputCurrent() * kPowerFactor / 10));
    case ModuleTemperature: return quint16(std::lround((25 + m_temperature * 0.4) * 100));
    default: return 0;
    }
}

quint16 SimulatedDrive::monitorValue(int index) const
{
    const double currentUnits = bigCapacity() && (m_series == 'G' || m_series == 'L') ? 10 : 100;
    switch (index) {
    case 0: return quint16(std::lround(std::fabs(m_signedHz) * 100));
    case 1: return quint16(std::lround(outputVoltage() * 100));
    case 2: return quint16(std::min(65535L, std::lround(outputCurrent() * currentUnits)));
    case 3: return quint16(std::lround(targetHz() * 100));
    case 12: return currentStatus();
    default: return 0;
    }
}

quint16 SimulatedDrive::ramValue(int address) const
{
    // A free-running counter and a copy of the output frequency, so a chart
    // of drive memory shows something alive.
    const auto held = m_ram.constFind(address);
    if (held != m_ram.constEnd())
        return *held;
    const int offset = address & 0x0FFF;
    if (offset == 0)
        return quint16(int(m_lastUpdateMs / 10) & 0xFF);
    if (offset < 4)
        return quint16((monitorValue(0) >> (8 * (offset - 1))) & 0xFF);
    return quint16((offset * 37) & 0xFF);
}

quint16 SimulatedDrive::historyItem(const AlarmRecord &record, int item) const
{
    return item >= 1 && item <= 7 ? record.items[item - 1] : 0;
}

int SimulatedDrive::readOne(int address, quint16 *value)
{
    if (m_fixed.contains(address)) {
        *value = m_fixed.value(address);
        return Ok;
    }
    if (m_parameters.contains(address)) {
        *value = m_parameters.value(address).value;
        return Ok;
    }
    const AlarmRecord none;
    const AlarmRecord &newest = m_history.isEmpty() ? none : m_history.at(0);
    const bool runTimeLow = m_series == 'S' || m_series == 'C';
    const int minutesRegister = runTimeLow ? 164 : 292;
    const double minutes = std::floor(m_runSeconds / 60);
    if (address == minutesRegister) {
        *value = quint16(std::fmod(minutes, 1440));
    } else if (address == minutesRegister + 1) {
        *value = quint16(std::floor(minutes / 1440));
    } else if (address == HistorySelect) {
        *value = quint16(m_historySelect);
    } else if (address == HistoryAlarm) {
        const int i = m_historySelect - 1;
        *value = i >= 0 && i < m_history.size() ? quint16(m_history.at(i).number) : 0;
    } else if (address == ItemSelect) {
        *value = quint16(m_itemSelect);
    } else if (address == ItemValue) {
        *value = historyItem(newest, m_itemSelect);
    } else if (m_series == 'A' && address >= 752 && address <= 758) {
        *value = historyItem(newest, address - 751);
    } else if (m_series == 'A' && address >= 766 && address <= 772) {
        *value = m_history.size() > 1 ? historyItem(m_history.at(1), address - 765) : 0;
    } else if (address == Mode) {
        *value = quint16(m_mode);
    } else if (address == Status) {
        *value = currentStatus();
    } else if (address == AlarmWord || address == AlarmWord2) {
        const int first = address == AlarmWord ? 0 : 2;
        const int low = m_history.size() > first ? m_history.at(first).number : 0;
        const int high = m_history.size() > first + 1 ? m_history.at(first + 1).number : 0;
        // The current alarm is the newest one while the drive is tripped.
        *value = quint16((high & 0xFF) << 8 | (low & 0xFF));
    } else if (address == FrequencyCommand) {
        *value = m_frequencyCommand;
    } else if (address == Control) {
        *value = quint16(m_direction > 0 ? 2 : m_direction < 0 ? 4 : 0);
    } else if (address == ParameterFunction) {
        *value = 0;
    } else if (address == Selector) {
        *value = m_selector;
    } else if (address == SelectedValue) {
        *value = quantity(m_selector);
    } else if (address >= MonitorBase && address < MonitorBase + 16) {
        *value = monitorValue(address - MonitorBase);
    } else if ((address >= RamBase1 && address < RamBase1 + RamSize) ||
               (address >= RamBase2 && address < RamBase2 + RamSize)) {
        *value = ramValue(address);
    } else {
        return IllegalAddress;
    }
    return Ok;
}

int SimulatedDrive::read(int address, int count, QVector<quint16> *values)
{
    QMutexLocker lock(&m_mutex);
    update();
    if (count < 1 || count > 125)
        return IllegalValue;
    values->clear();
    for (int i = 0; i < count; ++i) {
        if (m_refused.contains(address + i))
            return m_refused.value(address + i);
        quint16 v = 0;
        if (const int r = readOne(address + i, &v))
            return r;
        values->append(v);
    }
    return Ok;
}

bool SimulatedDrive::parameterWritesAllowed(int number) const
{
    if (number == 77)
        return true;
    const int guard = m_parameters.value(77).value;
    if (guard == 1)
        return false;
    if (guard == 0 && (std::fabs(m_signedHz) > 0 || m_direction != 0)) {
        static const int kWhileRunning[] = {4, 5, 6, 24, 25, 26, 27};
        return std::find(std::begin(kWhileRunning), std::end(kWhileRunning), number) !=
               std::end(kWhileRunning);
    }
    return true;
}

int SimulatedDrive::writeParameter(int number, quint16 value)
{
    Parameter &p = m_parameters[number];
    if (!parameterWritesAllowed(number))
        return IllegalValue;
    if (number == 77) {
        // 9999 opens the guard; 0xFFFF is how the parameter conversion
        // sends that "not used" value.
        if (value > 2 && value != 9999 && value != 0xFFFF)
            return IllegalValue;
    } else if (!(value == 0xFFFF && p.allowsUnset) && (value < p.minimum || value > p.maximum)) {
        return IllegalValue;
    }
    p.value = value;
    return Ok;
}

int SimulatedDrive::runParameterFunction(quint16 code)
{
    switch (code) {
    case 0x99:
    case 0x98:
        for (auto it = m_parameters.begin(); it != m_parameters.end(); ++it)
            if (code == 0x99 || !isCommunicationParameter(it.key()))
                it->value = it->defaultValue;
        return Ok;
    case 0x97:
        m_tripped = false;
        m_direction = 0;
        m_signedHz = 0;
        return Ok;
    case 0x96:
        m_history.clear();
        return Ok;
    case 0x91:
        m_runSeconds = 0;
        return Ok;
    case 0x92:
        m_thermal = 0;
        m_temperature = 0;
        return Ok;
    default:
        return IllegalValue;
    }
}

int SimulatedDrive::writeFunctionRegister(int address, quint16 value)
{
    const bool moving = std::fabs(m_signedHz) > 0 || m_direction != 0;
    switch (address) {
    case Mode:
        if (value > 2 || moving)
            return IllegalValue;
        m_mode = value;
        return Ok;
    case FrequencyCommand:
        if (value * 0.01 > param(1, 400) + 1e-9)
            return IllegalValue;
        m_frequencyCommand = value;
        return Ok;
    case Control:
        if (value == 0x80) {
            m_tripped = false;
            return Ok;
        }
        if (value == 0) {
            m_direction = 0;
            return Ok;
        }
        if ((value != 2 && value != 4) || m_tripped || m_mode == 1)
            return IllegalValue;
        m_direction = value == 2 ? 1 : -1;
        return Ok;
    case ParameterFunction:
        return moving ? IllegalValue : runParameterFunction(value);
    case Selector:
        if (value < Analog25 || value > ModuleTemperature)
            return IllegalValue;
        m_selector = value;
        return Ok;
    default:
        return IllegalAddress;
    }
}

int SimulatedDrive::write(int address, quint16 value)
{
    QMutexLocker lock(&m_mutex);
    update();
    if (m_refused.contains(address))
        return m_refused.value(address);
    if (m_refusedWrites.contains(address))
        return m_refusedWrites.value(address);
    if (m_fixed.contains(address))
        return IllegalValue;
    if (m_parameters.contains(address))
        return writeParameter(address, value);
    if (address == HistorySelect || address == ItemSelect) {
        const int limit = address == HistorySelect ? kHistoryDepth : 7;
        if (value < 1 || value > limit)
            return IllegalValue;
        (address == HistorySelect ? m_historySelect : m_itemSelect) = value;
        return Ok;
    }
    return writeFunctionRegister(address, value);
}

int SimulatedDrive::decimalDigits(int address) const
{
    QMutexLocker lock(&m_mutex);
    if (m_parameters.contains(address) && !m_fixed.contains(address))
        return m_parameters.value(address).digits;
    if (address >= MonitorBase && address < MonitorBase + 4)
        return 2;
    if (address == SelectedValue)
        return selectedDigits(m_selector);
    if (m_fixed.contains(address))
        return m_fixedDigits.value(address, 0);
    return 0;
}

// Decimal places of a selectable quantity, as the reading's name scales it
// over Modbus: terminal words, status, DC bus and torque whole, PID in 0.1 %.
int SimulatedDrive::selectedDigits(int id)
{
    switch (id) {
    case DcBus:
    case TerminalInputs:
    case TerminalOutputs:
    case StatusWordQuantity:
    case OutputTorque:
        return 0;
    case PidTarget:
    case PidFeedback:
        return 1;
    default:
        return 2;
    }
}

int SimulatedDrive::nativeGroup() const
{
    QMutexLocker lock(&m_mutex);
    return m_nativeGroup;
}

void SimulatedDrive::setNativeGroup(int group)
{
    QMutexLocker lock(&m_mutex);
    m_nativeGroup = group;
}

void SimulatedDrive::defineParameter(int number, const Parameter &p)
{
    QMutexLocker lock(&m_mutex);
    m_parameters.insert(number, p);
}

bool SimulatedDrive::hasParameter(int number) const
{
    QMutexLocker lock(&m_mutex);
    return m_parameters.contains(number);
}

bool SimulatedDrive::isIdentityRegister(int address) const
{
    QMutexLocker lock(&m_mutex);
    return m_fixed.contains(address);
}

SimulatedDrive::Parameter SimulatedDrive::parameter(int number) const
{
    QMutexLocker lock(&m_mutex);
    return m_parameters.value(number);
}

QList<int> SimulatedDrive::parameterNumbers() const
{
    QMutexLocker lock(&m_mutex);
    QList<int> numbers = m_parameters.keys();
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void SimulatedDrive::setParameterValue(int number, quint16 value)
{
    QMutexLocker lock(&m_mutex);
    m_parameters[number].value = value;
}

void SimulatedDrive::raiseAlarm(int alarmNumber)
{
    QMutexLocker lock(&m_mutex);
    update();
    AlarmRecord r;
    r.number = alarmNumber & 0xFF;
    const bool coarse = m_parameters.value(187).value == 1;
    const double currentUnits = bigCapacity() && (m_series == 'G' || m_series == 'L') ? 10 : 100;
    r.items[0] = quint16(std::lround(std::fabs(m_signedHz) * (coarse ? 10 : 100)));
    r.items[1] = quint16(std::min(65535L, std::lround(outputCurrent() * currentUnits)));
    r.items[2] = quint16(std::lround(outputVoltage() * 100));
    r.items[3] = quint16(std::lround(m_thermal * 100));
    r.items[4] = quint16(std::lround(dcBusVoltage()));
    r.items[5] = quint16(std::lround(m_continuousSeconds / 60));
    m_tripped = true;
    r.items[6] = currentStatus();
    m_history.prepend(r);
    while (m_history.size() > kHistoryDepth)
        m_history.removeLast();
    m_direction = 0;
    m_signedHz = 0;
}

void SimulatedDrive::resetAlarm()
{
    QMutexLocker lock(&m_mutex);
    m_tripped = false;
}

QList<int> SimulatedDrive::alarmHistory() const
{
    QMutexLocker lock(&m_mutex);
    QList<int> numbers;
    for (const AlarmRecord &r : m_history)
        numbers.append(r.number);
    return numbers;
}

double SimulatedDrive::outputFrequency() const
{
    QMutexLocker lock(&m_mutex);
    const_cast<SimulatedDrive *>(this)->update();
    return m_signedHz;
}

bool SimulatedDrive::running() const { return (statusWord() & 0x01) != 0; }

void SimulatedDrive::setRefusedWrite(int address, int exception)
{
    QMutexLocker lock(&m_mutex);
    if (exception == Ok)
        m_refusedWrites.remove(address);
    else
        m_refusedWrites.insert(address, exception);
}

void SimulatedDrive::setRefusedRegister(int address, int exception)
{
    QMutexLocker lock(&m_mutex);
    if (exception == Ok)
        m_refused.remove(address);
    else
        m_refused.insert(address, exception);
}

void SimulatedDrive::setRamByte(int address, quint8 value)
{
    QMutexLocker lock(&m_mutex);
    m_ram.insert(address, value);
}

int SimulatedDrive::mode() const
{
    QMutexLocker lock(&m_mutex);
    return m_mode;
}

double SimulatedDrive::runMinutes() const
{
    QMutexLocker lock(&m_mutex);
    return m_runSeconds / 60;
}
