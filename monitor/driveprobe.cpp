#include "driveprobe.h"
#include "link/driverregistry.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "parameters/cataloguefiles.h"
#include "parameters/cataloguereader.h"
#include "parameters/parametertable.h"

#include <QSet>
#include <QVector>

#include <algorithm>

namespace {
struct Range {
    int first, last;
    const char *series;
};
// Series whose identity registers are not parameters of other series come
// first: read in another order, a ZM-K drive's P.301/P.302 could pass for a
// ZM drive's identity.
const Range kRanges[] = {
    {1401, 1460, "A"}, {701, 760, "L"}, {401, 460, "GXT"}, {301, 360, "F"},
    {201, 260, "E"},   {201, 231, "BCS"},
};

struct Prefix {
    char series;
    const char *code;
    const char *suffix;
};
const Prefix kPrefixes[] = {
    {'H', "ZN", ""},  {'B', "ZD", ""},   {'C', "ZW", ""},  {'S', "ZR", ""},
    {'E', "ZP", ""},  {'F', "ZM", ""},   {'G', "ZM", "-K"}, {'X', "ZP2", ""},
    {'T', "ZR2", ""}, {'L', "ZM", "-KX"}, {'A', "ZQ1", ""},
};

class Prober
{
public:
    // -1 when refused or unanswered; a silent line ends the probe.
    double read(int address, double scale)
    {
        if (m_silent)
            return -1;
        const double v = currentDriver()->readRegister(address, scale);
        if (v == -1 && linkState().linkLost)
            m_silent = true;
        return v;
    }
    bool silent() const { return m_silent; }

private:
    bool m_silent = false;
};

QSet<int> catalogueNumbers(char series)
{
    ParameterTable table;
    CatalogueReader::Settings settings;
    settings.series = series;
    int rows = 0;
    QSet<int> numbers;
    if (CatalogueReader(table).load(CatalogueFiles::cataloguePath(series, 0), settings, &rows) !=
        CatalogueReader::Result::Loaded)
        return numbers;
    for (int row = 0; row < rows; ++row) {
        bool ok = false;
        const int n = table.numberText(row).toInt(&ok);
        if (ok)
            numbers.insert(n);
    }
    return numbers;
}

// Of series sharing identity registers, the one whose catalogue agrees best
// with which parameters the drive has: for every pair, one parameter only one
// of the two lists is read. Ties leave several candidates.
QList<char> bestByCatalogue(Prober &probe, const QList<char> &series)
{
    if (series.size() < 2)
        return series;
    QList<QSet<int>> sets;
    for (char s : series)
        sets << catalogueNumbers(s);
    QList<int> probes;
    for (int a = 0; a < series.size(); ++a) {
        for (int b = a + 1; b < series.size(); ++b) {
            QList<int> differ = (sets[a] - sets[b]).values() + (sets[b] - sets[a]).values();
            std::sort(differ.begin(), differ.end());
            for (int n : qAsConst(differ)) {
                if (n < ReadWrite::kAddressLimit && !probes.contains(n)) {
                    probes << n;
                    break;
                }
            }
        }
    }
    QVector<int> score(series.size(), 0);
    for (int n : qAsConst(probes)) {
        const bool answered = probe.read(n, 1) != -1;
        if (probe.silent())
            return {};
        for (int i = 0; i < series.size(); ++i)
            score[i] += sets[i].contains(n) == answered ? 1 : 0;
    }
    const int best = *std::max_element(score.begin(), score.end());
    QList<char> winners;
    for (int i = 0; i < series.size(); ++i)
        if (score[i] == best)
            winners << series[i];
    return winners;
}
}  // namespace

QString DriveProbe::modelFor(char series, int voltageCode, double capacity)
{
    for (const Prefix &p : kPrefixes) {
        if (p.series != series)
            continue;
        const bool low = voltageCode == 1 || voltageCode == 2;
        const QString voltage = series == 'H' ? (low ? "020" : "040") : (low ? "023" : "043");
        return QStringLiteral("%1-%2-%3K%4")
            .arg(QLatin1String(p.code), voltage, QString::number(capacity, 'g', 6),
                 QLatin1String(p.suffix));
    }
    return QString();
}

DriveProbe::Result DriveProbe::run()
{
    Result result;
    Prober probe;
    SwitchScope quiet(linkState().silentReads, true);

    // Series H: capacity in P.300 (0.01 kW) and the voltage itself in P.301.
    const double volts = probe.read(301, 1);
    if (volts == 220 || volts == 440) {
        const double capacity = probe.read(300, 0.01);
        if (capacity > 0) {
            result.series = 'H';
            result.model = modelFor('H', volts == 220 ? 2 : 3, capacity);
            return result;
        }
    }
    for (const Range &r : kRanges) {
        if (probe.silent())
            break;
        const double code = probe.read(r.first, 1);
        if (!(code >= 1 && code <= 3))
            continue;
        const double capacity = probe.read(r.first + 1, 0.01);
        if (!(capacity > 0) || probe.read(r.last, 0.01) == -1)
            continue;
        QList<char> series;
        for (const char *s = r.series; *s; ++s)
            series << *s;
        series = bestByCatalogue(probe, series);
        if (series.size() == 1) {
            result.series = series.first();
            result.model = modelFor(result.series, int(code), capacity);
            return result;
        }
        if (!series.isEmpty()) {
            result.candidates = series;
            return result;
        }
    }
    result.noAnswer = probe.silent();
    return result;
}
