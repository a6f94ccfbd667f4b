// The communications calls and the port driver against the real API (no port is present here;
// the end-to-end tests run them on a real one).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Comm.h"
#include "serial/modCOMM.h"

using namespace corv;
using namespace corv::win32;

TEST(Win32Comm, SettingsTextChangesOnlyTheLineSettings) {
    Win32Comm comm;
    CommDcb dcb;
    dcb.BaudRate = 1200;
    dcb.ByteSize = 7;
    dcb.Parity = 2;
    dcb.StopBits = 2;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.EvtChar = 0x7E;
    dcb.Flags = 1; // binary mode
    ASSERT_TRUE(comm.BuildDcb("baud=9600 parity=N data=8 stop=1", dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.EvtChar, 0x7E);
    EXPECT_EQ(dcb.Flags & 1u, 1u);
}

TEST(Win32Comm, MissingPortAndSystemMessages) {
    Win32Comm comm;
    EXPECT_EQ(comm.Open("COM19", comm::kAccess, 0, comm::kOpenExisting, comm::kAttributeNormal),
              Comm::kInvalidHandle);
    EXPECT_NE(comm.LastError(), 0u);
    char buffer[256] = {};
    EXPECT_GT(comm.SystemMessage(comm::kMessageFromSystem, 2, 0, buffer, 255), 0u);
    EXPECT_EQ(comm.SystemMessage(comm::kMessageFromSystem, 0x7FFF1234u, 0, buffer, 255), 0u);
}

TEST(Win32Comm, DriverRecordsAFailedOpenWithTheSystemText) {
    Win32Comm comm;
    Win32MessagePump pump;
    AnsiCodePage cp;
    modCOMM driver(comm, pump, cp);
    const std::int32_t result = driver.CommOpen(L"COM19", L"baud=9600 parity=N data=8 stop=1");
    EXPECT_GT(result, 0);
    EXPECT_EQ(driver.Error().ErrorCode, result);
    EXPECT_EQ(driver.Error().Operation, L"CommOpen (CreateFile)");
    EXPECT_FALSE(driver.Error().Message.empty());
    EXPECT_EQ(driver.Error().Message, driver.GetSystemErrorText(result));
    EXPECT_FALSE(driver.Port().IsOpen);
    std::wstring data = L"x";
    EXPECT_EQ(driver.CommRead(data, 1), -1);
    EXPECT_EQ(driver.Error().Operation, L"CommRead (ClearCommError)");
}
