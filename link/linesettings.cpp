#include "transport.h"

#include <QCoreApplication>
#include <QStringList>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("PortSetup", text); }

QString parityText(char parity)
{
    switch (parity) {
    case 'O': return tr("odd parity");
    case 'E': return tr("even parity");
    default: return tr("no parity");
    }
}
}  // namespace

QString refusedSettingsText(const LineSettings &asked, const LineSettings &actual,
                            QString *runsWith)
{
    QStringList refused, instead;
    if (asked.baudRate != actual.baudRate) {
        refused << tr("%1 baud").arg(asked.baudRate);
        instead << tr("%1 baud").arg(actual.baudRate);
    }
    if (asked.dataBits != actual.dataBits) {
        refused << tr("%1 data bits").arg(asked.dataBits);
        instead << tr("%1 data bits").arg(actual.dataBits);
    }
    if (asked.parity != actual.parity) {
        refused << parityText(asked.parity);
        instead << parityText(actual.parity);
    }
    if (asked.stopBits != actual.stopBits) {
        refused << tr("%1 stop bits").arg(asked.stopBits);
        instead << tr("%1 stop bits").arg(actual.stopBits);
    }
    if (runsWith)
        *runsWith = instead.join(QStringLiteral(", "));
    return refused.join(QStringLiteral(", "));
}
