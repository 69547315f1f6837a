// vantreo-cli scan: which drives answer on the line, at which station,
// protocol, baud rate and character format.
#include "link/driverregistry.h"
#include "clitool.h"
#include "outputformat.h"

#include "base/sharedstate.h"
#include "monitor/driveprobe.h"
#include "clioptions.h"

#include "link/driverfactory.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "link/transport.h"

#include <QSet>

namespace {
const QStringList kProtocolNames{QStringLiteral("native"), QStringLiteral("rtu"),
                                 QStringLiteral("ascii")};

// "1-32", "1,5,7-9": the numbers in order of first mention, each once.
bool parseNumberList(const QString &text, int min, int max, QList<int> *numbers)
{
    numbers->clear();
    for (const QString &piece : text.split(QLatin1Char(','))) {
        const QStringList ends = piece.split(QLatin1Char('-'));
        int first = 0, last = 0;
        if (ends.size() > 2 || !takeInt(ends.first(), min, max, &first) ||
            !takeInt(ends.last(), min, max, &last) || last < first)
            return false;
        for (int n = first; n <= last; ++n)
            if (!numbers->contains(n))
                numbers->append(n);
    }
    return !numbers->isEmpty();
}

QString formatText(const LineSettings &s)
{
    return QStringLiteral("%1%2%3").arg(s.dataBits).arg(QLatin1Char(s.parity)).arg(s.stopBits);
}

// Wire time of one question and its answer, request and answer lengths in
// characters by protocol: the least a probe can cost.
int probeCharacters(int protocol, int lineEndSize)
{
    switch (protocol) {
    case 1: return 8 + 7;                        // read of one register, CRC
    case 2: return 17 + 15;                      // the same in hex text, LRC, CR LF
    default: return 6 + lineEndSize + 11 + lineEndSize;  // status read, data answer
    }
}
}  // namespace

void CliTool::printScanRow(const QStringList &fields)
{
    static const QStringList kHeader{QStringLiteral("station"), QStringLiteral("protocol"),
                                     QStringLiteral("baud"),    QStringLiteral("format"),
                                     QStringLiteral("model"),   QStringLiteral("version")};
    OutputFormat format(OutputFormat::Kind(m_format), kHeader);
    format.setNumericColumns({0, 2});
    if (!m_scanHeaderWritten) {
        format.writeHeader(m_out);
        m_scanHeaderWritten = true;
    }
    format.writeRow(m_out, fields);
    m_out.flush();
}

// Which drive answers at the station the link is set to: its model, found
// as `params` and `monitor` find it, and its version with the series'
// corrections; "-" for what it does not tell.
QStringList CliTool::scannedDrive()
{
    const char seriesBefore = seriesLetter();
    const QString modelBefore = modelString();
    const DriveProbe::Result who = DriveProbe::run();
    if (who.series != '0') {
        setSeriesLetter(who.series);
        setModelString(who.model);
    }
    LinkState &link = linkState();
    // The native group lives in the link state, not in each drive.
    link.nativeGroup = -1;
    SwitchScope silent(link.silentReads, true);
    const double version = currentDriver()->readRegister(188, link.protocolCode == 0 ? 1 : 0.01);
    setSeriesLetter(seriesBefore);
    setModelString(modelBefore);
    return {who.series != '0' ? who.model : QStringLiteral("-"),
            version < 0 ? QStringLiteral("-") : QString::number(version)};
}

int CliTool::parseScan(const QStringList &command, ScanOptions &s)
{
    if (!parseNumberList(QStringLiteral("1-32"), 0, 255, &s.stations))
        return 2;
    for (int i = 1; i < command.size(); i += 2) {
        const QString opt = command.at(i);
        if (i + 1 >= command.size())
            return usageError(QStringLiteral("scan: %1 needs a value").arg(opt));
        const QString v = command.at(i + 1);
        bool ok = true;
        if (opt == QLatin1String("--stations")) {
            ok = parseNumberList(v, 0, 255, &s.stations);
        } else if (opt == QLatin1String("--protocols")) {
            s.protocols.clear();
            for (const QString &name : v.split(QLatin1Char(','))) {
                int p = 0;
                ok = ok && pickIndex(name, kProtocolNames, &p);
                if (ok && !s.protocols.contains(p))
                    s.protocols.append(p);
            }
        } else if (opt == QLatin1String("--bauds")) {
            s.bauds.clear();
            for (const QString &text : v.split(QLatin1Char(','))) {
                int baud = 0;
                ok = ok && takeInt(text, 1, 4000000, &baud) && ComSettings::indexForBaud(baud) >= 0;
                if (ok && !s.bauds.contains(baud))
                    s.bauds.append(baud);
            }
        } else {
            return usageError(QStringLiteral("scan: unknown option %1").arg(opt));
        }
        if (!ok)
            return usageError(QStringLiteral("scan: bad value for %1: %2").arg(opt, v));
    }
    return 0;
}

// Each protocol and baud rate in turn, each station with one probe. The
// character format is the stored one (or the options'), with the data bits
// the Modbus protocols fix. A station is reported at the first combination
// it answers in and not asked again.
int CliTool::cmdScan(const QStringList &command)
{
    ScanOptions scan;
    if (const int rc = parseScan(command, scan))
        return rc;
    LinkState &link = linkState();
    const std::shared_ptr<Transport> port = link.serialPort();
    const int lineEndSize = link.lineEnd == 2 ? 2 : link.lineEnd == 1 ? 1 : 0;
    const QString stationsText = command.contains(QLatin1String("--stations"))
                                     ? command.at(command.indexOf(QLatin1String("--stations")) + 1)
                                     : QStringLiteral("1-32");
    QSet<int> found;
    int drives = 0;
    for (const int protocol : qAsConst(scan.protocols)) {
        Options o = *m_options;
        o.settings.protocol = protocol;
        link.protocolCode = quint8(protocol);
        setCurrentDriver(createDriver(protocol));
        ReadWrite *driver = currentDriver();
        for (const int baud : qAsConst(scan.bauds)) {
            o.settings.baudIndex = ComSettings::indexForBaud(baud);
            const LineSettings line = lineSettingsFor(o);
            port->applySettings(line);
            QElapsedTimer timer;
            timer.start();
            int asked = 0, answered = 0;
            for (const int station : qAsConst(scan.stations)) {
                if (found.contains(station))
                    continue;
                link.setStation(station);
                ++asked;
                if (!driver->probe())
                    continue;
                ++answered;
                found.insert(station);
                printScanRow(QStringList{QString::number(station), kProtocolNames.at(protocol),
                                         QString::number(baud), formatText(line)} +
                             scannedDrive());
            }
            drives += answered;
            const double charMs =
                (1 + line.dataBits + (line.parity == 'N' ? 0 : 1) + line.stopBits) * 1000.0 / baud;
            const double floorMs = asked * probeCharacters(protocol, lineEndSize) * charMs;
            // Against the wire time alone: what question and answer take
            // on the line, had every station answered at once.
            m_err << QStringLiteral("scan: %1 %2 %3 stations %4: %5 found; %6 asked in %7 ms "
                                    "(wire time of question and answer %8 ms)\n")
                         .arg(kProtocolNames.at(protocol))
                         .arg(baud)
                         .arg(formatText(line), stationsText)
                         .arg(answered)
                         .arg(asked)
                         .arg(timer.elapsed())
                         .arg(qRound(floorMs));
            m_err.flush();
        }
    }
    link.setStation(m_options->station);
    m_err << QStringLiteral("scan: %1 drive(s) found in %2 ms\n").arg(drives).arg(m_started.elapsed());
    m_err.flush();
    return drives > 0 ? 0 : 1;
}
