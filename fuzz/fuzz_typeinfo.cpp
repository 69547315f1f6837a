// The series feature table (InvType/typeInfo.txt): the input as the file's
// text, then the features of every series looked up, including the keys the
// text itself names.
#include "fuzzsupport.h"

#include <QStringList>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzz::bytes(data, size));
    setSeriesFeatureText(text);
    QStringList keys = {QStringLiteral("readWrite_99999"), QStringLiteral("readWrite_H"), QString()};
    for (const QString &line : text.split(QLatin1Char('\n')).mid(0, 8))
        keys.append(line.section(QStringLiteral("//"), 0, 0));
    for (const QString &key : keys) {
        for (char letter : QByteArray("0ABCEFGHLSTX\xff")) {
            setSeriesLetter(letter);
            const bool on = isSeriesFeature(key);
            fuzz::check(on == isSeriesFeatureFor(letter, key));
        }
    }
    return 0;
}
