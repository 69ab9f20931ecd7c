#include "game/files.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "game/controller.h"
#include "game/file_io.h"
#include "game/move_text.h"

namespace {

// The longest body a game can have: 512 moves of a king capture taking every piece
// (2 bytes, the count, 50 squares), and the final 0. Anything bigger is not a game file.
constexpr std::size_t MAX_GAME_FILE = GAME_FILE_HEADER + MAX_GAME_MOVES * 53 + 1;

constexpr std::uint8_t LONG_CODE = 0xC0;
enum Form : int { MAN_CAPTURE_ONE = 0, MAN_CAPTURE_MANY = 1, KING_MOVE = 2, KING_CAPTURE = 3 };

// Encoding and decoding list positions in the root record, which also holds the game
// position's moves that the controller and the engine index into. They put it back.
class RootSnapshot {
public:
    RootSnapshot() : root_(root_record()), next_((&root_record())[1]) {
        const PlyRecord& root = root_record();
        if (root.moves != nullptr && root.move_count > 0) moves_.assign(root.moves, root.moves + root.move_count);
    }
    ~RootSnapshot() {
        root_record() = root_;
        (&root_record())[1] = next_;
        std::copy(moves_.begin(), moves_.end(), root_record().moves);
    }
    RootSnapshot(const RootSnapshot&) = delete;
    RootSnapshot& operator=(const RootSnapshot&) = delete;

private:
    PlyRecord root_;
    PlyRecord next_;
    std::vector<MoveRecord> moves_;
};

int square_bit(int square) { return SQUARE_TO_BIT[square]; }
bool is_square(int square) { return square >= 1 && square <= 50; }

void encode_move(int entry_index, const GameEntry& entry, int max_captured, std::vector<std::uint8_t>& out) {
    const auto from = static_cast<std::uint8_t>(entry.from);
    const auto to = static_cast<std::uint8_t>(entry.to);
    CapturedSquares captured{};
    int count = 0;
    switch (entry.move_type) {
        case WHITE_MAN_MOVE:
        case BLACK_MAN_MOVE: {
            const int step = entry.from > entry.to ? entry.from - entry.to : entry.to - entry.from;
            out.push_back(static_cast<std::uint8_t>(from | ((step - 4) & 3) << 6));
            return;
        }
        case WHITE_KING_MOVE:
        case BLACK_KING_MOVE:
            out.insert(out.end(), {static_cast<std::uint8_t>(from | LONG_CODE), static_cast<std::uint8_t>(to | KING_MOVE << 6)});
            return;
        default:
            break;
    }
    count = captured_squares(entry_index, captured);
    const bool king = entry.move_type == WHITE_KING_CAPTURE || entry.move_type == BLACK_KING_CAPTURE;
    const int form = king ? KING_CAPTURE : max_captured == 1 ? MAN_CAPTURE_ONE : MAN_CAPTURE_MANY;
    out.push_back(static_cast<std::uint8_t>(from | LONG_CODE));
    out.push_back(static_cast<std::uint8_t>(to | form << 6));
    if (form != MAN_CAPTURE_ONE) out.push_back(static_cast<std::uint8_t>(count));
    out.insert(out.end(), captured.begin(), captured.begin() + count);
}

// Reads one move code at `at` into a key for find_legal_move; false when the code runs
// past the body or names something that is no square.
bool read_move(std::span<const std::uint8_t> body, std::size_t& at, const PlyRecord& root, MoveRecord& key) {
    const bool white = root.side == WHITE;
    const int first = body[at++];
    const int from = first & 63;
    const int code = first >> 6;
    if (!is_square(from)) return false;
    if (code < 3) {
        const int step = 4 + code;
        const int to = white ? from - step : from + step;
        if (!is_square(to)) return false;
        key.word = move_word(white ? WHITE_MAN_MOVE : BLACK_MAN_MOVE, square_bit(from), square_bit(to));
        return true;
    }
    if (at >= body.size()) return false;
    const int second = body[at++];
    const int to = second & 63;
    const int form = second >> 6;
    if (!is_square(to)) return false;
    constexpr std::uint32_t WHITE_KIND[] = {WHITE_MAN_CAPTURE, WHITE_MAN_CAPTURE, WHITE_KING_MOVE, WHITE_KING_CAPTURE};
    key.word = move_word(WHITE_KIND[form] + (white ? 0 : 4), square_bit(from), square_bit(to));
    if (form == KING_MOVE) return true;

    int count = 1;
    if (form != MAN_CAPTURE_ONE) {
        if (at >= body.size()) return false;
        count = body[at++];
    }
    Bitboard remaining = white ? root.board.black() : root.board.white();
    for (int i = 0; i < count; ++i) {
        if (at >= body.size()) return false;
        const int square = body[at++];
        if (!is_square(square)) return false;
        remaining ^= BIT_MASK[square_bit(square)];
    }
    key.remaining = remaining;
    return true;
}

std::uint32_t read_u32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void write_u32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The whole file, or false when it cannot be read or its size cannot be a game file.
bool read_game_file(const std::string& path, std::vector<std::uint8_t>& bytes) {
    return read_regular_file(path, MAX_GAME_FILE, bytes) && bytes.size() > GAME_FILE_HEADER;
}

}  // namespace

std::size_t encode_game(std::vector<std::uint8_t>& out) {
    const std::size_t start = out.size();
    const GameRecord& record = game_record();
    RootSnapshot snapshot;
    PlyRecord& root = root_record();
    for (int i = 0; i < record.length; ++i) {
        const GameEntry& entry = record.entries[i];
        set_record_position(root, entry.board, entry.side);
        generate_moves(entry.side, root);
        encode_move(i, entry, root.max_captured, out);
    }
    out.push_back(0);
    return out.size() - start;
}

int decode_game(std::span<const std::uint8_t> body, GameRecord& record) {
    RootSnapshot snapshot;
    PlyRecord& root = root_record();
    record = GameRecord{};
    setup_initial_position(record.entries[0].board);
    record.entries[0].side = WHITE;
    set_record_position(root, record.entries[0].board, WHITE);

    std::size_t at = 0;
    int moves = 0;
    for (;;) {
        if (at >= body.size()) return DECODE_REFUSED;  // no final 0
        if (body[at] == 0) break;
        if (moves == MAX_GAME_MOVES) return DECODE_REFUSED;
        MoveRecord key;
        int index = 0;
        if (!read_move(body, at, root, key) || !find_legal_move(index, key)) return DECODE_REFUSED;

        MoveRecord& move = root.moves[index];
        GameEntry& entry = record.entries[moves];
        entry.move_index = index;
        entry.move_type = static_cast<std::int32_t>(move_kind(move.word));
        entry.from = BIT_TO_SQUARE[move_from(move.word)];
        entry.to = BIT_TO_SQUARE[move_to(move.word)];
        make_move(root, move);
        const Side next_side = ~root.side;
        set_record_position(root, (&root)[1].board, next_side);
        ++moves;
        record.entries[moves].side = next_side;
        record.entries[moves].board = root.board;
    }
    // The 0 ends the body: anything after it means the file is not what it claims.
    if (at + 1 != body.size()) return DECODE_REFUSED;
    record.length = moves;
    record.current = moves;
    return moves;
}

bool game_fits_game_file() {
    const GameEntry& first = game_record().entries[0];
    Board start;
    setup_initial_position(start);
    return first.side == WHITE && first.board == start;
}

int save_game(const std::string& path) {
    // Replayed from the start position, such a file would hold another game, or none.
    if (!game_fits_game_file()) return 0;
    std::vector<std::uint8_t> bytes(GAME_FILE_HEADER);
    const std::size_t body = encode_game(bytes);
    write_u32(bytes.data(), static_cast<std::uint32_t>(body));
    write_u32(bytes.data() + 4, static_cast<std::uint32_t>(game_length()));
    // A save that fails half-way must not cost the user the game saved there before.
    return write_file_atomically(path, bytes) ? 1 : 0;
}

int load_game(const std::string& path, GameState& state) {
    std::vector<std::uint8_t> bytes;
    if (!read_game_file(path, bytes)) return 0;
    const std::uint32_t body_length = read_u32(bytes.data());
    const std::uint32_t move_count = read_u32(bytes.data() + 4);
    if (body_length != bytes.size() - GAME_FILE_HEADER) return 0;

    // Decode into a scratch record and take it only when the whole game replays, so a
    // bad file leaves the game that was on the board as it was.
    auto scratch = std::make_unique<GameRecord>();
    const int moves = decode_game(std::span(bytes).subspan(GAME_FILE_HEADER), *scratch);
    if (moves == DECODE_REFUSED || static_cast<std::uint32_t>(moves) != move_count) return 0;
    game_record_replace(*scratch);
    game_record_step(RESTORE, state);
    game_ui().draw_all_pieces(state.board);
    return 1;
}
