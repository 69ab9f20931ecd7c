#include "tools/egdb/database_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

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
    // "endings": the count, then one "NAME y" line per database.
    std::string list = std::to_string(materials_.size()) + "\n";
    for (const EgdbMaterial& m : materials_) list += egdb_name(m) + " y\n";
    return write_file(path("endings"), list.data(), list.size()) ||
           fail("cannot write " + path("endings"));
}
