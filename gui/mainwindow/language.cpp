#include "language.h"

#include "base/sharedstate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
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

namespace {
void installQtTexts(QTranslator &qtTexts, int code)
{
    static const char *const kQtFiles[kCount] = {nullptr, "qtbase_zh_CN", "qtbase_zh_TW"};
    QCoreApplication::removeTranslator(&qtTexts);
    if (code <= 0 || code >= kCount)
        return;
    if (qtTexts.load(QLatin1String(kQtFiles[code]),
                     QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}
}  // namespace

bool install(QTranslator &translator, QTranslator &qtTexts, int code)
{
    const QString file = translationFile(code);
    // QTranslator::load empties the translator before it reads: try a
    // scratch one first so that a bad file keeps the current texts.
    QTranslator probe;
    if (!QFileInfo::exists(file + QStringLiteral(".qm")) || !probe.load(file))
        return false;
    installQtTexts(qtTexts, code);
    QCoreApplication::removeTranslator(&translator);
    translator.load(file);
    return QCoreApplication::installTranslator(&translator);
}

bool writeChoice(int code)
{
    QSaveFile file(settingsPath(QStringLiteral("LT.txt")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(QByteArray::number(code));
    return file.commit();
}

}  // namespace Language
