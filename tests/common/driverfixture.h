#pragma once

#include "testsupport.h"

#include <memory>

// What the driver tests share: FNC.txt in a data folder of their own, a
// recording interaction, the series rows the value rules read, and a fresh
// driver of the protocol on the scripted port at station 1 for every test.
template <class Driver>
class DriverFixture
{
protected:
    void setUpTestCase()
    {
        m_dir.copyShipped(QStringLiteral("InvType/FNC.txt"));
        setUserInteraction(&m_ui);
    }

    void setUpTest(int protocol, int lineEnd)
    {
        resetSharedState();
        // A test with a data folder of its own resets the folder when it ends.
        setDataDirectory(m_dir.path());
        setSeriesFeatureText(
            "readWrite_99999//0//0//0//0//0//0//1//1//1//1//1\n"
            "readWrite_H//1//0//0//0//0//0//0//0//0//0//0\n");
        m_fake = installFakePort();
        linkState().protocolCode = quint8(protocol);
        linkState().lineEnd = lineEnd;
        linkState().setStation(1);
        m_driver.reset(new Driver);
        m_driver->setProtocol(protocol);
        m_errors.clear();
    }

    void tearDownTestCase() { setUserInteraction(nullptr); }

    DataDir m_dir;
    RecordingInteraction m_ui;
    ErrorRecorder m_errors;
    std::shared_ptr<FakeTransport> m_fake;
    std::unique_ptr<Driver> m_driver;
};
