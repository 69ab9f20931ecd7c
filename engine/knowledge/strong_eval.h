#pragma once
// The strong engine's evaluation: the endings the designed evaluation settles (databases,
// small endings, four kings against one), and otherwise a sum of weighted features and
// of region values (strong_regions.h), tapered between an opening and an endgame weight
// set by the number of men on the board. Both are learnt from self-play (vantor-tune) and
// live in strong_weights.cpp and strong_region_weights.cpp.
//
// Every feature is counted from White's view, White's value minus Black's, Black's
// measured on the board turned half round (square s as 51 - s): a position and its
// colour mirror have opposite features, so they score the same for the side to move.

#include <array>
#include <cstdint>

#include "engine/board/board.h"
#include "engine/knowledge/evaluation.h"

// The features, in the order of the weight vector.
enum StrongFeature : int {
    SF_MEN = 0,
    SF_KINGS,
    SF_MEN_BOTH_KINGS,    // the men difference when each side has a king
    SF_KINGS_BOTH_KINGS,  // the kings difference then
    SF_LEAD,              // material lead (a king three men) times max(0, 24 - pieces)
    SF_FREE_PATH,         // the designed free-path sum, in tens
    SF_BACK_SQUARE,       // a man on 48 (White) or 3 (Black)
    SF_CENTRE,            // men in the designed centre
    SF_WING,              // the designed wing balance, in threes
    SF_TEMPO,             // sum of the men's rows advanced
    SF_LEFT_RIGHT,        // |left half men - right half men|: the other side's less one's own
    SF_BACK_RANK,         // men still on the own back row
    SF_OUTPOST,           // men on rows 3-5 ahead held by men on both squares behind
    SF_LOCKED,            // men without a forward step
    SF_KING_MOBILITY,     // squares the kings reach along each direction
    SF_KING_DIAGONAL,     // kings on the long diagonal 46-5
    SF_RUNAWAY,           // + distance - 1: a man 1-4 rows from crowning with an open cone
    SF_PATTERN = SF_RUNAWAY + 4,  // + pair: a designed pattern less its mirror
    SF_MAN_SQUARE = SF_PATTERN + 24,  // + square - 1: a man on a square, as White sees it
    STRONG_FEATURE_COUNT = SF_MAN_SQUARE + 50,
};

// The men on the board at the start: the phase runs from this (opening) to 0.
inline constexpr int STRONG_PHASE_MAX = 40;
// Weights are stored in eighths of a point (a man is about 800).
inline constexpr int STRONG_WEIGHT_SCALE = 8;
// Scores of the terms stay below the settled endings' (four kings, databases).
inline constexpr int STRONG_SCORE_LIMIT = 3000;

struct StrongWeights {
    std::array<std::int32_t, STRONG_FEATURE_COUNT> opening{};
    std::array<std::int32_t, STRONG_FEATURE_COUNT> endgame{};
};
extern const StrongWeights STRONG_WEIGHTS;

using StrongFeatures = std::array<std::int16_t, STRONG_FEATURE_COUNT>;

// The feature values of a board, White's view.
void strong_features(const Board& board, StrongFeatures& features);
// The number of men on the board (0-40).
int strong_phase(const Board& board);
// The score for `side` to move, a man about 100, settled endings as the designed
// evaluation gives them. The record's counts must be those of its board (as make_move
// and set_record_position leave them). Fills position.type_counts.
int strong_evaluate(Side side, PlyRecord& position);
// strong_evaluate with `probe` asked in place of the endgame databases.
int strong_evaluate_with_probe(Side side, PlyRecord& position, EndgameProbe probe);

// A short name of every feature ("men", "man square 31"), for the weights file.
const char* strong_feature_group(int feature);
// The feature's index within its group (0 for single features).
int strong_feature_offset(int feature);
// The designed rules (numbered 1-48) behind each pattern feature: a formation and its
// mirror. The feature is the first rule less its exact colour mirror.
extern const std::array<std::array<int, 2>, 24> STRONG_PATTERN_PAIRS;
