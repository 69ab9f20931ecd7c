#include "engine/knowledge/egdb.h"

#include <bit>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/knowledge/egdb_index.h"

namespace {

struct Slot {
    const std::uint8_t* values = nullptr;
    std::int32_t positions =
        0;  // N of the slot's material: every probe index is checked against it
};

// EndgameSlots and the memory behind them: one array per "%s.raw" file, one block per
// "endgame.dat". Filled at start-up, read-only afterwards.
struct EndgameSlots {
    std::array<Slot, EGDB_KEY_COUNT> slots{};
    std::array<std::unique_ptr<std::uint8_t[]>, EGDB_KEY_COUNT> files;
    std::vector<std::unique_ptr<std::uint8_t[]>> blocks;
};

EndgameSlots tables;

// A name in "endings" has at most this many characters.
constexpr std::size_t NAME_LENGTH = 11;
constexpr std::int32_t MAX_COMBINED_ENTRIES = EGDB_KEY_COUNT;

std::string path_in(const char* directory, const std::string& name) {
    if (directory == nullptr || *directory == '\0') return name;
    std::string path = directory;
    if (path.back() != '/') path += '/';
    return path + name;
}

void install(int key, const std::uint8_t* values, const EgdbMaterial& m) {
    tables.slots[key] = {values, static_cast<std::int32_t>(egdb_position_count(m))};
}

// ---- "endings" ----

// Reads the next white-space separated word, keeping at most `capacity` characters in
// `word` (zero-terminated) and reading the rest of a longer word without storing it.
// Returns the word's full length, 0 at the end of the file.
std::size_t read_word(std::FILE* f, char* word, std::size_t capacity) {
    int c = std::fgetc(f);
    while (c != EOF && std::isspace(c)) c = std::fgetc(f);
    std::size_t length = 0;
    for (; c != EOF && !std::isspace(c); c = std::fgetc(f)) {
        if (length < capacity) word[length] = static_cast<char>(c);
        ++length;
    }
    word[length < capacity ? length : capacity] = '\0';
    return length;
}

// The first character after white space, as "%s %c" reads the flag; EOF at the end.
int read_flag(std::FILE* f) {
    int c = std::fgetc(f);
    while (c != EOF && std::isspace(c)) c = std::fgetc(f);
    return c;
}

// The entry count, read as "%i" does (decimal, 0x hexadecimal or 0 octal) but refusing
// what does not fit.
bool read_count(std::FILE* f, long& count) {
    char word[24];
    const std::size_t length = read_word(f, word, sizeof word - 1);
    if (length == 0 || length >= sizeof word - 1) return false;
    char* end = nullptr;
    errno = 0;
    count = std::strtol(word, &end, 0);
    return errno == 0 && *end == '\0';
}

// ---- "endgame.dat" ----

bool read_int32(std::FILE* f, std::int32_t& value) {
    unsigned char bytes[4];
    if (std::fread(bytes, 1, 4, f) != 4) return false;
    value =
        static_cast<std::int32_t>(std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                  std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24);
    return true;
}

struct CombinedHeader {
    std::int32_t total = 0;
    std::int32_t count = 0;
    std::vector<std::int32_t> keys;
    std::vector<std::int32_t> sizes;
};

// Reads and checks the header: at most 4096 entries, keys below 4096, each size
// non-negative and large enough for its material, and the sizes adding up to T without
// passing 2^31.
bool read_header(std::FILE* f, CombinedHeader& h) {
    if (!read_int32(f, h.total) || !read_int32(f, h.count)) return false;
    if (h.total < 0 || h.count < 0 || h.count > MAX_COMBINED_ENTRIES) return false;
    h.keys.resize(static_cast<std::size_t>(h.count));
    h.sizes.resize(static_cast<std::size_t>(h.count));
    for (std::int32_t& key : h.keys) {
        if (!read_int32(f, key) || key < 0 || key >= EGDB_KEY_COUNT) return false;
    }
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < h.sizes.size(); ++i) {
        if (!read_int32(f, h.sizes[i]) || h.sizes[i] < 0) return false;
        const EgdbMaterial m = key_material(h.keys[i]);
        if (!egdb_indexable(m) || h.sizes[i] < egdb_byte_count(m)) return false;
        sum += h.sizes[i];
        if (sum > h.total) return false;
    }
    return sum == h.total;
}

// Bytes from the current position to the end of the file, or -1.
long bytes_left(std::FILE* f) {
    const long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(f);
    if (end < 0 || std::fseek(f, here, SEEK_SET) != 0) return -1;
    return end - here;
}

int load_combined(std::FILE* f) {
    CombinedHeader h;
    if (!read_header(f, h) || bytes_left(f) < h.total) return 0;
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow)
                                              std::uint8_t[static_cast<std::size_t>(h.total)]);
    if (!block) return 0;
    if (std::fread(block.get(), 1, static_cast<std::size_t>(h.total), f) !=
        static_cast<std::size_t>(h.total)) {
        return 0;
    }
    std::int64_t offset = 0;
    for (std::size_t i = 0; i < h.keys.size(); ++i) {
        install(h.keys[i], block.get() + offset, key_material(h.keys[i]));
        tables.files[h.keys[i]].reset();
        offset += h.sizes[i];
    }
    tables.blocks.push_back(std::move(block));
    return h.count > 0 ? 1 : 0;
}

}  // namespace

// Counts the X (kings) and O (men) on each side of the one v. Any other character, a
// second v or a missing v make the name unusable.
bool egdb_parse_name(const char* name, EgdbMaterial& m) {
    int counts[2][2] = {};  // [before/after v][men/kings]
    int side = 0;
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == 'O') {
            ++counts[side][0];
        } else if (*c == 'X') {
            ++counts[side][1];
        } else if (*c == 'v' && side == 0) {
            side = 1;
        } else {
            return false;
        }
    }
    m = {counts[0][0], counts[0][1], counts[1][0], counts[1][1]};
    return side == 1;
}

int egdb_load_file(const char* directory, int sm, int sk, int om, int ok) {
    const EgdbMaterial m{sm, sk, om, ok};
    if (!egdb_indexable(m)) return 0;
    const auto bytes = static_cast<std::size_t>(egdb_byte_count(m));
    std::unique_ptr<std::uint8_t[]> values(new (std::nothrow) std::uint8_t[bytes]);
    if (!values) return 0;
    std::FILE* f = std::fopen(path_in(directory, egdb_name(m) + ".raw").c_str(), "rb");
    if (f == nullptr) return 0;
    const std::size_t read = std::fread(values.get(), 1, bytes, f);
    std::fclose(f);
    // A short file would leave the end of the array undefined: the slot stays as it was.
    if (read != bytes) return 0;
    const int key = material_key(m);
    install(key, values.get(), m);
    tables.files[key] = std::move(values);
    return 1;
}

// The list names at most 11 characters each; a longer word is read to its end and
// is unusable, like a name without its v, one with more than seven pieces a side or
// one whose material has too many positions to index.
bool egdb_read_list(const char* directory, std::vector<EgdbListEntry>& entries) {
    entries.clear();
    std::FILE* f = std::fopen(path_in(directory, "endings").c_str(), "r");
    if (f == nullptr) return false;
    long count = 0;
    if (!read_count(f, count)) count = 0;
    for (long i = 0; i < count; ++i) {
        char name[NAME_LENGTH + 1];
        const std::size_t length = read_word(f, name, NAME_LENGTH);
        const int flag = read_flag(f);
        if (length == 0 || flag == EOF) break;
        EgdbListEntry entry;
        entry.name = name;
        entry.skipped = flag == 'n';
        entry.usable = length <= NAME_LENGTH && egdb_parse_name(name, entry.material) &&
                       egdb_indexable(entry.material);
        entries.push_back(std::move(entry));
    }
    std::fclose(f);
    return true;
}

int egdb_load_list(const char* directory) {
    std::vector<EgdbListEntry> entries;
    if (!egdb_read_list(directory, entries)) return -1;
    int loaded = 0;
    for (const EgdbListEntry& e : entries) {
        if (!e.usable || e.skipped) continue;
        const EgdbMaterial& m = e.material;
        loaded |= egdb_load_file(directory, m.sm, m.sk, m.om, m.ok);
    }
    return loaded;
}

int egdb_load_combined(const char* directory) {
    std::FILE* f = std::fopen(path_in(directory, "endgame.dat").c_str(), "rb");
    if (f == nullptr) return 0;
    const int loaded = load_combined(f);
    std::fclose(f);
    return loaded;
}

int egdb_init(const char* directory) {
    egdb_free();
    const int listed = egdb_load_list(directory);
    if (listed >= 0) return listed;
    return egdb_load_combined(directory);
}

void egdb_free() {
    tables.slots.fill(Slot{});
    for (auto& values : tables.files) values.reset();
    tables.blocks.clear();
}

const std::uint8_t* egdb_values(int key) {
    return key >= 0 && key < EGDB_KEY_COUNT ? tables.slots[key].values : nullptr;
}

int egdb_probe(Side side, const PlyRecord& position) {
    const std::int32_t* c = position.type_counts;
    const bool white = side == WHITE;
    const int sm = white ? c[0] : c[2], sk = white ? c[1] : c[3];
    const int om = white ? c[2] : c[0], ok = white ? c[3] : c[1];
    for (int count : {sm, sk, om, ok}) {
        if (static_cast<unsigned>(count) > EGDB_MAX_SIDE_PIECES) return EGDB_UNKNOWN;
    }
    const Slot& slot = tables.slots[material_key({sm, sk, om, ok})];
    if (slot.values == nullptr) return EGDB_UNKNOWN;
    // Counts that are not the board's would index another material's array.
    const Board& b = position.board;
    if (std::popcount(b.white_men) != c[0] || std::popcount(b.white_kings) != c[1] ||
        std::popcount(b.black_men) != c[2] || std::popcount(b.black_kings) != c[3]) {
        return EGDB_UNKNOWN;
    }
    const std::int32_t index = egdb_index(side, b);
    if (index < 0 || index >= slot.positions) return EGDB_UNKNOWN;
    return egdb_value_at(slot.values, index);
}
