// dxp: the engine plays another program over DamExchange (TCP), as the desktop program
// does with Game > Network (DXP); each game is printed as selfplay prints it.

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "engine/board/fen.h"
#include "engine/search/driver.h"
#include "game/clocks.h"
#include "game/controller.h"
#include "game/dxp_session.h"
#include "game/files.h"
#include "game/game_end.h"
#include "game/record.h"
#include "tools/cli/commands.h"
#include "tools/cli/console_ui.h"
#include "tools/cli/options.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The match as it goes: games and their results on stdout, everything else on stderr,
// so that both programs of a match print the same lines.
class ConsoleObserver final : public DxpObserver {
public:
    ConsoleObserver(ConsoleUi& ui, std::optional<std::string> save_dir) : ui_(ui), save_dir_(std::move(save_dir)) {}

    void dxp_status(const std::string& text) override { std::fprintf(stderr, "dxp: %s\n", text.c_str()); }
    void dxp_chat(const std::string& text) override { std::fprintf(stderr, "dxp: chat: %s\n", text.c_str()); }
    void dxp_error(const std::string& text) override {
        std::fprintf(stderr, "vantor-cli: %s\n", text.c_str());
        failed_ = true;
    }
    void dxp_game_started(int number, const std::string& opponent, Side colour) override {
        std::fprintf(stderr, "dxp: game %d against %s, the engine plays %s\n", number, opponent.c_str(),
                     colour == WHITE ? "White" : "Black");
        std::printf("game %d\n", number);
        std::fflush(stdout);
    }
    void dxp_game_ended(int number, const std::string& how) override {
        ui_.run_tasks(0ms);
        ui_.end_game_listing();
        std::string result = "result: stopped after " + std::to_string(game_length()) + " moves";
        if (const GameResult r = game_result(game_state()); r != RESULT_NONE) result = std::string("result: ") + result_line_text(r);
        std::printf("%s\n", result.c_str());
        std::fflush(stdout);
        if (!how.empty()) std::fprintf(stderr, "dxp: the game was %s\n", how.c_str());
        // A game cut short by an error is saved too: nothing played is lost.
        if (!save_dir_) return;
        const std::string path = *save_dir_ + "/game" + std::to_string(number) + ".tgr";
        if (save_game(path) != 1) {
            std::fprintf(stderr, "vantor-cli: could not write %s\n", path.c_str());
            failed_ = true;
        }
    }
    bool failed() const { return failed_; }

private:
    ConsoleUi& ui_;
    std::optional<std::string> save_dir_;
    bool failed_ = false;
};

bool refuse(std::string& error, const std::string& why) {
    error = why;
    return false;
}

// "HOST[:PORT]" (connecting) or "[ADDR:]PORT" (listening).
bool split_address(const std::string& text, bool listen, std::string& host, long& port) {
    const auto colon = text.rfind(':');
    std::string port_text = text;
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        port_text = text.substr(colon + 1);
    } else if (!listen) {
        host = text;
        return !host.empty();
    }
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    return !host.empty() && parse_int(port_text, listen ? 0 : 1, 65535, port);
}

bool read_dxp_options(const Options& options, DxpOptions& dxp, std::string& error) {
    if (options.has("connect") == options.has("listen")) return refuse(error, "dxp needs --connect HOST[:PORT] or --listen [ADDR:]PORT");
    dxp.initiator = options.has("connect");
    long port = DXP_PORT;
    const std::string where = *options.value(dxp.initiator ? "connect" : "listen");
    if (!split_address(where, !dxp.initiator, dxp.address, port)) return refuse(error, "bad address '" + where + "'");
    dxp.port = static_cast<int>(port);
    dxp.games = dxp.initiator ? 1 : 999;
    long value = 0;
    if (const auto v = options.value("games")) {
        if (!parse_int(*v, 1, 999, value)) return refuse(error, "games must be 1-999");
        dxp.games = static_cast<int>(value);
    }
    if (options.has("time") != options.has("moves")) return refuse(error, "dxp takes --time and --moves together");
    if (const auto v = options.value("time")) {
        if (!parse_int(*v, 1, 999, value)) return refuse(error, "time must be 1-999 minutes");
        dxp.minutes = static_cast<int>(value);
        if (!parse_int(*options.value("moves"), 0, 999, value)) return refuse(error, "moves must be 0-999");
        dxp.moves = static_cast<int>(value);
    }
    if (const auto v = options.value("color")) {
        if (*v != "white" && *v != "black") return refuse(error, "color must be white or black");
        dxp.engine_colour = *v == "white" ? WHITE : BLACK;
    }
    if (const auto v = options.value("ply")) {
        if (!parse_int(*v, 2, MAX_ITERATION_DEPTH, value)) return refuse(error, "ply must be 2-" + std::to_string(MAX_ITERATION_DEPTH));
        dxp.ply = static_cast<int>(value);
    }
    if (const auto v = options.value("timeout")) {
        if (!parse_int(*v, 1, 86400, value)) return refuse(error, "timeout must be 1-86400 seconds");
        dxp.timeout = std::chrono::seconds(value);
    }
    if (const auto fen = options.value("fen")) {
        if (!parse_fen(*fen, dxp.board, dxp.side_to_move, error)) return refuse(error, "bad FEN: " + error);
        dxp.set_up = true;
    }
    // Both programs of a match may be started at the same moment.
    dxp.connect_retry = 10s;
    return true;
}

}  // namespace

int run_dxp(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2,
                       {{"connect", true}, {"listen", true}, {"games", true}, {"time", true}, {"moves", true},
                        {"color", true}, {"ply", true}, {"timeout", true}, {"fen", true}, {"save", true},
                        {"engine", true}},
                       error)) {
        return usage_error(error);
    }
    if (!apply_engine_option(options, error)) return usage_error(error);
    if (!options.positional().empty()) return usage_error("dxp takes no argument '" + options.positional()[0] + "'");
    DxpOptions dxp;
    if (!read_dxp_options(options, dxp, error)) return usage_error(error);

    ConsoleUi ui;
    set_game_ui(&ui);
    game_init();
    settings().sound = 0;
    engine_launch();
    ConsoleObserver observer(ui, options.value("save"));
    int status = 0;
    if (!dxp_start(dxp, observer, error)) {
        std::fprintf(stderr, "vantor-cli: %s\n", error.c_str());
        status = 1;
    }
    auto next_check = Clock::now();
    while (dxp_active()) {
        ui.run_tasks(10ms);
        if (Clock::now() < next_check) continue;
        // The clock tick runs more often than in the desktop program: the game is the
        // same, only quicker.
        next_check = Clock::now() + 10ms;
        clock_tick();
        dxp_poll();
    }
    if (observer.failed()) status = 1;
    game_shutdown();
    set_game_ui(nullptr);
    return status;
}
