#pragma once
// Shared by the endgame database tests: scratch directories, small files, positions from
// FEN text and probing them the way the evaluation does.

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/board/fen.h"
#include "engine/knowledge/egdb.h"

// A fresh, empty directory under the test temporary directory, removed afterwards. The
// process id keeps tests that ctest runs side by side out of each other's way.
class ScratchDirectory {
  public:
    explicit ScratchDirectory(const std::string& name)
        : path_(std::filesystem::path(testing::TempDir()) /
                ("vantor_egdb_" + name + "_" + std::to_string(getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() { std::filesystem::remove_all(path_); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string path() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    void write(const std::string& name, std::string_view bytes) const {
        std::ofstream(file(name), std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

  private:
    std::filesystem::path path_;
};

inline Board board_from_fen(const std::string& fen, Side& side) {
    Board board;
    std::string error;
    if (!parse_fen(fen, board, side, error)) ADD_FAILURE() << fen << ": " << error;
    return board;
}

// A record as evaluate leaves it before probing: board and type_counts filled.
inline PlyRecord probe_record(const Board& board) {
    PlyRecord record;
    record.board = board;
    record.type_counts[0] = std::popcount(board.white_men);
    record.type_counts[1] = std::popcount(board.white_kings);
    record.type_counts[2] = std::popcount(board.black_men);
    record.type_counts[3] = std::popcount(board.black_kings);
    return record;
}

inline int probe_fen(const std::string& fen) {
    Side side = WHITE;
    const PlyRecord record = probe_record(board_from_fen(fen, side));  // sets side first
    return egdb_probe(side, record);
}

// Signed 32-bit little-endian, as "endgame.dat" stores its header.
inline void append_int32(std::vector<std::uint8_t>& bytes, std::int64_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> shift));
}
