// The endgame databases in the program: the position index, loading "endings" with its
// "%s.raw" files and "endgame.dat" (corrupt files included), and probing.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "engine/knowledge/egdb_index.h"
#include "tests/knowledge/egdb_test_util.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bitboard bit(int square) {
    return BIT_MASK[SQUARE_TO_BIT[square]];
}

int index_of(const std::string& fen) {
    Side side = WHITE;
    const Board board = board_from_fen(fen, side);
    return egdb_index(side, board);
}

// Calls `visit` with every legal placement of the material, White to move: White's men
// off squares 1-5, Black's off 46-50, no two pieces on one square.
void for_each_placement(const EgdbMaterial& m, const std::function<void(const Board&)>& visit) {
    const int counts[4] = {m.sm, m.sk, m.om, m.ok};
    std::function<void(Board&, int, int, int)> place = [&](Board& b, int kind, int placed,
                                                           int from) {
        if (placed == counts[kind]) {
            if (kind == 3) {
                visit(b);
            } else {
                place(b, kind + 1, 0, 1);
            }
            return;
        }
        Bitboard* sets[4] = {&b.white_men, &b.white_kings, &b.black_men, &b.black_kings};
        for (int s = from; s <= 50; ++s) {
            if (!(b.empty & bit(s)) || (kind == 0 && s <= 5) || (kind == 2 && s >= 46)) continue;
            *sets[kind] |= bit(s);
            b.empty ^= bit(s);
            place(b, kind, placed + 1, s + 1);
            *sets[kind] ^= bit(s);
            b.empty ^= bit(s);
        }
    };
    Board board;
    setup_empty_position(board);
    place(board, 0, 0, 1);
}

// The same position seen from the other side: turned half a turn, colours swapped.
Board turned(const Board& b) {
    Board t;
    setup_empty_position(t);
    const Bitboard from[4] = {b.black_men, b.black_kings, b.white_men, b.white_kings};
    Bitboard* to[4] = {&t.white_men, &t.white_kings, &t.black_men, &t.black_kings};
    for (int k = 0; k < 4; ++k) {
        for (int s = 1; s <= 50; ++s) {
            if (from[k] & bit(s)) *to[k] |= bit(51 - s);
        }
    }
    t.empty = SQUARE_BITS & ~(t.white() | t.black());
    return t;
}

std::vector<EgdbMaterial> materials_up_to(int pieces) {
    std::vector<EgdbMaterial> list;
    for (int key = 0; key < EGDB_KEY_COUNT; ++key) {
        const EgdbMaterial m = key_material(key);
        const int p = m.sm + m.sk + m.om + m.ok;
        if (p <= pieces && m.sm + m.sk > 0 && m.om + m.ok > 0) list.push_back(m);
    }
    return list;
}

}  // namespace

// ---- The index ----

// The two known answers of the format: XvX (N = 2450) and OvO (N = 2025).
TEST(EgdbIndex, KingsOn46And5GiveIndex240EitherSideToMove) {
    EXPECT_EQ(index_of("W:WK46:BK5"), 240);
    EXPECT_EQ(index_of("B:WK46:BK5"),
              240);  // Black's king on 5 is its normalised 45, as White's on 46
    const Bytes values = [] {
        Bytes v(613, 0x55);  // all draws
        v[60] = 0x95;        // index 240: the two high bits of byte 60 (10 = loss)
        return v;
    }();
    EXPECT_EQ(egdb_value_at(values.data(), 240), EGDB_LOSS);
    EXPECT_EQ(egdb_value_at(values.data(), 241), EGDB_DRAW);
}

TEST(EgdbIndex, MenOn28And23GiveIndex1011EitherSideToMove) {
    EXPECT_EQ(index_of("W:W28:B23"), 22 * 45 + 21);
    EXPECT_EQ(index_of("B:W28:B23"), 1011);
}

TEST(EgdbIndex, EveryPlacementOfSmallMaterialHasItsOwnIndexBelowN) {
    for (const EgdbMaterial& m : materials_up_to(3)) {
        const std::int64_t n = egdb_position_count(m);
        std::vector<bool> seen(static_cast<std::size_t>(n), false);
        std::int64_t placements = 0;
        for_each_placement(m, [&](const Board& b) {
            ++placements;
            const std::int32_t i = egdb_index(WHITE, b);
            ASSERT_GE(i, 0) << to_fen(b, WHITE);
            ASSERT_LT(i, n) << to_fen(b, WHITE);
            ASSERT_FALSE(seen[static_cast<std::size_t>(i)])
                << "two placements share " << i << ": " << to_fen(b, WHITE);
            seen[static_cast<std::size_t>(i)] = true;
        });
        // Only when both sides have men are some indices left over.
        if (m.sm > 0 && m.om > 0) {
            EXPECT_LT(placements, n) << egdb_name(m);
        } else {
            EXPECT_EQ(placements, n) << egdb_name(m);
        }
    }
}

TEST(EgdbIndex, TurningTheBoardAndSwappingColoursKeepsTheIndex) {
    for (const EgdbMaterial& m : materials_up_to(3)) {
        for_each_placement(m, [&](const Board& b) {
            ASSERT_EQ(egdb_index(BLACK, turned(b)), egdb_index(WHITE, b)) << to_fen(b, WHITE);
        });
    }
}

TEST(EgdbIndex, PositionsOutsideEveryDatabaseHaveNoIndex) {
    Board b;
    setup_empty_position(b);
    b.white_men = bit(3);  // a man on its own crowning row
    b.black_kings = bit(30);
    b.empty &= ~(b.white_men | b.black_kings);
    EXPECT_EQ(egdb_index(WHITE, b), -1);
    EXPECT_EQ(egdb_index(BLACK, b), -1);

    EXPECT_EQ(index_of("W:WK1,K2,K3,K4,K5,K6,K7,K8:BK50"), -1);         // eight of a kind
    EXPECT_EQ(index_of("W:WK1,K2,K3,K4,K5:BK46,K47,K48,K49,K50"), -1);  // 2^31 positions or more
    EXPECT_EQ(index_of("W:W21,22,23,24,25,26,27:B11,12,13,14,15,16,17"), -1);  // the same

    Side side = WHITE;
    Board overlapping = board_from_fen("W:WK46:BK5", side);
    overlapping.black_men = overlapping.white_kings;
    EXPECT_EQ(egdb_index(WHITE, overlapping), -1);
}

TEST(EgdbIndex, CombinationRankCountsInLexicographicOrder) {
    for (int n : {1, 7, 12}) {
        for (int length = 0; length <= std::min(n, 4); ++length) {
            std::vector<int> list(static_cast<std::size_t>(length));
            for (int i = 0; i < length; ++i) list[static_cast<std::size_t>(i)] = i;
            std::int32_t expected = 0;
            for (;;) {
                ASSERT_EQ(combination_rank(list, n), expected) << "n " << n << " length " << length;
                ++expected;
                int i = length - 1;
                while (i >= 0 && list[static_cast<std::size_t>(i)] == n - length + i) --i;
                if (i < 0) break;
                ++list[static_cast<std::size_t>(i)];
                for (int j = i + 1; j < length; ++j)
                    list[static_cast<std::size_t>(j)] = list[static_cast<std::size_t>(j - 1)] + 1;
            }
            EXPECT_EQ(expected, BINOMIAL[n][length]);
        }
    }
    const std::vector<int> last = {43, 44};
    EXPECT_EQ(combination_rank(last, 45), 989);
    for (const std::vector<int>& bad :
         std::vector<std::vector<int>>{{44, 43}, {3, 3}, {45}, {-1}, {0, 1, 2, 3, 4, 5, 6, 7}}) {
        EXPECT_EQ(combination_rank(bad, 45), -1);
    }
    EXPECT_EQ(combination_rank(last, 51), -1);
}

TEST(EgdbIndex, RankSumsAreDifferencesOfBinomials) {
    for (int n = 0; n <= 50; ++n) {
        for (int r = 1; r <= EGDB_MAX_SIDE_PIECES; ++r) {
            for (int g = 0; g <= n; ++g) {
                ASSERT_EQ(RANK_SUMS[g][n][r], BINOMIAL[n][r] - BINOMIAL[n - g][r])
                    << g << " " << n << " " << r;
            }
        }
    }
}

// N = C(45, sm) C(45, om) C(50 - sm - om, ok) C(50 - sm - om - ok, sk); the format's
// own figures: the largest five-piece database, and 65 of the 70 six-piece ones below 2^31.
TEST(EgdbIndex, PositionCountsOfTheFormat) {
    EXPECT_EQ(egdb_position_count({0, 1, 0, 1}), 2450);
    EXPECT_EQ(egdb_position_count({1, 0, 1, 0}), 2025);
    EXPECT_EQ(egdb_position_count({1, 1, 1, 2}), 105073200);
    std::int64_t largest_five = 0;
    int six = 0, six_indexable = 0;
    for (const EgdbMaterial& m : materials_up_to(6)) {
        const int pieces = m.sm + m.sk + m.om + m.ok;
        if (pieces <= 5) {
            EXPECT_TRUE(egdb_indexable(m)) << egdb_name(m);
            if (pieces == 5) largest_five = std::max(largest_five, egdb_position_count(m));
        } else {
            ++six;
            six_indexable += egdb_indexable(m) ? 1 : 0;
        }
    }
    EXPECT_EQ(largest_five, 105073200);
    EXPECT_EQ(six, 70);
    EXPECT_EQ(six_indexable, 65);
    EXPECT_EQ(egdb_position_count({8, 0, 0, 1}), -1);
    EXPECT_FALSE(egdb_indexable({0, 5, 0, 5}));
}

TEST(EgdbIndex, NamesPutKingsBeforeMenOnEachSide) {
    EXPECT_EQ(egdb_name({1, 1, 0, 1}), "XOvX");
    EXPECT_EQ(egdb_name({2, 0, 1, 2}), "OOvXXO");
    EXPECT_EQ(material_key({1, 1, 0, 1}), 521);
    EXPECT_EQ(key_material(521), (EgdbMaterial{1, 1, 0, 1}));
}

// ---- Loading ----

class EgdbLoad : public testing::Test {
  protected:
    ScratchDirectory dir{"load"};
    void TearDown() override { egdb_free(); }

    static Bytes array_of(const EgdbMaterial& m, std::uint8_t fill = 0x55) {
        return Bytes(static_cast<std::size_t>(egdb_byte_count(m)), fill);
    }
    int loaded_count() const {
        int n = 0;
        for (int key = 0; key < EGDB_KEY_COUNT; ++key) n += egdb_values(key) != nullptr ? 1 : 0;
        return n;
    }
};

TEST_F(EgdbLoad, ListedEntryLoadsIntoTheSlotOfItsKey) {
    dir.write("XOvX.raw", array_of({1, 1, 0, 1}));
    dir.write("endings", "1\nXOvX y\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_NE(egdb_values(521), nullptr);
    EXPECT_EQ(loaded_count(), 1);
}

TEST_F(EgdbLoad, OnlyTheCountsOfTheLettersMatter) {
    dir.write("XOvX.raw", array_of({1, 1, 0, 1}));
    dir.write("endings", "1\nOXvX y\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_NE(egdb_values(521), nullptr);
}

TEST_F(EgdbLoad, FlagNSkipsTheEntry) {
    dir.write("XOvX.raw", array_of({1, 1, 0, 1}));
    dir.write("endings", "1\nXOvX n\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 0);
    EXPECT_EQ(loaded_count(), 0);
}

// The list's names go into an 11-character buffer: a longer one is skipped whole and
// the entries after it are still read in step.
TEST_F(EgdbLoad, TooLongNameIsSkippedAndTheNextEntryStillLoads) {
    dir.write("XvX.raw", array_of({0, 1, 0, 1}));
    dir.write("endings", "2\n" + std::string(300, 'X') + "vX y\nXvX y\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_EQ(loaded_count(), 1);
    EXPECT_NE(egdb_values(material_key({0, 1, 0, 1})), nullptr);
}

TEST_F(EgdbLoad, NamesThatDescribeNoLoadableDatabaseAreSkipped) {
    dir.write("XvX.raw", array_of({0, 1, 0, 1}));
    dir.write("XXXXXvXXXXX.raw", Bytes(16, 0));
    dir.write("XXXXXXXXvX.raw", Bytes(16, 0));
    dir.write("endings", "6\nXX y\nXvXvX y\nXZvX y\nXXXXXXXXvX y\nXXXXXvXXXXX y\nXvX y\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 1);  // only XvX
    EXPECT_EQ(loaded_count(), 1);
}

TEST_F(EgdbLoad, ShortRawFileLeavesItsSlotEmpty) {
    Bytes short_array = array_of({0, 1, 0, 1});
    short_array.pop_back();
    dir.write("XvX.raw", short_array);
    dir.write("endings", "1\nXvX y\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 0);
    EXPECT_EQ(egdb_values(material_key({0, 1, 0, 1})), nullptr);
    EXPECT_EQ(probe_fen("W:WK46:BK5"), EGDB_UNKNOWN);
}

TEST_F(EgdbLoad, MissingRawFileDoesNotStopTheOtherEntries) {
    dir.write("OvO.raw", array_of({1, 0, 1, 0}));
    dir.write("endings", "2\nXvX y\nOvO y\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_EQ(egdb_values(material_key({0, 1, 0, 1})), nullptr);
    EXPECT_NE(egdb_values(material_key({1, 0, 1, 0})), nullptr);
}

TEST_F(EgdbLoad, CountIsReadAsPercentIDoes) {
    dir.write("XvX.raw", array_of({0, 1, 0, 1}));
    dir.write("OvO.raw", array_of({1, 0, 1, 0}));
    dir.write("endings", "0x1\nXvX y\nOvO y\n");  // hexadecimal: one entry
    EXPECT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_EQ(loaded_count(), 1);
    dir.write("endings", "many\nXvX y\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 0);
    dir.write("endings", "99999999999999999999999\nXvX y\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 0);
    dir.write("endings", "5\nXvX y\nOvO");  // fewer entries than counted, the last without a flag
    EXPECT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_EQ(loaded_count(), 1);
}

TEST_F(EgdbLoad, EndingsPresentMeansEndgameDatIsIgnored) {
    Bytes dat;
    append_int32(dat, 613);
    append_int32(dat, 1);
    append_int32(dat, material_key({0, 1, 0, 1}));
    append_int32(dat, 613);
    dat.resize(dat.size() + 613, 0x55);
    dir.write("endgame.dat", dat);
    dir.write("endings", "0\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 0);
    EXPECT_EQ(loaded_count(), 0);
    std::filesystem::remove(dir.file("endings"));
    EXPECT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_EQ(loaded_count(), 1);
}

TEST_F(EgdbLoad, ProbeReadsTheValueAtThePositionsIndex) {
    Bytes values = array_of({0, 1, 0, 1});
    values[60] = 0x95;  // index 240 lost, its neighbours drawn
    dir.write("XvX.raw", values);
    dir.write("endings", "1\nXvX y\n");
    ASSERT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_EQ(probe_fen("W:WK46:BK5"), EGDB_LOSS);
    EXPECT_EQ(probe_fen("B:WK46:BK5"), EGDB_LOSS);
    EXPECT_EQ(probe_fen("W:WK47:BK5"), EGDB_DRAW);
    EXPECT_EQ(probe_fen("W:W28:B23"), EGDB_UNKNOWN);  // OvO is not loaded
}

TEST_F(EgdbLoad, ProbeRefusesCountsThatAreNotTheBoards) {
    dir.write("XvX.raw", array_of({0, 1, 0, 1}));
    dir.write("endings", "1\nXvX y\n");
    ASSERT_EQ(egdb_init(dir.path().c_str()), 1);
    Side side = WHITE;
    PlyRecord record = probe_record(board_from_fen("W:WK46,K47:BK5", side));
    record.type_counts[1] = 1;  // stale: says XvX, the board is XXvX
    EXPECT_EQ(egdb_probe(WHITE, record), EGDB_UNKNOWN);
    record.type_counts[1] = -1;
    EXPECT_EQ(egdb_probe(WHITE, record), EGDB_UNKNOWN);
    record.type_counts[1] = 9;
    EXPECT_EQ(egdb_probe(WHITE, record), EGDB_UNKNOWN);
}

// ---- "endgame.dat" ----

namespace {

struct Entry {
    std::int64_t key;
    std::int64_t size;
};

Bytes combined_file(std::int64_t total, const std::vector<Entry>& entries,
                    std::int64_t body_bytes) {
    Bytes dat;
    append_int32(dat, total);
    append_int32(dat, static_cast<std::int64_t>(entries.size()));
    for (const Entry& e : entries) append_int32(dat, e.key);
    for (const Entry& e : entries) append_int32(dat, e.size);
    for (std::int64_t i = 0; i < body_bytes; ++i)
        dat.push_back(static_cast<std::uint8_t>(i < 613 ? 0x55 : 0xAA));
    return dat;
}

const int XVX = material_key({0, 1, 0, 1});  // 613 bytes
const int OVO = material_key({1, 0, 1, 0});  // 507 bytes

}  // namespace

TEST_F(EgdbLoad, CombinedFileSetsEachSlotAtItsOffset) {
    dir.write("endgame.dat", combined_file(1120, {{XVX, 613}, {OVO, 507}}, 1120));
    ASSERT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_EQ(loaded_count(), 2);
    EXPECT_EQ(probe_fen("W:WK46:BK5"), EGDB_DRAW);  // 0x55
    EXPECT_EQ(probe_fen("W:W28:B23"), EGDB_LOSS);   // 0xAA
}

// Every inconsistent header refuses the whole file.
TEST_F(EgdbLoad, CorruptCombinedFileLoadsNothing) {
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"count above 4096", combined_file(0, std::vector<Entry>(4097, {XVX, 0}), 0)},
        {"negative count",
         [] {
             Bytes b;
             append_int32(b, 0);
             append_int32(b, -1);
             return b;
         }()},
        {"key 4096", combined_file(613, {{4096, 613}}, 613)},
        {"negative key", combined_file(613, {{-1, 613}}, 613)},
        {"negative size", combined_file(613, {{XVX, 1120}, {OVO, -507}}, 613)},
        {"sizes short of T", combined_file(1200, {{XVX, 613}, {OVO, 507}}, 1200)},
        {"sizes past T", combined_file(1000, {{XVX, 613}, {OVO, 507}}, 1120)},
        // Added in 32 bits these wrap round to exactly T.
        {"sizes that overflow",
         combined_file(1120, {{XVX, 0x7FFFFFF0}, {OVO, 0x7FFFFFF0}, {XVX, 1152}}, 1120)},
        {"array smaller than its material", combined_file(1100, {{XVX, 593}, {OVO, 507}}, 1100)},
        {"material too large to index",
         combined_file(613, {{material_key({0, 5, 0, 5}), 613}}, 613)},
        {"short body", combined_file(1120, {{XVX, 613}, {OVO, 507}}, 1119)},
        {"short header", Bytes{0x61, 0x02, 0, 0, 2, 0}},
        {"empty file", Bytes{}},
    };
    for (const auto& [what, bytes] : cases) {
        dir.write("endgame.dat", bytes);
        EXPECT_EQ(egdb_init(dir.path().c_str()), 0) << what;
        EXPECT_EQ(loaded_count(), 0) << what;
    }
}

TEST_F(EgdbLoad, NothingToLoadLeavesEveryProbeUnknown) {
    EXPECT_EQ(egdb_init(dir.path().c_str()), 0);
    EXPECT_EQ(probe_fen("W:WK46:BK5"), EGDB_UNKNOWN);
    EXPECT_EQ(egdb_init("/nonexistent/vantor/directory"), 0);
}
