// qxtool tournament: brains against each other over scenarios and seeds, on
// every core.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "GameRunner.h"
#include "script/ScriptError.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool tournament --brain FILE --brain FILE [--brain FILE]... [--scenario FILE]...\n"
    "                         [--reference FILE] [--games N] [--seed S] [--players N] [--jobs J]\n"
    "                         [--max-impulses N] [--budget CALLS] [--csv FILE] [--list] [--quiet]\n"
    "Plays brains against each other and ranks them. Every pair of brains meets (round robin), or,\n"
    "with --reference, every brain meets the reference brain; each pairing plays N games on every\n"
    "scenario, the two brains taking turns at player 1. Game k (counted from 0 in the order\n"
    "scenario, pairing, game) uses seed S + k and replays exactly with\n"
    "  qxtool duel SCENARIO --brain FIRST --brain SECOND --players N --seed S+k\n"
    "A game is won by the brain whose player wins it; a game nobody wins within the impulse limit,\n"
    "or that a built-in Defender filling a further seat wins, is a draw for both.\n"
    "Prints a progress line on standard error while playing, then a table of games, wins, losses,\n"
    "draws, score and rating per brain (an Elo-like rating fitted to all results at once, 1500 on\n"
    "average), and every brain failure with its file and the game's seed.\n"
    "Options:\n"
    "  --brain FILE        a brain taking part (repeatable; at least two, or one with --reference)\n"
    "  --reference FILE    the brain every other brain plays against\n"
    "  --scenario FILE     a scenario to play on (repeatable; default data/scenarios/Duel.qxscen)\n"
    "  --games N           games per pairing and scenario (default 4)\n"
    "  --seed S            seed of the first game (default 1)\n"
    "  --players N         players per game, 2..10 (default 2; seats past the second play Defender)\n"
    "  --jobs J            games played at once (default: the number of cores)\n"
    "  --max-impulses N    a game without a victor by then is a draw (default 5000)\n"
    "  --budget CALLS      function calls one brain may make per turn (default 5000000, 0 = no limit)\n"
    "  --csv FILE          also write the table as CSV\n"
    "  --list              also list every game: scenario, seed, the two brains and the result\n"
    "                      (1-0: the first brain won, 0-1: the second, 1/2: a draw)\n"
    "  --quiet             no progress line\n";

struct TGame {
    size_t Scenario = 0;
    size_t First = 0;   // brain index at player 1
    size_t Second = 0;  // brain index at player 2
    uint64_t Seed = 0;
};

struct TGameResult {
    TGameOutcome Outcome;
    bool Played = false;
};

struct TStanding {
    std::string Brain;
    int Games = 0, Wins = 0, Losses = 0, Draws = 0, Failures = 0;
    double Rating = 1500;
    double Score() const { return Games ? (Wins + 0.5 * Draws) / Games : 0; }
};

// One rating per brain that best explains every result at once, so it does
// not depend on the order the games finished in: the Elo model, in which A
// scores 1 / (1 + 10^((Rb - Ra) / 400)) against B on average (a draw is half
// a win), fitted by the minorisation steps for paired comparisons. Each brain
// also drew one virtual game against a 1500 player, so an unbeaten brain
// still gets a finite rating. The ratings are then shifted to average 1500.
void FitRatings(std::vector<TStanding>& table, const std::vector<TGame>& games,
                const std::vector<TGameResult>& results) {
    const size_t n = table.size();
    std::vector<double> strength(n, 1), score(n, 0.5);  // strength = 10^(rating / 400), 1500 = 1
    for (size_t g = 0; g < games.size(); ++g) {
        const int winner = results[g].Outcome.Winner;
        score[games[g].First] += winner == 0 ? 1 : winner == 1 ? 0 : 0.5;
        score[games[g].Second] += winner == 1 ? 1 : winner == 0 ? 0 : 0.5;
    }
    for (int step = 0; step < 10000; ++step) {
        std::vector<double> sum(n);
        for (size_t i = 0; i < n; ++i) sum[i] = 1 / (strength[i] + 1);  // the virtual game
        for (const TGame& game : games) {
            const double both = 1 / (strength[game.First] + strength[game.Second]);
            sum[game.First] += both;
            sum[game.Second] += both;
        }
        double largest = 0;
        for (size_t i = 0; i < n; ++i) {
            const double next = score[i] / sum[i];
            largest = std::max(largest, std::abs(next / strength[i] - 1));
            strength[i] = next;
        }
        if (largest < 1e-12) break;
    }
    double mean = 0;
    for (size_t i = 0; i < n; ++i) mean += 400 * std::log10(strength[i]);
    mean /= static_cast<double>(n);
    for (size_t i = 0; i < n; ++i) table[i].Rating = 400 * std::log10(strength[i]) - mean + 1500;
}

std::string Percent(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", 100 * value);
    return text;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

class TProgress {
public:
    TProgress(size_t total, bool quiet) : total_(total), quiet_(quiet), tty_(isatty(2) != 0) {}
    void GameDone() {
        const size_t done = ++done_;
        if (quiet_) return;
        std::lock_guard<std::mutex> lock(mutex_);
        // On a terminal one line is rewritten; in a log a line per tenth.
        if (tty_) {
            std::cerr << "\rtournament: " << done << "/" << total_ << " games played" << std::flush;
            if (done == total_) std::cerr << "\n";
        } else if (done == total_ || done * 10 / total_ != (done - 1) * 10 / total_) {
            std::cerr << "tournament: " << done << "/" << total_ << " games played\n";
        }
    }

private:
    size_t total_;
    bool quiet_;
    bool tty_;
    std::atomic<size_t> done_{0};
    std::mutex mutex_;
};

int Run(const std::vector<std::string>& argv) {
    Arguments args(argv);
    if (args.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    std::vector<std::string> brains = args.Values("--brain");
    const std::optional<std::string> reference = args.Value("--reference");
    std::vector<std::string> scenarios = args.Values("--scenario");
    const auto gamesPerPairing = args.Int("--games", 4, 1, 100000);
    const auto firstSeed = args.Int("--seed", 1, 0, INT64_MAX / 2);
    const int players = static_cast<int>(args.Int("--players", 2, 2, 10));
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const auto jobs = args.Int("--jobs", cores, 1, 1024);
    const auto maxImpulses = args.Int("--max-impulses", 5000, 1, 100000000);
    const auto budget = args.Int("--budget", 5000000, 0, INT64_MAX);
    const std::optional<std::string> csv = args.Value("--csv");
    const bool quiet = args.Flag("--quiet");
    const bool list = args.Flag("--list");
    args.Positional(0, 0);
    if (scenarios.empty()) scenarios.push_back("data/scenarios/Duel.qxscen");
    if (reference) {
        if (brains.empty()) throw ToolError{"--reference needs at least one --brain to play against it", 2};
        brains.insert(brains.begin(), *reference);
    } else if (brains.size() < 2) {
        throw ToolError{"a tournament needs at least two --brain files (or --reference)", 2};
    }
    for (const std::string& brain : brains) ReadTextFile(brain);  // a missing brain file is a mistake here
    std::vector<std::string> scenarioTexts;
    for (const std::string& scenario : scenarios) {
        scenarioTexts.push_back(ReadTextFile(scenario));
        try {
            TGameSetup probe;
            probe.ScenarioText = scenarioTexts.back();
            probe.Players = players;
            probe.MaxImpulses = 0;
            PlayGame(probe);
        } catch (const EScriptError& error) {
            throw ToolError{scenario + ": " + error.what(), 1};
        }
    }

    // The pairings, then every game in a fixed order: what a game is never
    // depends on how many are played at once.
    std::vector<std::pair<size_t, size_t>> pairings;
    if (reference) {
        for (size_t i = 1; i < brains.size(); ++i) pairings.emplace_back(i, 0);
    } else {
        for (size_t i = 0; i < brains.size(); ++i)
            for (size_t j = i + 1; j < brains.size(); ++j) pairings.emplace_back(i, j);
    }
    std::vector<TGame> games;
    for (size_t s = 0; s < scenarios.size(); ++s)
        for (const auto& [a, b] : pairings)
            for (int64_t g = 0; g < gamesPerPairing; ++g) {
                TGame game;
                game.Scenario = s;
                game.First = g % 2 == 0 ? a : b;
                game.Second = g % 2 == 0 ? b : a;
                game.Seed = static_cast<uint64_t>(firstSeed) + games.size();
                games.push_back(game);
            }

    const size_t workers = std::min<size_t>(static_cast<size_t>(jobs), games.size());
    if (!quiet)
        std::cerr << "tournament: " << brains.size() << " brains, " << scenarios.size() << " scenario"
                  << (scenarios.size() == 1 ? "" : "s") << ", " << games.size() << " games on " << workers
                  << " job" << (workers == 1 ? "" : "s") << "\n";
    std::vector<TGameResult> results(games.size());
    std::atomic<size_t> next{0};
    TProgress progress(games.size(), quiet);
    std::mutex failureMutex;
    std::string failure;  // the first unexpected error of a worker
    auto work = [&] {
        for (size_t g = next++; g < games.size(); g = next++) {
            const TGame& game = games[g];
            TGameSetup setup;
            setup.ScenarioText = scenarioTexts[game.Scenario];
            setup.BrainFiles = {brains[game.First], brains[game.Second]};
            setup.Players = players;
            setup.Seed = game.Seed;
            setup.MaxImpulses = maxImpulses;
            setup.CallBudget = static_cast<uint64_t>(budget);
            try {
                results[g].Outcome = PlayGame(setup);
                results[g].Played = true;
            } catch (const std::exception& error) {
                std::lock_guard<std::mutex> lock(failureMutex);
                if (failure.empty()) failure = "game " + std::to_string(g) + " (seed " + std::to_string(game.Seed) +
                                               "): " + error.what();
                next = games.size();  // no more games
            }
            progress.GameDone();
        }
    };
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (size_t i = 1; i < workers; ++i) threads.emplace_back(work);
    work();
    for (std::thread& thread : threads) thread.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!failure.empty()) throw ToolError{failure, 1};

    std::vector<TStanding> table(brains.size());
    for (size_t i = 0; i < brains.size(); ++i) table[i].Brain = brains[i];
    for (size_t g = 0; g < games.size(); ++g) {
        const TGameOutcome& outcome = results[g].Outcome;
        const size_t seat[2] = {games[g].First, games[g].Second};
        for (int p = 0; p < 2; ++p) {
            TStanding& standing = table[seat[p]];
            ++standing.Games;
            if (outcome.Winner == p) ++standing.Wins;
            else if (outcome.Winner == 1 - p) ++standing.Losses;
            else ++standing.Draws;
            if (std::find(outcome.FailedPlayers.begin(), outcome.FailedPlayers.end(), p) != outcome.FailedPlayers.end())
                ++standing.Failures;
        }
    }
    FitRatings(table, games, results);
    std::vector<size_t> order(table.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::lround(table[a].Rating) > std::lround(table[b].Rating);
    });

    size_t width = 5;
    for (const TStanding& standing : table) width = std::max(width, standing.Brain.size());
    std::ostringstream out;
    char line[512];
    std::snprintf(line, sizeof line, "%-4s  %-*s  %5s  %5s  %6s  %5s  %6s  %6s  %8s\n", "rank",
                  static_cast<int>(width), "brain", "games", "wins", "losses", "draws", "score", "rating", "failures");
    out << line;
    std::string csvText = "rank,brain,games,wins,losses,draws,score,rating,failures\n";
    for (size_t r = 0; r < order.size(); ++r) {
        const TStanding& s = table[order[r]];
        const long rating = std::lround(s.Rating);
        std::snprintf(line, sizeof line, "%-4zu  %-*s  %5d  %5d  %6d  %5d  %6s  %6ld  %8d\n", r + 1,
                      static_cast<int>(width), s.Brain.c_str(), s.Games, s.Wins, s.Losses, s.Draws,
                      Percent(s.Score()).c_str(), rating, s.Failures);
        out << line;
        char score[32];
        std::snprintf(score, sizeof score, "%.4f", s.Score());
        csvText += std::to_string(r + 1) + "," + CsvField(s.Brain) + "," + std::to_string(s.Games) + "," +
                   std::to_string(s.Wins) + "," + std::to_string(s.Losses) + "," + std::to_string(s.Draws) + "," +
                   score + "," + std::to_string(rating) + "," + std::to_string(s.Failures) + "\n";
    }
    if (list) {
        for (size_t g = 0; g < games.size(); ++g) {
            const TGameOutcome& outcome = results[g].Outcome;
            const char* result = outcome.Winner == 0 ? "1-0" : outcome.Winner == 1 ? "0-1" : "1/2";
            out << "game " << g << "  " << scenarios[games[g].Scenario] << "  seed " << games[g].Seed << "  "
                << brains[games[g].First] << " - " << brains[games[g].Second] << "  " << result << " at impulse "
                << outcome.Impulse << "\n";
        }
    }
    // Every brain failure, in game order, with the seed that replays it.
    for (size_t g = 0; g < games.size(); ++g) {
        for (const std::string& message : results[g].Outcome.BrainMessages) {
            out << "game " << g << " on " << scenarios[games[g].Scenario] << ", seed " << games[g].Seed << ": "
                << message << "\n";
        }
    }
    std::cout << out.str();
    if (csv) WriteTextFile(*csv, csvText);
    if (!quiet) {
        char timing[128];
        std::snprintf(timing, sizeof timing, "tournament: %zu games in %.2f s, %.1f games per minute\n",
                      games.size(), seconds, seconds > 0 ? 60.0 * static_cast<double>(games.size()) / seconds : 0.0);
        std::cerr << timing;
    }
    return 0;
}

} // namespace

QX_COMMAND(tournament, "tournament", "play brains against each other over scenarios and seeds, on every core", Run);

} // namespace qx::tool
