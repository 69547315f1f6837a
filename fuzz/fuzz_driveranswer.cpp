// The answer side of a protocol driver (FUZZ_PROTOCOL: 0 native, 1 Modbus
// RTU, 2 Modbus ASCII): the input is the drive's answers, played through the
// scripted port to one driver operation.
//
// Input: byte 0 picks the operation, byte 1 its argument, byte 2 the link
// settings (native line end and group); the rest are the answers, one per
// exchange attempt, each as [length][bytes].
#include "fuzzsupport.h"

#include "link/driverfactory.h"
#include "link/faketransport.h"
#include "link/linkstate.h"
#include "link/readwrite.h"

#include <cmath>
#include <memory>

namespace {
ReadWrite *g_driver = nullptr;

const char *const kFunctions[] = {"MOD", "STA", "M0N", "M1N", "FWD", "REV", "STO", "CU0",
                                  "EXT", "JOG", "M0R", "M3R", "M7W", "M7R", "MCR", "999",
                                  "996", "FRE", "XYZ"};
constexpr int kFunctionCount = int(sizeof kFunctions / sizeof kFunctions[0]);

void runOperation(quint8 op, quint8 arg, const std::shared_ptr<FakeTransport> &port,
                  const QList<QByteArray> &answers)
{
    const bool modbus = FUZZ_PROTOCOL != 0;
    switch (op % 5) {
    case 0: {
        const int address = arg * 7;  // 0 to 1785: below and above the limit of 1600
        const double v = g_driver->readRegister(address, 0.01);
        fuzz::check(v == -1 || (std::isfinite(v) && v >= 0));
        fuzz::check(address < ReadWrite::kAddressLimit || v == -1);
        break;
    }
    case 1: {
        const int address = arg * 4;
        const bool ok = g_driver->writeRegister(address, 0x1234);
        // A Modbus write succeeds only on the drive's echo of the request.
        if (ok && modbus) {
            const QList<QByteArray> sent = port->writes();
            fuzz::check(!sent.isEmpty() && answers.contains(sent.last()));
        }
        fuzz::check(!linkState().commError || !ok || !modbus);
        break;
    }
    case 2: {
        const std::optional<quint32> v = g_driver->readPacked(0x9000 + arg, 1 + arg % 5);
        // Five bytes do not fit: refused whatever the answer.
        fuzz::check((modbus || !v) && (arg % 5 < 4 || !v));
        break;
    }
    default: {
        const char *name = kFunctions[arg % kFunctionCount];
        QByteArray code(name);
        if (code == "FRE")
            code += QByteArray::fromRawData("\x13\x88", 2);
        const int v = g_driver->runFunction(code);
        fuzz::check(v >= -1 && v <= 0xFFFF);
        if (code == "MOD")
            fuzz::check(v == -1 || v == '0' || v == '1' || v == '2');
        fuzz::check(std::isfinite(g_driver->lastReading()));
        break;
    }
    }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    setSeriesLetter('F');
    g_driver = createDriver(FUZZ_PROTOCOL);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    auto port = std::make_shared<FakeTransport>();
    port->open();
    const QList<QByteArray> answers = fuzz::pieces(data + 3, size - 3);
    for (const QByteArray &answer : answers)
        port->enqueueReply(answer);
    LinkState &link = linkState();
    link.reset();
    link.protocolCode = quint8(FUZZ_PROTOCOL);
    link.setStation(1 + data[2] % 3);
    link.lineEnd = data[2] / 3 % 3;
    link.nativeGroup = data[2] & 0x80 ? -1 : data[2] / 9 % 10;
    link.setSerialPort(port);
    runOperation(data[0], data[1], port, answers);
    link.setSerialPort(nullptr);
    return 0;
}
