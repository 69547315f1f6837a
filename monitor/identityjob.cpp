#include "identityjob.h"

#include "identityread.h"

void IdentityJob::run()
{
    if (!isCancelled())
        m_record = IdentityRead(m_parameters).run();
}
