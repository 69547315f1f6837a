// The inverter type catalogue (InvType.mgr): the input as the file. Types
// and ratings are never empty and never hold a separator, whatever the text.
#include "fuzzsupport.h"

#include "base/typecatalogue.h"

namespace {
void checkValues(const QStringList &values)
{
    for (const QString &v : values)
        fuzz::check(!v.isEmpty() && !v.contains(QLatin1Char('=')) && !v.contains(QLatin1Char(',')));
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TypeCatalogue c = TypeCatalogue::parse(fuzz::bytes(data, size));
    checkValues(c.types());
    checkValues(c.allPowers());
    checkValues(c.oldPowers());
    QStringList asked = c.types().mid(0, 32);
    asked << QStringLiteral("inv_Type") << QStringLiteral("PW_ID") << QString();
    for (const QString &type : asked)
        checkValues(c.powersOf(type));
    return 0;
}
