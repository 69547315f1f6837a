#include "clitool.h"

#include "app/messagetable.h"
#include "app/series.h"
#include "app/sharedstate.h"
#include "link/driverfactory.h"
#include "app/userinteraction.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "link/serialporttransport.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simptyserver.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "parameters/cataloguefiles.h"
#include "parameters/parametercore.h"
#include "parameters/parameterfiles.h"

#include <QFile>
#include <QSerialPortInfo>

#include <atomic>
#include <cmath>
#include <csignal>

struct CliTool::Options {
    ComSettings settings;
    QString port;
    bool portGiven = false;
    bool dataBitsGiven = false;
    int station = 1;
    int lineEnd = -1;
    QString model;
};

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
        "                   [--data DIR] COMMAND ...\n"
        "\n"
        "Commands:\n"
        "  read ADDRESS [SCALE]   read one register, scaled (default scale 1; the\n"
        "                         native protocol uses the drive's decimal places)\n"
        "  write ADDRESS VALUE    write the low 16 bits of VALUE to a register\n"
        "  function NAME [HZ]     run a function of InvType/FNC.txt (FRE takes Hz)\n"
        "  ports                  list the serial ports\n"
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
    if (m_errors.isEmpty())
        m_errors.append(-1);
    // A dead line fails every step the same way: say it once.
    QStringList shown;
    for (int code : qAsConst(m_errors)) {
        const QString text = errorMessage(code);
        if (!shown.contains(text))
            shown.append(text);
    }
    m_err << shown.join(QLatin1Char('\n')) << '\n';
    m_err.flush();
    return 1;
}

static bool takeInt(const QString &text, int min, int max, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 0);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

static bool pickIndex(const QString &text, const QStringList &choices, int *index)
{
    const int i = choices.indexOf(text.toLower());
    if (i < 0)
        return false;
    *index = i;
    return true;
}

int CliTool::parseOptions(const QStringList &args, Options &o, QStringList &command)
{
    int i = 0;
    for (; i < args.size() && args.at(i).startsWith(QLatin1String("--")); ++i) {
        const QString opt = args.at(i);
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
    port->applySettings(lineSettingsFor(o));
    if (!port->open()) {
        m_err << messageText(4) << port->portName() << messageText(5) << '\n';
        m_err.flush();
        return 1;
    }
    link.setSerialPort(port);

    setCurrentDriver(createDriver(o.settings.protocol));
    return 0;
}

int CliTool::run(const QStringList &arguments)
{
    Options options;
    options.settings = storedSettings();
    QStringList command;
    if (const int rc = parseOptions(arguments, options, command))
        return rc;
    if (command.first() == QLatin1String("ports"))
        return cmdPorts();
    if (command.first() == QLatin1String("simulate"))
        return cmdSimulate(command.mid(1), options);
    QMetaObject::Connection errors = QObject::connect(
        LinkEvents::instance(), &LinkEvents::showErrorInfo,
        [this](int code) { m_errors.append(code); });
    // Warnings and progress of the core go where the tool's messages go.
    UserInteraction *previous = userInteraction();
    StderrInteraction interaction(&m_err);
    setUserInteraction(&interaction);
    int rc = connectLink(options);
    if (rc == 0)
        rc = runCommand(command);
    setUserInteraction(previous);
    QObject::disconnect(errors);
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

const char *const CliTool::kDefaultSimModel = "ZM-043-7.5K";

std::shared_ptr<Transport> CliTool::simulatedPort(const Options &o)
{
    auto line = std::make_shared<SimulatedLine>(o.settings.protocol,
                                                o.lineEnd >= 0 ? o.lineEnd : o.settings.lineEndIndex);
    const QString model = o.model.isEmpty() ? QString::fromLatin1(kDefaultSimModel) : o.model;
    line->addDrive(makeSimulatedDrive(o.station, model));
    return std::make_shared<SimPort>(line);
}

namespace {
std::atomic<bool> g_stopServing{false};
extern "C" void stopServing(int) { g_stopServing = true; }
}  // namespace

// Parses the drive list and line options of "simulate"; 0 or a usage error.
int CliTool::parseSimulation(const QStringList &args, Options &o, SimulationOptions &sim)
{
    QStringList generic;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (a == QLatin1String("--pty")) {
            sim.pty = true;
        } else if (a == QLatin1String("--fast")) {
            sim.fast = true;
        } else if (i + 1 >= args.size() || !a.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("simulate: unexpected %1").arg(a));
        } else if (a == QLatin1String("--link")) {
            sim.link = args.at(++i);
        } else if (a == QLatin1String("--turnaround")) {
            bool ok = false;
            sim.turnaroundMs = args.at(++i).toDouble(&ok);
            if (!ok || sim.turnaroundMs < 0 || sim.turnaroundMs > 10000)
                return usageError(QStringLiteral("bad turnaround %1").arg(args.at(i)));
        } else if (a == QLatin1String("--drive")) {
            const QStringList f = args.at(++i).split(QLatin1Char(':'));
            int station = 0;
            if (f.size() < 2 || f.size() > 3 || !takeInt(f.at(0), 1, 247, &station) ||
                f.at(1).isEmpty())
                return usageError(QStringLiteral("--drive takes STATION:MODEL[:VERSION]"));
            const double version = f.size() == 3 ? f.at(2).toDouble() : -1;
            sim.drives.append({station, f.at(1), version});
        } else {
            generic << a << args.at(++i);
        }
    }
    QStringList rest;
    if (const int rc = parseOptions(generic + QStringList{QStringLiteral("simulate")}, o, rest))
        return rc;
    if (!sim.pty)
        return usageError(QStringLiteral("simulate needs --pty"));
    if (sim.drives.isEmpty())
        sim.drives.append({1, QString::fromLatin1(kDefaultSimModel), -1});
    return 0;
}

int CliTool::cmdSimulate(const QStringList &args, Options options)
{
    SimulationOptions sim;
    if (const int rc = parseSimulation(args, options, sim))
        return rc;
    const int lineEnd = options.lineEnd >= 0 ? options.lineEnd : options.settings.lineEndIndex;
    auto line = std::make_shared<SimulatedLine>(options.settings.protocol, lineEnd);
    line->setLineSettings(options.settings.lineSettings());
    line->setTurnaroundMs(sim.turnaroundMs);
    for (const SimulationOptions::Drive &d : qAsConst(sim.drives))
        line->addDrive(makeSimulatedDrive(d.station, d.model, d.version));

    SimPtyServer server(line, sim.fast);
    QString error;
    if (!server.open(sim.link, &error)) {
        m_err << "vantreo-cli: " << error << '\n';
        m_err.flush();
        return 1;
    }
    m_out << server.slavePath() << '\n';
    m_out.flush();
    g_stopServing = false;
    std::signal(SIGINT, stopServing);
    std::signal(SIGTERM, stopServing);
    server.serve(g_stopServing);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return 0;
}

int CliTool::cmdParams(const QStringList &command)
{
    const QString sub = command.value(1);
    const bool withFile = sub == QLatin1String("save") || sub == QLatin1String("load");
    const bool known = (sub == QLatin1String("read") && command.size() == 2) ||
                       (sub == QLatin1String("get") && command.size() == 3) ||
                       (sub == QLatin1String("set") && command.size() == 4) ||
                       (sub == QLatin1String("save") && command.size() == 3) ||
                       (sub == QLatin1String("load") &&
                        (command.size() == 3 ||
                         (command.size() == 4 && command.at(3) == QLatin1String("--write"))));
    if (!known)
        return usageError(QStringLiteral(
            "params takes read, get N, set N VALUE, save FILE or load FILE [--write]"));
    if (seriesLetter() == '0')
        return usageError(QStringLiteral("params needs the drive's --model"));
    if (withFile && ParameterFiles::formatOf(command.at(2)) == ParameterFiles::Format::None)
        return usageError(QStringLiteral("a parameter file name ends in .xbel or .xls"));
    ParameterCore core;
    if (const int rc = prepareCatalogue(core))
        return rc;
    if (sub == QLatin1String("read"))
        return paramsRead(core);
    if (sub == QLatin1String("get"))
        return paramsGet(core, command);
    if (sub == QLatin1String("save"))
        return paramsSave(core, command.at(2));
    if (sub == QLatin1String("load"))
        return paramsLoad(core, command.at(2), command.size() == 4);
    return paramsSet(core, command);
}

int CliTool::prepareCatalogue(ParameterCore &core)
{
    const QString file = CatalogueFiles::cataloguePath(seriesLetter(), 0);
    if (!QFile::exists(file)) {
        m_err << "vantreo-cli: no parameter catalogue " << file << '\n';
        m_err.flush();
        return 1;
    }
    core.loadCatalogue();
    core.loadHiddenParameters();
    return 0;
}

void CliTool::printParameterRows(ParameterCore &core)
{
    ParameterTable &table = core.table();
    for (int row = 0; table.hasNumberCell(row); ++row) {
        m_out << table.text(row, ParameterTable::NumberColumn).trimmed() << '\t'
              << table.text(row, ParameterTable::NameColumn) << '\t'
              << table.text(row, ParameterTable::CurrentColumn) << '\t'
              << table.text(row, ParameterTable::UnitColumn) << '\n';
    }
    m_out.flush();
}

int CliTool::paramsRead(ParameterCore &core)
{
    const ParameterCore::BatchResult result = core.readAllParameters();
    if (result.status == ParameterCore::BatchResult::Status::NotStarted)
        return driveFailure();
    printParameterRows(core);
    if (result.status == ParameterCore::BatchResult::Status::LinkLost)
        return driveFailure();
    return 0;
}

static bool knownUnit(ParameterCore &core, int number, QString *unit)
{
    const int row = core.table().rowOfNumber(QString::number(number));
    if (row >= 0) {
        *unit = core.table().text(row, ParameterTable::UnitColumn);
        return true;
    }
    const QString name = QStringLiteral("P.") + QString::number(number);
    for (const HiddenParameterList::Entry &entry : core.hiddenParameterList()) {
        if (entry.name == name) {
            *unit = entry.unit;
            return true;
        }
    }
    return false;
}

int CliTool::paramsGet(ParameterCore &core, const QStringList &command)
{
    int number = 0;
    if (!takeInt(command.at(2), 0, ReadWrite::kAddressLimit - 1, &number))
        return usageError(QStringLiteral("params get takes a parameter number below 1600"));
    QString unit;
    if (!knownUnit(core, number, &unit)) {
        m_err << "vantreo-cli: parameter " << number << " is not in the catalogue\n";
        m_err.flush();
        return 1;
    }
    // As a click on the row: the table's current row holds the parameter.
    core.table().setCurrentCell(core.table().rowOfNumber(QString::number(number)),
                                ParameterTable::NumberColumn);
    const double value = core.readParameter(number);
    if (value == -1)
        return driveFailure();
    QString text = ParameterTransfer::formatValue(value);
    if (number == 188)
        text = ParameterTransfer::padVersion(text);
    m_out << text << '\n';
    m_out.flush();
    return 0;
}

int CliTool::paramsSet(ParameterCore &core, const QStringList &command)
{
    int number = 0;
    if (!takeInt(command.at(2), 0, ReadWrite::kAddressLimit - 1, &number))
        return usageError(QStringLiteral("params set takes a parameter number below 1600"));
    QString unit;
    if (!knownUnit(core, number, &unit)) {
        m_err << "vantreo-cli: parameter " << number << " is not in the catalogue\n";
        m_err.flush();
        return 1;
    }
    if (!core.writeParameter(number, command.at(3), unit))
        return driveFailure();
    return 0;
}

// A batch read that must finish: a file saved from a read cut short would
// lack values, and changes shown against it would be wrong.
int CliTool::readWholeDrive(ParameterCore &core)
{
    const ParameterCore::BatchResult result = core.readAllParameters();
    if (result.status != ParameterCore::BatchResult::Status::Completed)
        return driveFailure();
    for (int number : result.failed)
        m_err << "vantreo-cli: P." << number << " could not be read (shown as --)\n";
    m_err.flush();
    return 0;
}

int CliTool::paramsSave(ParameterCore &core, const QString &fileName)
{
    if (const int rc = readWholeDrive(core))
        return rc;
    return core.saveFile(fileName) ? 0 : 1;
}

int CliTool::paramsLoad(ParameterCore &core, const QString &fileName, bool write)
{
    if (const int rc = readWholeDrive(core))
        return rc;
    if (!core.openFile(fileName))
        return 1;
    printChanges(core);
    if (!write)
        return 0;
    const ParameterCore::BatchResult result = core.writeAllParameters();
    if (result.status == ParameterCore::BatchResult::Status::LinkLost)
        return driveFailure();
    return result.status == ParameterCore::BatchResult::Status::Completed &&
                   result.failed.isEmpty()
               ? 0
               : 1;
}

static bool sameValue(const QString &a, const QString &b)
{
    bool aNumber = false, bNumber = false;
    const double x = a.toDouble(&aNumber);
    const double y = b.toDouble(&bNumber);
    return aNumber && bNumber ? x == y : a.trimmed() == b.trimmed();
}

// The parameters a batch write of the setting values would change: those it
// writes (not passed over by ReadPar.txt or the series, not empty) whose
// value differs from the one just read.
void CliTool::printChanges(ParameterCore &core)
{
    QList<int> skipped;
    QString listFile, error;
    CatalogueFiles::readSkipList(seriesLetter(), &skipped, &listFile, &error);
    ParameterTable &table = core.table();
    for (int row = 0; table.hasNumberCell(row); ++row) {
        bool numeric = false;
        const int number = table.numberText(row).toInt(&numeric);
        const QString setting = table.text(row, ParameterTable::SettingColumn);
        const QString current = table.text(row, ParameterTable::CurrentColumn);
        if (!numeric || skipped.contains(number) || BatchTransfer::skippedBySeries(number) ||
            setting.trimmed().isEmpty() || sameValue(current, setting))
            continue;
        m_out << "P." << number << '\t' << current << '\t' << setting << '\n';
    }
    m_out.flush();
}
