#include "language.h"

#include "base/sharedstate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <QTranslator>

namespace Language {

QString translationFile(int code)
{
    static const char *const kFiles[kCount] = {"language/KorvaneINV_Eng",
                                               "language/KorvaneINV_zh_CN",
                                               "language/KorvaneINV_zh_Big"};
    if (code < 0 || code >= kCount)
        code = 0;
    return dataPath(QString::fromLatin1(kFiles[code]));
}

bool install(QTranslator &translator, int code)
{
    const QString file = translationFile(code);
    // QTranslator::load empties the translator before it reads: try a
    // scratch one first so that a bad file keeps the current texts.
    QTranslator probe;
    if (!QFileInfo::exists(file + QStringLiteral(".qm")) || !probe.load(file))
        return false;
    QCoreApplication::removeTranslator(&translator);
    translator.load(file);
    return QCoreApplication::installTranslator(&translator);
}

bool writeChoice(int code)
{
    QSaveFile file(dataPath(QStringLiteral("LT.txt")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(QByteArray::number(code));
    return file.commit();
}

}  // namespace Language
