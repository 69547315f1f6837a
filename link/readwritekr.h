#pragma once

#include "readwrite.h"

// The drive's own character protocol. Requests: ENQ, the station text, a
// two-digit instruction code, the wait time '0', four data digits for
// writes, a sum check and the line end of the settings. Answers: STX data
// answers, ACK acknowledgements, NAK rejections with an error character.
// The drive shows one group of 100 registers at a time; the driver selects
// the group before it touches a register of another one.
class ReadWriteKR : public ReadWrite
{
    Q_OBJECT
public:
    static constexpr char ENQ = 0x05;
    static constexpr char STX = 0x02;
    static constexpr char ETX = 0x03;
    static constexpr char ACK = 0x06;
    static constexpr char NAK = 0x15;

    explicit ReadWriteKR(QObject *parent = nullptr);

    bool writeRegister(int address, int value) override;
    double readRegister(int address, double scale) override;
    // Reads the status word: its instruction code needs no group selected.
    bool probe() override;

    // ENQ + station + instruction code + '0' (+ data), before the sum check.
    static QByteArray request(const QByteArray &station, quint8 instruction);
    static QByteArray request(const QByteArray &station, quint8 instruction, quint16 data);
    // The terminator lineEnd asks for: nothing, CR or CR LF.
    static QByteArray terminator();
    static int dataAnswerLength();
    static int ackLength();

protected:
    QByteArray completeFrame(const QByteArray &body) const override;
    bool answerPasses(const QByteArray &answer, int station) const override;
    int frameStation(const QByteArray &frame) const override;
    bool isRefusal(const QByteArray &frame, const QByteArray &answer) const override;

private:
    static bool fromStation(const QByteArray &answer, int station);
    // STX, the station, hex value, decimal digit, ETX and a good sum check.
    static bool isSoundData(const QByteArray &answer, int station);
    // Complete answers of the expected kind, line end included.
    static bool isDataAnswer(const Exchange &ex);
    static bool isAck(const Exchange &ex);
    static bool isRejection(const QByteArray &answer, int station);
    static int errorCode(const QByteArray &answer, int station);
    // The value of a sound data answer with the drive's decimal places.
    static double decodeValue(const QByteArray &answer);

    // Makes `group` the drive's current group unless it is already.
    bool selectGroup(int group, bool forRead);
    int runFunctionLocked(const QByteArray &code) override;
};
