#include "typecatalogue.h"

#include "sharedstate.h"

#include <QFile>
#include <QRegularExpression>

namespace {
// A value line split at '=' and ',': the key, then its values; no empty pieces.
QStringList valuePieces(const QString &line)
{
    static const QRegularExpression separators(QStringLiteral("[=,]"));
    return line.split(separators, Qt::SkipEmptyParts);
}

QStringList valuesOf(const QString &line)
{
    return valuePieces(line).mid(1);
}

// The name of a "[name]" header line; empty when the line is no header.
QString sectionName(const QString &line)
{
    if (!line.startsWith(QLatin1Char('[')))
        return QString();
    static const QRegularExpression brackets(QStringLiteral("[\\[\\]]"));
    return line.split(brackets, Qt::SkipEmptyParts).value(0);
}

QString withoutLeadingSpace(const QString &line)
{
    int i = 0;
    while (i < line.size() && line.at(i).isSpace())
        ++i;
    return line.mid(i);
}
}  // namespace

TypeCatalogue TypeCatalogue::load(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return TypeCatalogue();
    return parse(file.read(kMaxBytes));
}

TypeCatalogue TypeCatalogue::loadShipped()
{
    return load(dataPath(QStringLiteral("InvType/InvType.mgr")));
}

TypeCatalogue TypeCatalogue::parse(const QByteArray &text)
{
    TypeCatalogue c;
    QString all = QString::fromUtf8(text.left(int(kMaxBytes)));
    all.remove(QLatin1Char('\r'));
    for (const QString &line : all.split(QLatin1Char('\n')))
        c.m_lines.append(withoutLeadingSpace(line));
    // The head, by position: line 1 names [inv_Type], line 3 is free.
    if (sectionName(c.m_lines.value(0)) != QLatin1String("inv_Type"))
        return c;
    c.m_types = valuesOf(c.m_lines.value(1));
    if (sectionName(c.m_lines.value(3)) == QLatin1String("PW_ID")) {
        c.m_allPowers = valuesOf(c.m_lines.value(4));
        c.m_oldPowers = valuesOf(c.m_lines.value(5));
    }
    return c;
}

QStringList TypeCatalogue::powersOf(const QString &type) const
{
    if (type.isEmpty())
        return {};
    for (int i = 0; i < m_lines.size(); ++i) {
        if (sectionName(m_lines.at(i)) != type)
            continue;
        const QStringList pieces = valuePieces(m_lines.value(i + 1));
        if (pieces.value(0).trimmed() == QLatin1String("POWER"))
            return pieces.mid(1);
        return {};
    }
    return {};
}
