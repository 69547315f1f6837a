#pragma once

#include "readwrite.h"

// Modbus ASCII: text frames ':' + the calling thread's station text + body in upper-case hex + LRC
// + CR LF, functions 03 and 06 built here; other frames come from the
// protocol-2 lines of the function table.
class ReadWriteASC : public ReadWrite
{
    Q_OBJECT
public:
    explicit ReadWriteASC(QObject *parent = nullptr);

    bool writeRegister(int address, int value) override;
    double readRegister(int address, double scale) override;
    std::optional<quint32> readPacked(int address, int count) override;
    // Reads register 188, the firmware version every drive keeps.
    bool probe() override;

    // ':' + station + function + address + data word, before LRC and CR LF.
    static QByteArray request(const QByteArray &station, quint8 function, int address, int data);

protected:
    QByteArray completeFrame(const QByteArray &body) const override;
    bool answerPasses(const QByteArray &answer, int station) const override;
    int frameStation(const QByteArray &frame) const override;
    bool isRefusal(const QByteArray &frame, const QByteArray &answer) const override;

private:
    // ':' and `station`, hex pairs with a good LRC, CR LF at the end.
    static bool wellFormed(const QByteArray &answer, int station);
    // A complete answer to function 03 that carries `count` registers.
    static bool isReadAnswer(const Exchange &ex, int count);
    static bool isException(const QByteArray &answer, int station);
    static int errorCode(const QByteArray &answer, int station);
    // The hex number at 1-based `position`, `digits` long (answers checked before).
    static int field(const QByteArray &answer, int position, int digits);
    int runFunctionLocked(const QByteArray &code) override;
};
