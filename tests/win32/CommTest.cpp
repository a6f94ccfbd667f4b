// What the end-to-end tests do not show: the settings text changes only the line settings, and a
// missing port fails with a system message.
#include <gtest/gtest.h>
#include <windows.h>

#include <tuple>

#include "platform/win32/Win32Comm.h"

TEST(Win32Comm, SettingsTextAndMissingPort) {
    corv::win32::Win32Comm comm;
    corv::CommDcb dcb{1200, 1, 0, 0, 7, 2, 2, 0x11, 0x13, 0, 0, 0x7E};
    ASSERT_TRUE(comm.BuildDcb("baud=9600 parity=N data=8 stop=1", dcb));
    EXPECT_EQ(
        std::tie(dcb.BaudRate, dcb.Flags, dcb.ByteSize, dcb.Parity, dcb.StopBits, dcb.EvtChar),
        std::make_tuple(9600u, dcb.Flags | 1u, std::uint8_t{8}, std::uint8_t{0}, std::uint8_t{0},
                        '\x7E'));
    EXPECT_EQ(comm.Open("COM19", 0xC0000000u, 0, 3, 0x80), corv::Comm::kInvalidHandle);
    EXPECT_EQ(comm.LastError(), 2u);
    char text[256] = {};
    EXPECT_TRUE(comm.SystemMessage(0x1000, 2, 0, text, 255) &&
                !comm.SystemMessage(0x1000, 0x7FFF1234u, 0, text, 255));
}
