#pragma once

class MonitorThread;
class QMainWindow;

// The program's monitor thread, created at start-up (null outside the program).
MonitorThread *monitorThread();

// The process-wide start-up of the program: link and shared state to their
// start values, the language choice from LT.txt and the series feature table
// from InvType/typeInfo.txt, in that order.
void initialiseSharedState();

// The window that stands in for the main window: titled "Vantreo", showing
// every link error in a warning box.
QMainWindow *createMainWindow();

// Shows a link error as the main window does: the message of the code in a
// warning box titled "Warning" ("Communication Error!" for -1).
void showLinkError(int code);

// Opens the port and makes the driver current from iniProtocol.txt; with
// `demo` the link runs on the simulated line instead (port "sim").
void openLink(bool demo);

// The whole program: start-up, the window, the event loop.
int runApplication(int argc, char **argv);
