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

    // Data bits the protocol fixes: Modbus RTU 8, Modbus ASCII 7; the native
    // protocol takes the data-length choice (index 0: 7, else 8).
    static int dataBitsFor(int protocol, int dataBitsIndex);

    // Windows opens COM10 and above only through the "\\.\" device prefix.
    // Start-up decides by the stored text's length (longer than four
    // characters), the setup dialog by the port number (10 or more).
    enum class PrefixRule { NameLength, PortNumber };
    static const QString &devicePrefix();
    // The number after the first three characters ("Com12" -> 12); 0 when none.
    static int portNumber(const QString &portText);
    // `portText` with the device prefix when the rule asks for it; a text
    // that already carries the prefix is left alone.
    static QString prefixedPortName(const QString &portText, PrefixRule rule);
    // A port text the settings line can hold and read back: not empty, no
    // '-' (the field separator), no white space and nothing unprintable.
    static bool isStorablePortText(const QString &portText);
};
