#pragma once

#include "readwrite.h"

// Modbus RTU: binary frames to the calling thread's station with function 03 and 06, CRC-16,
// a 10 ms pause before each attempt; other frames come from the protocol-1
// lines of the function table.
class ReadWriteRTU : public ReadWrite
{
    Q_OBJECT
public:
    explicit ReadWriteRTU(QObject *parent = nullptr);

    bool writeRegister(int address, int value) override;
    double readRegister(int address, double scale) override;
    std::optional<quint32> readPacked(int address, int count) override;
    // Reads register 188, the firmware version every drive keeps.
    bool probe() override;

    // The request body (without CRC) for a function code, address and data word.
    static QByteArray request(quint8 station, quint8 function, int address, int data);

protected:
    QByteArray completeFrame(const QByteArray &body) const override;
    bool answerPasses(const QByteArray &answer, int station) const override;
    int frameStation(const QByteArray &frame) const override;
    bool isRefusal(const QByteArray &frame, const QByteArray &answer) const override;

private:
    // The error code a failed answer carries (Modbus exception mapping).
    static int errorCode(const QByteArray &answer, int station);
    static bool isRejection(const QByteArray &answer, quint8 function, int station);
    static quint16 word(const QByteArray &answer, int index);
    int runFunctionLocked(const QByteArray &code) override;
};
