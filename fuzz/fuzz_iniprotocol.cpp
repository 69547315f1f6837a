// iniProtocol.txt: the input as the file, read the way start-up reads it
// (PortSetup's file reading, every line through ComSettings::fromLine on the
// settings before). Whatever the file holds, the settings stay within their
// ranges, and settings that can be stored read back unchanged.
#include "fuzzsupport.h"

#include "link/comsettings.h"
#include "link/portsetup.h"

namespace {

bool inRange(const ComSettings &s)
{
    return s.protocol >= 0 && s.protocol <= 2 && s.baudIndex >= 0 && s.baudIndex <= 5 &&
           s.dataBitsIndex >= 0 && s.dataBitsIndex <= 1 && s.stopBitsIndex >= 0 &&
           s.stopBitsIndex <= 1 && s.parityIndex >= 0 && s.parityIndex <= 2 &&
           s.lineEndIndex >= 0 && s.lineEndIndex <= 2;
}

bool same(const ComSettings &a, const ComSettings &b)
{
    return a.toLine() == b.toLine();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    setDataDirectory(fuzz::workDir().path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzz::writeInput(PortSetup::settingsFileName(), data, size))
        return 0;
    ComSettings settings;
    for (const QString &line : PortSetup::readSettingsLines()) {
        settings = ComSettings::fromLine(line, settings);
        fuzz::check(inRange(settings));
        const LineSettings l = settings.lineSettings();
        fuzz::check(l.baudRate >= 4800 && (l.dataBits == 7 || l.dataBits == 8));
        if (ComSettings::isStorablePortText(settings.portText))
            fuzz::check(same(ComSettings::fromLine(settings.toLine()), settings));
        ComSettings::prefixedPortName(settings.portText, ComSettings::PrefixRule::PortNumber);
        ComSettings::prefixedPortName(settings.portText, ComSettings::PrefixRule::NameLength);
    }
    if (ComSettings::isStorablePortText(settings.portText) && PortSetup::writeSettings(settings)) {
        const QStringList back = PortSetup::readSettingsLines();
        fuzz::check(back.size() == 1 && same(ComSettings::fromLine(back.at(0)), settings));
    }
    return 0;
}
