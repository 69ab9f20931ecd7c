#include "engine/knowledge/strong_eval.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <utility>

#include "engine/knowledge/geometry.h"
#include "engine/knowledge/patterns.h"
#include "engine/knowledge/strong_regions.h"

// Rules 2k - 1 and 2k mirror each other up to rule 42; the last six come as 43-48,
// 44-47 and 45-46.
constexpr std::array<std::array<int, 2>, 24> STRONG_PATTERN_PAIRS = [] {
    std::array<std::array<int, 2>, 24> pairs{};
    for (int k = 0; k < 21; ++k) pairs[k] = {2 * k + 1, 2 * k + 2};
    pairs[21] = {43, 48};
    pairs[22] = {44, 47};
    pairs[23] = {45, 46};
    return pairs;
}();

namespace {

using namespace geometry;

constexpr Bitboard WHITE_CENTRE = squares({28, 29, 32, 33, 38, 39, 42, 43, 48, 49});
constexpr Bitboard BLACK_CENTRE = squares({2, 3, 8, 9, 12, 13, 18, 19, 22, 23});
constexpr Bitboard LEFT_WING = squares({1, 6, 7, 11, 16, 17, 21, 26, 27, 31, 36, 37, 41, 46, 47});
constexpr Bitboard RIGHT_WING = squares({4, 5, 10, 14, 15, 20, 24, 25, 30, 34, 35, 40, 44, 45, 50});
constexpr Bitboard LONG_DIAGONAL = squares({46, 41, 37, 32, 28, 23, 19, 14, 10, 5});
constexpr Bitboard WHITE_OUTPOSTS = square_range(16, 30);  // rows 3-5
constexpr Bitboard BLACK_OUTPOSTS = square_range(21, 35);  // rows 4-6
constexpr Bitboard WHITE_RUNAWAY_ROWS = square_range(1, 25);  // rows 0-4
constexpr Bitboard BLACK_RUNAWAY_ROWS = square_range(26, 50);  // rows 5-9

// Columns 0-4 as White sees the board; square s is in it exactly when 51 - s is not.
constexpr Bitboard LEFT_HALF = [] {
    Bitboard mask = 0;
    for (int s = 1; s <= 50; ++s) mask |= square_column(s) < 5 ? square_bit(s) : 0;
    return mask;
}();

// The man-square feature of a man on each bit, for either colour.
constexpr std::array<std::array<std::uint8_t, 64>, 2> MAN_SQUARE_FEATURE = [] {
    std::array<std::array<std::uint8_t, 64>, 2> table{};
    for (int s = 1; s <= 50; ++s) {
        table[0][SQUARE_TO_BIT[s]] = static_cast<std::uint8_t>(SF_MAN_SQUARE + s - 1);
        table[1][SQUARE_TO_BIT[s]] = static_cast<std::uint8_t>(SF_MAN_SQUARE + 50 - s);
    }
    return table;
}();

// The board turned half round: square s to 51 - s.
Bitboard turned(Bitboard set) {
    Bitboard result = 0;
    for (int s = 1; s <= 50; ++s) result |= (set & square_bit(s)) != 0 ? square_bit(51 - s) : 0;
    return result;
}

// Each pattern feature's formation (the first rule of its pair), and at index + 24 that
// formation with the colours exchanged on the turned board. The second is the pair's
// other rule for all pairs but 25/26, whose squares differ by one: the feature uses the
// exact mirror so that it stays the same for both colours. As in the designed patterns,
// a formation is held when its squares, each read in the set it asks for, give back all
// of them: one comparison, which the loop below does for several formations at a time.
struct Formations {
    std::array<Bitboard, 48> white_men{}, white_kings{}, black_men{}, black_kings{}, empty{}, all{};
};

const Formations FORMATIONS = [] {
    Formations f;
    for (int pair = 0; pair < 24; ++pair) {
        const PatternRule& r = PATTERN_RULES[STRONG_PATTERN_PAIRS[pair][0] - 1];
        const PatternRule m{turned(r.black_men), turned(r.black_kings), turned(r.white_men), turned(r.white_kings),
                            turned(r.empty), -r.value};
        for (const auto& [rule, i] : {std::pair{r, pair}, std::pair{m, pair + 24}}) {
            f.white_men[i] = rule.white_men, f.white_kings[i] = rule.white_kings;
            f.black_men[i] = rule.black_men, f.black_kings[i] = rule.black_kings, f.empty[i] = rule.empty;
            f.all[i] = rule.white_men | rule.white_kings | rule.black_men | rule.black_kings | rule.empty;
        }
    }
    return f;
}();

template <class Sink>
void collect_patterns(const Board& b, Sink& sink) {
    std::array<int, 48> held{};
    for (int i = 0; i < 48; ++i) {
        const Bitboard seen = (b.white_men & FORMATIONS.white_men[i]) | (b.white_kings & FORMATIONS.white_kings[i]) |
                              (b.black_men & FORMATIONS.black_men[i]) | (b.black_kings & FORMATIONS.black_kings[i]) |
                              (b.empty & FORMATIONS.empty[i]);
        held[i] = seen == FORMATIONS.all[i];
    }
    for (int pair = 0; pair < 24; ++pair) {
        if (const int fires = held[pair] - held[pair + 24]; fires != 0) sink.add(SF_PATTERN + pair, fires);
    }
}

// Squares reached by the kings along one direction, summed over the four.
int king_reach(Bitboard kings, Bitboard empty) {
    if (kings == 0) return 0;
    int reach = 0;
    for (const int shift : {5, 6}) {
        Bitboard up = 0, down = 0;
        for (Bitboard t = kings << shift & empty; t != 0; t = t << shift & empty) up |= t;
        for (Bitboard t = kings >> shift & empty; t != 0; t = t >> shift & empty) down |= t;
        reach += std::popcount(up) + std::popcount(down);
    }
    return reach;
}

int left_right_imbalance(Bitboard men) {
    return std::abs(std::popcount(men & LEFT_HALF) - std::popcount(men & ~LEFT_HALF));
}

// The designed wing balance in threes: differences of two or more on a wing, or among
// the kings and middle men.
int wing_balance(const Board& b) {
    const int white_left = std::popcount(b.white_men & LEFT_WING);
    const int white_right = std::popcount(b.white_men & RIGHT_WING);
    const int black_left = std::popcount(b.black_men & LEFT_WING);
    const int black_right = std::popcount(b.black_men & RIGHT_WING);
    const int differences[3] = {white_left - black_left, white_right - black_right,
                                (std::popcount(b.white()) - white_left - white_right) -
                                    (std::popcount(b.black()) - black_left - black_right)};
    int sum = 0;
    for (int d : differences) sum += std::abs(d) >= 2 ? d : 0;
    return sum;
}

// A cone that holds squares and no enemy piece: the man cannot be stopped on that side
// by anything standing now.
bool open_cone(Bitboard cone, Bitboard enemies) {
    return cone != 0 && (cone & enemies) == 0;
}

// The terms a man adds wherever it stands, whatever stands around it: the men count,
// its square, its rows advanced (tempo), the centre, the back rank and the back square.
// Summed per man they make one table per colour (see ManTables).
template <class Sink>
void collect_men(const Board& b, Sink& sink) {
    const Bitboard wm = b.white_men;
    const Bitboard bm = b.black_men;
    int tempo = 0;
    for (Bitboard men = wm; men != 0; men &= men - 1) {
        const int bit = std::countr_zero(men);
        sink.add(MAN_SQUARE_FEATURE[0][bit], 1);
        tempo += 9 - ROW[bit];
    }
    for (Bitboard men = bm; men != 0; men &= men - 1) {
        const int bit = std::countr_zero(men);
        sink.add(MAN_SQUARE_FEATURE[1][bit], -1);
        tempo -= ROW[bit];
    }
    sink.add(SF_TEMPO, tempo);
    sink.add(SF_MEN, std::popcount(wm) - std::popcount(bm));
    sink.add(SF_BACK_SQUARE, ((wm & square_bit(48)) != 0) - ((bm & square_bit(3)) != 0));
    sink.add(SF_CENTRE, std::popcount(wm & WHITE_CENTRE) - std::popcount(bm & BLACK_CENTRE));
    sink.add(SF_BACK_RANK, std::popcount(wm & BLACK_CROWNING_ROW) - std::popcount(bm & WHITE_CROWNING_ROW));
}

// Men 1-4 rows from crowning with a cone that no enemy piece stands in.
template <class Sink>
void collect_runaways(const Board& b, Sink& sink) {
    const Bitboard black = b.black();
    const Bitboard white = b.white();
    for (Bitboard men = b.white_men & WHITE_RUNAWAY_ROWS; men != 0; men &= men - 1) {
        const int bit = std::countr_zero(men);
        if (open_cone(PathCone[bit].white_left, black) || open_cone(PathCone[bit].white_right, black))
            sink.add(SF_RUNAWAY + ROW[bit] - 1, 1);
    }
    for (Bitboard men = b.black_men & BLACK_RUNAWAY_ROWS; men != 0; men &= men - 1) {
        const int bit = std::countr_zero(men);
        if (open_cone(PathCone[bit].black_left, white) || open_cone(PathCone[bit].black_right, white))
            sink.add(SF_RUNAWAY + 8 - ROW[bit], -1);
    }
}

template <class Sink>
void collect_material(const Board& b, Sink& sink) {
    const int men = std::popcount(b.white_men) - std::popcount(b.black_men);
    const int white_kings = std::popcount(b.white_kings);
    const int black_kings = std::popcount(b.black_kings);
    const int kings = white_kings - black_kings;
    sink.add(SF_KINGS, kings);
    if (white_kings > 0 && black_kings > 0) {
        sink.add(SF_MEN_BOTH_KINGS, men);
        sink.add(SF_KINGS_BOTH_KINGS, kings);
    }
    const int pieces = std::popcount(b.white() | b.black());
    sink.add(SF_LEAD, (men + 3 * kings) * std::max(0, 24 - pieces));
}

template <class Sink>
void collect_structure(const Board& b, Sink& sink) {
    const Bitboard wm = b.white_men;
    const Bitboard bm = b.black_men;
    sink.add(SF_FREE_PATH, free_path_sum(b) / 10);
    sink.add(SF_WING, wing_balance(b));
    sink.add(SF_LEFT_RIGHT, left_right_imbalance(bm) - left_right_imbalance(wm));
    sink.add(SF_OUTPOST, std::popcount(wm & wm << 5 & wm << 6 & WHITE_OUTPOSTS) -
                             std::popcount(bm & bm >> 5 & bm >> 6 & BLACK_OUTPOSTS));
    const Bitboard e = b.empty;
    sink.add(SF_LOCKED, std::popcount(wm & ~(e >> 5 | e >> 6)) - std::popcount(bm & ~(e << 5 | e << 6)));
    collect_patterns(b, sink);
}

// Everything but collect_men.
template <class Sink>
void collect_position(const Board& b, Sink& sink) {
    collect_material(b, sink);
    collect_structure(b, sink);
    if ((b.white_kings | b.black_kings) != 0) {
        sink.add(SF_KING_MOBILITY, king_reach(b.white_kings, b.empty) - king_reach(b.black_kings, b.empty));
        sink.add(SF_KING_DIAGONAL, std::popcount(b.white_kings & LONG_DIAGONAL) -
                                       std::popcount(b.black_kings & LONG_DIAGONAL));
    }
    collect_runaways(b, sink);
}

template <class Sink>
void collect(const Board& b, Sink& sink) {
    collect_men(b, sink);
    collect_position(b, sink);
}

struct FeatureSink {
    StrongFeatures& features;
    void add(int feature, int value) { features[feature] = static_cast<std::int16_t>(features[feature] + value); }
};

struct WeightSink {
    const StrongWeights& weights;
    std::int64_t opening = 0;
    std::int64_t endgame = 0;
    void add(int feature, int value) {
        opening += std::int64_t{weights.opening[feature]} * value;
        endgame += std::int64_t{weights.endgame[feature]} * value;
    }
};

int taper(std::int64_t opening, std::int64_t endgame, int phase) {
    const std::int64_t sum = opening * phase + endgame * (STRONG_PHASE_MAX - phase);
    const std::int64_t score = sum / (STRONG_PHASE_MAX * STRONG_WEIGHT_SCALE);
    return static_cast<int>(std::clamp<std::int64_t>(score, -STRONG_SCORE_LIMIT, STRONG_SCORE_LIMIT));
}

// What collect_men adds for one man on each bit, with the compiled weights: a table per
// colour and weight set, so that the evaluation looks each man up once.
struct ManTables {
    std::array<std::int64_t, 64> opening[2]{}, endgame[2]{};
};

const ManTables MAN_TABLES = [] {
    ManTables t;
    for (int colour = 0; colour < 2; ++colour) {
        for (int s = 1; s <= 50; ++s) {
            Board b{};
            (colour == 0 ? b.white_men : b.black_men) = square_bit(s);
            WeightSink sink{STRONG_WEIGHTS};
            collect_men(b, sink);
            t.opening[colour][SQUARE_TO_BIT[s]] = sink.opening;
            t.endgame[colour][SQUARE_TO_BIT[s]] = sink.endgame;
        }
    }
    return t;
}();

int terms_score(Side side, const Board& board) {
    WeightSink sink{STRONG_WEIGHTS};
    for (int colour = 0; colour < 2; ++colour) {
        for (Bitboard men = colour == 0 ? board.white_men : board.black_men; men != 0; men &= men - 1) {
            const int bit = std::countr_zero(men);
            sink.opening += MAN_TABLES.opening[colour][bit];
            sink.endgame += MAN_TABLES.endgame[colour][bit];
        }
    }
    collect_position(board, sink);
    strong_region_sum(board, sink.opening, sink.endgame);
    const int white_view = taper(sink.opening, sink.endgame, strong_phase(board));
    return side == WHITE ? white_view : -white_view;
}

}  // namespace


void strong_features(const Board& board, StrongFeatures& features) {
    features.fill(0);
    FeatureSink sink{features};
    collect(board, sink);
}

int strong_phase(const Board& board) {
    return std::popcount(board.white_men | board.black_men);
}

int strong_evaluate(Side side, PlyRecord& position) {
    if (int score = 0; settled_ending(side, position, score)) return score;
    return terms_score(side, position.board);
}

int strong_evaluate_with_probe(Side side, PlyRecord& position, EndgameProbe probe) {
    if (int score = 0; settled_ending_with_probe(side, position, probe, score)) return score;
    return terms_score(side, position.board);
}

namespace {

struct FeatureGroup {
    int first;
    const char* name;
};
constexpr FeatureGroup FEATURE_GROUPS[] = {
    {SF_MEN, "men"},
    {SF_KINGS, "kings"},
    {SF_MEN_BOTH_KINGS, "men, both sides with kings"},
    {SF_KINGS_BOTH_KINGS, "kings, both sides with kings"},
    {SF_LEAD, "lead amplifier"},
    {SF_FREE_PATH, "free paths"},
    {SF_BACK_SQUARE, "back square"},
    {SF_CENTRE, "centre"},
    {SF_WING, "wing balance"},
    {SF_TEMPO, "tempo"},
    {SF_LEFT_RIGHT, "left-right balance"},
    {SF_BACK_RANK, "back rank"},
    {SF_OUTPOST, "outposts"},
    {SF_LOCKED, "locked men"},
    {SF_KING_MOBILITY, "king mobility"},
    {SF_KING_DIAGONAL, "kings on the long diagonal"},
    {SF_RUNAWAY, "runaway, rows to go"},
    {SF_PATTERN, "pattern pair"},
    {SF_MAN_SQUARE, "man square"},
    {STRONG_FEATURE_COUNT, ""},
};

const FeatureGroup& group_of(int feature) {
    int g = 0;
    while (FEATURE_GROUPS[g + 1].first <= feature) ++g;
    return FEATURE_GROUPS[g];
}

}  // namespace

const char* strong_feature_group(int feature) {
    return group_of(feature).name;
}

int strong_feature_offset(int feature) {
    return feature - group_of(feature).first;
}
