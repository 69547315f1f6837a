#pragma once

#include <QDialog>

#include <functional>

// Runs a modal dialog and returns its result. Windows run their dialogs
// through one of these, so that tests can fill a dialog in and close it.
using DialogRunner = std::function<int(QDialog &)>;

inline int runDialog(const DialogRunner &runner, QDialog &dialog)
{
    return runner ? runner(dialog) : dialog.exec();
}
