// The hidden-parameter lists (hideparameter/*.xml): byte 0 picks the
// catalogue version, the rest is the document.
#include "fuzzsupport.h"

#include "parameters/hiddenparameterlist.h"

#include <QBuffer>

namespace {
const double kVersions[8] = {0, 0.10, 0.20, 0.33, 0.40, 0.60, 1.00, 1.10};

// A value passed the version rule, which splits at backslashes.
bool isSelectedText(const QString &text)
{
    return !text.isEmpty() && !text.contains(QLatin1Char('\\'));
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    QByteArray bytes = fuzz::bytes(data + 1, size - 1);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QList<HiddenParameterList::Entry> entries =
        HiddenParameterList::parse(&buffer, kVersions[data[0] & 7]);
    for (const HiddenParameterList::Entry &entry : entries) {
        // Only complete entries are kept; the name is that of the parameter
        // element before them, if there was one.
        fuzz::check(isSelectedText(entry.defaultValue));
        fuzz::check(isSelectedText(entry.unit));
        fuzz::check(entry.name.isEmpty() || entry.name.startsWith(QLatin1String("P.")));
    }
    return 0;
}
