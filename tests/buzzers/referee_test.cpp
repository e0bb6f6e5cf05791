// Clock fitting and the decision window, as plain tables without network.
#include "buzzers/BuzzerReferee.h"
#include "buzzers/ClockFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

TEST(ClockFit, OffsetFromTheSmallestRoundTrips)
{
    // The phone's clock runs 5000 ms behind the game's. Delays are (out, back) in ms; a lopsided
    // delay misleads the halfway guess by half its imbalance.
    struct SCase {
        const char* name;
        std::vector<std::pair<double, double>> delays;
        std::optional<double> offset;
        double tolerance;
    } const cases[] = {
        {"seven are not enough", {{5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 5}}, std::nullopt, 0},
        {"symmetric", {{5, 5}, {6, 6}, {5, 5}, {7, 7}, {5, 5}, {5, 5}, {9, 9}, {5, 5}}, 5000, 0},
        // Queued answers (long and lopsided) would pull a plain mean far off; the fast ones win.
        {"slow outliers", {{3, 3}, {3, 300}, {3, 3}, {200, 3}, {3, 3}, {3, 250}, {3, 3}, {3, 400}}, 5000, 0},
        // Wi-Fi: 75 ms each way with jitter; the best three are within a few ms.
        {"jitter", {{75, 75}, {80, 76}, {75, 90}, {77, 75}, {120, 75}, {75, 78}, {76, 75}, {75, 110}}, 5000, 2},
        {"one lopsided fast exchange is outvoted",
         {{1, 9}, {5, 5}, {5, 5}, {5, 5}, {50, 50}, {50, 50}, {50, 50}, {50, 50}}, 5000, 0},
    };
    for (const auto& c : cases) {
        CClockFit fit;
        double sent = 100000;
        for (const auto& [out, back] : c.delays) {
            fit.Add({sent, sent + out - 5000, sent + out + back});
            sent += 3000;
        }
        const auto offset = fit.Offset();
        ASSERT_EQ(offset.has_value(), c.offset.has_value()) << c.name;
        if (offset) {
            EXPECT_NEAR(*offset, *c.offset, c.tolerance) << c.name;
        }
    }
}

TEST(ClockFit, NonsenseExchangesAreDropped)
{
    CClockFit fit;
    fit.Add({100, 0, 90});           // answer before question
    fit.Add({100, NAN, 110});
    fit.Add({100, 0, INFINITY});
    EXPECT_EQ(fit.Count(), 0u);
    EXPECT_FALSE(fit.BestRoundTrip().has_value());
    for (int i = 0; i < 40; ++i)     // more than are kept: the newest decide
        fit.Add({i * 1000.0, i * 1000.0 + (i < 20 ? 100 : 7), i * 1000.0 + 10});
    EXPECT_DOUBLE_EQ(*fit.Offset(), -2);
    EXPECT_DOUBLE_EQ(*fit.BestRoundTrip(), 10);
}

namespace {

// The engine's rule: only the first side's stop counts.
struct CFakeGame final : IBuzzerGame {
    bool PuzzleRunning() const override { return running; }
    bool AnyPlayerStopped() const override { return stopped >= 0; }
    bool StopPlayer(int side) override
    {
        ++stopCalls;
        stopped = stopped < 0 ? side : stopped;
        return stopped == side;
    }
    bool running = true;
    int stopped = -1, stopCalls = 0;
};

// One scripted press: which phone, which side, when it arrived and its stamp (NAN: none).
struct SPressStep {
    std::uint32_t phone;
    int side;
    double arrival;
    double stamp;
};

struct SWindowCase {
    const char* name;
    double window;
    std::vector<SPressStep> presses;
    int stoppedSide;                         // -1: nobody
    std::map<std::uint32_t, char> outcomes;  // 'W' won, 'L' late, 'R' refused; phones without reply absent
    double margin;                           // NAN: none
    bool running = true;
};

char Letter(EPressOutcome outcome)
{
    return outcome == EPressOutcome::Won ? 'W' : outcome == EPressOutcome::Late ? 'L' : 'R';
}

}  // namespace

TEST(BuzzerReferee, DecisionWindowTable)
{
    const SWindowCase cases[] = {
        // The delayed phone pressed 50 ms earlier but arrives 25 ms later: inside the window it wins.
        {"window corrects arrival order", 100, {{1, 1, 1050, 1000}, {2, 0, 1075, 1000 - 50}}, 0, {{1, 'L'}, {2, 'W'}}, 50},
        {"window 0 is arrival order", 0, {{1, 1, 1050, 1000}, {2, 0, 1075, 950}}, 1, {{1, 'W'}, {2, 'L'}}, NAN},
        {"after the window is late", 100, {{1, 1, 1000, 1000}, {2, 0, 1101, 900}}, 1, {{1, 'W'}, {2, 'L'}}, NAN},
        {"unfitted phone counts by arrival", 100, {{1, 1, 1050, 1040}, {2, 0, 1060, NAN}}, 1, {{1, 'W'}, {2, 'L'}}, 20},
        {"stamps after arrival are not believed", 100, {{1, 1, 1050, 5000}, {2, 0, 1060, 1055}}, 1, {{1, 'W'}, {2, 'L'}}, 5},
        {"stamps far before arrival are capped", 100, {{1, 1, 1050, -1e9}, {2, 0, 1060, 100}}, 1, {{1, 'W'}, {2, 'L'}}, 50},
        {"team mates on one side, no margin", 100, {{1, 0, 1000, 990}, {2, 0, 1150, 1149}}, 0, {{1, 'W'}, {2, 'L'}}, NAN},
        {"a bounce of the same side is ignored", 100, {{1, 0, 1000, 1000}, {1, 0, 1080, 1080}}, 0, {{1, 'W'}}, NAN},
        {"nothing while no puzzle runs", 100, {{1, 0, 1000, 1000}, {2, 1, 1010, 1010}}, -1, {{1, 'R'}, {2, 'R'}}, NAN, false},
        {"equal times go to the earlier arrival", 100, {{1, 1, 1000, 990}, {2, 0, 1020, 990}}, 1, {{1, 'W'}, {2, 'L'}}, 0},
    };
    for (const SWindowCase& c : cases) {
        CFakeGame game;
        game.running = c.running;
        std::map<std::uint32_t, char> outcomes;
        CBuzzerReferee referee(game, [&](std::uint32_t phone, EPressOutcome outcome) {
            EXPECT_FALSE(outcomes.contains(phone)) << c.name << ": a second reply";
            outcomes[phone] = Letter(outcome);
        });
        referee.SetWindow(c.window);
        std::optional<double> deadline;
        for (const SPressStep& step : c.presses) {
            if (deadline && step.arrival > *deadline) {
                referee.Decide();
                deadline.reset();
            }
            const auto opened = referee.Press(
                {step.phone, step.side, step.arrival, std::isnan(step.stamp) ? std::nullopt : std::optional(step.stamp)});
            if (opened) {
                EXPECT_DOUBLE_EQ(*opened, step.arrival + c.window) << c.name;
                deadline = opened;
            }
        }
        referee.Decide();
        EXPECT_EQ(game.stopped, c.stoppedSide) << c.name;
        EXPECT_EQ(outcomes, c.outcomes) << c.name;
        EXPECT_EQ(referee.LastMargin().has_value(), !std::isnan(c.margin)) << c.name;
        if (referee.LastMargin() && !std::isnan(c.margin)) {
            EXPECT_DOUBLE_EQ(*referee.LastMargin(), c.margin) << c.name;
        }
    }
}

TEST(BuzzerReferee, AStopFromElsewhereMeanwhileMakesThePhonesLate)
{
    CFakeGame game;
    std::map<std::uint32_t, char> outcomes;
    CBuzzerReferee referee(game, [&](std::uint32_t phone, EPressOutcome outcome) { outcomes[phone] = Letter(outcome); });
    ASSERT_TRUE(referee.Press({1, 0, 1000, 1000}).has_value());
    game.stopped = 1;  // the serial box's right buzzer, within the window
    referee.Decide();
    EXPECT_EQ(outcomes[1], 'L');
    EXPECT_EQ(game.stopped, 1);
    EXPECT_FALSE(referee.Press({2, 0, 2000, 2000}).has_value());  // judged as today: late at once
    EXPECT_EQ(outcomes[2], 'L');
    EXPECT_EQ(game.stopCalls, 1);
}
