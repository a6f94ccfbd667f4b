// What the real communications calls do that the end-to-end tests do not show: the settings
// text changes only the line settings, and a missing port fails with the system's message.
#include <gtest/gtest.h>
#include <windows.h>

#include <tuple>

#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Comm.h"
#include "serial/modCOMM.h"

using namespace corv;

TEST(Win32Comm, SettingsTextAndMissingPort) {
    win32::Win32Comm comm;
    CommDcb dcb{1200, 1, 0, 0, 7, 2, 2, 0x11, 0x13, 0, 0, 0x7E};
    ASSERT_TRUE(comm.BuildDcb("baud=9600 parity=N data=8 stop=1", dcb));
    EXPECT_EQ(std::make_tuple(dcb.BaudRate, dcb.Flags & 1u, dcb.ByteSize, dcb.Parity, dcb.StopBits,
                              dcb.XonChar, dcb.XoffChar, dcb.EvtChar),
              std::make_tuple(9600u, 1u, std::uint8_t{8}, std::uint8_t{0}, std::uint8_t{0}, '\x11',
                              '\x13', '\x7E'));
    win32::Win32MessagePump pump;
    win32::AnsiCodePage cp;
    modCOMM driver(comm, pump, cp);
    EXPECT_EQ(driver.CommOpen(L"COM19", L"baud=9600 parity=N data=8 stop=1"), 2);
    EXPECT_EQ(driver.Error().Operation, L"CommOpen (CreateFile)");
    EXPECT_EQ(driver.Error().Message, driver.GetSystemErrorText(2));
    EXPECT_TRUE(driver.Error().Message.size() > 2 && driver.GetSystemErrorText(0x7FFF1234).empty());
}
