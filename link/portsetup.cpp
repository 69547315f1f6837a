#include "portsetup.h"
#include "driverregistry.h"

#include "driverfactory.h"
#include "linkstate.h"
#include "readwrite.h"
#include "serialporttransport.h"

#include "base/messagetable.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QSaveFile>
#include <QTextStream>

#include <atomic>

namespace {
QMutex g_factoryMutex;
PortSetup::TransportFactory g_factory;

#ifdef Q_OS_WIN
std::atomic<bool> g_devicePrefix{true};
#else
std::atomic<bool> g_devicePrefix{false};
#endif

// Keeps a hand-edited file from growing without bound in memory.
constexpr int kMaxSettingsLines = 1000;

PortSetup::TransportFactory transportFactory()
{
    QMutexLocker lock(&g_factoryMutex);
    if (g_factory)
        return g_factory;
    return [](const QString &name) { return std::make_shared<SerialPortTransport>(name); };
}
}  // namespace

void PortSetup::setTransportFactory(TransportFactory factory)
{
    QMutexLocker lock(&g_factoryMutex);
    g_factory = std::move(factory);
}

void PortSetup::setDevicePrefixEnabled(bool on) { g_devicePrefix = on; }

bool PortSetup::devicePrefixEnabled() { return g_devicePrefix; }

QString PortSetup::portNameFor(const QString &portText, ComSettings::PrefixRule rule)
{
    return devicePrefixEnabled() ? ComSettings::prefixedPortName(portText, rule) : portText;
}

QString PortSetup::settingsFileName() { return settingsPath(QStringLiteral("iniProtocol.txt")); }

QStringList PortSetup::readSettingsLines()
{
    QStringList lines;
    QFile file(settingsFileName());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    QTextStream in(&file);
    in.setCodec("UTF-8");  // as written, whatever the locale
    while (!in.atEnd() && lines.size() < kMaxSettingsLines) {
        const QString line = in.readLine();
        // A blank line (a trailing empty line of an edited file) names no
        // protocol; taking it as one would switch the link to Modbus ASCII.
        if (!line.trimmed().isEmpty())
            lines.append(line);
    }
    return lines;
}

bool PortSetup::writeSettings(const ComSettings &settings)
{
    if (!ComSettings::isStorablePortText(settings.portText))
        return false;
    // Written beside the old file and renamed over it: a failed write never
    // leaves the settings missing or cut short.
    QSaveFile file(settingsFileName());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray line = settings.toLine().toUtf8() + '\n';
    if (file.write(line) != line.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

ReadWrite *PortSetup::installDriver(int protocolCode)
{
    // createDriver loads the protocol's table before the driver becomes
    // current, so that no other thread ever runs a function from the wrong
    // protocol's lines.
    ReadWrite *driver = createDriver(protocolCode);
    linkState().protocolCode = quint8(protocolCode);
    setCurrentDriver(driver);
    return driver;
}

std::shared_ptr<Transport> PortSetup::openTransport(const QString &name,
                                                    const LineSettings &settings)
{
    std::shared_ptr<Transport> port = transportFactory()(name);
    if (!port)
        return port;
    port->applySettings(settings);
    if (port->open())
        warnRefusedSettings(*port, settings);
    return port;
}

// A line that silently ran with other settings than the chosen ones would
// only ever say "Communication Error!": say which ones the port refused.
void PortSetup::warnRefusedSettings(const Transport &port, const LineSettings &asked)
{
    QString runsWith;
    const QString refused = refusedSettingsText(asked, port.settings(), &runsWith);
    if (refused.isEmpty())
        return;
    userInteraction()->warning(
        messageText(20),
        QCoreApplication::translate("PortSetup",
                                    "The port %1 does not take %2; it runs with %3.")
            .arg(port.portName(), refused, runsWith));
}

// Takes the port off the link (after a running exchange) and closes it, so
// that the same device can be opened again.
void PortSetup::releasePort()
{
    LinkState &link = linkState();
    std::shared_ptr<Transport> old = link.serialPort();
    link.setSerialPort(nullptr);
    if (old)
        old->close();
}

bool PortSetup::openPortFromFile()
{
    LinkState &link = linkState();
    releasePort();
    // A line without a port text names no port: the fall back follows.
    ComSettings settings;
    settings.portText.clear();
    settings.lineEndIndex = link.lineEnd;
    const QStringList lines = readSettingsLines();
    for (const QString &line : lines) {
        settings = ComSettings::fromLine(line, settings);
        installDriver(settings.protocol);
        link.lineEnd = settings.lineEndIndex;
    }
    if (!settings.portText.isEmpty()) {
        std::shared_ptr<Transport> port =
            openTransport(portNameFor(settings.portText, ComSettings::PrefixRule::NameLength),
                          settings.lineSettings());
        if (port && port->isOpen()) {
            link.setSerialPort(port);
            return true;
        }
    }
    // The fall back speaks the native protocol; its driver is made for it so
    // that driver and protocolCode agree.
    const ComSettings fallback;
    link.setSerialPort(openTransport(fallback.portText, fallback.lineSettings()));
    link.lineEnd = fallback.lineEndIndex;
    installDriver(fallback.protocol);
    return false;
}

bool PortSetup::reopenPort(const QString &portText, const LineSettings &settings)
{
    LinkState &link = linkState();
    releasePort();
    const QString name = portNameFor(portText, ComSettings::PrefixRule::PortNumber);
    std::shared_ptr<Transport> port = openTransport(name, settings);
    link.setSerialPort(port);
    if (port && port->isOpen())
        return true;
    const QString reported = port ? port->portName() : name;
    userInteraction()->critical(messageText(3), messageText(4) + reported + messageText(5));
    return false;
}
