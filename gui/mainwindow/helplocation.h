#pragma once

#include <QString>

// Where the help of a language lives, below `programDir` (the program's data
// folder; a build folder named "debug" or "release" looks in its parent):
// help/HELP-EN.chm, HELP-CN.chm or HELP-TW.chm when that file is there, else
// the HTML index help/en/index.html, help/zh_CN/index.html or
// help/zh_TW/index.html.
QString helpLocation(const QString &programDir, int languageCode);
