#pragma once
// The engine behind the Hub protocol (version 2): a draughts interface sends lines, the
// engine answers with lines. The engine is the program's own: the search driver and its
// thread, the opening book, the endgame databases and the transposition table, set up as
// the desktop program sets them up.
//
//   hub                      -> id, param (book, egdb, tt-size), wait
//   set-param name= value=   (before or after init)
//   init                     -> ready
//   new-game, pos pos= [moves=], level ..., go think|ponder|analyze, ponder-hit, stop
//   ping                     -> pong (also while searching)
//   quit
// While searching, one "info" line per completed iteration, then "done move= [ponder=]".
// A line that cannot be carried out gets "error message=..." and changes nothing; lines
// of commands the engine does not know are ignored, as the protocol asks.

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/board/board.h"

class HubReporter;
struct HubLine;

class HubEngine {
public:
    // `write` takes one line without its end; it is called from the main thread and, for
    // "info" lines, from the engine thread, never at the same time.
    HubEngine(std::string directory, std::function<void(const std::string&)> write);
    ~HubEngine();

    // One line from the interface; false once "quit" came.
    bool handle(const std::string& line);
    // Called often (every few milliseconds) while searching: ends a search whose time is
    // up or that has finished, and answers "done".
    void tick();
    bool searching() const { return searching_; }
    // Input that is no line at all: an "error" line, and the engine goes on.
    void reject(const std::string& message) { error(message); }
    // How long the caller may wait for input before the next tick.
    std::chrono::milliseconds idle_wait() const;

private:
    enum class Limit { DEPTH, MOVE_TIME, GAME_TIME, INFINITE };

    void write(const std::string& line);
    void error(const std::string& message);
    void identify();
    void set_param(const HubLine& line);
    void initialise();
    void set_position(const HubLine& line);
    void set_level(const HubLine& line);
    void go(const std::string& mode);
    void finish_search();
    bool book_move(std::uint32_t& index);
    std::chrono::duration<double> move_budget() const;
    void give_strong_engine_its_time();

    std::string directory_;
    std::function<void(const std::string&)> write_;
    std::mutex write_mutex_;
    std::unique_ptr<HubReporter> reporter_;
    std::unique_ptr<PlyStack> scratch_;  // the main thread's own, for moves and the PV

    bool initialised_ = false;
    bool use_book_ = true;
    bool use_egdb_ = true;
    int tt_choice_;

    bool has_position_ = false;
    Board board_;
    Side side_ = WHITE;
    // The moves from the start position, when the position came that way: the book
    // follows games from the start.
    bool from_start_ = false;
    std::vector<MoveRecord> game_moves_;
    std::vector<std::uint64_t> history_;  // hashes of the positions since the last man move or capture

    Limit limit_ = Limit::MOVE_TIME;
    int depth_ = 10;
    double move_time_ = 1;  // seconds (MOVE_TIME); the game's remaining time (GAME_TIME)
    int moves_to_go_ = 0;
    double increment_ = 0;

    bool searching_ = false;
    bool pondering_ = false;
    bool timed_ = false;  // the search ends when its time is up
    std::chrono::steady_clock::duration allotted_{};
    std::chrono::steady_clock::time_point deadline_;
};
