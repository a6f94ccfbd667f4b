#include <gtest/gtest.h>

#include "FakeCodePage.h"
#include "FakeComm.h"
#include "serial/modCOMM.h"

using namespace corv;
using fake::CommCall;

namespace {

struct Driver : ::testing::Test {
    fake::FakeComm comm;
    fake::FakeMessagePump pump;
    fake::Cp1251CodePage cp;
    modCOMM driver{comm, pump, cp};

    void OpenCom1() { ASSERT_EQ(driver.CommOpen(L"COM1", L"baud=9600 parity=N data=8 stop=1"), 0); }
};

const std::wstring kSettings = L"baud=9600 parity=N data=8 stop=1";

} // namespace

TEST_F(Driver, OpenPassesTheFixedValuesAndAppliesTheSettingsText) {
    comm.state.Flags = 0x1011; // what the port had before: kept, as the text does not name it
    comm.state.BaudRate = 1200;
    EXPECT_EQ(driver.CommOpen(L"COM1", kSettings), 0);
    EXPECT_TRUE(driver.Port().IsOpen);
    EXPECT_EQ(comm.openedName, "COM1");
    EXPECT_EQ(comm.openAccess, 0xC0000000u);
    EXPECT_EQ(comm.openShare, 0u);
    EXPECT_EQ(comm.openCreation, 3u);
    EXPECT_EQ(comm.openAttributes, 0x80u);
    EXPECT_EQ(comm.setupIn, 1024u);
    EXPECT_EQ(comm.setupOut, 1024u);
    EXPECT_EQ(comm.purgeFlags, std::vector<std::uint32_t>{15});
    EXPECT_EQ(comm.timeouts.ReadIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(comm.timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(comm.timeouts.ReadTotalTimeoutConstant, 1000u);
    EXPECT_EQ(comm.timeouts.WriteTotalTimeoutMultiplier, 1000u);
    EXPECT_EQ(comm.timeouts.WriteTotalTimeoutConstant, 0u);
    EXPECT_EQ(comm.builtFrom, "baud=9600 parity=N data=8 stop=1");
    EXPECT_EQ(comm.state.BaudRate, 9600u);
    EXPECT_EQ(comm.state.ByteSize, 8);
    EXPECT_EQ(comm.state.Flags, 0x1011u);
    EXPECT_EQ(comm.OpenHandles(), 1);
    EXPECT_EQ(driver.Error().Operation, L""); // success records nothing
}

TEST_F(Driver, SecondOpenAnswersPortInUseAndLeavesThePortAlone) {
    OpenCom1();
    const auto handle = driver.Port().Handle;
    EXPECT_EQ(driver.CommOpen(L"COM3", kSettings), -1);
    EXPECT_EQ(driver.Error().ErrorCode, -1);
    EXPECT_EQ(driver.Error().Operation, L"CommOpen");
    EXPECT_EQ(driver.Error().Message, L"Port in use.");
    EXPECT_EQ(driver.Port().Handle, handle);
    EXPECT_EQ(comm.Calls(CommCall::Open), 1);
    EXPECT_EQ(comm.OpenHandles(), 1);
}

struct FailingStep {
    CommCall call;
    const wchar_t* operation;
};

class OpenStepFails : public ::testing::TestWithParam<FailingStep> {};

TEST_P(OpenStepFails, ReturnsTheErrorRecordsItAndHoldsNoHandle) {
    fake::FakeComm comm;
    fake::FakeMessagePump pump;
    fake::Cp1251CodePage cp;
    modCOMM driver{comm, pump, cp};
    comm.Fail(GetParam().call, 5, 1);
    EXPECT_EQ(driver.CommOpen(L"COM1", kSettings), 5);
    EXPECT_EQ(driver.Error().ErrorCode, 5);
    EXPECT_EQ(driver.Error().Operation, GetParam().operation);
    EXPECT_EQ(driver.Error().Message, L"Access is denied.\r\n");
    EXPECT_FALSE(driver.Port().IsOpen);
    EXPECT_EQ(comm.OpenHandles(), 0);
    // Once the cause is gone the port opens again.
    EXPECT_EQ(driver.CommOpen(L"COM1", kSettings), 0);
    EXPECT_EQ(comm.OpenHandles(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Driver, OpenStepFails,
    ::testing::Values(FailingStep{CommCall::Open, L"CommOpen (CreateFile)"},
                      FailingStep{CommCall::Setup, L"CommOpen (SetupComm)"},
                      FailingStep{CommCall::Purge, L"CommOpen (PurgeComm)"},
                      FailingStep{CommCall::SetTimeouts, L"CommOpen (SetCommTimeouts)"},
                      FailingStep{CommCall::GetState, L"CommOpen (GetCommState)"},
                      FailingStep{CommCall::BuildDcb, L"CommOpen (BuildCommDCB)"},
                      FailingStep{CommCall::SetState, L"CommOpen (SetCommState)"}));

TEST_F(Driver, CloseOnlyWhenOpenAndKeepsThePortWhenCloseFails) {
    EXPECT_EQ(driver.CommClose(), 0);
    EXPECT_EQ(comm.Calls(CommCall::Close), 0);
    OpenCom1();
    comm.Fail(CommCall::Close, 5, 1);
    EXPECT_EQ(driver.CommClose(), 5);
    EXPECT_EQ(driver.Error().Operation, L"CommClose (CloseHandle)");
    EXPECT_TRUE(driver.Port().IsOpen);
    EXPECT_EQ(driver.CommClose(), 0);
    EXPECT_FALSE(driver.Port().IsOpen);
    EXPECT_EQ(comm.OpenHandles(), 0);
}

TEST_F(Driver, FlushPurgesBothQueuesAndRecordsAFailure) {
    OpenCom1();
    comm.input = "junk";
    EXPECT_EQ(driver.CommFlush(), 0);
    EXPECT_EQ(comm.purgeFlags.back(), 15u);
    EXPECT_EQ(comm.input, "");
    comm.Fail(CommCall::Purge, 21, 1);
    EXPECT_EQ(driver.CommFlush(), 21);
    EXPECT_EQ(driver.Error().Operation, L"CommFlush (PurgeComm)");
    EXPECT_EQ(driver.Error().Message, L"The device is not ready.\r\n");
}

TEST_F(Driver, ReadSizeIsTheLargerOfWantedAndWaiting) {
    struct Case {
        std::int32_t wanted;
        std::string waiting;
        std::int32_t result;
        std::vector<std::uint32_t> asked;
    };
    const Case cases[] = {{1, "", 0, {}},
                          {8, "", 0, {}},
                          {1, "ab", 2, {2}},
                          {8, "ab", 2, {8}},
                          {1, "abcde", 5, {5}},
                          {8, "abcde", 5, {8}},
                          {1, std::string(1500, 'x'), 1024, {1024}}};
    OpenCom1();
    for (const auto& c : cases) {
        comm.input = c.waiting;
        comm.readSizes.clear();
        std::wstring data = L"old";
        EXPECT_EQ(driver.CommRead(data, c.wanted), c.result) << c.wanted << " " << c.waiting.size();
        EXPECT_EQ(comm.readSizes, c.asked) << c.wanted << " " << c.waiting.size();
        EXPECT_EQ(data.size(), static_cast<std::size_t>(c.result));
    }
}

TEST_F(Driver, ReadProcessesMessagesAndConvertsThroughTheCodePage) {
    OpenCom1();
    comm.input = "\xC0\xE1\xA0"
                 "9";
    std::wstring data;
    EXPECT_EQ(driver.CommRead(data, 1), 4);
    EXPECT_EQ(data, L"\u0410\u0431\u00A09");
    EXPECT_EQ(pump.passes, 1);
}

TEST_F(Driver, PendingReadWaitsThroughIncompleteAndReportsOtherFailures) {
    OpenCom1();
    comm.input = "12345";
    comm.Fail(CommCall::Read, 997, 1);
    comm.Fail(CommCall::WaitOverlapped, 996, 2);
    std::wstring data;
    EXPECT_EQ(driver.CommRead(data, 1), 5);
    EXPECT_EQ(data, L"12345");
    EXPECT_EQ(comm.Calls(CommCall::WaitOverlapped), 3);

    comm.input = "67";
    comm.flagsOnFailure = 0x8;
    comm.Fail(CommCall::Read, 997, 1);
    comm.Fail(CommCall::WaitOverlapped, 996, 1);
    comm.Fail(CommCall::WaitOverlapped, 1117, 1);
    EXPECT_EQ(driver.CommRead(data, 1), -1);
    EXPECT_EQ(data, L"");
    EXPECT_EQ(driver.Error().ErrorCode, 1117);
    EXPECT_EQ(driver.Error().Operation, L"CommRead (GetOverlappedResult)");
    EXPECT_EQ(driver.Error().Message, L"The request could not be performed because of an I/O "
                                      L"device error.\r\n  COMM Error Flags = 8");
}

TEST_F(Driver, FailedReadCarriesTheErrorFlagsInHex) {
    OpenCom1();
    comm.input = "1";
    comm.flagsOnFailure = 0x12;
    comm.Fail(CommCall::Read, 1117, 1);
    std::wstring data;
    EXPECT_EQ(driver.CommRead(data, 1), -1);
    EXPECT_EQ(driver.Error().Operation, L"CommRead (ReadFile)");
    const std::wstring& m = driver.Error().Message;
    const std::wstring tail = L"  COMM Error Flags = 12";
    ASSERT_GE(m.size(), tail.size());
    EXPECT_EQ(m.substr(m.size() - tail.size()), tail);
    EXPECT_EQ(comm.errorFlags, 0u); // the error state was cleared
}

TEST_F(Driver, ReadOnAClosedPortFailsAtClearCommError) {
    std::wstring data = L"x";
    EXPECT_EQ(driver.CommRead(data, 1), -1);
    EXPECT_EQ(data, L"");
    EXPECT_EQ(driver.Error().Operation, L"CommRead (ClearCommError)");
    EXPECT_EQ(comm.Calls(CommCall::Read), 0);
    OpenCom1();
    comm.Fail(CommCall::ClearError, 21, 1);
    EXPECT_EQ(driver.CommRead(data, 1), -1);
    EXPECT_EQ(driver.Error().Message, L"The device is not ready.\r\n"); // no flags appended
}

TEST_F(Driver, WriteResultsAndMessagePasses) {
    OpenCom1();
    EXPECT_EQ(driver.CommWrite(L"AB\u0410"), 3);
    EXPECT_EQ(comm.output, "AB\xC0");
    EXPECT_EQ(pump.passes, 11);

    comm.Fail(CommCall::Write, 997, 1);
    comm.Fail(CommCall::WaitOverlapped, 996, 1);
    EXPECT_EQ(driver.CommWrite(L"xyz"), 3);

    comm.Fail(CommCall::Write, 997, 1);
    comm.Fail(CommCall::WaitOverlapped, 1117, 1);
    EXPECT_EQ(driver.CommWrite(L"xyz"), -1);
    EXPECT_EQ(driver.Error().Operation, L"CommWrite (GetOverlappedResult)");
    EXPECT_TRUE(driver.Error().Message.ends_with(L"  COMM Error Flags = 0"));

    comm.Fail(CommCall::Write, 21, 1);
    EXPECT_EQ(driver.CommWrite(L"xyz"), -1);
    EXPECT_EQ(driver.Error().Operation, L"CommWrite (WriteFile)");
    EXPECT_EQ(driver.Error().ErrorCode, 21);
}

TEST_F(Driver, WriteKeepsTheWriteErrorWhenAHandlerChangesTheLastError) {
    OpenCom1();
    comm.Fail(CommCall::Write, 21, 1);
    pump.during = [&] {
        comm.Fail(CommCall::Purge, 87, 1);
        driver.CommFlush();
    };
    EXPECT_EQ(driver.CommWrite(L"x"), -1);
    EXPECT_EQ(driver.Error().ErrorCode, 21);
}

TEST_F(Driver, SystemTextIsTrimmedOfSpacesButKeepsItsLineBreak) {
    comm.messages[50] = "  Not supported.  \r\n";
    comm.messages[51] = std::string("  Cut\0here", 10);
    EXPECT_EQ(driver.GetSystemErrorText(50), L"Not supported.  \r\n");
    EXPECT_EQ(driver.GetSystemErrorText(51), L"Cut");
    EXPECT_EQ(driver.GetSystemErrorText(123456), L"");
    comm.messages[52] = std::string(255, 'm'); // does not fit the 255 characters offered
    EXPECT_EQ(driver.GetSystemErrorText(52), L"");
}
