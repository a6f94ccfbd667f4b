#include <gtest/gtest.h>

#include "FakeCodePage.h"
#include "FakeComm.h"
#include "serial/Serial.h"

using namespace corv;
using fake::CommCall;

namespace {
struct SerialObject : ::testing::Test {
    fake::FakeComm comm;
    fake::FakeMessagePump pump;
    fake::Cp1251CodePage cp;
    modCOMM driver{comm, pump, cp};
    Serial serial{driver};
};
} // namespace

TEST_F(SerialObject, PortNumberAndSpeedBecomeDeviceNameAndSettingsText) {
    EXPECT_EQ(serial.OpenComm(3, L"9600"), 0);
    EXPECT_EQ(comm.openedName, "COM3");
    EXPECT_EQ(comm.builtFrom, "baud=9600 parity=N data=8 stop=1");
    serial.CloseComm();
    EXPECT_EQ(comm.OpenHandles(), 0);
    EXPECT_EQ(serial.OpenComm(12, L"115200"), 0);
    EXPECT_EQ(comm.openedName, "COM12"); // no device-namespace prefix
    EXPECT_EQ(comm.builtFrom, "baud=115200 parity=N data=8 stop=1");
    EXPECT_EQ(serial.OpenComm(12, L"115200"), -1);
    serial.CloseComm();
    // The speed text is passed unchecked; only the platform can refuse it.
    EXPECT_EQ(serial.OpenComm(1, L"96 00"), 87);
    EXPECT_EQ(comm.builtFrom, "baud=96 00 parity=N data=8 stop=1");
    EXPECT_EQ(serial.OpenComm(2, L"9600"), 2);
    EXPECT_EQ(comm.OpenHandles(), 0);
}

TEST_F(SerialObject, ReadHandsOutEverythingWaitingAndKeepsNothingBack) {
    ASSERT_EQ(serial.OpenComm(1, L"9600"), 0);
    comm.input = "ABC";
    std::wstring got;
    EXPECT_EQ(serial.ReadComm(got), 3);
    EXPECT_EQ(got, L"ABC");
    EXPECT_EQ(serial.ReadComm(got), 0);
    EXPECT_EQ(got, L"");
    comm.input = std::string(1500, '\xC0'); // more than the receive buffer: the rest waits
    EXPECT_EQ(serial.ReadComm(got), 1024);
    EXPECT_EQ(got, std::wstring(1024, L'\u0410'));
    EXPECT_EQ(serial.ReadComm(got), 476);
    comm.input = "XYZ";
    serial.CloseComm(); // what waited at the closed port is gone with it
    EXPECT_EQ(serial.ReadComm(got), -1);
    EXPECT_EQ(got, L"");
    EXPECT_FALSE(serial.IsOpen());
    EXPECT_EQ(serial.Error().Operation, L"CommRead (ClearCommError)");
    ASSERT_EQ(serial.OpenComm(1, L"9600"), 0); // opening discards what waited
    EXPECT_EQ(serial.ReadComm(got), 0);
    serial.WriteComm(L"ok");
    EXPECT_EQ(comm.output, "ok");
}
