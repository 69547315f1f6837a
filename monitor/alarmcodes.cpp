#include "alarmcodes.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {
QString readAll(const QString &fileName, bool *opened, QString *error)
{
    QFile file(fileName);
    *opened = file.open(QIODevice::ReadOnly | QIODevice::Text);
    if (!*opened) {
        if (error)
            *error = file.errorString();
        return QString();
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    return in.readAll();
}
}  // namespace

bool AlarmCodeTable::load(const QString &fileName, QString *error)
{
    bool opened = false;
    const QString text = readAll(fileName, &opened, error);
    if (!opened)
        return false;
    setText(text);
    return true;
}

void AlarmCodeTable::setText(const QString &text)
{
    m_lines.clear();
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        QString l = line;
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
        if (!l.isEmpty())
            m_lines.append(l.split(QLatin1Char('-')));
    }
}

QString AlarmCodeTable::lookup(int number, char series) const
{
    const bool brakeAsBi = series == 'B' || series == 'E' || series == 'X';
    QString name;
    for (const QStringList &parts : m_lines) {
        bool ok = false;
        const int n = parts.value(0).trimmed().toInt(&ok);
        if (!ok || n != number)
            continue;
        name = brakeAsBi && parts.value(0) == QLatin1String("112") ? QStringLiteral("BI")
                                                                    : parts.value(1);
    }
    return name;
}

// --- lamp list --------------------------------------------------------------

QStringList AlarmLampList::parse(const QString &text, char series, double version)
{
    QStringList entries;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r?\n")));
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList selector = lines.at(i).split(QLatin1Char('-'));
        if (selector.size() < 3 || selector.at(0) != QString(QLatin1Char(series)))
            continue;
        bool lowOk = false;
        bool highOk = false;
        const double low = selector.at(1).toDouble(&lowOk);
        const double high = selector.at(2).toDouble(&highOk);
        if (!lowOk || !highOk || !(low <= version && version < high) || i + 1 >= lines.size())
            continue;
        ++i;
        entries += lines.at(i).split(QLatin1Char('-'));
    }
    return entries;
}

QStringList AlarmLampList::read(const QString &fileName, char series, double version)
{
    bool opened = false;
    const QString text = readAll(fileName, &opened, nullptr);
    return opened ? parse(text, series, version) : QStringList();
}

QStringList AlarmLampList::lampNames(const QStringList &entries)
{
    QStringList names;
    for (int i = 0; 2 * i + 1 < entries.size(); ++i)
        names.append(entries.at(2 * i + 1));
    return names;
}
