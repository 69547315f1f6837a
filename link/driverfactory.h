#pragma once

class ReadWrite;

// A new driver for a protocol code: 0 the native protocol, 1 Modbus RTU,
// 2 Modbus ASCII. The caller owns it (usually by making it current).
ReadWrite *createDriver(int protocolCode);
