#include "game/dxp_session.h"

#include <cstdio>
#include <memory>

#include "engine/board/movegen.h"
#include "engine/search/driver.h"
#include "game/clocks.h"
#include "game/controller.h"
#include "game/game_end.h"
#include "game/move_text.h"
#include "game/record.h"
#include "message_link.h"
#include "records/app_state.h"
#include "records/settings.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A flood of messages is taken in a bounded number per poll: the user interface keeps
// running between them.
constexpr int MESSAGES_PER_POLL = 64;
constexpr auto CONNECT_RETRY_PAUSE = 250ms;
// Without a move limit the time control is budgeted for this many moves.
constexpr int BUDGETED_MOVES = 75;

enum class Phase { CONNECTING, LISTENING, AWAIT_REQUEST, AWAIT_ACCEPT, PLAYING, AWAIT_END, CLOSED };

// The settings a network game overrides, put back when the session ends.
struct SavedSettings {
    int search_mode, ply, tournament_moves, tournament_minutes, auto_move, permanent_brain;

    static SavedSettings take() {
        const Settings& s = settings();
        return {s.search_mode, s.ply, s.tournament_moves, s.tournament_minutes, s.auto_move, s.permanent_brain};
    }
    void restore() const {
        Settings& s = settings();
        s.search_mode = search_mode;
        s.ply = ply;
        s.tournament_moves = tournament_moves;
        s.tournament_minutes = tournament_minutes;
        s.auto_move = auto_move;
        s.permanent_brain = permanent_brain;
    }
};

// Control characters of a received text are not shown as they are.
std::string shown(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 60)) out += (c >= ' ' && c <= '~') ? c : '?';
    return text.size() > 60 ? out + "..." : out;
}

// The move message text of the game controller ("FFTTNN" and two digits a captured
// square) for a DXP move: the two carry the same fields.
std::string move_message_text(const DxpMove& move) {
    char text[8];
    std::string message;
    std::snprintf(text, sizeof text, "%02d%02d%02d", move.from, move.to, static_cast<int>(move.captured.size()));
    message = text;
    for (int square : move.captured) {
        std::snprintf(text, sizeof text, "%02d", square);
        message += text;
    }
    return message;
}

Bitboard pieces_of(const Board& board, Side side) { return side == WHITE ? board.white() : board.black(); }

// The move from record entry `index` to the next, for the wire: the captured squares are
// the opponent's pieces that are gone afterwards (a capture never lands on one of them).
DxpMove recorded_move(int index, int seconds) {
    const GameEntry& before = game_entry(index);
    const GameEntry& after = game_entry(index + 1);
    DxpMove move;
    move.seconds = seconds;
    move.from = before.from;
    move.to = before.to;
    const Bitboard taken = pieces_of(before.board, ~before.side) & ~pieces_of(after.board, ~before.side);
    for (int square = 1; square <= 50; ++square) {
        if (taken & BIT_MASK[SQUARE_TO_BIT[square]]) move.captured.push_back(square);
    }
    return move;
}

// Why a set-up position cannot be played: a man on its own crowning row, or no move.
bool playable(const Board& board, Side side) {
    if (!board_is_consistent(board)) return false;
    for (int square = 1; square <= 5; ++square) {
        if (piece_on_square(square, board) == WHITE_MAN) return false;
    }
    for (int square = 46; square <= 50; ++square) {
        if (piece_on_square(square, board) == BLACK_MAN) return false;
    }
    // A scratch stack of its own: the engine's root record is not this code's to use.
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    set_record_position(stack->root(), board, side);
    generate_moves(side, stack->root());
    return stack->root().move_count > 0;
}

class Session {
public:
    Session(const DxpOptions& options, DxpObserver& observer)
        : options_(options), observer_(observer), saved_(SavedSettings::take()) {}

    bool start(std::string& error);
    void poll();
    void request_stop();
    void disconnect();
    bool send_chat(const std::string& text, std::string& error);

    bool active() const { return phase_ != Phase::CLOSED; }
    bool game_running() const { return phase_ == Phase::PLAYING || phase_ == Phase::AWAIT_END; }
    const std::string& opponent() const { return opponent_; }

private:
    void handle_event(LinkEvent event);
    void handle_message(const std::string& text);
    void on_request(const DxpGameRequest& request);
    void on_accept(const DxpGameAccept& accept);
    void on_move(const DxpMove& move);
    void on_game_end(const DxpGameEnd& end);
    void propose_game();
    void begin_game(const DxpGameRequest& request);
    void play_turn();
    bool sync_record();
    void end_game(int reason, bool ours);
    void after_game();
    void fail(const std::string& reason);
    void finish(bool clean);
    bool send(const DxpMessage& message);
    bool engine_to_move() const { return game_state().side == engine_colour_; }
    void expect_answer(Clock::duration allowance) { deadline_ = Clock::now() + allowance; }
    Clock::duration move_allowance() const { return options_.timeout + std::chrono::minutes(request_.minutes); }
    int stop_code() const { return stop_requested_ || (options_.initiator && game_number_ >= options_.games); }

    DxpOptions options_;
    DxpObserver& observer_;
    SavedSettings saved_;
    MessageLink link_{DXP_MAX_MESSAGE};
    Phase phase_ = Phase::CLOSED;
    Clock::time_point deadline_ = Clock::time_point::max();  // the other program must answer by then
    Clock::time_point connect_until_;
    Clock::time_point retry_at_ = Clock::time_point::max();
    DxpGameRequest request_;  // of the game being played
    int game_number_ = 0;
    Side engine_colour_ = WHITE;
    std::string opponent_;
    int known_ = 0;  // record moves sent or received
    Clock::time_point turn_started_;
    bool stop_requested_ = false;
    bool peer_stops_ = false;
    std::string how_;  // how the current game ended
};

bool Session::start(std::string& error) {
    if (game_state().engine_request != REQUEST_STOP || app_state().engine_state != ENGINE_IDLE) {
        engine_stop(game_state());
    }
    if (options_.initiator) {
        if (!link_.connect(options_.address, options_.port, error)) return false;
        phase_ = Phase::CONNECTING;
        connect_until_ = Clock::now() + options_.connect_retry;
        expect_answer(options_.timeout + options_.connect_retry);
        observer_.dxp_status("Connecting to " + link_.peer());
    } else {
        if (!link_.listen(options_.address, options_.port, error)) return false;
        phase_ = Phase::LISTENING;
        observer_.dxp_status("Waiting for a program on " + options_.address + ":" + std::to_string(link_.local_port()));
    }
    return true;
}

void Session::poll() {
    if (phase_ == Phase::CONNECTING && !link_.connecting() && Clock::now() >= retry_at_) {
        retry_at_ = Clock::time_point::max();
        std::string error;
        if (!link_.connect(options_.address, options_.port, error)) return fail(error);
    }
    for (int i = 0; i < MESSAGES_PER_POLL && active(); ++i) {
        LinkEvent event = link_.poll(0ms);
        if (event.kind == LinkEvent::NOTHING) break;
        handle_event(std::move(event));
    }
    if (phase_ == Phase::PLAYING) play_turn();
    if (active() && Clock::now() > deadline_) {
        const auto waited = std::chrono::duration_cast<std::chrono::seconds>(options_.timeout).count();
        fail(phase_ == Phase::CONNECTING ? "no connection to " + options_.address + " could be made"
                                         : "the other program did not answer (waited " + std::to_string(waited) +
                                               " seconds beyond its time)");
    }
}

void Session::handle_event(LinkEvent event) {
    switch (event.kind) {
        case LinkEvent::CONNECTED:
            observer_.dxp_status("Connected to " + event.text);
            if (options_.initiator) return propose_game();
            phase_ = Phase::AWAIT_REQUEST;
            return expect_answer(options_.timeout);
        case LinkEvent::MESSAGE:
            return handle_message(event.text);
        case LinkEvent::CLOSED:
            // The initiator closes the connection when its games are played.
            if (phase_ == Phase::AWAIT_REQUEST && game_number_ > 0) return finish(true);
            return fail(game_running() ? "the other program closed the connection during the game"
                                       : "the other program closed the connection");
        case LinkEvent::FAILED:
            if (phase_ == Phase::CONNECTING && Clock::now() < connect_until_ &&
                event.text.find("refused") != std::string::npos) {
                retry_at_ = Clock::now() + CONNECT_RETRY_PAUSE;
                return;
            }
            return fail(event.text);
        default:
            return;
    }
}

void Session::handle_message(const std::string& text) {
    DxpMessage message;
    std::string why;
    if (!dxp_parse(text, message, why)) {
        return fail("the other program sent a malformed message (" + why + "): \"" + shown(text) + "\"");
    }
    if (const auto* chat = std::get_if<DxpChat>(&message)) return observer_.dxp_chat(shown(chat->text));
    // Taking moves back is for people at a board, not for two programs playing.
    if (std::holds_alternative<DxpBackRequest>(message)) return (void)send(DxpBackAccept{DXP_BACK_NOT_SUPPORTED});
    if (std::holds_alternative<DxpBackAccept>(message)) return;
    if (const auto* r = std::get_if<DxpGameRequest>(&message); r && phase_ == Phase::AWAIT_REQUEST) return on_request(*r);
    if (const auto* a = std::get_if<DxpGameAccept>(&message); a && phase_ == Phase::AWAIT_ACCEPT) return on_accept(*a);
    if (const auto* m = std::get_if<DxpMove>(&message); m && phase_ == Phase::PLAYING) return on_move(*m);
    if (const auto* e = std::get_if<DxpGameEnd>(&message); e && game_running()) return on_game_end(*e);
    fail("the other program sent a message out of turn: \"" + shown(text) + "\"");
}

void Session::on_request(const DxpGameRequest& request) {
    if (game_number_ >= options_.games) {
        send(DxpGameAccept{options_.name, DXP_REFUSE_ALL});
        return finish(true);
    }
    if (request.version != DXP_VERSION) {
        send(DxpGameAccept{options_.name, DXP_REFUSE_VERSION});
        return fail("the other program speaks DXP version " + std::to_string(request.version) + ", not 01");
    }
    if (request.set_up && !playable(request.board, request.side_to_move)) {
        observer_.dxp_status("Refused a game from a position that cannot be played");
        send(DxpGameAccept{options_.name, DXP_REFUSE_GAME});
        return expect_answer(options_.timeout);
    }
    if (!send(DxpGameAccept{options_.name, DXP_ACCEPT})) return;
    opponent_ = request.initiator;
    engine_colour_ = request.follower_colour;
    begin_game(request);
}

void Session::on_accept(const DxpGameAccept& accept) {
    if (accept.code != DXP_ACCEPT) {
        static const char* const WHY[] = {"", "it expects another protocol version", "it does not want this game",
                                          "it wants no game at all"};
        return fail(shown(accept.follower) + " declined the game: " + WHY[accept.code]);
    }
    opponent_ = accept.follower;
    begin_game(request_);
}

void Session::propose_game() {
    ++game_number_;
    const bool odd = game_number_ % 2 == 1;
    engine_colour_ = odd ? options_.engine_colour : ~options_.engine_colour;
    request_ = DxpGameRequest{};
    request_.initiator = options_.name;
    request_.follower_colour = ~engine_colour_;
    request_.minutes = options_.minutes;
    request_.moves = options_.moves;
    request_.set_up = options_.set_up;
    request_.board = options_.board;
    request_.side_to_move = options_.side_to_move;
    if (!send(request_)) return;
    phase_ = Phase::AWAIT_ACCEPT;
    expect_answer(options_.timeout);
}

// The game starts like Game > New in Computer - Player or Player - Computer play: the
// computer plays the engine's colour, the other program the player's.
void Session::begin_game(const DxpGameRequest& request) {
    request_ = request;
    if (!options_.initiator) ++game_number_;
    GameState& state = game_state();
    AppState& app = app_state();
    app.game_running = 0;
    if (state.engine_request != REQUEST_STOP || app.engine_state != ENGINE_IDLE) engine_stop(state);
    Settings& s = settings();
    s.auto_move = 0;  // the other program sends its forced moves too
    s.permanent_brain = 0;
    s.search_mode = options_.ply > 0 ? FIXED_PLY : TOURNAMENT;
    s.ply = options_.ply > 0 ? options_.ply : s.ply.load();
    s.tournament_minutes = std::max(1, request.minutes);
    s.tournament_moves = request.moves > 0 ? request.moves : BUDGETED_MOVES;
    change_play_mode(engine_colour_ == WHITE ? COMPUTER_PLAYER : PLAYER_COMPUTER);
    observer_.dxp_game_started(game_number_, opponent_, engine_colour_);
    const std::string names = engine_colour_ == WHITE ? "Computer - " + opponent_ : opponent_ + " - Computer";
    if (request.set_up) {
        state.board = request.board;
        state.side = request.side_to_move;
        game_ui().draw_all_pieces(state.board);
    }
    phase_ = Phase::PLAYING;
    known_ = 0;
    how_.clear();
    turn_started_ = Clock::now();
    deadline_ = Clock::time_point::max();
    begin_new_game(request.set_up);
    game_ui().set_status_text(PANE_PLAY_MODE, names);
    if (!engine_to_move()) expect_answer(move_allowance());
    play_turn();
}

// Sends the moves the computer has made since the last look at the record (a searched
// move, forced replies, book moves). Anything else that changed the record is an error.
bool Session::sync_record() {
    const int length = game_length();
    if (length < known_ || game_current() != length) {
        fail("the game was changed on this board during the network game");
        return false;
    }
    for (; known_ < length; ++known_) {
        if (game_entry(known_).side != engine_colour_) {
            fail("a move of the other program's colour was made on this board");
            return false;
        }
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - turn_started_).count();
        if (!send(recorded_move(known_, static_cast<int>(seconds)))) return false;
        expect_answer(move_allowance());
    }
    return true;
}

// The reason a GAMEEND of ours gives for a game the rules have decided.
int decided_reason(GameResult result, Side engine_colour) {
    if (is_draw(result)) return DXP_END_DRAW;
    const bool won = (result == RESULT_WHITE_WINS) == (engine_colour == WHITE);
    return won ? DXP_END_WIN : DXP_END_GIVE_UP;
}

void Session::play_turn() {
    if (!sync_record() || !engine_to_move()) return;
    const GameState& state = game_state();
    if (const GameResult result = game_result(state); result != RESULT_NONE) {
        return end_game(decided_reason(result, engine_colour_), true);
    }
    const bool limit = request_.moves > 0 && game_length() >= 2 * request_.moves;
    if (limit || game_length() >= MAX_GAME_MOVES || stop_requested_ || !app_state().game_running) {
        end_game(DXP_END_UNSPECIFIED, true);
    }
}

void Session::on_move(const DxpMove& move) {
    if (engine_to_move()) return fail("the other program moved out of turn: " + dxp_move_text(move));
    if (!sync_record()) return;
    GameState& state = game_state();
    // The rules ended the game with this program's last move (a draw, or the other side
    // has no move): the turn passes here, and the answer is GAMEEND.
    if (const GameResult result = game_result(state); result != RESULT_NONE) {
        return end_game(decided_reason(result, engine_colour_), true);
    }
    if (state.engine_request != REQUEST_STOP || app_state().engine_state != ENGINE_IDLE) engine_stop(state);
    if (parse_move_message(state, move_message_text(move)) != 1) {
        return fail("the other program played a move that is not legal here: " + dxp_move_text(move));
    }
    const int before = game_length();
    move_done(2);
    if (game_length() == before) return fail("the game record is full");
    known_ = before + 1;
    turn_started_ = Clock::now();
    deadline_ = Clock::time_point::max();
    play_turn();
    if (phase_ == Phase::PLAYING && state.engine_request != REQUEST_STOP && app_state().game_running) {
        engine_start(state);
    }
}

// The game ends here, its position and record kept: first the local side, then (for a
// GAMEEND of ours) the message that asks the other program to confirm.
void Session::end_game(int reason, bool ours) {
    GameState& state = game_state();
    if (state.engine_request != REQUEST_STOP || app_state().engine_state != ENGINE_IDLE) engine_stop(state);
    app_state().game_running = 0;
    if (app_state().clocks_running) stop_clocks();
    static const char* const OURS[] = {"ended by this program", "given up by this program", "drawn", "won"};
    how_ = ours ? OURS[reason] : "";
    if (!ours) return;
    if (!send(DxpGameEnd{reason, stop_code()})) return;
    phase_ = Phase::AWAIT_END;
    expect_answer(options_.timeout);
}

void Session::on_game_end(const DxpGameEnd& end) {
    if (end.stop_code == 1) peer_stops_ = true;
    if (phase_ == Phase::PLAYING) {
        static const char* const THEIRS[] = {"ended by the other program", "given up by the other program",
                                             "drawn, the other program says", "won by the other program, it says"};
        end_game(end.reason, false);
        how_ = THEIRS[end.reason];
        if (!send(DxpGameEnd{DXP_END_UNSPECIFIED, stop_code()})) return;
    }
    after_game();
}

void Session::after_game() {
    deadline_ = Clock::time_point::max();
    observer_.dxp_game_ended(game_number_, how_);
    const bool more = !stop_requested_ && !peer_stops_ && game_number_ < options_.games;
    if (options_.initiator) return more ? propose_game() : finish(true);
    if (peer_stops_ || stop_requested_) return finish(true);
    phase_ = Phase::AWAIT_REQUEST;
    expect_answer(options_.timeout);
}

void Session::fail(const std::string& reason) {
    if (!active()) return;
    observer_.dxp_error(reason);
    if (phase_ == Phase::PLAYING) {
        // Ends the game on both sides when the connection still stands.
        phase_ = Phase::AWAIT_END;  // no second report of this game, whatever follows
        end_game(DXP_END_UNSPECIFIED, false);
        std::string ignored;
        if (link_.connected()) link_.send(dxp_build(DxpGameEnd{DXP_END_UNSPECIFIED, 1}), ignored);
        how_ = "stopped: " + reason;
    }
    if (phase_ == Phase::AWAIT_END) observer_.dxp_game_ended(game_number_, how_);
    finish(false);
}

void Session::finish(bool clean) {
    if (!active()) return;
    phase_ = Phase::CLOSED;
    link_.close();
    saved_.restore();
    observer_.dxp_status(clean ? "Network play ended" : "Network play stopped");
    observer_.dxp_finished(clean);
}

bool Session::send(const DxpMessage& message) {
    std::string error;
    if (link_.send(dxp_build(message), error)) return true;
    fail("cannot send to the other program: " + error);
    return false;
}

void Session::request_stop() {
    stop_requested_ = true;
    if (!game_running()) return finish(true);
    if (phase_ == Phase::PLAYING) play_turn();
}

void Session::disconnect() {
    if (phase_ == Phase::PLAYING) {
        end_game(DXP_END_UNSPECIFIED, false);
        observer_.dxp_game_ended(game_number_, "stopped: the connection was closed here");
    }
    finish(true);
}

bool Session::send_chat(const std::string& text, std::string& error) {
    if (!link_.connected()) {
        error = "not connected";
        return false;
    }
    return link_.send(dxp_build(DxpChat{text}), error);
}

std::unique_ptr<Session> session;

}  // namespace

bool dxp_start(const DxpOptions& options, DxpObserver& observer, std::string& error) {
    if (session && session->active()) {
        error = "a network session is running already";
        return false;
    }
    if (app_state().setup_mode) {
        error = "leave set-up mode first";
        return false;
    }
    session = std::make_unique<Session>(options, observer);
    if (session->start(error)) return true;
    session.reset();
    return false;
}

void dxp_poll() {
    if (session && session->active()) session->poll();
}

void dxp_request_stop() {
    if (session && session->active()) session->request_stop();
}

void dxp_disconnect() {
    if (session && session->active()) session->disconnect();
}

bool dxp_active() { return session && session->active(); }

bool dxp_game_running() { return session && session->game_running(); }

std::string dxp_opponent() { return session ? session->opponent() : std::string(); }

bool dxp_send_chat(const std::string& text, std::string& error) {
    if (!dxp_active()) {
        error = "not connected";
        return false;
    }
    return session->send_chat(text, error);
}
