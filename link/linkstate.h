#pragma once

#include <QByteArray>
#include <QObject>
#include <QSemaphore>

#include <atomic>
#include <memory>

class ReadWrite;
class Transport;

// The state of the one serial link, shared by every thread that talks to the
// drive. Every flag is atomic: the GUI thread and the polling threads all
// read and write them.
class LinkState
{
public:
    // Held for the whole of one exchange (all its attempts).
    QSemaphore portLock{1};

    std::atomic<quint8> protocolCode{0};  // 0 native, 1 Modbus RTU, 2 Modbus ASCII
    std::atomic<quint8> stationByte{0};
    std::atomic<int> lineEnd{1};          // native terminator: 0 none, 1 CR, 2 CR LF
    std::atomic<bool> commError{false};
    std::atomic<bool> linkLost{false};
    std::atomic<bool> quietReads{false};
    std::atomic<bool> silentReads{false};
    std::atomic<bool> acceptReject77{false};
    std::atomic<bool> acceptReject288{false};
    std::atomic<int> nativeGroup{-1};
    std::atomic<bool> groupReselect{false};

    // Two ASCII characters, upper-case hex of the station number.
    QByteArray stationText() const;
    void setStationText(const QByteArray &text);
    // Sets stationByte and stationText together.
    void setStation(int station);

    // The port every driver uses; replacing it waits for a running exchange.
    std::shared_ptr<Transport> serialPort() const;
    void setSerialPort(std::shared_ptr<Transport> port);

    // Start-up values (used at start-up and by tests).
    void reset();

private:
    std::atomic<quint16> m_stationText{0};
    std::shared_ptr<Transport> m_port;
    mutable QSemaphore m_portGuard{1};
};

LinkState &linkState();

// The station number as the text protocols address it: "0A" for 10, "C8" for 200.
QByteArray stationTextFor(int station);

// The driver every caller uses. Setting a new one keeps the old object alive
// until exit, since another thread may still be inside one of its operations.
ReadWrite *currentDriver();
void setCurrentDriver(ReadWrite *driver);

// Carries link errors to whoever shows them (the main window's warning box,
// the command-line tool's stderr). Emitted from the thread that failed.
class LinkEvents : public QObject
{
    Q_OBJECT
public:
    static LinkEvents *instance();

signals:
    void showErrorInfo(int code);
};
