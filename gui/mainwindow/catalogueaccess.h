#pragma once

#include "monitor/parameteraccess.h"

#include <QMutex>

#include <memory>

class ParameterCore;

// The parameter reads and writes the monitor's identity read makes, with
// the scales of the attached drive's catalogue. The catalogue is loaded
// where the first read or write runs (the link worker), and again when
// another drive has been selected since; the GUI thread does not wait for it.
class CatalogueAccess : public ParameterAccess
{
public:
    CatalogueAccess();
    ~CatalogueAccess() override;

    double readParameter(int number) override;
    bool writeParameter(int number, const QString &value, const QString &unit) override;
    QString catalogueVersion() const override;

private:
    ParameterCore &core();

    QMutex m_mutex;
    std::unique_ptr<ParameterCore> m_core;
    QString m_loadedFor;  // the model and series of the loaded catalogue
};
