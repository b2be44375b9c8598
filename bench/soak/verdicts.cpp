// The soak's summary: what the samples and the final counts come to, the faults they show, and
// the verdict.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/soak/soak.h"

namespace soak {

namespace {

// Least-squares slope of value(sample) against time, per hour.
double SlopePerHour(const std::vector<Sample>& samples,
                    const std::function<double(const Sample&)>& value) {
    const double n = static_cast<double>(samples.size());
    if (samples.size() < 2) {
        return 0;
    }
    double st = 0;
    double sv = 0;
    for (const Sample& s : samples) {
        st += s.t;
        sv += value(s);
    }
    double num = 0;
    double den = 0;
    for (const Sample& s : samples) {
        num += (s.t - st / n) * (value(s) - sv / n);
        den += (s.t - st / n) * (s.t - st / n);
    }
    return den > 0 ? num / den * 3600.0 : 0;
}

// Memory growth after the warm-up, in MB per hour: of the process, and the shares of it that
// are text held by the pages and lines kept by the simulated printer.
struct Growth {
    double rss = 0;
    double boxes = 0;
    double paper = 0;

    double Unexplained() const { return rss - boxes - paper; }
};

Growth GrowthAfter(const std::vector<Sample>& afterWarmUp) {
    Growth growth;
    growth.rss =
        SlopePerHour(afterWarmUp, [](const Sample& s) { return static_cast<double>(s.rssKb); }) /
        1024.0;
    growth.boxes =
        SlopePerHour(afterWarmUp,
                     [](const Sample& s) {
                         return static_cast<double>(s.heldChars) * kHeldBytesPerChar / 1024.0;
                     }) /
        1024.0;
    growth.paper =
        SlopePerHour(afterWarmUp,
                     [](const Sample& s) {
                         return static_cast<double>(s.paperLines) * kPaperLineBytes / 1024.0;
                     }) /
        1024.0;
    return growth;
}

// The faults the final counts, the handles and the growth show, after those of the run.
void AddFinalFaults(const Options& options, const Sample& warm, const Growth& growth,
                    Tally& tally) {
    const Sample& last = tally.samples.back();
    std::vector<std::string>& faults = tally.faults;
    if (tally.swipesShown != tally.swipesSent) {
        faults.push_back(std::to_string(tally.swipesSent) + " swipes sent but " +
                         std::to_string(tally.swipesShown) + " shown on the Card page");
    }
    if (tally.brokenSwipes > 0) {
        faults.push_back(std::to_string(tally.brokenSwipes) +
                         " places on the Card page that are not a whole swipe, first " +
                         tally.firstBroken);
    }
    if (tally.codesShown != tally.codesSent) {
        faults.push_back(std::to_string(tally.codesSent) + " codes delivered but " +
                         std::to_string(tally.codesShown) + " shown on the Barcode page");
    }
    if (tally.codesOutOfOrder > 0) {
        faults.push_back(std::to_string(tally.codesOutOfOrder) +
                         " codes on the Barcode page out of the scanner's order");
    }
    if (tally.sounds != kSoundsPerCode * tally.codesShown) {
        faults.push_back(std::to_string(tally.sounds) + " sounds played for " +
                         std::to_string(tally.codesShown) + " codes (" +
                         std::to_string(kSoundsPerCode) + " each expected)");
    }
    if (tally.partialSounds > 0) {
        faults.push_back(std::to_string(tally.partialSounds) + " sounds not played whole");
    }
    if (tally.otherLines > 0) {
        faults.push_back(std::to_string(tally.otherLines) +
                         " printed lines that are not the text sent");
    }
    if (!tally.autoSendRan) {
        faults.emplace_back("auto send was no longer running at the end");
    }
    if (!tally.threadsEnded) {
        faults.emplace_back("a reader or the auto-send thread was still running after the close");
    }
    if (last.fds - warm.fds > kHandleSlack) {
        faults.push_back("open descriptors grew from " + std::to_string(warm.fds) + " to " +
                         std::to_string(last.fds) + " after the warm-up");
    }
    if (last.threads - warm.threads > kHandleSlack) {
        faults.push_back("threads grew from " + std::to_string(warm.threads) + " to " +
                         std::to_string(last.threads) + " after the warm-up");
    }
    if (options.maxGrowthMbPerHour > 0 && growth.Unexplained() > options.maxGrowthMbPerHour) {
        char text[96];
        std::snprintf(text, sizeof text, "memory grows by %.1f MB/h more than the text held",
                      growth.Unexplained());
        faults.emplace_back(text);
    }
}

void PrintSummary(const Options& options, const Sample& warm, const Growth& growth,
                  const Tally& tally) {
    const Sample& first = tally.samples.front();
    const Sample& last = tally.samples.back();
    const double seconds = tally.soakSeconds;
    const double toolCpu = last.ToolCpu();
    const long printedInRun = last.printed - first.printed;
    const double printPeriodMs =
        printedInRun > 0 ? 1000.0 * (last.t - first.t) / static_cast<double>(printedInRun) : 0.0;

    std::printf("=== soak summary ===\n");
    std::printf("duration       %.1f min (%.0f s)%s; samples every %.0f s, warm-up %.0f s\n",
                seconds / 60, seconds, tally.interrupted ? ", interrupted" : "",
                options.sampleSeconds, options.warmUpSeconds);
    std::printf(
        "CPU            the tool %.2f s = %.2f %% of one core; the simulated terminal "
        "%.2f s = %.2f %%; the soak's own sampling %.2f s\n",
        toolCpu, 100.0 * toolCpu / std::max(1.0, seconds), last.simCpu,
        100.0 * last.simCpu / std::max(1.0, seconds), last.soakCpu);
    std::printf(
        "RSS            start %.1f MB, after warm-up (%s) %.1f MB, end %.1f MB, peak "
        "%.1f MB\n",
        Mb(first.rssKb), Hms(warm.t).c_str(), Mb(warm.rssKb), Mb(last.rssKb), Mb(last.peakKb));
    std::printf(
        "growth         after warm-up %+.2f MB/h; held text %+.2f MB/h (the pages' %ld "
        "characters at %.0f B), the simulated printer's paper %+.2f MB/h (%ld lines at "
        "~%.0f B); unexplained %+.2f MB/h\n",
        growth.rss, growth.boxes, last.heldChars, kHeldBytesPerChar, growth.paper, last.paperLines,
        kPaperLineBytes, growth.Unexplained());
    std::printf(
        "handles        descriptors %ld at start, %ld after warm-up, %ld at end; threads "
        "%ld, %ld, %ld\n",
        first.fds, warm.fds, last.fds, first.threads, warm.threads, last.threads);
    std::printf(
        "printed        %ld texts \"%s\": one every %.1f ms, longest gap %.0f ms; %ld "
        "other lines\n",
        last.printed, kSampleText, printPeriodMs, tally.longestGapMs, tally.otherLines);
    for (const std::string& line : tally.firstOtherLines) {
        std::printf("               other: %s\n", line.c_str());
    }
    std::printf("swipes         %ld sent, %ld shown on the Card page, %ld not whole\n",
                tally.swipesSent, tally.swipesShown, tally.brokenSwipes);
    std::printf("codes          %ld delivered, %ld shown on the Barcode page, %ld out of order\n",
                tally.codesSent, tally.codesShown, tally.codesOutOfOrder);
    std::printf(
        "sounds         %ld played (%ld a code expected), %ld not whole (%lld bytes each)\n",
        tally.sounds, kSoundsPerCode, tally.partialSounds, tally.soundBytes);
    std::printf("window         worst answer delay %.0f ms (limit %d ms)\n", tally.worstStallMs,
                options.stallLimitMs);
    std::printf("end            counts %s; auto send %s; dialog closed in %.2f s, %s\n",
                tally.settled ? "agreed" : "did not agree within 5 s",
                tally.autoSendRan ? "still running" : "had stopped", tally.closeSeconds,
                tally.threadsEnded ? "its threads ended" : "a thread still ran");
}

}  // namespace

int Verdict(const Options& options, Tally& tally) {
    const std::vector<Sample>& samples = tally.samples;
    const auto warm = std::find_if(samples.begin(), samples.end(),
                                   [&](const Sample& s) { return s.t >= options.warmUpSeconds; });
    const std::vector<Sample> afterWarmUp(warm, samples.end());
    const Sample warmSample = afterWarmUp.empty() ? samples.back() : afterWarmUp.front();
    const Growth growth = GrowthAfter(afterWarmUp);

    AddFinalFaults(options, warmSample, growth, tally);
    PrintSummary(options, warmSample, growth, tally);
    if (tally.faults.empty()) {
        std::printf("verdict        PASS\n");
    } else {
        std::printf("verdict        FAIL\n");
        for (const std::string& fault : tally.faults) {
            std::printf("  - %s\n", fault.c_str());
        }
    }
    std::fflush(stdout);
    return tally.faults.empty() ? 0 : 1;
}

}  // namespace soak
