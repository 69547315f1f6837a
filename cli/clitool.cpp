#include "clitool.h"
#include "clioptions.h"

#include "base/messagetable.h"
#include "base/series.h"
#include "base/sharedstate.h"
#include "link/driverfactory.h"
#include "link/frameobserver.h"
#include "base/userinteraction.h"
#include "link/linkstate.h"
#include "link/portsetup.h"
#include "link/readwrite.h"
#include "link/serialporttransport.h"

#include <QFile>
#include <QMutex>
#include <QSerialPortInfo>

#include <cmath>

namespace {
// --trace: every frame on stderr, as the exchanging thread sees it. The
// link worker and the tool's own thread may both exchange, so lines are
// written whole under a lock of their own.
class TraceLog : public FrameObserver
{
public:
    TraceLog(QTextStream &err, const QElapsedTimer &started) : m_err(err), m_started(started) {}

    void frameSent(const QByteArray &frame, int station, FrameForm form) override
    {
        write(true, frame, station, form);
    }
    void frameReceived(const QByteArray &answer, int station, FrameForm form) override
    {
        write(false, answer, station, form);
    }

private:
    void write(bool sent, const QByteArray &bytes, int station, FrameForm form)
    {
        const QString line = frameLogLine(m_started.elapsed(), sent, station, bytes, form);
        QMutexLocker lock(&m_mutex);
        m_err << line << '\n';
        m_err.flush();
    }

    QTextStream &m_err;
    const QElapsedTimer &m_started;
    QMutex m_mutex;
};
}  // namespace

CliTool::CliTool(QTextStream &out, QTextStream &err) : m_out(out), m_err(err)
{
    m_factory = [](const QString &port) {
        return std::make_shared<SerialPortTransport>(SerialPortTransport::systemPortName(port));
    };
}

QString CliTool::usage()
{
    return QStringLiteral(
        "Usage: vantreo-cli [--port NAME] [--protocol rtu|ascii|native] [--baud N]\n"
        "                   [--data-bits 7|8] [--parity none|odd|even] [--stop-bits 1|2]\n"
        "                   [--line-end none|cr|crlf] [--station N] [--model MODEL]\n"
        "                   [--data DIR] [--trace] COMMAND ...\n"
        "\n"
        "Commands:\n"
        "  read ADDRESS [SCALE]   read one register, scaled (default scale 1; the\n"
        "                         native protocol uses the drive's decimal places)\n"
        "  write ADDRESS VALUE    write the low 16 bits of VALUE to a register\n"
        "  function NAME [HZ]     run a function of InvType/FNC.txt (FRE takes Hz)\n"
        "  ports                  list the serial ports\n"
        "  scan [--stations LIST] [--protocols LIST] [--bauds LIST]\n"
        "                         find the drives on the line: one short question per\n"
        "                         station, protocol and baud rate (default stations 1-32,\n"
        "                         protocols rtu,ascii,native, bauds 9600,19200,38400,115200);\n"
        "                         one line per drive (station, protocol, baud, format,\n"
        "                         model, version; tab-separated), progress on stderr"
        "  params read            read every parameter of the --model's catalogue\n"
        "                         (P number, name, current value, unit; tab-separated)\n"
        "  params get N           read parameter N with its catalogue scale\n"
        "  params set N VALUE     write VALUE, in the parameter's unit, to parameter N\n"
        "  params save FILE       read every parameter and save the set as FILE\n"
        "                         (.xbel or .xls, exactly in lower case)\n"
        "  params load FILE [--write]\n"
        "                         load FILE into the setting values and print what\n"
        "                         would change (P number, drive value, file value;\n"
        "                         tab-separated); --write writes the setting values\n"
        "  monitor [--quantities LIST] [--cycles N | --seconds S]\n"
        "                         read the drive's identity, then the live quantities\n"
        "                         (LIST of positions 0 to 23, default 0,1,2) once per cycle\n"
        "  simulate --pty [--link PATH] [--protocol rtu|ascii|native] [--baud N]\n"
        "           [--line-end none|cr|crlf] [--turnaround MS] [--fast]\n"
        "           [--drive STATION:MODEL[:VERSION]]...\n"
        "                         serve simulated drives on a new pseudo-terminal\n"
        "\n"
        "--trace writes every frame sent (>) and received (<) on stderr, with the\n"
        "milliseconds since the command started and the station.\n"
        "\n"
        "--port sim puts one simulated drive (--model, default ZM-043-7.5K) at\n"
        "--station on an in-process line.\n"
        "\n"
        "Settings not given come from iniProtocol.txt beside the executable; as in\n"
        "the communication setup, Modbus RTU runs with 8 data bits and Modbus ASCII\n"
        "with 7 unless --data-bits says otherwise.\n"
        "Exit status: 0 success, 1 drive or link failure, 2 usage error.\n");
}

int CliTool::usageError(const QString &why)
{
    m_err << "vantreo-cli: " << why << "\n\n" << usage();
    m_err.flush();
    return 2;
}

// Prints the link's own message; an operation that failed without a report
// (a monitor reading) still says why.
int CliTool::driveFailure()
{
    QList<int> errors;
    {
        QMutexLocker lock(&m_errorsMutex);
        errors = m_errors;
    }
    if (errors.isEmpty())
        errors.append(-1);
    // A dead line fails every step the same way: say it once.
    QStringList shown;
    for (int code : qAsConst(errors)) {
        const QString text = errorMessage(code);
        if (!shown.contains(text))
            shown.append(text);
    }
    m_err << shown.join(QLatin1Char('\n')) << '\n';
    m_err.flush();
    return 1;
}

int CliTool::parseOptions(const QStringList &args, Options &o, QStringList &command)
{
    int i = 0;
    for (; i < args.size() && args.at(i).startsWith(QLatin1String("--")); ++i) {
        const QString opt = args.at(i);
        if (opt == QLatin1String("--trace")) {
            o.trace = true;
            continue;
        }
        if (i + 1 >= args.size())
            return usageError(QStringLiteral("%1 needs a value").arg(opt));
        const QString v = args.at(++i);
        int n = 0;
        bool ok = true;
        if (opt == QLatin1String("--port")) {
            o.port = v;
            o.portGiven = true;
        } else if (opt == QLatin1String("--protocol")) {
            ok = pickIndex(v, {QStringLiteral("native"), QStringLiteral("rtu"),
                               QStringLiteral("ascii")}, &o.settings.protocol);
        } else if (opt == QLatin1String("--baud")) {
            ok = takeInt(v, 1, 4000000, &n) && ComSettings::indexForBaud(n) >= 0;
            if (ok)
                o.settings.baudIndex = ComSettings::indexForBaud(n);
        } else if (opt == QLatin1String("--data-bits")) {
            ok = takeInt(v, 7, 8, &n);
            o.settings.dataBitsIndex = n - 7;
            o.dataBitsGiven = true;
        } else if (opt == QLatin1String("--parity")) {
            ok = pickIndex(v, {QStringLiteral("none"), QStringLiteral("odd"),
                               QStringLiteral("even")}, &o.settings.parityIndex);
        } else if (opt == QLatin1String("--stop-bits")) {
            ok = takeInt(v, 1, 2, &n);
            o.settings.stopBitsIndex = n - 1;
        } else if (opt == QLatin1String("--line-end")) {
            ok = pickIndex(v, {QStringLiteral("none"), QStringLiteral("cr"),
                               QStringLiteral("crlf")}, &o.lineEnd);
        } else if (opt == QLatin1String("--station")) {
            ok = takeInt(v, 0, 255, &o.station);
        } else if (opt == QLatin1String("--model")) {
            o.model = v;
        } else if (opt == QLatin1String("--data")) {
            setDataDirectory(v);
        } else {
            return usageError(QStringLiteral("unknown option %1").arg(opt));
        }
        if (!ok)
            return usageError(QStringLiteral("bad value for %1: %2").arg(opt, v));
    }
    command = args.mid(i);
    if (command.isEmpty())
        return usageError(QStringLiteral("no command given"));
    return 0;
}

static ComSettings storedSettings()
{
    ComSettings settings;
    QFile file(dataPath(QStringLiteral("iniProtocol.txt")));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QString line = QString::fromUtf8(file.readLine(512));
        if (!line.trimmed().isEmpty())
            settings = ComSettings::fromLine(line);
    }
    return settings;
}

// The setup dialog fixes the data length of the Modbus protocols (RTU 8,
// ASCII 7); the native protocol takes it from the settings.
LineSettings CliTool::lineSettingsFor(const Options &o)
{
    LineSettings line = o.settings.lineSettings();
    if (!o.dataBitsGiven && o.settings.protocol != 0)
        line.dataBits = o.settings.protocol == 1 ? 8 : 7;
    return line;
}

int CliTool::connectLink(const Options &o)
{
    LinkState &link = linkState();
    link.protocolCode = quint8(o.settings.protocol);
    link.lineEnd = o.lineEnd >= 0 ? o.lineEnd : o.settings.lineEndIndex;
    link.setStation(o.station);
    // A line just opened knows nothing of the group the drive shows.
    link.nativeGroup = -1;
    if (!o.model.isEmpty()) {
        setModelString(o.model);
        setSeriesLetter(seriesLetterForModel(o.model, '0'));
    }
    loadSeriesFeatures();

    const QString portText = o.portGiven ? o.port : o.settings.portText;
    std::shared_ptr<Transport> port =
        portText == QLatin1String("sim") ? simulatedPort(o) : m_factory(portText);
    const LineSettings asked = lineSettingsFor(o);
    port->applySettings(asked);
    if (!port->open()) {
        m_err << messageText(4) << port->portName() << messageText(5) << '\n';
        m_err.flush();
        return 1;
    }
    // The tool's interaction prints the warning on stderr.
    PortSetup::warnRefusedSettings(*port, asked);
    link.setSerialPort(port);

    setCurrentDriver(createDriver(o.settings.protocol));
    return 0;
}

int CliTool::run(const QStringList &arguments)
{
    m_started.start();
    Options options;
    options.settings = storedSettings();
    QStringList command;
    if (const int rc = parseOptions(arguments, options, command))
        return rc;
    if (command.first() == QLatin1String("ports"))
        return cmdPorts();
    if (command.first() == QLatin1String("simulate"))
        return cmdSimulate(command.mid(1), options);
    // Errors come from this thread and from the link worker's jobs.
    QObject here;
    QObject::connect(LinkEvents::instance(), &LinkEvents::showErrorInfo, &here,
                     [this](int code) {
                         QMutexLocker lock(&m_errorsMutex);
                         m_errors.append(code);
                     },
                     Qt::DirectConnection);
    // Warnings and progress of the core go where the tool's messages go.
    UserInteraction *previous = userInteraction();
    StderrInteraction interaction(&m_err);
    setUserInteraction(&interaction);
    std::shared_ptr<FrameObserver> trace;
    if (options.trace) {
        trace = std::make_shared<TraceLog>(m_err, m_started);
        linkState().addFrameObserver(trace);
    }
    m_options = &options;
    int rc = connectLink(options);
    if (rc == 0)
        rc = runCommand(command);
    m_options = nullptr;
    if (trace)
        linkState().removeFrameObserver(trace);
    setUserInteraction(previous);
    linkState().setSerialPort(nullptr);
    return rc;
}

int CliTool::runCommand(const QStringList &command)
{
    const QString name = command.first();
    if (name == QLatin1String("read"))
        return cmdRead(command);
    if (name == QLatin1String("write"))
        return cmdWrite(command);
    if (name == QLatin1String("function"))
        return cmdFunction(command);
    if (name == QLatin1String("params"))
        return cmdParams(command);
    if (name == QLatin1String("monitor"))
        return cmdMonitor(command);
    if (name == QLatin1String("scan"))
        return cmdScan(command);
    return usageError(QStringLiteral("unknown command %1").arg(name));
}

int CliTool::cmdRead(const QStringList &command)
{
    int address = 0;
    if (command.size() < 2 || command.size() > 3 || !takeInt(command.at(1), 0, 65535, &address))
        return usageError(QStringLiteral("read takes ADDRESS [SCALE]"));
    double scale = 1;
    if (command.size() == 3) {
        bool ok = false;
        scale = command.at(2).toDouble(&ok);
        if (!ok || !std::isfinite(scale) || scale <= 0)
            return usageError(QStringLiteral("bad scale %1").arg(command.at(2)));
    }
    const double value = currentDriver()->readRegister(address, scale);
    if (value == -1) {
        if (address >= ReadWrite::kAddressLimit) {
            m_err << messageText(12) << '\n';
            m_err.flush();
            return 1;
        }
        return driveFailure();
    }
    m_out << QString::number(value, 'g', 6) << '\n';
    m_out.flush();
    return 0;
}

int CliTool::cmdWrite(const QStringList &command)
{
    int address = 0;
    int value = 0;
    if (command.size() != 3 || !takeInt(command.at(1), 0, 65535, &address) ||
        !takeInt(command.at(2), INT_MIN, INT_MAX, &value))
        return usageError(QStringLiteral("write takes ADDRESS VALUE"));
    if (!currentDriver()->writeRegister(address, value & 0xFFFF))
        return driveFailure();
    return 0;
}

int CliTool::cmdFunction(const QStringList &command)
{
    if (command.size() < 2 || command.size() > 3 || command.at(1).size() != 3)
        return usageError(QStringLiteral("function takes NAME [HZ], NAME of three characters"));
    QByteArray code = command.at(1).toLatin1();
    if (code == "FRE") {
        bool ok = false;
        const double hz = command.size() == 3 ? command.at(2).toDouble(&ok) : 0;
        const double units = std::floor((hz + 0.001) * 100);
        if (!ok || !(units >= 0 && units <= 65535))
            return usageError(QStringLiteral("FRE needs a frequency in Hz (0 to 655.35)"));
        const int n = int(units);
        code.append(char(n >> 8));
        code.append(char(n & 0xFF));
    } else if (command.size() == 3) {
        return usageError(QStringLiteral("only FRE takes a value"));
    }
    ReadWrite *driver = currentDriver();
    const int result = driver->runFunction(code);
    if (result == -1)
        return driveFailure();
    if (code.at(0) == 'M' && code.at(2) == 'R')
        m_out << QString::number(driver->lastReading(), 'g', 6) << '\n';
    else if (code.left(3) == "MOD")
        m_out << QChar(result) << '\n';
    else
        m_out << result << '\n';
    m_out.flush();
    return 0;
}

int CliTool::cmdPorts()
{
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        m_out << info.portName() << '\t' << info.systemLocation() << '\t' << info.description()
              << '\n';
    m_out.flush();
    return 0;
}
