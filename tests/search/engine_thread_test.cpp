// The engine thread and the stop handshake. These tests also run under
// ThreadSanitizer.

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "tests/search/search_test_util.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Records what the engine reports, as the windows would see it.
class RecordingReporter : public EngineReporter {
public:
    void set_status_text(int pane, const std::string& text) override {
        std::scoped_lock lock(mutex);
        texts.emplace_back(pane, text);
        if (pane == PANE_DEPTH) {  // an iteration starts: the root order is settled
            root_order.clear();
            for (int k = 0; k < root_list.count; ++k) root_order.push_back(root_list.slots[k].move_index);
        }
    }
    void search_info_changed(int) override {}
    void pv_changed() override {
        std::scoped_lock lock(mutex);
        const GameState& state = game_state();
        pv.assign(state.pv_length, PvEntry{});
        for (int i = 0; i < state.pv_length; ++i) pv[i] = state.pv[i].load();
        ++iterations;
    }
    bool saw(int pane, const std::string& text) {
        std::scoped_lock lock(mutex);
        for (const auto& t : texts) {
            if (t.first == pane && t.second == text) return true;
        }
        return false;
    }

    std::mutex mutex;
    std::vector<std::pair<int, std::string>> texts;
    std::vector<int> root_order;
    std::vector<PvEntry> pv;
    int iterations = 0;
};

bool same(const PvEntry& a, const PvEntry& b) {
    return a.kind == b.kind && a.from == b.from && a.to == b.to && a.mark == b.mark;
}

class EngineThread : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        set_engine_reporter(&reporter);
        app_state().pv_shown = 1;
        app_state().setup_mode = 0;
        engine_launch();
    }
    void TearDown() override {
        engine_shutdown();
        app_state().play_mode = PLAYER_COMPUTER;
        EngineTest::TearDown();
    }
    // Waits (at most 30 s) until the engine is idle again.
    bool wait_idle() {
        const auto deadline = Clock::now() + 30s;
        while (app_state().engine_state != ENGINE_IDLE) {
            if (Clock::now() > deadline) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    RecordingReporter reporter;
};

}  // namespace

TEST_F(EngineThread, FixedPlySearchesItsIterationsThenGoesIdle) {
    setup("W:W31-50:B1-20", 6);
    engine_start(game_state());
    ASSERT_TRUE(reporter.saw(PANE_ENGINE, "SRCH"));
    ASSERT_TRUE(wait_idle());
    EXPECT_EQ(game_state().iteration_depth, 6);
    EXPECT_EQ(reporter.iterations, 5);  // depths 2 to 6
    EXPECT_TRUE(reporter.saw(PANE_ENGINE, "IDLE"));
    EXPECT_LT(game_state().engine_move, 9);
}

TEST_F(EngineThread, ThinkingOnThePlayersTimeRunsUntilStopped) {
    setup("W:W31-50:B1-20");
    game_state().computer_to_move = 0;
    engine_start(game_state());
    EXPECT_EQ(app_state().engine_state, ENGINE_THINKING);
    std::this_thread::sleep_for(100ms);
    EXPECT_NE(app_state().engine_state, ENGINE_IDLE);
    const auto start = Clock::now();
    engine_stop(game_state());
    EXPECT_LT(Clock::now() - start, 5s);  // confirmed, not the 10 s timeout
    EXPECT_EQ(app_state().engine_state, ENGINE_IDLE);
}

TEST_F(EngineThread, NothingStartsInSetUpMode) {
    setup("W:W31-50:B1-20");
    app_state().setup_mode = 1;
    game_state().engine_request = REQUEST_STOP;
    engine_start(game_state());
    EXPECT_EQ(app_state().engine_state, ENGINE_IDLE);
    EXPECT_EQ(game_state().engine_request, REQUEST_STOP);
    app_state().setup_mode = 0;
}

TEST_F(EngineThread, StopsAtRandomMomentsKeepTheLastCompletedIteration) {
    std::mt19937 rng(1);
    for (int round = 0; round < 20; ++round) {
        setup("W:W26-28,31-32,35-37,39,41,46-47:B2-5,7,10,13,15,17,19,23,25");
        game_state().computer_to_move = 0;  // thinks until stopped
        engine_start(game_state());
        std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 60));
        engine_stop(game_state());
        ASSERT_EQ(app_state().engine_state, ENGINE_IDLE);

        std::scoped_lock lock(reporter.mutex);
        const GameState& state = game_state();
        if (reporter.iterations == 0) continue;
        ASSERT_EQ(state.pv_length, static_cast<int>(reporter.pv.size()));
        for (int i = 0; i < state.pv_length; ++i) EXPECT_TRUE(same(state.pv[i].load(), reporter.pv[i]));
        std::vector<int> order;
        for (int k = 0; k < root_list.count; ++k) order.push_back(root_list.slots[k].move_index);
        EXPECT_EQ(order, reporter.root_order);
        EXPECT_LT(state.engine_move, root_record().move_count);
        reporter.iterations = 0;
    }
}

namespace {
// A slow user interface: every "IDLE" the engine posts takes a while to hand on, which
// widens the moment between the engine going idle and its confirming the stop.
class SlowIdleReporter : public EngineReporter {
public:
    void set_status_text(int pane, const std::string& text) override {
        if (pane != PANE_ENGINE || text != "IDLE") return;
        std::this_thread::sleep_for(std::chrono::microseconds(1500));
        ++idles;
    }
    void search_info_changed(int) override {}
    void pv_changed() override {}
    std::atomic<int> idles{0};
};
}  // namespace

// engine_stop must not return while a search it asked to stop still runs, whatever the
// moment: every search started has reported its end by then, and the main thread can
// list moves on the root (under ThreadSanitizer, any overlap is reported).
TEST_F(EngineThread, StopNeverReturnsWhileASearchRuns) {
    SlowIdleReporter slow;
    set_engine_reporter(&slow);
    settings().ply = 2;
    std::mt19937 rng(7);
    for (int round = 1; round <= 400; ++round) {
        // Mostly searches that end by themselves at once, sometimes one that runs until
        // stopped; the stop comes at any moment.
        const Side side = setup("W:W26-28,31-32,35-37,39,41,46-47:B2-5,7,10,13,15,17,19,23,25");
        game_state().computer_to_move = rng() % 4 != 0;
        engine_start(game_state());
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 2500));
        engine_stop(game_state());
        ASSERT_EQ(slow.idles, round) << "engine_stop returned before the search of round " << round << " ended";
        ASSERT_EQ(app_state().engine_state, ENGINE_IDLE);
        generate_moves(side, root_record());
    }
    settings().ply = 6;
}

namespace {
std::mutex store_mutex;
std::vector<TTEntry> store_log;
void log_store(const TTEntry& entry) {
    std::scoped_lock lock(store_mutex);
    store_log.push_back(entry);
}
bool same_entry(const TTEntry& a, const TTEntry& b) {
    return a.key == b.key && a.depth == b.depth && a.score == b.score &&
           (a.flags & TT_MARK_MASK) == (b.flags & TT_MARK_MASK) &&
           a.move_index == b.move_index && a.move == b.move;
}
}  // namespace

using StopRequest = EngineTest;

TEST_F(StopRequest, AStoppedSearchStoresNothingFromItsInterruptedNodes) {
    // The search is deterministic, so an interrupted run must store exactly a prefix of
    // what the full run stores: an interrupted node that stored anything would differ.
    const char* fen = "B:W26,30,32-38,41-42,46-47:B1-5,7-8,10,14-15,17,19,23";
    tt_set_store_observer(log_store);
    setup(fen, 9);
    run_search(game_state());
    const std::vector<TTEntry> full = store_log;
    ASSERT_GT(full.size(), 1000u);

    std::mt19937 rng(2);
    for (int round = 0; round < 8; ++round) {
        store_log.clear();
        setup(fen, 9);
        std::thread worker([] { run_search(game_state()); });
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 20000));
        game_state().engine_request = REQUEST_STOP;
        worker.join();
        std::scoped_lock lock(store_mutex);
        ASSERT_LE(store_log.size(), full.size());
        for (std::size_t i = 0; i < store_log.size(); ++i) {
            ASSERT_TRUE(same_entry(store_log[i], full[i])) << "store " << i << " of " << store_log.size();
        }
    }
}

namespace {
std::atomic<int> commits{0};
bool count_commit() { return ++commits < 3; }
}  // namespace

TEST_F(EngineThread, ComputerComputerLoopCommitsUntilToldToStop) {
    setup("W:W31-50:B1-20", 2);
    app_state().play_mode = COMPUTER_COMPUTER;
    app_state().game_running = 1;
    game_state().search_kind = FIXED_PLY;
    settings().ply = 2;
    commits = 0;
    set_computer_move_commit(count_commit);
    engine_start(game_state());
    ASSERT_TRUE(wait_idle());
    EXPECT_EQ(commits, 3);

    // A stop during the loop ends it at once and is confirmed.
    commits = -1000000;
    game_state().computer_to_move = 1;
    settings().ply = 32;
    engine_start(game_state());
    std::this_thread::sleep_for(50ms);
    const auto start = Clock::now();
    engine_stop(game_state());
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(app_state().engine_state, ENGINE_IDLE);
    set_computer_move_commit(nullptr);
    app_state().game_running = 0;
    settings().ply = 6;
}
