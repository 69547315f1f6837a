#pragma once

#include <QByteArray>

// Modbus CRC-16 (polynomial A001 reflected, start FFFF); sent low byte first.
quint16 modbusCrc(const QByteArray &bytes);
// Modbus ASCII LRC of the bytes that the hexadecimal text encodes.
quint8 modbusLrc(const QByteArray &hexText, bool *ok = nullptr);
// Native protocol sum check: low 8 bits of the sum of the bytes.
quint8 nativeSum(const QByteArray &bytes);
// Strict hexadecimal parsing: -1 for anything that is not a hex digit.
int hexDigitValue(char c);
int hexPairValue(char high, char low);
// One to four hex digits as a 16-bit word, or -1.
int hexWordValue(const QByteArray &text);
// Two upper-case hexadecimal digits.
QByteArray hexByte(quint8 value);
// Four upper-case hexadecimal digits.
QByteArray hexWord(quint16 value);
