#pragma once

#include "link/driverregistry.h"
#include "rtudrive.h"
#include "testsupport.h"

#include "base/series.h"
#include "link/readwritertu.h"

#include <QStringList>

// Building blocks of the parameter tests: feature rows, small catalogues
// written in the catalogue format, and a Modbus RTU driver on a scripted drive.

// A typeInfo.txt row whose feature is on for the given series letters.
inline QString featureRow(const QString &key, const QString &letters)
{
    static const char kOrder[] = "HBCSEFGXTLA";
    QString row = key;
    for (const char *c = kOrder; *c; ++c)
        row += letters.contains(QLatin1Char(*c)) ? QStringLiteral("//1") : QStringLiteral("//0");
    return row + QLatin1Char('\n');
}

// One catalogue entry; a null text leaves its element out.
struct FixtureParameter {
    QString number;
    QString name;
    QString range;
    QString unit;
    QString defaultValue;
    QString group;  // series 'A' only
};

inline QString fixtureElement(const char *kind, const QString &number, const QString &text)
{
    if (text.isNull())
        return QString();
    return QStringLiteral("  <%1%2>%3</%1%2>\n")
        .arg(QLatin1String(kind), number, text.toHtmlEscaped());
}

// A catalogue document: per parameter Group<n> (series 'A'), Name<n>,
// Range<n>, Unit<n> and Default<n>, each parameter wrapped in its own element.
inline QByteArray catalogueXml(const QList<FixtureParameter> &parameters, bool groups = false)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<InvParameter>\n");
    for (const FixtureParameter &p : parameters) {
        xml += QStringLiteral(" <Parameter>\n");
        if (groups)
            xml += fixtureElement("Group", p.number, p.group);
        xml += fixtureElement("Name", p.number, p.name);
        xml += fixtureElement("Range", p.number, p.range);
        xml += fixtureElement("Unit", p.number, p.unit);
        xml += fixtureElement("Default", p.number, p.defaultValue);
        xml += QStringLiteral(" </Parameter>\n");
    }
    xml += QStringLiteral("</InvParameter>\n");
    return xml.toUtf8();
}

// Sets the attached drive's model and the series it gives.
inline void attachModel(const QString &model)
{
    setModelString(model);
    setSeriesLetter(seriesLetterForModel(model, '0'));
}

// Modbus RTU at station 1 on a scripted port that `drive` answers.
inline std::shared_ptr<FakeTransport> useRtuDrive(RtuDrive &drive)
{
    std::shared_ptr<FakeTransport> fake = installFakePort();
    linkState().protocolCode = 1;
    linkState().setStation(1);
    fake->setResponder(drive.responder());
    auto *driver = new ReadWriteRTU;
    driver->setProtocol(1);
    setCurrentDriver(driver);
    return fake;
}
