#pragma once
// The search driver and the engine thread. The main thread asks for a search with
// engine_start and ends one with engine_stop; the engine thread searches the root
// position by iterative deepening and reports its progress as it goes. The search never
// reads the clock: the main thread's one-second tick decides when a move is due.

#include <string>

#include "records/app_state.h"
#include "records/game_state.h"
#include "records/settings.h"

inline constexpr int MAX_ITERATION_DEPTH = 32;

// Status bar panes.
enum StatusPane : int {
    PANE_TURN = 0,
    PANE_MESSAGE = 1,  // the last move's message text, or the static evaluation
    PANE_MOVE_TIME = 2,
    PANE_DEPTH = 3,
    PANE_PLAY_MODE = 4,
    PANE_ENGINE = 5,
    PANE_NODES = 6,
};

// Search-Info notifications: new depth, move being examined, best move, score.
enum SearchInfo : int {
    INFO_DEPTH = 9001,
    INFO_EXAMINED = 9002,
    INFO_BEST = 9003,
    INFO_SCORE = 9004,
};


// Where the engine's progress goes: status panes (1 the static evaluation, 3 the depth,
// 5 the engine state, 6 the node count), the Search-Info window and the PV window. The
// engine thread calls it; an implementation hands each report to its own thread and
// returns at once, copying the text.
class EngineReporter {
public:
    virtual ~EngineReporter() = default;
    virtual void set_status_text(int pane, const std::string& text) = 0;
    virtual void search_info_changed(int info) = 0;  // 9001 depth .. 9004 score
    virtual void pv_changed() = 0;
};
void set_engine_reporter(EngineReporter* reporter);

// Computer - Computer play: after each search the engine thread calls this to commit
// the engine's move; false ends the loop. Without it the loop ends after one search.
void set_computer_move_commit(bool (*commit)());
// The number of moves of the game record (for the Tournament time budget).
void set_game_length_source(int (*game_length)());

// The engine that run_search uses: the program's own (CLASSIC, the default) or the
// strong one beside it (strong_search.h). Chosen before the engine thread searches.
enum class EngineKind { CLASSIC, STRONG };
void set_engine_kind(EngineKind kind);
EngineKind engine_kind();
// "classic" or "strong"; false for any other name.
bool engine_kind_from_name(const std::string& name, EngineKind& kind);

int run_search(GameState& state);
// Sets the game state up for the computer to search `board` to `depth` at Fixed Ply
// (the command-line tool and the benchmarks).
void prepare_fixed_ply_search(GameState& state, const Board& board, Side side, int depth);
void allocate_time(GameState& state);
void report_progress(int code);
void build_pv(GameState& state);
void refresh_pv_window();
void switch_clocks(GameState& state);

void engine_reset(GameState& state);
void engine_start(GameState& state);
void engine_stop(GameState& state);
// Computer - Computer play: ends the current search; the loop plays its move and goes on.
void engine_move_now(GameState& state);

// The engine thread: started once, waits on start_event for each search.
void engine_thread();
void engine_launch();
// Ends the engine thread (at exit and in tests); engine_launch may start it again.
void engine_shutdown();
