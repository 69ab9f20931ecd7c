#include "game/pdn_files.h"

#include <cstdio>
#include <ctime>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "game/controller.h"
#include "game/file_io.h"
#include "game/game_end.h"
#include "records/game_state.h"

namespace {

// Far more than any collection of games: a million games of 1,000 bytes.
constexpr std::size_t MAX_PDN_FILE = std::size_t{1} << 30;

// The PDN game last opened: its tags are kept for saving while the record holds its moves.
struct OpenedGame {
    bool valid = false;
    PdnGame game;
};
OpenedGame opened;

bool ends_with_pdn(const std::string& path) {
    if (path.size() < 4) return false;
    std::string suffix = path.substr(path.size() - 4);
    for (char& c : suffix) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return suffix == ".pdn";
}

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y.%m.%d", &local);
    return text;
}

// The record starts from the opened game's position and holds all of its moves.
bool continues_opened_game(const GameRecord& record) {
    if (!opened.valid) return false;
    const PdnGame& game = opened.game;
    if (record.entries[0].board != game.start || record.entries[0].side != game.start_side) return false;
    if (record.length < static_cast<int>(game.moves.size())) return false;
    for (std::size_t i = 0; i < game.moves.size(); ++i) {
        if (record.entries[i].move_index != game.moves[i].index) return false;
    }
    return true;
}

std::string game_count_text(std::size_t moves) {
    return "This game has " + std::to_string(moves) + " moves; the program holds at most " +
           std::to_string(MAX_GAME_MOVES) + ".";
}

}  // namespace

GameFileFormat game_file_format(const std::string& path, FileFilter filter) {
    switch (filter) {
        case FileFilter::PDN: return GameFileFormat::PDN;
        case FileFilter::ALL: return ends_with_pdn(path) ? GameFileFormat::PDN : GameFileFormat::TGR;
        default: return GameFileFormat::TGR;
    }
}

GameFileFormat open_file_format(const std::string& path, FileFilter filter) {
    return ends_with_pdn(path) ? GameFileFormat::PDN : game_file_format(path, filter);
}

bool pdn_game_entries(const PdnGame& game, std::vector<GameEntry>& entries) {
    entries.clear();
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    PlyRecord& position = stack->plies[0];
    set_record_position(position, game.start, game.start_side);
    for (const PdnMove& played : game.moves) {
        generate_moves(position.side, position);
        if (played.index < 0 || played.index >= position.move_count) return false;
        MoveRecord& move = position.moves[played.index];
        if ((move.word & MOVE_WORD_MASK) != (played.move.word & MOVE_WORD_MASK)) return false;
        GameEntry entry;
        entry.side = position.side;
        entry.board = position.board;
        entry.move_index = played.index;
        entry.move_type = static_cast<std::int32_t>(move_kind(move.word));
        entry.from = BIT_TO_SQUARE[move_from(move.word)];
        entry.to = BIT_TO_SQUARE[move_to(move.word)];
        entries.push_back(entry);
        make_move(position, move);
        set_record_position(position, stack->plies[1].board, ~position.side);
    }
    GameEntry last;
    last.side = position.side;
    last.board = position.board;
    entries.push_back(last);
    return true;
}

bool pdn_game_to_record(const PdnGame& game, GameRecord& record) {
    std::vector<GameEntry> entries;
    if (game.moves.size() > static_cast<std::size_t>(MAX_GAME_MOVES)) return false;
    if (!pdn_game_entries(game, entries)) return false;
    record = GameRecord{};
    std::copy(entries.begin(), entries.end(), record.entries.begin());
    record.length = record.current = static_cast<std::int32_t>(game.moves.size());
    return true;
}

void record_to_pdn_game(const GameRecord& record, PdnGame& game) {
    game.clear();
    game.start = record.entries[0].board;
    game.start_side = record.entries[0].side;
    Board initial;
    setup_initial_position(initial);
    game.set_up = !(game.start == initial && game.start_side == WHITE);
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    PlyRecord& position = stack->plies[0];
    for (int i = 0; i < record.length; ++i) {
        const GameEntry& entry = record.entries[i];
        set_record_position(position, entry.board, entry.side);
        generate_moves(entry.side, position);
        if (entry.move_index < 0 || entry.move_index >= position.move_count) return;
        game.moves.push_back({entry.move_index, position.moves[entry.move_index]});
    }
}

bool read_text_file(const std::string& path, std::string& text) {
    std::vector<std::uint8_t> bytes;
    if (!read_regular_file(path, MAX_PDN_FILE, bytes)) return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

bool write_text_file(const std::string& path, const std::string& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return write_file_atomically(path, std::span<const std::uint8_t>(bytes, text.size()));
}

PdnResult pdn_result_of(const GameRecord& record) {
    const GameEntry& last = record.entries[record.length];
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    PlyRecord& position = stack->plies[0];
    set_record_position(position, last.board, last.side);
    generate_moves(last.side, position);
    const GameResult result = record_result(record, record.length, position.move_count > 0);
    if (result == RESULT_WHITE_WINS) return PdnResult::WHITE_WINS;
    if (result == RESULT_BLACK_WINS) return PdnResult::BLACK_WINS;
    return is_draw(result) ? PdnResult::DRAW : PdnResult::UNKNOWN;
}

PdnGame current_pdn_game() {
    const GameRecord& record = game_record();
    PdnGame game;
    record_to_pdn_game(record, game);
    game.result = pdn_result_of(record);
    if (continues_opened_game(record)) {
        game.tags = opened.game.tags;
        // A result the moves cannot show (a resignation, a draw agreed) holds while the
        // game has not gone on.
        if (record.length == static_cast<int>(opened.game.moves.size()) && game.result == PdnResult::UNKNOWN) {
            game.result = opened.game.result;
        }
        return game;
    }
    const GameState& state = game_state();
    game.tags = {{"Event", "?"},
                 {"Site", "?"},
                 {"Date", today()},
                 {"Round", "?"},
                 {"White", state.white_is_computer ? "vantor" : "?"},
                 {"Black", state.black_is_computer ? "vantor" : "?"}};
    return game;
}

int save_pdn_game(const std::string& path) {
    return write_text_file(path, write_pdn(current_pdn_game())) ? 1 : 0;
}

PdnOpen open_pdn_file(const std::string& path, GameState& state) {
    GameUi& ui = game_ui();
    auto text = std::make_shared<std::string>();
    if (!read_text_file(path, *text)) {
        ui.message_box("Could not read file!", "File Open", MessageKind::ERROR);
        return PdnOpen::FAILED;
    }
    const std::vector<PdnIndexEntry> first = index_pdn(*text, nullptr, 2);
    if (first.empty()) {
        ui.message_box("This file holds no PDN game.", "File Open", MessageKind::ERROR);
        return PdnOpen::FAILED;
    }
    PdnIndexEntry chosen = first.front();
    if (first.size() > 1 && !ui.choose_game(text, chosen)) return PdnOpen::CANCELLED;

    PdnGame game;
    std::vector<PdnError> errors;
    auto record = std::make_unique<GameRecord>();
    if (!read_pdn_game(*text, chosen, game, errors)) {
        ui.message_box("This file holds no PDN game.", "File Open", MessageKind::ERROR);
        return PdnOpen::FAILED;
    }
    if (!pdn_game_to_record(game, *record)) {
        ui.message_box(game_count_text(game.moves.size()), "File Open", MessageKind::ERROR);
        return PdnOpen::FAILED;
    }
    game_record_replace(*record);
    game_record_step(RESTORE, state);
    ui.draw_all_pieces(state.board);
    opened.valid = true;
    opened.game = game;
    if (!errors.empty()) {
        // What was read before the fault stays: the user sees how far the game goes.
        ui.message_box(pdn_error_line(errors.front()) + ".\nThe moves before it are loaded.", "File Open",
                       MessageKind::ERROR);
    }
    return PdnOpen::LOADED;
}
