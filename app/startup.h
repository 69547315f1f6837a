#pragma once

class MonitorThread;

// The program's monitor thread, created at start-up (null outside the program).
MonitorThread *monitorThread();
// Makes `thread` the program's monitor thread (tools and tests that build
// windows without runApplication); null for none.
void setMonitorThread(MonitorThread *thread);

// The process-wide start-up of the program: link and shared state to their
// start values, the language choice from LT.txt and the series feature table
// from InvType/typeInfo.txt, in that order.
void initialiseSharedState();

// The whole program: start-up, the window, the event loop.
int runApplication(int argc, char **argv);
