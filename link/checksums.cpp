#include "checksums.h"

quint16 modbusCrc(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int hexPairValue(char high, char low)
{
    const int h = hexDigitValue(high);
    const int l = hexDigitValue(low);
    return h < 0 || l < 0 ? -1 : h * 16 + l;
}

int hexWordValue(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 4)
        return -1;
    int value = 0;
    for (char c : text) {
        const int d = hexDigitValue(c);
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

quint8 modbusLrc(const QByteArray &hexText, bool *ok)
{
    bool good = hexText.size() % 2 == 0;
    quint8 sum = 0;
    for (int i = 0; good && i + 1 < hexText.size(); i += 2) {
        const int value = hexPairValue(hexText.at(i), hexText.at(i + 1));
        good = value >= 0;
        sum = quint8(sum + value);
    }
    if (ok)
        *ok = good;
    return quint8(-sum);
}

quint8 nativeSum(const QByteArray &bytes)
{
    quint8 sum = 0;
    for (char c : bytes)
        sum = quint8(sum + quint8(c));
    return sum;
}

QByteArray hexByte(quint8 value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(2, '0');
}

QByteArray hexWord(quint16 value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}
