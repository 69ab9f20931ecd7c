#include "tools/egdb/database_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "engine/knowledge/egdb.h"

namespace {

constexpr const char* PART = ".part";

bool put_int32(std::FILE* f, std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    return std::fwrite(bytes, 1, 4, f) == 4;
}

// Writes a whole file under a temporary name and renames it into place.
bool write_file(const std::string& path, const void* data, std::size_t size) {
    const std::string part = path + PART;
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written) return false;
    return std::rename(part.c_str(), path.c_str()) == 0;
}

}  // namespace

DatabaseWriter::DatabaseWriter(std::string directory, bool combined)
    : directory_(std::move(directory)), combined_(combined), offsets_(EGDB_KEY_COUNT, -1) {}

DatabaseWriter::~DatabaseWriter() {
    if (combined_file_ != nullptr) std::fclose(combined_file_);
}

std::string DatabaseWriter::path(const std::string& name) const {
    return (std::filesystem::path(directory_) / name).string();
}

bool DatabaseWriter::fail(const std::string& what) {
    error_ = what + (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
    return false;
}

// endgame.dat: T, n, the n keys, the n sizes (signed 32-bit little-endian), then the
// arrays back to back in the order of the keys.
bool DatabaseWriter::begin(const std::vector<EgdbMaterial>& materials) {
    materials_ = materials;
    if (!combined_) return true;
    std::vector<int> keys;
    for (const EgdbMaterial& m : materials) keys.push_back(material_key(m));
    std::sort(keys.begin(), keys.end());
    std::int64_t total = 0;
    for (int key : keys) {
        offsets_[key] = total;
        total += egdb_byte_count(key_material(key));
    }
    if (total >= EGDB_MAX_POSITIONS) {
        errno = 0;
        return fail("the databases take 2^31 bytes or more, too many for endgame.dat");
    }
    if (std::filesystem::exists(path("endings"))) {
        std::fprintf(stderr,
                     "vantor-egdb: warning: %s exists and will be read instead of endgame.dat\n",
                     path("endings").c_str());
    }
    errno = 0;
    combined_file_ = std::fopen((path("endgame.dat") + PART).c_str(), "wb");
    if (combined_file_ == nullptr) return fail("cannot create " + path("endgame.dat") + PART);
    bool ok = put_int32(combined_file_, total) &&
              put_int32(combined_file_, static_cast<std::int64_t>(keys.size()));
    for (int key : keys) ok = ok && put_int32(combined_file_, key);
    for (int key : keys) ok = ok && put_int32(combined_file_, egdb_byte_count(key_material(key)));
    return ok || fail("cannot write " + path("endgame.dat") + PART);
}

bool DatabaseWriter::write(const SolvedDatabase& db) {
    errno = 0;
    const std::string name = egdb_name(db.material);
    if (!combined_) {
        return write_file(path(name + ".raw"), db.values.data(), db.values.size()) ||
               fail("cannot write " + path(name + ".raw"));
    }
    const std::int64_t header = 8 + 8 * static_cast<std::int64_t>(materials_.size());
    const std::int64_t offset = offsets_[material_key(db.material)];
    if (offset < 0) return fail(name + " is not in the header of endgame.dat");
    const bool ok =
        std::fseek(combined_file_, static_cast<long>(header + offset), SEEK_SET) == 0 &&
        std::fwrite(db.values.data(), 1, db.values.size(), combined_file_) == db.values.size();
    return ok || fail("cannot write " + path("endgame.dat") + PART);
}

bool DatabaseWriter::finish() {
    errno = 0;
    if (combined_) {
        const int closed = std::fclose(combined_file_);
        combined_file_ = nullptr;
        const std::string target = path("endgame.dat");
        if (closed != 0 || std::rename((target + PART).c_str(), target.c_str()) != 0) {
            return fail("cannot write " + target);
        }
        return true;
    }
    const std::string list = list_text();
    return write_file(path("endings"), list.data(), list.size()) ||
           fail("cannot write " + path("endings"));
}

// "endings": the count, then one "NAME y" line per database, smaller ones first. It lists
// what this run wrote and every complete database already in the folder, so that a
// smaller set built beside a larger one does not hide it; one that the old list only
// ever skipped stays skipped.
std::string DatabaseWriter::list_text() const {
    std::map<int, char> flags;  // by material key
    for (const EgdbMaterial& m : materials_) flags[material_key(m)] = 'y';
    std::set<int> loaded, skipped;
    std::vector<EgdbListEntry> old;
    egdb_read_list(directory_.c_str(), old);
    for (const EgdbListEntry& e : old) {
        if (e.usable) (e.skipped ? skipped : loaded).insert(material_key(e.material));
    }
    std::error_code ec;
    for (const auto& file : std::filesystem::directory_iterator(directory_, ec)) {
        const std::string stem = file.path().stem().string();
        EgdbMaterial m;
        if (file.path().extension() != ".raw" || !egdb_parse_name(stem.c_str(), m) ||
            egdb_name(m) != stem || !egdb_indexable(m) || flags.count(material_key(m)) != 0) {
            continue;
        }
        std::error_code size_ec;
        if (file.file_size(size_ec) != static_cast<std::uintmax_t>(egdb_byte_count(m))) continue;
        const int key = material_key(m);
        flags[key] = skipped.count(key) != 0 && loaded.count(key) == 0 ? 'n' : 'y';
    }
    std::vector<std::pair<int, char>> entries(flags.begin(), flags.end());
    const auto pieces = [](int key) {
        const EgdbMaterial m = key_material(key);
        return m.sm + m.sk + m.om + m.ok;
    };
    std::stable_sort(entries.begin(), entries.end(), [&](const auto& a, const auto& b) {
        return pieces(a.first) < pieces(b.first);
    });
    std::string list = std::to_string(entries.size()) + "\n";
    for (const auto& [key, flag] : entries)
        list += egdb_name(key_material(key)) + ' ' + flag + '\n';
    return list;
}
