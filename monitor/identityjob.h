#pragma once

#include "link/linkjob.h"

#include <QStringList>

class ParameterAccess;

// The drive's identity read (register 77 opened and closed again, the rated
// current, the identity parameters) on the link worker: it takes several
// exchanges, and a dead line makes each of them slow.
class IdentityJob : public LinkJob
{
    Q_OBJECT
public:
    // `parameters` must outlive the job.
    explicit IdentityJob(ParameterAccess &parameters) : m_parameters(parameters) {}

    // After the job finished: the identity record, empty when the read failed.
    QStringList record() const { return isFinished() ? m_record : QStringList(); }

protected:
    void run() override;

private:
    ParameterAccess &m_parameters;
    QStringList m_record;
};
