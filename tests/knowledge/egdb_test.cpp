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
            if (kind == 3) return visit(b);
            return place(b, kind + 1, 0, 1);
        }
        Bitboard* sets[4] = {&b.white_men, &b.white_kings, &b.black_men, &b.black_kings};
        for (int s = from; s <= 50; ++s) {
            if (!(b.empty & bit(s)) || (kind == 0 && s <= 5) || (kind == 2 && s >= 46)) continue;
            *sets[kind] ^= bit(s);
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
    auto turn = [](Bitboard set) {
        Bitboard t = 0;
        for (int s = 1; s <= 50; ++s) t |= set & bit(s) ? bit(51 - s) : 0;
        return t;
    };
    return {turn(b.black_men), turn(b.black_kings), turn(b.white_men), turn(b.white_kings),
            turn(b.empty)};
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

const int XVX = material_key({0, 1, 0, 1});   // 2450 positions, 613 bytes
const int OVO = material_key({1, 0, 1, 0});   // 2025 positions, 507 bytes
const int XOVX = material_key({1, 1, 0, 1});  // 521

}  // namespace

// ---- The index ----

TEST(EgdbIndex, KnownIndicesOfXvXAndOvOEitherSideToMove) {
    // Black's king on 5 is its normalised 45, as White's on 46.
    EXPECT_EQ(index_of("W:WK46:BK5"), 240);
    EXPECT_EQ(index_of("B:WK46:BK5"), 240);
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
            ASSERT_TRUE(i >= 0 && i < n && !seen[static_cast<std::size_t>(i)])
                << i << ": " << to_fen(b, WHITE);
            seen[static_cast<std::size_t>(i)] = true;
            ASSERT_EQ(egdb_index(BLACK, turned(b)), i) << to_fen(b, WHITE);
        });
        // Only when both sides have men are some indices left over.
        EXPECT_EQ(placements == n, m.sm == 0 || m.om == 0) << egdb_name(m);
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
    b.black_men = b.black_kings;  // two pieces on one square
    EXPECT_EQ(egdb_index(WHITE, b), -1);
    EXPECT_EQ(index_of("W:WK1,K2,K3,K4,K5,K6,K7,K8:BK50"), -1);         // eight of a kind
    EXPECT_EQ(index_of("W:WK1,K2,K3,K4,K5:BK46,K47,K48,K49,K50"), -1);  // 2^31 positions or more
    EXPECT_EQ(index_of("W:W21,22,23,24,25,26,27:B11,12,13,14,15,16,17"), -1);
}

// N = C(45, sm) C(45, om) C(50 - sm - om, ok) C(50 - sm - om - ok, sk), kept below 2^31
// and at most seven pieces a side; names put kings before men on each side.
TEST(EgdbIndex, PositionCountsAndNamesOfTheFormat) {
    EXPECT_EQ(egdb_position_count({0, 1, 0, 1}), 2450);
    EXPECT_EQ(egdb_position_count({1, 0, 1, 0}), 2025);
    EXPECT_EQ(egdb_position_count({1, 1, 1, 2}), 105073200);  // the largest of five pieces
    EXPECT_TRUE(egdb_indexable({0, 4, 0, 2}));
    EXPECT_FALSE(egdb_indexable({0, 5, 0, 5}));
    EXPECT_EQ(egdb_position_count({8, 0, 0, 1}), -1);
    EXPECT_EQ(egdb_name({1, 1, 0, 1}), "XOvX");
    EXPECT_EQ(egdb_name({2, 0, 1, 2}), "OOvXXO");
    EXPECT_EQ(XOVX, 521);
}

// ---- Loading ----

class EgdbLoad : public testing::Test {
  protected:
    ScratchDirectory dir{"load"};
    void TearDown() override { egdb_free(); }

    static Bytes array_of(int key, std::uint8_t fill = 0x55) {
        return Bytes(static_cast<std::size_t>(egdb_byte_count(key_material(key))), fill);
    }
    static std::vector<int> loaded() {
        std::vector<int> keys;
        for (int key = 0; key < EGDB_KEY_COUNT; ++key)
            if (egdb_values(key) != nullptr) keys.push_back(key);
        return keys;
    }
};

// Beside each "endings" text: XOvX.raw and OvO.raw whole, XXvX.raw a byte short, no XvX.raw.
TEST_F(EgdbLoad, EndingsListsTheFilesToLoad) {
    dir.write("XOvX.raw", array_of(XOVX));
    dir.write("OvO.raw", array_of(OVO));
    Bytes short_array = array_of(material_key({0, 2, 0, 1}));
    short_array.pop_back();
    dir.write("XXvX.raw", short_array);
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"1\nXOvX y\n", {XOVX}},
        {"1\nOXvX y\n", {XOVX}},  // only the counts of the letters matter
        {"1\nXOvX n\n", {}},
        // An 11-character buffer: a longer name is skipped whole, the next still read.
        {"2\n" + std::string(300, 'X') + "vX y\nOvO y\n", {OVO}},
        // No v, two v, another letter, eight a side, 2^31 positions or more.
        {"6\nXX y\nXvXvX y\nXZvX y\nXXXXXXXXvX y\nXXXXXvXXXXX y\nOvO y\n", {OVO}},
        {"1\nXXvX y\n", {}},              // a short file leaves its slot empty
        {"2\nXvX y\nOvO y\n", {OVO}},     // a missing file does not stop the others
        {"0x1\nOvO y\nXOvX y\n", {OVO}},  // the count is read as %i does
        {"many\nOvO y\n", {}},
        {"99999999999999999999999\nOvO y\n", {}},
        {"5\nOvO y\nXOvX", {OVO}},  // fewer entries than counted, the last without a flag
    };
    for (const auto& [endings, keys] : cases) {
        dir.write("endings", endings);
        EXPECT_EQ(egdb_init(dir.path().c_str()), keys.empty() ? 0 : 1) << endings;
        EXPECT_EQ(loaded(), keys) << endings;
    }
    EXPECT_EQ(egdb_init("/nonexistent/vantor/directory"), 0);
    EXPECT_EQ(probe_fen("W:W28:B23"), EGDB_UNKNOWN);
}

TEST_F(EgdbLoad, ProbeReadsTheValueAtThePositionsIndex) {
    Bytes values = array_of(XVX);
    values[60] = 0x95;  // index 240 lost (the two high bits, 10), its neighbours drawn
    dir.write("XvX.raw", values);
    dir.write("endings", "1\nXvX y\n");
    ASSERT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_EQ(probe_fen("W:WK46:BK5"), EGDB_LOSS);
    EXPECT_EQ(probe_fen("B:WK46:BK5"), EGDB_LOSS);
    EXPECT_EQ(probe_fen("W:WK47:BK5"), EGDB_DRAW);
    EXPECT_EQ(probe_fen("W:W28:B23"), EGDB_UNKNOWN);  // OvO is not loaded
    // Counts that are not the board's would read another material's array: here OvO's
    // board at an index XvX also has.
    Side side = WHITE;
    PlyRecord record = probe_record(board_from_fen("W:W28:B23", side));
    for (int stale : {0, -1, 9}) {
        std::fill(std::begin(record.type_counts), std::end(record.type_counts), 0);
        record.type_counts[1] = record.type_counts[3] = 1;
        record.type_counts[0] = stale;
        EXPECT_EQ(egdb_probe(WHITE, record), EGDB_UNKNOWN) << stale;
    }
}

// ---- "endgame.dat" ----

namespace {

struct Entry {
    std::int64_t key;
    std::int64_t size;
};

// T, n, n keys, n sizes, then the body: XvX's draws (0x55), then OvO's losses (0xAA).
Bytes combined_file(std::int64_t total, const std::vector<Entry>& entries,
                    std::int64_t body_bytes) {
    Bytes dat;
    append_int32(dat, total);
    append_int32(dat, static_cast<std::int64_t>(entries.size()));
    for (const Entry& e : entries) append_int32(dat, e.key);
    for (const Entry& e : entries) append_int32(dat, e.size);
    for (std::int64_t i = 0; i < body_bytes; ++i) dat.push_back(i < 613 ? 0x55 : 0xAA);
    return dat;
}

}  // namespace

TEST_F(EgdbLoad, CombinedFileSetsEachSlotAtItsOffsetUnlessEndingsIsThere) {
    dir.write("endgame.dat", combined_file(1120, {{XVX, 613}, {OVO, 507}}, 1120));
    ASSERT_EQ(egdb_init(dir.path().c_str()), 1);
    EXPECT_EQ(loaded(), (std::vector<int>{OVO, XVX}));
    EXPECT_EQ(probe_fen("W:WK46:BK5"), EGDB_DRAW);
    EXPECT_EQ(probe_fen("W:W28:B23"), EGDB_LOSS);
    dir.write("endings", "0\n");
    EXPECT_EQ(egdb_init(dir.path().c_str()), 0);
    EXPECT_EQ(loaded(), std::vector<int>{});
}

// Every inconsistent header refuses the whole file.
TEST_F(EgdbLoad, CorruptCombinedFileLoadsNothing) {
    Bytes negative_count;
    append_int32(negative_count, 0);
    append_int32(negative_count, -1);
    const std::pair<const char*, Bytes> cases[] = {
        // Otherwise sound: 4097 copies of XvX.
        {"count above 4096",
         combined_file(4097 * 613, std::vector<Entry>(4097, {XVX, 613}), 4097 * 613)},
        {"negative count", negative_count},
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
        EXPECT_EQ(loaded(), std::vector<int>{}) << what;
    }
}
