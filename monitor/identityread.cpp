#include "identityread.h"
#include "link/driverregistry.h"

#include "parameteraccess.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "parameters/parametertransfer.h"

#include <QMutex>
#include <QRegularExpression>

#include <cmath>

namespace {
QMutex g_extraMutex;
QString g_extraText;

QString shortText(double value) { return QString::number(value, 'g', 6); }

QStringList modelPieces(const QString &model)
{
    static const QRegularExpression separators(QStringLiteral("-|/"));
    return model.split(separators, Qt::SkipEmptyParts);
}

// A failed identity read must not leave rejected writes of register 77
// counting as successes.
QStringList failed()
{
    linkState().acceptReject77 = false;
    linkState().silentReads = false;
    return QStringList();
}
}  // namespace

QString IdentityRead::extraText()
{
    QMutexLocker lock(&g_extraMutex);
    return g_extraText;
}

double IdentityRead::modelCapacity(const QString &model)
{
    const QStringList pieces = modelPieces(model);
    if (pieces.size() < 3)
        return 0;
    QString capacity = pieces.at(2);
    capacity.chop(1);
    return capacity.toDouble();
}

std::optional<DriveInfo> IdentityRead::driveInfo(const QStringList &record, char series)
{
    if (record.isEmpty())
        return std::nullopt;
    DriveInfo info;
    info.version = record.value(1);
    info.current = record.value(2);
    info.voltage = record.value(3);
    const QStringList parts = record.value(0).split(QLatin1Char('-'));
    const QString selection = record.value(4);
    if (series == 'G') {
        // ZM-K: the rating selection says which of a dual rating applies.
        const QStringList ratings = parts.value(2).split(QLatin1Char('/'));
        if (selection.contains(QLatin1Char('0'))) {
            info.typeKnown = true;
            info.type = QStringLiteral("ZM");
            info.power = ratings.value(0) + QLatin1Char('W');
        } else if (selection.contains(QLatin1Char('1'))) {
            info.typeKnown = true;
            info.type = QStringLiteral("ZM-K");
            info.power = ratings.value(ratings.size() < 2 ? 0 : 1) + QLatin1Char('W');
        }
    } else if (series == 'L') {
        info.typeKnown = true;
        info.type = QStringLiteral("ZM-KX");
        info.power = parts.value(2) + QLatin1Char('W');
    } else {
        info.typeKnown = true;
        info.type = parts.value(0);
        info.power = parts.value(2);
    }
    return info;
}

bool IdentityRead::registerRange(int *first, int *last)
{
    struct Range {
        const char *feature;
        int first, last;
    };
    static const Range kRanges[] = {
        {"monitorthread_readInverterInfo_F", 301, 360},
        {"monitorthread_readInverterInfo_XGT", 401, 460},
        {"monitorthread_readInverterInfo_BCS", 201, 231},
        {"monitorthread_readInverterInfo_E", 201, 260},
        {"monitorthread_readInverterInfo_L", 701, 760},
        {"monitorthread_readInverterInfo_H", 300, 199},
        {"monitorthread_readInverterInfo_A", 1401, 1460},
    };
    for (const Range &r : kRanges) {
        if (isSeriesFeature(QString::fromLatin1(r.feature))) {
            *first = r.first;
            *last = r.last;
            return true;
        }
    }
    return false;
}

QStringList IdentityRead::run()
{
    int first = 0;
    int last = 0;
    if (!registerRange(&first, &last))
        return QStringList();
    return first == 300 && last == 199 ? runSeriesH() : runGeneral(first, last);
}

// A read that fails after opening the write guard closes it again (as far
// as the link allows): the drive must not be left taking parameter writes it
// would otherwise refuse.
QStringList IdentityRead::failedWithGuardOpen(const QString &saved)
{
    m_parameters.writeParameter(77, saved, QStringLiteral("1"));
    return failed();
}

bool IdentityRead::saveAndOpenGuard(QString *saved)
{
    linkState().acceptReject77 = true;
    const double guard = currentDriver()->readRegister(77, 1);
    if (guard == -1)
        return false;
    *saved = shortText(guard);
    return m_parameters.writeParameter(77, QStringLiteral("9999"), QStringLiteral("1"));
}

QString IdentityRead::readParameterText(int number)
{
    const double value = m_parameters.readParameter(number);
    return value == -1 ? QString() : shortText(value);
}

QString IdentityRead::versionText(int last)
{
    const char series = seriesLetter();
    if (series == 'B' || series == 'E') {
        const double v = currentDriver()->readRegister(last, 0.01);
        return v == -1 ? QString() : shortText(v);
    }
    // Trailing zeros fill the version to five characters ("V0.40"); a whole
    // version such as "1" gets its decimal point first ("V1.00", not "V1000").
    QString text = QStringLiteral("V") + m_parameters.catalogueVersion();
    if (!text.contains(QLatin1Char('.')))
        text += QLatin1Char('.');
    while (text.size() < 5)
        text += QLatin1Char('0');
    return text;
}

QString IdentityRead::voltageText(const QString &firstText, bool *open)
{
    *open = false;
    bool ok = false;
    const double v = firstText.toDouble(&ok);
    if (ok && (v == 1 || v == 2))
        return QStringLiteral("220V");
    if (ok && v == 3)
        return QStringLiteral("440V");
    if (ok && v > 3)
        return firstText;
    *open = true;  // 0, or nothing read
    return QString();
}

QString IdentityRead::voltageFromModel(const QString &model)
{
    const QStringList pieces = modelPieces(model);
    if (pieces.size() < 3 || pieces.at(1).size() < 2)
        return QStringLiteral("---");
    const QChar c = pieces.at(1).at(1);
    return c == QLatin1Char('2') ? QStringLiteral("220V")
           : c == QLatin1Char('3') ? QStringLiteral("440V")
                                   : QStringLiteral("---");
}

QStringList IdentityRead::runGeneral(int first, int last)
{
    QString saved;
    if (!saveAndOpenGuard(&saved))
        return failed();
    const QString model = modelString();
    const bool bigG = seriesLetter() == 'G' && modelCapacity(model) > 160;
    const double current = currentDriver()->readRegister(56, bigG ? 0.1 : 0.01);
    if (current == -1)
        return failedWithGuardOpen(saved);
    const QString currentText = shortText(current) + QLatin1Char('A');

    linkState().silentReads = true;
    const QString firstText = readParameterText(first);
    readParameterText(first + 1);
    if (seriesLetter() == 'G') {
        const QString p186 = readParameterText(186);
        if (p186 != QLatin1String("false")) {
            QMutexLocker lock(&g_extraMutex);
            g_extraText = p186;
        }
    }
    QString version = versionText(last);
    linkState().silentReads = false;
    if (!m_parameters.writeParameter(77, saved, QStringLiteral("1")))
        return failed();
    linkState().acceptReject77 = false;

    bool open = false;
    QString voltage = voltageText(firstText, &open);
    if (modelPieces(model).size() < 3 || open) {
        version = QStringLiteral("---");
        voltage = voltageFromModel(model);
    }
    const char series = seriesLetter();
    const QString drive = series == 'G' || series == 'L' ? model : model + QLatin1Char('W');
    return {drive, version, currentText, voltage, extraText()};
}

QStringList IdentityRead::runSeriesH()
{
    QString saved;
    if (!saveAndOpenGuard(&saved))
        return failed();
    const double current = currentDriver()->readRegister(56, 1);
    if (current == -1)
        return failedWithGuardOpen(saved);
    const QString currentText = shortText(current) + QLatin1Char('A');
    const QString capacity = readParameterText(300);
    const QString voltage = readParameterText(301);
    const double p199 = m_parameters.readParameter(199);
    QString version = p199 == -1 ? QString() : shortText(std::floor(p199) * 0.01);
    QString drive;
    if (voltage == QLatin1String("220") || voltage == QLatin1String("440")) {
        drive = QStringLiteral("ZN-%1-%2K")
                    .arg(voltage == QLatin1String("220") ? "020" : "040", capacity);
    } else {
        version = QStringLiteral("---");
        drive = modelString();
    }
    // The saved text is a reading: 9999 (99999) stands for 0xFFFF, which
    // the parameter conversion gives back, as the general read's restore
    // through writeParameter does.
    const ParameterTransfer::RegisterValue guard = ParameterTransfer::toRegisterValue(saved, 1);
    if (!guard.ok || !currentDriver()->writeRegister(77, guard.value))
        return failed();
    linkState().acceptReject77 = false;
    return {drive, version, currentText, QString()};
}
