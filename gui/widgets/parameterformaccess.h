#pragma once

class ParameterCore;
class QString;
class QWidget;

// What the navigation panel needs of the parameter form, without depending on
// the form's window: the main window hands the form over through this.
class ParameterFormAccess
{
public:
    virtual ~ParameterFormAccess() = default;

    virtual ParameterCore &core() = 0;
    // Loads the catalogue and the hidden parameters of the current series.
    virtual void loadCatalogue() = 0;
    // Whether the table may give way to another drive's catalogue (asks when
    // edits would be lost). `nextDrive` names the drive.
    virtual bool mayReplaceTable(const QString &nextDrive) = 0;
    virtual QWidget *formWidget() = 0;
};
