#include "frameobserver.h"

QString frameText(const QByteArray &bytes, FrameForm form)
{
    if (form == FrameForm::Bytes)
        return QString::fromLatin1(bytes.toHex(' ').toUpper());
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        switch (c) {
        case '\r': text += QLatin1String("\\r"); break;
        case '\n': text += QLatin1String("\\n"); break;
        case '\t': text += QLatin1String("\\t"); break;
        case '\\': text += QLatin1String("\\\\"); break;
        default:
            if (c >= 0x20 && c < 0x7F)
                text += QLatin1Char(c);
            else
                text += QStringLiteral("\\x%1").arg(quint8(c), 2, 16, QLatin1Char('0'));
        }
    }
    return text;
}

QString frameLogLine(qint64 ms, bool sent, int station, const QByteArray &bytes, FrameForm form)
{
    return QStringLiteral("%1 ms %2 %3: %4")
        .arg(ms)
        .arg(QLatin1Char(sent ? '>' : '<'))
        .arg(station)
        .arg(bytes.isEmpty() ? QStringLiteral("(no answer)") : frameText(bytes, form));
}
