// The simulated devices: what the printer prints, what the card reader takes for its own,
// how the scanner answers.
#include <gtest/gtest.h>

#include "tools/sim/card_reader.h"
#include "tools/sim/printer.h"
#include "tools/sim/scanner.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(SimPrinterTest, PrintsCodePage936LinesAndShowsCommandsAsHex) {
    sim::Printer printer;
    EXPECT_TRUE(printer.Feed("This is a sample!\r").empty());
    EXPECT_EQ(printer.Feed("\n\x1B@\xD6\xD0"),
              (std::vector<std::string>{"This is a sample!", "[initialise]"}));
    EXPECT_EQ(printer.Pending(), "中");
    EXPECT_EQ(printer.Feed("\xCE\xC4\x1B!\x08"
                           "A\x07\n"),
              std::vector<std::string>{"中文<1B 21 08>A<07>"});
    EXPECT_EQ(printer.Initialisations(), 1);
    EXPECT_EQ(printer.Paper().size(), 3u);
}

TEST(SimCardReaderTest, TakesItsCommandsOutOfTheStreamEvenWhenSplit) {
    sim::CardReader reader;
    const auto now = Clock::now();
    auto split = reader.Feed("ab\x1B\x4D", now);
    EXPECT_EQ(split.printer, "ab");
    EXPECT_TRUE(reader.Holding());
    split = reader.Feed(std::string("\x46\x1B\x4D\x49"
                                    "cd\x1D\x46\x03\x55",
                                    10),
                        now);
    EXPECT_EQ(split.printer, "cd");
    EXPECT_EQ(reader.TrackName(), "Track1");
    EXPECT_TRUE(reader.AutoReceive());
    EXPECT_EQ(reader.Swipe(), reader.Card().track1 + "\r\n");

    // ESC @ is the printer's; a lone beginning of a command goes to it after a while.
    split = reader.Feed("\x1B@\x1D", now);
    EXPECT_EQ(split.printer, "\x1B@");
    EXPECT_TRUE(reader.Flush(now).printer.empty());
    EXPECT_EQ(reader.Flush(now + sim::CardReader::kFlushAfter).printer, "\x1D");

    reader.Feed("\x1D\x46\x03\xAA", now);
    EXPECT_FALSE(reader.AutoReceive());
    EXPECT_EQ(reader.Swipe(), "");
}

TEST(SimScannerTest, ReadsOnlyWhenEnabledAndStopCancels) {
    sim::Scanner scanner({"111", "222"}, std::chrono::milliseconds(100));
    const auto t = Clock::now();
    std::string what;
    EXPECT_TRUE(scanner.Control(200, t, what));  // disabled: accepted, nothing read
    EXPECT_FALSE(scanner.NextDue());
    EXPECT_TRUE(scanner.Control(100, t, what));
    scanner.Control(200, t, what);
    EXPECT_EQ(scanner.Due(t), "");
    EXPECT_EQ(scanner.Due(t + std::chrono::milliseconds(100)), "111\r\n");
    scanner.TriggerKey(t);
    EXPECT_TRUE(scanner.Control(500, t, what));  // stop cancels the pending scan
    EXPECT_EQ(scanner.Due(t + std::chrono::seconds(1)), "");
    EXPECT_FALSE(scanner.Control(42, t, what));  // unknown codes are refused
    scanner.TriggerKey(t);
    EXPECT_EQ(scanner.Due(t + std::chrono::seconds(1)), "222\r\n");
}

}  // namespace
