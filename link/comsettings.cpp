#include "comsettings.h"

#include <QStringList>

namespace {
const qint32 kBauds[] = {4800, 9600, 19200, 38400, 57600, 115200};
}

ComSettings ComSettings::fromLine(const QString &line)
{
    return fromLine(line, ComSettings());
}

ComSettings ComSettings::fromLine(const QString &rawLine, const ComSettings &base)
{
    ComSettings s = base;
    const QStringList f = rawLine.trimmed().split(QLatin1Char('-'));
    auto field = [&f](int i) { return i < f.size() ? f.at(i).trimmed() : QString(); };
    const QString protocol = field(0);
    s.protocol = protocol == QLatin1String("0") ? 0 : protocol == QLatin1String("1") ? 1 : 2;
    if (!field(1).isEmpty())
        s.portText = field(1);
    if (f.size() > 2) {
        const QString baud = field(2);
        bool ok = false;
        const int index = baud.toInt(&ok);
        s.baudIndex = ok && index >= 0 && index <= 4 ? index : 5;
    }
    if (field(3) == QLatin1String("0") || field(3) == QLatin1String("1"))
        s.dataBitsIndex = field(3).toInt();
    if (field(4) == QLatin1String("0") || field(4) == QLatin1String("1"))
        s.stopBitsIndex = field(4).toInt();
    if (f.size() > 5)
        s.parityIndex = field(5) == QLatin1String("0") ? 0 : field(5) == QLatin1String("1") ? 1 : 2;
    const QString lineEnd = field(6);
    if (lineEnd == QLatin1String("0") || lineEnd == QLatin1String("1") ||
        lineEnd == QLatin1String("2"))
        s.lineEndIndex = lineEnd.toInt();
    return s;
}

// Joined, not built with chained arg(): a port text holding "%1" would
// otherwise take the next field's value in its place.
QString ComSettings::toLine() const
{
    return QStringList{QString::number(protocol), portText, QString::number(baudIndex),
                       QString::number(dataBitsIndex), QString::number(stopBitsIndex),
                       QString::number(parityIndex), QString::number(lineEndIndex)}
        .join(QLatin1Char('-'));
}

LineSettings ComSettings::lineSettings() const
{
    LineSettings l;
    l.baudRate = baudForIndex(baudIndex);
    l.dataBits = dataBitsIndex == 0 ? 7 : 8;
    l.stopBits = stopBitsIndex == 0 ? 1 : 2;
    l.parity = parityIndex == 0 ? 'N' : parityIndex == 1 ? 'O' : 'E';
    return l;
}

qint32 ComSettings::baudForIndex(int index)
{
    return index >= 0 && index <= 4 ? kBauds[index] : 115200;
}

int ComSettings::indexForBaud(qint32 baud)
{
    for (int i = 0; i < 6; ++i)
        if (kBauds[i] == baud)
            return i;
    return -1;
}

int ComSettings::dataBitsFor(int protocol, int dataBitsIndex)
{
    if (protocol == 1)
        return 8;
    if (protocol == 2)
        return 7;
    return dataBitsIndex == 0 ? 7 : 8;
}

const QString &ComSettings::devicePrefix()
{
    static const QString prefix = QStringLiteral("\\\\.\\");
    return prefix;
}

int ComSettings::portNumber(const QString &portText)
{
    bool ok = false;
    const int number = portText.mid(3).toInt(&ok, 10);
    return ok ? number : 0;
}

QString ComSettings::prefixedPortName(const QString &portText, PrefixRule rule)
{
    if (portText.startsWith(devicePrefix()))
        return portText;
    const bool prefix = rule == PrefixRule::NameLength ? portText.size() > 4
                                                       : portNumber(portText) >= 10;
    return prefix ? devicePrefix() + portText : portText;
}

bool ComSettings::isStorablePortText(const QString &portText)
{
    if (portText.isEmpty() || portText.contains(QLatin1Char('-')))
        return false;
    // Controls, NUL and lone surrogates would not read back as written.
    for (int i = 0; i < portText.size(); ++i) {
        const QChar c = portText.at(i);
        if (c.isSpace() || !c.isPrint())
            return false;
        if (c.isHighSurrogate() && i + 1 < portText.size() && portText.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}
