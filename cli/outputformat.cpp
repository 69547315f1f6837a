#include "outputformat.h"

#include <QRegularExpression>
#include <QTextStream>

bool OutputFormat::parse(const QString &name, Kind *kind)
{
    const QString n = name.toLower();
    if (n == QLatin1String("tsv"))
        *kind = Tsv;
    else if (n == QLatin1String("csv"))
        *kind = Csv;
    else if (n == QLatin1String("json"))
        *kind = Json;
    else
        return false;
    return true;
}

OutputFormat::OutputFormat(Kind kind, const QStringList &header) : m_kind(kind), m_header(header)
{
}

QString OutputFormat::csvField(const QString &text)
{
    static const QRegularExpression special(QStringLiteral("[,\"\r\n]"));
    if (!text.contains(special) && text.trimmed() == text)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString OutputFormat::jsonString(const QString &text)
{
    QString s = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': s += QLatin1String("\\\""); break;
        case '\\': s += QLatin1String("\\\\"); break;
        case '\n': s += QLatin1String("\\n"); break;
        case '\r': s += QLatin1String("\\r"); break;
        case '\t': s += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                s += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
            else
                s += c;
        }
    }
    return s + QLatin1Char('"');
}

QString OutputFormat::header() const
{
    if (m_kind != Csv)
        return QString();
    QStringList fields;
    for (const QString &h : m_header)
        fields << csvField(h);
    return fields.join(QLatin1Char(',')) + QLatin1Char('\n');
}

QString OutputFormat::row(const QStringList &fields) const
{
    if (m_kind == Tsv)
        return fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    if (m_kind == Csv) {
        QStringList quoted;
        for (const QString &f : fields)
            quoted << csvField(f);
        return quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    // JSON's own number grammar: QString::toDouble also takes "inf", "0x1f"
    // and "+1", which a JSON reader refuses.
    static const QRegularExpression number(
        QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?$"));
    QStringList members;
    for (int i = 0; i < fields.size(); ++i) {
        const QString key = i < m_header.size() ? m_header.at(i) : QString::number(i);
        const QString &f = fields.at(i);
        const bool asNumber = m_numeric.contains(i) && number.match(f).hasMatch();
        members << jsonString(key) + QLatin1Char(':') + (asNumber ? f : jsonString(f));
    }
    return QLatin1Char('{') + members.join(QLatin1Char(',')) + QLatin1String("}\n");
}

void OutputFormat::writeHeader(QTextStream &out) const
{
    out << header();
    out.flush();
}

void OutputFormat::writeRow(QTextStream &out, const QStringList &fields) const
{
    out << row(fields);
    out.flush();
}
