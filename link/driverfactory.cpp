#include "driverfactory.h"

#include "readwritertu.h"

ReadWrite *createDriver(int protocolCode)
{
    switch (protocolCode) {
        case 1:
            return new ReadWriteRTU;
        default:
            // Protocols 0 and 2 get the Modbus RTU driver for now: replaced when
            // the ASCII and native drivers land.
            return new ReadWriteRTU;
    }
}
