// The function-table line parser: every line of the input as a line of
// InvType/FNC.txt, for each protocol.
#include "fuzzsupport.h"

#include "link/readwrite.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzz::bytes(data, size));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        for (int protocol = 0; protocol <= 2; ++protocol) {
            const QByteArray record = ReadWrite::functionRecord(line, protocol);
            // A record is the protocol byte, a three-character name and a body.
            fuzz::check(record.isEmpty() || (record.size() >= 4 && record.at(0) == protocol));
        }
    }
    return 0;
}
