#include "messagetable.h"

#include <QCoreApplication>

namespace {
const char *const kMessages[kMessageCount] = {
    QT_TRANSLATE_NOOP("CMainWindow", "Navigation"),
    QT_TRANSLATE_NOOP("CMainWindow", "key tone"),
    QT_TRANSLATE_NOOP("CMainWindow", "Pr. restoration"),
    QT_TRANSLATE_NOOP("CMainWindow", "Error"),
    QT_TRANSLATE_NOOP("CMainWindow", "Can't open serial port"),
    QT_TRANSLATE_NOOP("CMainWindow",
                      "\n The Specified serial port does not exist or occupied."),
    QT_TRANSLATE_NOOP("CMainWindow", "Operating mode"),
    QT_TRANSLATE_NOOP("CMainWindow", "Inverter Type"),
    QT_TRANSLATE_NOOP("CMainWindow", "Communication Error!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Parity Error!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Illegal function code!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Sum Check error!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Illegal data address!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Communication protocol error!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Illegal data value!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Frame error!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Overflow error!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Abnormal patterns!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Command code error!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Material range error!"),
    QT_TRANSLATE_NOOP("CMainWindow", "Warning"),
};
}  // namespace

QString messageText(int index)
{
    if (index < 0 || index >= kMessageCount)
        return QString();
    return QCoreApplication::translate("CMainWindow", kMessages[index]);
}

QString errorMessage(int code)
{
    const QString text = messageText(code);
    return text.isEmpty() ? messageText(8) : text;
}
