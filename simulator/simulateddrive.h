#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QVector>

// A drive of any series as it looks from the serial line: parameters and
// function registers, a motor whose output frequency ramps with the
// acceleration and deceleration times, live quantities that follow it, an
// alarm history with operating data, and accumulated run time. The protocol
// slaves (SlaveProtocol) turn frames into calls of read() and write().
// Thread-safe.
class SimulatedDrive
{
public:
    // Modbus exception codes; the native protocol maps them to NAK characters.
    enum Result { Ok = 0, IllegalFunction = 1, IllegalAddress = 2, IllegalValue = 3 };

    struct Parameter {
        quint16 value = 0;
        quint16 defaultValue = 0;
        quint16 minimum = 0;
        quint16 maximum = 0xFFFF;
        int digits = 0;  // decimal places the native protocol reports
        bool allowsUnset = false;  // 0xFFFF (9999 / 99999, "not used") is accepted
    };

    SimulatedDrive(int station, const QString &model, double version = -1);

    int station() const { return m_station; }
    QString model() const { return m_model; }
    char series() const { return m_series; }
    double version() const { return m_version; }
    double capacity() const { return m_capacity; }

    // Register access from the line; returns Ok or an exception code.
    int read(int address, int count, QVector<quint16> *values);
    int write(int address, quint16 value);
    // Decimal places of a register for the native protocol.
    int decimalDigits(int address) const;
    // The register group selected by the native protocol (per drive).
    int nativeGroup() const;
    void setNativeGroup(int group);

    // Parameters: defined (or redefined) with their default and range.
    void defineParameter(int number, const Parameter &p);
    bool hasParameter(int number) const;
    // Identity registers the drive fills itself (read-only).
    bool isIdentityRegister(int address) const;
    Parameter parameter(int number) const;
    QList<int> parameterNumbers() const;
    // Direct access for tests and the demo (no write guard, no range check).
    void setParameterValue(int number, quint16 value);

    // Time: the wall clock unless manual, then only advance() moves it.
    void setManualClock(bool manual);
    void advance(double ms);

    // Alarms: the drive trips (coasts to a stop) and records the alarm with
    // its operating data; reset clears the trip, not the history.
    void raiseAlarm(int alarmNumber);
    void resetAlarm();
    QList<int> alarmHistory() const;

    // Fault injection: every access to `address` is refused with `exception`
    // (Ok lifts the refusal).
    void setRefusedRegister(int address, int exception);
    // Only writes to `address` are refused.
    void setRefusedWrite(int address, int exception);
    // What a location of drive memory holds from now on (a register's low
    // byte is the memory byte), in place of the made-up contents.
    void setRamByte(int address, quint8 value);

    // Live values, for tests.
    double outputFrequency() const;
    // The frequency the drive ramps towards: 0 once stopped.
    double targetHz() const;
    bool running() const;
    int mode() const;
    quint16 statusWord() const;
    double runMinutes() const;

private:
    struct AlarmRecord {
        int number = 0;
        quint16 items[7] = {};  // frequency, current, voltage, thermal, P-N, minutes, status
    };

    void seedParameters();
    void seedIdentity();
    void update();
    void step(double seconds);
    int readOne(int address, quint16 *value);
    int writeParameter(int number, quint16 value);
    int writeFunctionRegister(int address, quint16 value);
    int runParameterFunction(quint16 code);
    quint16 currentStatus() const;
    static int selectedDigits(int id);
    quint16 quantity(int id) const;
    quint16 monitorValue(int index) const;
    quint16 historyItem(const AlarmRecord &record, int item) const;
    quint16 ramValue(int address) const;
    bool parameterWritesAllowed(int number) const;
    double param(int number, double fallback) const;

    double ratedVoltage() const { return m_voltageClass; }
    double ratedCurrent() const;
    double outputVoltage() const;
    double outputCurrent() const;
    double dcBusVoltage() const;
    bool bigCapacity() const { return m_capacity > 160; }

    mutable QMutex m_mutex;
    int m_station;
    QString m_model;
    char m_series;
    double m_version;
    double m_capacity = 0;
    double m_voltageClass = 440;
    QHash<int, Parameter> m_parameters;
    QHash<int, quint16> m_fixed;  // identity registers that are not parameters
    QHash<int, int> m_fixedDigits;  // decimal places the native protocol reports
    QHash<int, int> m_refused;
    QHash<int, quint8> m_ram;
    QHash<int, int> m_refusedWrites;
    int m_nativeGroup = 0;

    bool m_manualClock = false;
    QElapsedTimer m_wall;
    double m_lastUpdateMs = 0;
    double m_clockMs = 0;

    int m_mode = 0;
    int m_direction = 0;  // +1 forward, -1 reverse, 0 stopped
    double m_signedHz = 0;
    double m_previousHz = 0;
    quint16 m_frequencyCommand = 0;
    quint16 m_selector = 0;
    bool m_tripped = false;
    double m_thermal = 0;      // %
    double m_temperature = 0;  // %
    double m_runSeconds = 0;
    double m_continuousSeconds = 0;
    QList<AlarmRecord> m_history;  // newest first
    int m_historySelect = 1;
    int m_itemSelect = 1;
};
