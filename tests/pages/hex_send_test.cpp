#include "pages/hex_send.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "io/port.h"
#include "tests/support/device_dir.h"
#include "tools/sim/pty.h"

namespace {

// The writes the encoder makes, each as "AA BB", joined with " | ".
std::string Writes(const CString& text) {
    std::string out;
    EncodeHexText(text, [&](const BYTE* bytes, int length) {
        if (!out.empty()) {
            out += " | ";
        }
        for (int i = 0; i < length; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", bytes[i]);
            out += hex;
        }
    });
    return out;
}

TEST(HexSendTest, EveryRuleOfTheEncoderWithItsWriteBoundaries) {
    const std::vector<std::pair<const char16_t*, std::string>> table = {
        {u"1B 40", "1B 40"},
        {u"1b40", "1B 40"},
        {u"A", "0A"},
        {u"1 2,3;4", "01 02 03 04"},
        {u"123", "12 03"},
        {u"1x2", "12"},
        {u"1x 2", "01 02"},
        {u"1\r\n2", "12"},
        {u"0x41", "04 01"},
        {u"41 00 42", "41 | 00 | 42"},
        {u"00", "00"},
        {u"0 41", "00 41"},
        {u"0,00,0", "00 | 00 | 00"},
        {u"FF 80 7F", "FF 80 7F"},
        {u"1B40\r\n", "1B 40"},
        {u"hello", "0E"},
        {u"xyz", ""},
        {u"", ""},
        {u"中1文2", "12"},  // characters far beyond ASCII are skipped like any other
    };
    for (const auto& [text, writes] : table) {
        EXPECT_EQ(Writes(CString(text)), writes)
            << "for the text [" << CString(text).GetLength() << " units]";
    }
}

TEST(HexSendTest, DigitValuesAndPairs) {
    EXPECT_EQ(HexDigitValue(u'0'), 0);
    EXPECT_EQ(HexDigitValue(u'9'), 9);
    EXPECT_EQ(HexDigitValue(u'a'), 10);
    EXPECT_EQ(HexDigitValue(u'F'), 15);
    EXPECT_EQ(HexDigitValue(u'g'), 0);
    EXPECT_EQ(HexPairToByte(_T("ff")), 0xFF);
    EXPECT_EQ(HexPairToByte(_T("0A")), 0x0A);
}

}  // namespace

namespace {

// The send path reads the handle through the page's port pointer at every send, as the text,
// file and card paths do: through a pointer not wired yet it sends nothing.
TEST(HexSendTest, SendsThroughThePortPointerAndNothingWithoutOne) {
    rvtest::DeviceDir devices;
    sim::PseudoTerminal line;
    devices.Link("COM0", line.SlavePath());
    std::atomic<HANDLE> port{OpenPort(_T("COM0:"))};
    ASSERT_TRUE(IsPortOpen(port));
    SendHexText(CString(_T("41 0D")), &port);
    EXPECT_EQ(line.Receive(2, 2000), "A\r");
    SendHexText(CString(_T("42")), nullptr);
    EXPECT_EQ(line.Receive(0, 100), "");
    CloseHandle(port);
}

}  // namespace
