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

TEST_F(SerialObject, HandsOutOneCharacterPerCall) {
    ASSERT_EQ(serial.OpenComm(1, L"9600"), 0);
    comm.input = "ABC";
    std::wstring c;
    EXPECT_EQ(serial.ReadComm(c), 3);
    EXPECT_EQ(c, L"A");
    EXPECT_EQ(serial.ReadComm(c), 0);
    EXPECT_EQ(c, L"B");
    comm.input = "\xC0"; // a later byte queues behind what is pending
    EXPECT_EQ(serial.ReadComm(c), 1);
    EXPECT_EQ(c, L"C");
    EXPECT_EQ(serial.ReadComm(c), 0);
    EXPECT_EQ(c, L"\u0410");
    EXPECT_EQ(serial.ReadComm(c), 0);
    EXPECT_EQ(c, L"");
}

TEST_F(SerialObject, FailedReadStillHandsOutPendingAndPendingSurvivesReopening) {
    ASSERT_EQ(serial.OpenComm(1, L"9600"), 0);
    comm.input = "XYZ";
    std::wstring c;
    serial.ReadComm(c);
    serial.CloseComm();
    EXPECT_EQ(serial.ReadComm(c), -1);
    EXPECT_EQ(c, L"Y");
    ASSERT_EQ(serial.OpenComm(1, L"9600"), 0);
    comm.input = "Q";
    EXPECT_EQ(serial.ReadComm(c), 1);
    EXPECT_EQ(c, L"Z");
    EXPECT_EQ(serial.ReadComm(c), 0);
    EXPECT_EQ(c, L"Q");
    serial.WriteComm(L"ok");
    EXPECT_EQ(comm.output, "ok");
}
