#pragma once

class ReadWrite;

// A new driver for a protocol code as iniProtocol.txt and the setup dialog
// give it: 0 native, 1 Modbus RTU, anything else Modbus ASCII. Its function
// table is loaded for that protocol. The caller owns the object.
ReadWrite *createDriver(int protocolCode);
