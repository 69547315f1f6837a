#include "transport.h"

#include <QCoreApplication>
#include <QStringList>

namespace {
// The texts belong to the port setup's messages.
struct PortSetupText {
    Q_DECLARE_TR_FUNCTIONS(PortSetup)
};

QString parityText(char parity)
{
    switch (parity) {
    case 'O': return PortSetupText::tr("odd parity");
    case 'E': return PortSetupText::tr("even parity");
    default: return PortSetupText::tr("no parity");
    }
}
}  // namespace

QString refusedSettingsText(const LineSettings &asked, const LineSettings &actual,
                            QString *runsWith)
{
    QStringList refused, instead;
    if (asked.baudRate != actual.baudRate) {
        refused << PortSetupText::tr("%1 baud").arg(asked.baudRate);
        instead << PortSetupText::tr("%1 baud").arg(actual.baudRate);
    }
    if (asked.dataBits != actual.dataBits) {
        refused << PortSetupText::tr("%1 data bits").arg(asked.dataBits);
        instead << PortSetupText::tr("%1 data bits").arg(actual.dataBits);
    }
    if (asked.parity != actual.parity) {
        refused << parityText(asked.parity);
        instead << parityText(actual.parity);
    }
    if (asked.stopBits != actual.stopBits) {
        refused << PortSetupText::tr("%1 stop bits").arg(asked.stopBits);
        instead << PortSetupText::tr("%1 stop bits").arg(actual.stopBits);
    }
    if (runsWith)
        *runsWith = instead.join(QStringLiteral(", "));
    return refused.join(QStringLiteral(", "));
}
