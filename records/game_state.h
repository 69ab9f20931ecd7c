#pragma once
// The game-state record shared by the game controller, the windows and the engine
// thread: who moves, the game position, the engine's proposals and its progress.

#include <array>
#include <atomic>
#include <cstdint>

#include "engine/board/board.h"
#include "records/shared_word.h"

// One move of the principal variation: its kind, from and to squares (1-50), and
// whether the table marked it singular. Four bytes, so one atomic word holds it; aligned
// as a word so that every compiler loads and stores it inline rather than through
// libatomic's calls.
struct alignas(4) PvEntry {
    std::uint8_t kind = 0;
    std::uint8_t from = 0;
    std::uint8_t to = 0;
    std::uint8_t mark = 0;
};
inline constexpr int PV_MAX = 16;

// Values of GameState::engine_request.
enum EngineRequest : std::int32_t {
    REQUEST_STOP = 0,      // the search ends at its next check
    REQUEST_SEARCH = 1,    // the engine may search
    REQUEST_MOVE_NOW = 2,  // Computer - Computer: end this search and play its move
};

struct GameState {
    Word engine_request{REQUEST_STOP};  // any value but REQUEST_SEARCH stops the search
    Word side{WHITE};
    Word white_is_computer{0};
    Word black_is_computer{0};
    Word computer_to_move{0};  // the side to move is played by the computer
    Word use_book{0};
    Word endgame_available{0};
    Word search_kind{0};   // the search mode, copied at each new game
    Word search_limit{0};  // plies (Fixed Ply) or seconds for the current computer move

    // The game position. Changed on the main thread only, while the engine is idle.
    Board board;
    Word legal_count{0};
    Word capture_count{0};

    Word iteration_depth{0};
    Word examined_move{0};  // root move index being searched
    Word engine_move{0};    // root move index the engine (or the book) proposes
    // The same two moves as move words (without the tried flag): the windows name them
    // from these while the engine rewrites its root list.
    Word examined_word{0};
    Word engine_word{0};
    Word move_to_play{0};   // root move index move_done plays next
    Word player_move{0};    // root move index chosen with the mouse
    Word pv_length{0};
    std::array<std::atomic<PvEntry>, PV_MAX> pv{};
    Word static_eval{0};
    Word score{0};
    // Counters of the current search, published by the engine as it reports progress.
    std::atomic<std::int64_t> node_count{0};
    std::atomic<std::int64_t> eval_count{0};

    MoveRecord* last = nullptr;  // the root legal move list
};

GameState& game_state();
