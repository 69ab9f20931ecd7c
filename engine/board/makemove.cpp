#include "engine/board/makemove.h"

namespace {

constexpr int CROWNING_GAIN = 320 - 100;

// splitmix64: any fixed, well-mixed values serve; nothing stores keys outside the run.
constexpr std::uint64_t splitmix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

constexpr std::array<std::array<std::uint32_t, 64>, 4> KEYS = [] {
    std::array<std::array<std::uint32_t, 64>, 4> keys{};
    std::uint64_t state = 0x76616E746F72ULL;
    for (auto& row : keys) {
        for (auto& key : row) key = static_cast<std::uint32_t>(splitmix64(state) >> 32);
    }
    return keys;
}();

constexpr std::array<std::array<std::uint32_t, 64>, 9> KEY_FROM = [] {
    std::array<std::array<std::uint32_t, 64>, 9> keys{};
    for (std::uint32_t kind = WHITE_MAN_MOVE; kind <= BLACK_KING_CAPTURE; ++kind) {
        keys[kind] = KEYS[(kind - 1) >> 1];  // kinds 1-2, 3-4, 5-6, 7-8: rows 0-3
    }
    return keys;
}();

constexpr std::array<std::array<std::uint32_t, 64>, 9> KEY_TO = [] {
    std::array<std::array<std::uint32_t, 64>, 9> keys = KEY_FROM;
    for (int b = 0; b < 64; ++b) {
        if (WHITE_CROWNING_ROW >> b & 1) keys[WHITE_MAN_MOVE][b] = keys[WHITE_MAN_CAPTURE][b] = KEYS[WHITE_KING_ROW][b];
        if (BLACK_CROWNING_ROW >> b & 1) keys[BLACK_MAN_MOVE][b] = keys[BLACK_MAN_CAPTURE][b] = KEYS[BLACK_KING_ROW][b];
    }
    return keys;
}();

void apply_captures(PlyRecord& record, Bitboard captured, std::uint32_t key, Side capturing_side) {
    PlyRecord& next = (&record)[1];
    const bool white = capturing_side == WHITE;
    const Bitboard men = white ? record.board.black_men : record.board.white_men;
    const int man_row = white ? BLACK_MAN_ROW : WHITE_MAN_ROW;
    const int king_row = white ? BLACK_KING_ROW : WHITE_KING_ROW;
    int gain = 0;
    for (; captured; captured &= captured - 1) {
        const int b = lowest_bit(captured);
        if (men & BIT_MASK[b]) {
            gain += 100;
            key ^= KEYS[man_row][b];
        } else {
            gain += 320;
            key ^= KEYS[king_row][b];
        }
    }
    next.material = white ? next.material + gain : next.material - gain;
    next.key = key;
}

void make_move(PlyRecord& record, MoveRecord& move) {
    const std::uint32_t kind_byte = move.word & 0xFF;
    if (kind_byte < 1 || kind_byte > 8) return;
    move.word |= MOVE_TRIED;

    PlyRecord& next = (&record)[1];
    const Board& b = record.board;
    Board& n = next.board;
    const int f = move_from(move.word);
    const int t = move_to(move.word);
    const Bitboard from = Bitboard{1} << f;  // a shift, not a table read: from and to are 0-63
    const Bitboard to = Bitboard{1} << t;
    const std::uint32_t key = record.key ^ KEY_FROM[kind_byte][f] ^ KEY_TO[kind_byte][t];
    next.material = record.material;
    n = b;

    switch (kind_byte) {
        case WHITE_MAN_MOVE:
        case WHITE_MAN_CAPTURE: {
            const bool capture = kind_byte == WHITE_MAN_CAPTURE;
            const Bitboard moved = capture ? from ^ to : from | to;
            n.empty ^= moved;
            if (to & WHITE_CROWNING_ROW) {
                n.white_men &= ~from;
                n.white_kings |= to;
                next.material += CROWNING_GAIN;
            } else {
                n.white_men ^= moved;
            }
            break;
        }
        case WHITE_KING_MOVE:
        case WHITE_KING_CAPTURE: {
            const Bitboard moved = kind_byte == WHITE_KING_CAPTURE ? from ^ to : from | to;
            n.white_kings ^= moved;
            n.empty ^= moved;
            break;
        }
        case BLACK_MAN_MOVE:
        case BLACK_MAN_CAPTURE: {
            const bool capture = kind_byte == BLACK_MAN_CAPTURE;
            const Bitboard moved = capture ? from ^ to : from | to;
            n.empty ^= moved;
            if (to & BLACK_CROWNING_ROW) {
                n.black_men &= ~from;
                n.black_kings |= to;
                next.material -= CROWNING_GAIN;
            } else {
                n.black_men ^= moved;
            }
            break;
        }
        default: {  // BLACK_KING_MOVE, BLACK_KING_CAPTURE
            const Bitboard moved = kind_byte == BLACK_KING_CAPTURE ? from ^ to : from | to;
            n.black_kings ^= moved;
            n.empty ^= moved;
            break;
        }
    }

    if (!is_capture_kind(kind_byte)) {
        next.key = key;
        return;
    }
    const bool white = kind_byte <= WHITE_KING_CAPTURE;
    const Bitboard remaining = move.remaining;
    Bitboard captured;
    if (white) {
        captured = b.black() & ~remaining;
        n.black_men &= remaining;
        n.black_kings &= remaining;
    } else {
        captured = b.white() & ~remaining;
        n.white_men &= remaining;
        n.white_kings &= remaining;
    }
    n.empty |= captured;
    apply_captures(record, captured, key, white ? WHITE : BLACK);
}

std::uint32_t compute_key(const PlyRecord& record) {
    const Bitboard sets[4] = {record.board.white_men, record.board.white_kings,
                              record.board.black_men, record.board.black_kings};
    std::uint32_t key = 0;
    for (int row = 0; row < 4; ++row) {
        for (Bitboard b = sets[row]; b; b &= b - 1) key ^= KEYS[row][lowest_bit(b)];
    }
    return key;
}
