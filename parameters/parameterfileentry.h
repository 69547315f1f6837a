#pragma once

#include <QString>

// One parameter as a parameter file holds it: its number ("12", or "99X" for
// the parameter-function row), the value the drive had when the file was
// saved, and, in series 'A' workbooks, its group code.
struct ParameterFileEntry {
    QString number;
    QString value;
    QString group;  // null unless the file carries group codes
};
