#include "helplocation.h"

#include <QDir>
#include <QFileInfo>

QString helpLocation(const QString &programDir, int languageCode)
{
    static const char *const kCompiled[] = {"HELP-EN.chm", "HELP-CN.chm", "HELP-TW.chm"};
    static const char *const kHtml[] = {"en/index.html", "zh_CN/index.html",
                                        "zh_TW/index.html"};
    if (languageCode < 0 || languageCode > 2)
        languageCode = 0;
    QDir dir(programDir);
    const QString name = dir.dirName().toLower();
    if (name == QLatin1String("debug") || name == QLatin1String("release"))
        dir.cdUp();
    const QString help = dir.absoluteFilePath(QStringLiteral("help"));
    const QString compiled = help + QLatin1Char('/') + QLatin1String(kCompiled[languageCode]);
    if (QFileInfo::exists(compiled))
        return compiled;
    return help + QLatin1Char('/') + QLatin1String(kHtml[languageCode]);
}
