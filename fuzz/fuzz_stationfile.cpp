// station.txt: the input as the file. Reading gives 255 names whatever the
// file holds, and what is written back from them reads back the same.
#include "fuzzsupport.h"

#include "link/stationfile.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::workPath(QStringLiteral("station.txt"));
    if (!fuzz::writeInput(path, data, size))
        return 0;
    const QStringList names = StationFile::read(path);
    fuzz::check(names.size() == StationFile::kStationCount);
    if (!StationFile::write(names, path))
        return 0;
    const QStringList back = StationFile::read(path);
    for (int i = 0; i < names.size(); ++i) {
        const QString &name = names.at(i);
        const bool storable = !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n'));
        fuzz::check(!storable || back.at(i) == name.trimmed());
    }
    return 0;
}
