#pragma once

#include <QString>
#include <QStringList>

// The process-wide start-up of the program: link and shared state to their
// start values, the language choice from LT.txt and the series feature table
// from InvType/typeInfo.txt, in that order.
void initialiseSharedState();

// Reads "--quit-after SECONDS" from the program's arguments: *seconds is -1
// when it is absent; false, with *error, when its value is not 0 to 86400.
bool quitAfterSeconds(const QStringList &arguments, int *seconds, QString *error);

// The whole program: start-up, the window, the event loop.
int runApplication(int argc, char **argv);
