#include "tools/match/match.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

#include "tools/match/referee.h"

namespace {

// What the workers share: the next game to play, the tally and the output.
class MatchRun {
  public:
    MatchRun(const MatchSettings& settings, const std::function<void(const std::string&)>& report)
        : settings_(settings), report_(report) {}

    void worker();
    MatchReport result() const { return result_; }
    const std::string& error() const { return error_; }

  private:
    void finish(int game, int opening, bool first_white, const HubPlayer& white,
                const HubPlayer& black, const GameOutcome& outcome);
    void fail(const std::string& error);
    bool write_pdn_game(int game, const HubPlayer& white, const HubPlayer& black,
                        const GameOutcome& outcome);

    const MatchSettings& settings_;
    const std::function<void(const std::string&)>& report_;
    std::atomic<int> next_game_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;  // guards everything below and the report
    MatchReport result_;
    std::string error_;
};

void MatchRun::worker() {
    HubPlayer first(settings_.first);
    HubPlayer second(settings_.second);
    const int count = static_cast<int>(settings_.openings.size());
    while (!stop_) {
        const int game = next_game_++;
        if (game >= settings_.games) break;
        const int opening = (game / 2) % count;
        const bool first_white = game % 2 == 0;
        HubPlayer& white = first_white ? first : second;
        HubPlayer& black = first_white ? second : first;
        std::string error;
        if (!white.new_game(error) || !black.new_game(error)) {
            fail(error);
            break;
        }
        const GameOutcome outcome =
            play_game(white, black, settings_.openings[static_cast<std::size_t>(opening)],
                      settings_.seconds, stop_);
        if (outcome.aborted) break;
        if (outcome.faulty != 0) (outcome.faulty == WHITE ? white : black).stop();
        finish(game, opening, first_white, white, black, outcome);
    }
    first.stop();
    second.stop();
    std::scoped_lock lock(mutex_);
    result_.starts[0] += first.starts();
    result_.starts[1] += second.starts();
}

void MatchRun::fail(const std::string& error) {
    std::scoped_lock lock(mutex_);
    if (error_.empty()) error_ = error;
    stop_ = true;
}

void MatchRun::finish(int game, int opening, bool first_white, const HubPlayer& white,
                      const HubPlayer& black, const GameOutcome& outcome) {
    std::scoped_lock lock(mutex_);
    if (stop_) return;  // decided, or failed, while this game was played
    const int points = first_white ? outcome.white_points : 2 - outcome.white_points;
    MatchScore& score = result_.score;
    (points == 2 ? score.wins : points == 1 ? score.draws : score.losses) += 1;
    ++result_.games;
    report_("game " + std::to_string(game + 1) + " opening " + std::to_string(opening + 1) +
            " white " + white.name() + " black " + black.name() + " result " +
            outcome_score_text(outcome) + " plies " + std::to_string(outcome.plies) + " " +
            outcome.words);
    if (!settings_.pdn_path.empty() && !write_pdn_game(game + 1, white, black, outcome)) {
        error_ = "cannot write " + settings_.pdn_path;
        stop_ = true;
        return;
    }
    if (!settings_.sprt) return;
    const Sprt& test = *settings_.sprt;
    char line[128];
    std::snprintf(line, sizeof line, "sprt llr %.3f lbound %.3f ubound %.3f", test.llr(score),
                  test.lower_bound(), test.upper_bound());
    report_(line);
    const SprtVerdict verdict = sprt_verdict(test, score);
    if (verdict == SprtVerdict::CONTINUE) return;
    report_(verdict == SprtVerdict::ACCEPT_H1 ? "sprt accepted H1" : "sprt accepted H0");
    result_.decided = true;
    stop_ = true;
}

bool MatchRun::write_pdn_game(int game, const HubPlayer& white, const HubPlayer& black,
                              const GameOutcome& outcome) {
    PdnGame pdn;
    setup_initial_position(pdn.start);
    pdn.tags = {{"Event", "vantor match"},
                {"Round", std::to_string(game)},
                {"White", white.name()},
                {"Black", black.name()},
                {"Result", outcome_score_text(outcome)}};
    pdn.moves = outcome.moves;
    pdn.result = outcome.white_points == 2   ? PdnResult::WHITE_WINS
                 : outcome.white_points == 0 ? PdnResult::BLACK_WINS
                                             : PdnResult::DRAW;
    std::FILE* file = std::fopen(settings_.pdn_path.c_str(), "ab");
    if (file == nullptr) return false;
    const std::string text = write_pdn(pdn);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

std::string score_line(const MatchScore& score) {
    const EloEstimate estimate = estimate_elo(score);
    char line[160];
    std::snprintf(line, sizeof line, "score %d-%d-%d elo %.1f +- %.1f", score.wins, score.draws,
                  score.losses, estimate.elo, estimate.margin);
    return line;
}

bool run_match(const MatchSettings& settings, const std::function<void(const std::string&)>& report,
               MatchReport& result, std::string& error) {
    MatchSettings even = settings;
    even.games += even.games % 2;
    if (!even.pdn_path.empty()) {
        std::FILE* file = std::fopen(even.pdn_path.c_str(), "wb");
        if (file == nullptr || std::fclose(file) != 0) {
            error = "cannot write " + even.pdn_path;
            return false;
        }
    }
    MatchRun run(even, report);
    std::vector<std::thread> workers;
    for (int i = 1; i < even.concurrency; ++i) workers.emplace_back([&run] { run.worker(); });
    run.worker();
    for (std::thread& worker : workers) worker.join();
    result = run.result();
    error = run.error();
    if (!error.empty()) return false;
    report(score_line(result.score));
    return true;
}
