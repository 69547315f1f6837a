#include "clitool.h"
#include "link/driverregistry.h"
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
#include <QFileInfo>
#include <QMutex>
#include <QSerialPortInfo>

#include <cmath>

namespace {
// --trace: every frame on stderr, as the exchanging thread sees it. The
// link worker and the tool's own thread may both exchange and print, so a
// line is written whole under the lock every writer of stderr takes while
// a job runs.
class TraceLog : public FrameObserver
{
public:
    TraceLog(QTextStream &err, const QElapsedTimer &started, QMutex &lock)
        : m_err(err), m_started(started), m_lock(lock)
    {
    }

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
        QMutexLocker lock(&m_lock);
        m_err << line << '\n';
        m_err.flush();
    }

    QTextStream &m_err;
    const QElapsedTimer &m_started;
    QMutex &m_lock;
};
}  // namespace

CliTool::CliTool(QTextStream &out, QTextStream &err) : m_out(out), m_err(err)
{
    m_factory = [](const QString &port) {
        return std::make_shared<SerialPortTransport>(SerialPortTransport::systemPortName(port));
    };
}

namespace {
struct CommandHelp {
    const char *name;
    const char *text;
};

// One entry per command: the full help lists them all, COMMAND --help shows one.
const CommandHelp kCommandHelp[] = {
    {"read",
     "  read ADDRESS [SCALE]   read one register, scaled (default scale 1; the\n"
     "                         native protocol uses the drive's decimal places)\n"},
    {"write", "  write ADDRESS VALUE    write the low 16 bits of VALUE to a register\n"},
    {"function", "  function NAME [HZ]     run a function of InvType/FNC.txt (FRE takes Hz)\n"},
    {"ports", "  ports                  list the serial ports\n"},
    {"scan",
     "  scan [--stations LIST] [--protocols LIST] [--bauds LIST]\n"
     "                         find the drives on the line: one short question per\n"
     "                         station, protocol and baud rate (default stations 1-32,\n"
     "                         protocols rtu,ascii,native, bauds 9600,19200,38400,115200);\n"
     "                         one line per drive (station, protocol, baud, format,\n"
     "                         model, version; tab-separated), progress on stderr\n"},
    {"params",
     "  params read            read every parameter of the drive's catalogue\n"
     "                         (P number, name, current value, unit; --format json\n"
     "                         prints one object per line)\n"
     "  params get N           read parameter N with its catalogue scale\n"
     "  params set N VALUE     write VALUE, in the parameter's unit, to parameter N\n"
     "  params save FILE       read every parameter and save the set as FILE\n"
     "                         (.xbel or .xls, exactly in lower case)\n"
     "  params load FILE [--write]\n"
     "                         load FILE into the setting values and print what\n"
     "                         would change (P number, drive value, file value;\n"
     "                         tab-separated); --write writes the setting values\n"
     "                         Without --model the drive's identity is read first.\n"},
    {"monitor",
     "  monitor [--quantities LIST] [--cycles N | --seconds S]\n"
     "                         read the drive's identity, then the live quantities\n"
     "                         (LIST of positions 0 to 23, default 0,1,2) once per\n"
     "                         cycle; --format json prints one object per cycle\n"},
    {"simulate",
     "  simulate --pty [--link PATH] [--protocol rtu|ascii|native] [--baud N]\n"
     "           [--line-end none|cr|crlf] [--turnaround MS] [--fast]\n"
     "           [--drive STATION:MODEL[:VERSION]]...\n"
     "                         serve simulated drives on a new pseudo-terminal\n"},
};
}  // namespace

QString CliTool::usage()
{
    QString text = QStringLiteral(
        "Usage: vantreo-cli [--port NAME] [--protocol rtu|ascii|native] [--baud N]\n"
        "                   [--data-bits 7|8] [--parity none|odd|even] [--stop-bits 1|2]\n"
        "                   [--line-end none|cr|crlf] [--station N] [--model MODEL]\n"
        "                   [--format tsv|csv|json] [--data DIR] [--trace] COMMAND ...\n"
        "       vantreo-cli --help | --version | COMMAND --help\n"
        "\n"
        "Commands:\n");
    for (const CommandHelp &c : kCommandHelp)
        text += QLatin1String(c.text);
    text += QStringLiteral(
        "\n"
        "--trace writes every frame sent (>) and received (<) on stderr, with the\n"
        "milliseconds since the command started and the station.\n"
        "\n"
        "--port sim puts one simulated drive (--model, default ZM-043-7.5K) at\n"
        "--station on an in-process line.\n"
        "--model names the drive's model (e.g. ZN-020-5.5K); without it params and\n"
        "monitor read the drive's identity and say on stderr which drive they found.\n"
        "--format sets how params read, params get and monitor print their rows:\n"
        "tsv (tab-separated, the default), csv or json (one object per line).\n"
        "\n"
        "Settings not given come from iniProtocol.txt, which the desktop program's\n"
        "communication setup writes: in the data folder, or for an installed copy\n"
        "in ~/.config/vantreo. As in the communication setup, Modbus RTU runs with\n"
        "8 data bits and Modbus ASCII with 7 unless --data-bits says otherwise.\n"
        "Exit status: 0 success, 1 drive or link failure, 2 usage error.\n");
    return text;
}

QString CliTool::commandUsage(const QString &command)
{
    for (const CommandHelp &c : kCommandHelp) {
        if (command == QLatin1String(c.name))
            return QStringLiteral("Usage: vantreo-cli [OPTION]...\n") + QLatin1String(c.text);
    }
    return QString();
}

QString CliTool::version()
{
    return QStringLiteral(VANTREO_VERSION);
}

int CliTool::usageError(const QString &why)
{
    m_err << "vantreo-cli: " << why << "\nTry 'vantreo-cli --help'.\n";
    m_err.flush();
    return 2;
}

// Prints the link's own message; an operation that failed without a report
// (a monitor reading) still says why.
int CliTool::driveFailure()
{
    // Reports of other threads not yet taken up by this thread's events.
    LinkEvents::deliverPending();
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

// Help and version asked for anywhere before the command, or COMMAND --help.
// Returns true when one was printed.
bool CliTool::printHelpAsked(const QStringList &args)
{
    int i = 0;
    for (; i < args.size() && args.at(i).startsWith(QLatin1Char('-')); ++i) {
        const QString a = args.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            m_out << usage();
            m_out.flush();
            return true;
        }
        if (a == QLatin1String("--version")) {
            m_out << "vantreo-cli " << version() << '\n';
            m_out.flush();
            return true;
        }
        ++i;  // every other option takes a value
    }
    if (i >= args.size())
        return false;
    const QStringList rest = args.mid(i + 1);
    const QString help = commandUsage(args.at(i));
    if (help.isEmpty() ||
        !(rest.contains(QLatin1String("--help")) || rest.contains(QLatin1String("-h"))))
        return false;
    m_out << help;
    m_out.flush();
    return true;
}

int CliTool::parseOptions(const QStringList &args, Options &o, QStringList &command)
{
    int i = 0;
    for (; i < args.size() && args.at(i).startsWith(QLatin1Char('-')); ++i) {
        const QString opt = args.at(i);
        if (!opt.startsWith(QLatin1String("--")))
            return usageError(QStringLiteral("unknown option %1").arg(opt));
        if (opt == QLatin1String("--trace")) {
            o.trace = true;
            continue;
        }
        if (i + 1 >= args.size())
            return usageError(QStringLiteral("%1 needs a value").arg(opt));
        const QString v = args.at(++i);
        int n = 0;
        bool ok = true;
        QString why;
        if (opt == QLatin1String("--port")) {
            o.port = v;
            o.portGiven = true;
            ok = !v.trimmed().isEmpty();
        } else if (opt == QLatin1String("--protocol")) {
            ok = pickIndex(v, {QStringLiteral("native"), QStringLiteral("rtu"),
                               QStringLiteral("ascii")}, &o.settings.protocol);
            why = QStringLiteral("rtu, ascii or native");
        } else if (opt == QLatin1String("--baud")) {
            ok = takeInt(v, 1, 4000000, &n) && ComSettings::indexForBaud(n) >= 0;
            if (ok)
                o.settings.baudIndex = ComSettings::indexForBaud(n);
            why = QStringLiteral("a baud rate of the communication setup");
        } else if (opt == QLatin1String("--data-bits")) {
            ok = takeInt(v, 7, 8, &n);
            o.settings.dataBitsIndex = n - 7;
            o.dataBitsGiven = true;
            why = QStringLiteral("7 or 8");
        } else if (opt == QLatin1String("--parity")) {
            ok = pickIndex(v, {QStringLiteral("none"), QStringLiteral("odd"),
                               QStringLiteral("even")}, &o.settings.parityIndex);
            why = QStringLiteral("none, odd or even");
        } else if (opt == QLatin1String("--stop-bits")) {
            ok = takeInt(v, 1, 2, &n);
            o.settings.stopBitsIndex = n - 1;
            why = QStringLiteral("1 or 2");
        } else if (opt == QLatin1String("--line-end")) {
            ok = pickIndex(v, {QStringLiteral("none"), QStringLiteral("cr"),
                               QStringLiteral("crlf")}, &o.lineEnd);
            why = QStringLiteral("none, cr or crlf");
        } else if (opt == QLatin1String("--station")) {
            ok = takeInt(v, 0, 255, &o.station);
            why = QStringLiteral("0 to 255");
        } else if (opt == QLatin1String("--model")) {
            // The series follows from the model; one that names none would
            // leave the tool without a catalogue.
            o.model = v.simplified();
            ok = seriesLetterForModel(o.model, '0') != '0';
            why = QStringLiteral("a model such as ZM-043-7.5K");
        } else if (opt == QLatin1String("--format")) {
            ok = OutputFormat::parse(v, &o.format);
            why = QStringLiteral("tsv, csv or json");
        } else if (opt == QLatin1String("--data")) {
            ok = QFileInfo(v).isDir();
            if (ok)
                setDataDirectory(v);
            why = QStringLiteral("an existing folder");
        } else {
            return usageError(QStringLiteral("unknown option %1").arg(opt));
        }
        if (!ok)
            return usageError(why.isEmpty()
                                  ? QStringLiteral("bad value for %1: '%2'").arg(opt, v)
                                  : QStringLiteral("bad value for %1: '%2' (%3)").arg(opt, v, why));
    }
    command = args.mid(i);
    if (command.isEmpty())
        return usageError(QStringLiteral("no command given"));
    // --format may also follow the command (params read --format json).
    for (int k = 1; k + 1 < command.size(); ++k) {
        if (command.at(k) != QLatin1String("--format"))
            continue;
        if (!OutputFormat::parse(command.at(k + 1), &o.format))
            return usageError(QStringLiteral("bad value for --format: '%1' (tsv, csv or json)")
                                  .arg(command.at(k + 1)));
        command.removeAt(k);
        command.removeAt(k);
        --k;
    }
    if (command.size() >= 2 && command.last() == QLatin1String("--format"))
        return usageError(QStringLiteral("--format needs a value"));
    return 0;
}

static ComSettings storedSettings()
{
    ComSettings settings;
    QFile file(PortSetup::settingsFileName());
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
        // The message table's text ends without a space before the port name.
        m_err << messageText(4) << ' ' << port->portName() << messageText(5) << '\n';
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
    if (printHelpAsked(arguments))
        return 0;
    Options options;
    options.settings = storedSettings();
    QStringList command;
    if (const int rc = parseOptions(arguments, options, command))
        return rc;
    if (command.first() == QLatin1String("ports"))
        return cmdPorts();
    if (command.first() == QLatin1String("simulate"))
        return cmdSimulate(command.mid(1), options);
    // Errors come from this thread and from the link worker's jobs; all of
    // them are emitted on this thread (a job's before its end, see
    // LinkJob::finished), so the slot runs here.
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
    LockedInteraction locked(interaction, m_errLock);
    setUserInteraction(&locked);
    std::shared_ptr<FrameObserver> trace;
    if (options.trace) {
        trace = std::make_shared<TraceLog>(m_err, m_started, m_errLock);
        linkState().addFrameObserver(trace);
    }
    m_options = &options;
    m_format = options.format;
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
