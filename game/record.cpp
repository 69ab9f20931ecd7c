#include "game/record.h"

#include <algorithm>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/knowledge/book.h"
#include "game/controller.h"
#include "game/move_text.h"

namespace {

GameRecord the_record;
MoveTable the_move_table;
int the_setup_colour = SETUP_WHITE;

Bitboard& piece_set(Board& board, PieceType piece) {
    switch (piece) {
        case WHITE_MAN: return board.white_men;
        case WHITE_KING: return board.white_kings;
        case BLACK_MAN: return board.black_men;
        case BLACK_KING: return board.black_kings;
        default: return board.empty;
    }
}

// What a click in set-up mode puts on a square holding `piece`. Each click steps a square
// man -> king -> empty, and emptying a king hands the set-up colour to the other side,
// so the cycle runs through both colours. The crowning rows are special: a man never
// stands on the row where it would be crowned (White's on 1-5, Black's on 46-50), so
// there the set-up colour gets a king at once, and the other colour a man, at home.
PieceType next_setup_piece(PieceType piece, int square, int& colour) {
    switch (piece) {
        case WHITE_MAN: return WHITE_KING;
        case WHITE_KING: colour = SETUP_BLACK; return EMPTY_SQUARE;
        case BLACK_MAN: return BLACK_KING;
        case BLACK_KING: colour = SETUP_WHITE; return EMPTY_SQUARE;
        default: break;
    }
    if (square <= 5) return colour == SETUP_WHITE ? WHITE_KING : BLACK_MAN;
    if (square >= 46) return colour == SETUP_BLACK ? BLACK_KING : WHITE_MAN;
    return colour == SETUP_WHITE ? WHITE_MAN : BLACK_MAN;
}

}  // namespace

const GameRecord& game_record() { return the_record; }

const GameEntry& game_entry(int index) {
    return the_record.entries[std::clamp(index, 0, MAX_GAME_MOVES)];
}

const MoveTable& move_table() { return the_move_table; }

int setup_colour() { return the_setup_colour; }

void game_record_clear() {
    the_record.length = 0;
    the_record.current = 0;
    for (GameEntry& entry : the_record.entries) {
        entry.move_index = 0;
        entry.move_type = 0;
        entry.from = 0;
        entry.to = 0;
    }
}

int game_length() { return the_record.length; }

int game_current() { return the_record.current; }

void game_record_replace(const GameRecord& record) {
    the_record = record;
    the_record.length = std::clamp(the_record.length, 0, MAX_GAME_MOVES);
    the_record.current = std::clamp(the_record.current, 0, the_record.length);
}

int game_record_step(int op, GameState& state) {
    GameRecord& r = the_record;
    switch (op) {
        case START:
            r.entries[0].side = state.side;
            r.entries[0].board = state.board;
            return 0;
        case STORE:
            if (r.current > MAX_GAME_MOVES) return 0;
            r.entries[r.current].side = state.side;
            r.entries[r.current].board = state.board;
            return 1;
        case REDO:
            if (r.current >= r.length) return 0;
            ++r.current;
            state.side = ~state.side;
            state.board = r.entries[r.current].board;
            break;
        case UNDO:
            if (r.current < 1) return 0;
            --r.current;
            state.side = ~state.side;
            state.board = r.entries[r.current].board;
            break;
        case RESTORE:
            state.side = r.entries[r.current].side;
            state.board = r.entries[r.current].board;
            break;
        default:
            return 0;
    }
    update_side_marks(state);
    list_legal_moves(state);
    update_turn_marks(state);  // after the listing: a position without moves shows the result
    return op == RESTORE ? 0 : 1;
}

int list_legal_moves(GameState& state) {
    PlyRecord& root = root_record();
    const Side side = state.side;
    set_record_position(root, state.board, side);
    generate_moves(side, root);
    // The counts go first: engine_wanted asks for a legal move, and it must see this
    // position's, not the one before (a lost position must never start the engine).
    state.legal_count = root.move_count;
    state.capture_count = root.max_captured;
    state.engine_request = engine_wanted(state);
    state.engine_move = 0;
    state.move_to_play = 0;
    state.player_move = 0;

    MoveTable& table = the_move_table;
    table.count = std::clamp(root.move_count, 0, static_cast<int>(table.moves.size()));
    for (int i = 0; i < table.count; ++i) {
        const std::uint32_t word = root.moves[i].word;
        table.moves[i] = {BIT_TO_SQUARE[move_from(word)], BIT_TO_SQUARE[move_to(word)]};
    }
    return root.move_count;
}

int select_square(Selection& selection, GameState& state) {
    const MoveTable& table = the_move_table;
    int matches = 0;
    int last = 0;
    if (selection.from == 0) {
        for (int i = 0; i < table.count; ++i) {
            if (table.moves[i].from != selection.clicked) continue;
            ++matches;
            last = i;
        }
        if (matches == 0) return SELECT_NOTHING;
        if (matches == 1) {
            state.player_move = last;
            return SELECT_MOVE;
        }
        selection.from = selection.clicked;
        return SELECT_PIECE;
    }
    for (int i = 0; i < table.count; ++i) {
        if (table.moves[i].from != selection.from || table.moves[i].to != selection.clicked) continue;
        ++matches;
        last = i;
    }
    if (matches == 0) {
        selection.from = 0;
        selection.second = 0;
        return SELECT_DROPPED;
    }
    // Captures that share from and to squares and differ only in the pieces they take
    // cannot be told apart by clicks: the last of them in list order is played.
    state.player_move = last;
    return SELECT_MOVE;
}

int find_legal_move(int& index, const MoveRecord& key) {
    PlyRecord& root = root_record();
    generate_moves(root.side, root);
    for (int i = 0; i < root.move_count; ++i) {
        index = i;
        const MoveRecord& move = root.moves[i];
        if ((move.word & MOVE_WORD_MASK) != key.word) continue;
        if (root.max_captured == 0 || move.remaining == key.remaining) return 1;
    }
    return 0;
}

bool record_move(GameState& state, MoveMessage& message) {
    GameRecord& r = the_record;
    PlyRecord& root = root_record();
    const int index = state.move_to_play;
    // The record holds 513 positions: a 513th move has no entry to land in. Refusing it
    // here, before the book or the position is touched, leaves everything as it was.
    if (r.current >= MAX_GAME_MOVES || index < 0 || index >= root.move_count) {
        message[0] = '\0';
        return false;
    }
    if (state.use_book == 1) book_advance(state);

    MoveRecord& move = root.moves[index];
    move.word &= ~MOVE_TRIED;
    encode_move_message(index, message);  // reads the captured pieces before the move
    make_move(root, move);
    const Board after = (&root)[1].board;
    state.board = after;
    set_record_position(root, after, state.side);

    GameEntry& entry = r.entries[r.current];
    entry.move_index = index;
    entry.move_type = static_cast<std::int32_t>(move.word & 0xFF & ~MOVE_TRIED);
    entry.from = BIT_TO_SQUARE[move_from(move.word)];
    entry.to = BIT_TO_SQUARE[move_to(move.word)];
    ++r.current;
    r.length = r.current;
    state.move_to_play = 0;
    return true;
}

void edit_square(int op, int square, GameState& state) {
    switch (op) {
        case EDIT_CLEAR: setup_empty_position(state.board); return;
        case EDIT_INIT: setup_initial_position(state.board); return;
        case EDIT_SQUARE: break;
        default: return;
    }
    const PieceType piece = piece_on_square(square, state.board);
    if (piece == NO_SQUARE) return;
    const PieceType next = next_setup_piece(piece, square, the_setup_colour);
    const Bitboard bit = BIT_MASK[SQUARE_TO_BIT[square]];
    Board& board = state.board;
    board.white_men &= ~bit;
    board.white_kings &= ~bit;
    board.black_men &= ~bit;
    board.black_kings &= ~bit;
    board.empty &= ~bit;
    piece_set(board, next) |= bit;
}
