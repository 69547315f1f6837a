#pragma once

#include "comsettings.h"
#include "transport.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class ReadWrite;
class Transport;

// Opens the serial port and makes the matching driver current: at start-up
// from iniProtocol.txt, after the setup dialog from its choices. Also reads
// and writes iniProtocol.txt. Works on the process-wide link state.
class PortSetup
{
public:
    // Makes the port object for a system port name; it is opened afterwards.
    using TransportFactory = std::function<std::shared_ptr<Transport>(const QString &name)>;

    // Start-up: every line of iniProtocol.txt makes a new driver current and
    // sets protocolCode, line settings and lineEnd; then the port is opened.
    // When it is not open afterwards (no file, no usable line, a port that
    // does not open) the link silently falls back to COM1, 9600 baud, 8N1,
    // lineEnd CR and a native driver. True when the stored port opened.
    static bool openPortFromFile();

    // After the setup dialog: closes the port and opens `portText` with
    // `settings`. A port that does not open is reported in a critical box
    // ("Can't open serial port" + name + reason); it stays on the link, so
    // later exchanges fail with "Communication Error!". True when open.
    static bool reopenPort(const QString &portText, const LineSettings &settings);

    // Warns (through the user interaction) when the open `port` runs with
    // other settings than `asked`.
    static void warnRefusedSettings(const Transport &port, const LineSettings &asked);

    // Makes a new driver for `protocolCode` current, with protocolCode set
    // and the driver's function table loaded for that protocol.
    static ReadWrite *installDriver(int protocolCode);

    // iniProtocol.txt beside the executable.
    static QString settingsFileName();
    // The non-blank lines of iniProtocol.txt; empty when it cannot be read.
    static QStringList readSettingsLines();
    // Replaces iniProtocol.txt by the one line of `settings` and a line
    // break. The old file stays as it was when the new one cannot be
    // written completely. False then, and for a port text that the line
    // cannot hold.
    static bool writeSettings(const ComSettings &settings);

    // The name a port text is opened under: with the device prefix by `rule`
    // where the platform uses it (Windows), else the text unchanged.
    static QString portNameFor(const QString &portText, ComSettings::PrefixRule rule);

    // Tests put scripted ports in place of serial ports; an empty factory
    // restores the serial ports.
    static void setTransportFactory(TransportFactory factory);
    // Whether port names get the device prefix; on by default on Windows only.
    static void setDevicePrefixEnabled(bool on);
    static bool devicePrefixEnabled();

private:
    static std::shared_ptr<Transport> openTransport(const QString &name,
                                                    const LineSettings &settings);
    static void releasePort();
};
