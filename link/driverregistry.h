#pragma once

class ReadWrite;

// The driver every caller uses. Setting a new one keeps the old object alive
// until exit, since another thread may still be inside one of its operations.
ReadWrite *currentDriver();
void setCurrentDriver(ReadWrite *driver);
