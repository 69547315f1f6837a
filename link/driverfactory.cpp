#include "driverfactory.h"

#include "readwriteasc.h"
#include "readwritekr.h"
#include "readwritertu.h"

ReadWrite *createDriver(int protocolCode)
{
    ReadWrite *driver = nullptr;
    int protocol = protocolCode;
    switch (protocolCode) {
        case 0:
            driver = new ReadWriteKR;
            break;
        case 1:
            driver = new ReadWriteRTU;
            break;
        default:
            driver = new ReadWriteASC;
            protocol = 2;
            break;
    }
    driver->setProtocol(protocol);
    return driver;
}
