#include "catalogueaccess.h"

#include "base/sharedstate.h"
#include "parameters/parametercore.h"
#include "parameters/parameterstate.h"

CatalogueAccess::CatalogueAccess() = default;

CatalogueAccess::~CatalogueAccess() = default;

ParameterCore &CatalogueAccess::core()
{
    const QString drive = modelString() + QLatin1Char('/') + QLatin1Char(seriesLetter());
    if (!m_core || drive != m_loadedFor) {
        m_core = std::make_unique<ParameterCore>();
        m_core->loadCatalogue();
        // The alarm history and run-time registers take their scale from
        // the hidden-parameter list.
        m_core->loadHiddenParameters();
        m_loadedFor = drive;
    }
    return *m_core;
}

double CatalogueAccess::readParameter(int number)
{
    QMutexLocker lock(&m_mutex);
    return core().readParameter(number);
}

bool CatalogueAccess::writeParameter(int number, const QString &value, const QString &unit)
{
    QMutexLocker lock(&m_mutex);
    return core().writeParameter(number, value, unit);
}

QString CatalogueAccess::catalogueVersion() const { return ::catalogueVersion(); }
