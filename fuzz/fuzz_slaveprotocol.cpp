// The request side of the simulated drive (FUZZ_PROTOCOL: 0 native, 1 Modbus
// RTU, 2 Modbus ASCII): the input is what arrives on the line, in pieces;
// every frame the slave finds in it is answered by a simulated drive.
#include "fuzzsupport.h"

#include "simulator/simulateddrive.h"
#include "simulator/slaveprotocol.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    SimulatedDrive drive(1 + data[0] % 2, QStringLiteral("ZM-043-7.5K"));
    drive.setManualClock(true);
    SlaveProtocol slave(FUZZ_PROTOCOL, data[0] / 2 % 3);
    for (const QByteArray &chunk : fuzz::pieces(data + 1, size - 1, 64)) {
        for (const QByteArray &frame : slave.feed(chunk)) {
            const QByteArray answer = slave.answer(frame, drive);
            fuzz::check(answer.size() < 600);
            slave.corruptChecksum(answer);
        }
        if (chunk.isEmpty())
            slave.resetInput();
    }
    return 0;
}
