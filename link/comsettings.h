#pragma once

#include "transport.h"

#include <QString>

// The communication settings as iniProtocol.txt stores them: one line of seven
// fields joined by '-': protocol, port text, baud, data length, stop bits,
// parity and line end, each field the index of the setup dialog's combo.
// Example: "1-Com3-1-1-0-2-0" is Modbus RTU on Com3, 9600 baud, 8 data bits,
// one stop bit, even parity, no line end.
struct ComSettings {
    int protocol = 0;        // 0 native, 1 Modbus RTU, 2 Modbus ASCII
    QString portText = QStringLiteral("COM1");
    int baudIndex = 1;       // 4800, 9600, 19200, 38400, 57600, 115200
    int dataBitsIndex = 1;   // 7, 8
    int stopBitsIndex = 0;   // 1, 2
    int parityIndex = 0;     // none, odd, even
    int lineEndIndex = 1;    // none, CR, CR LF

    // Reads a stored line the way start-up does: unknown texts fall back to
    // the rule's default, missing fields keep the current values.
    static ComSettings fromLine(const QString &line);
    static ComSettings fromLine(const QString &line, const ComSettings &base);
    QString toLine() const;

    LineSettings lineSettings() const;
    static qint32 baudForIndex(int index);
    static int indexForBaud(qint32 baud);  // -1 when not offered
};
