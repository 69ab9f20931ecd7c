#pragma once
// Writes solved databases in the program's file layouts: one "%s.raw" file each and the
// "endings" list that loads them, or all of them in one "endgame.dat". Every file is
// written under a temporary name and renamed when complete, so a run that stops half
// way never leaves a truncated database under a name the program reads.

#include <cstdio>
#include <string>
#include <vector>

#include "engine/knowledge/egdb_index.h"
#include "tools/egdb/solver.h"

class DatabaseWriter {
  public:
    DatabaseWriter(std::string directory, bool combined);
    ~DatabaseWriter();
    DatabaseWriter(const DatabaseWriter&) = delete;
    DatabaseWriter& operator=(const DatabaseWriter&) = delete;

    // Every material that will be written, in any order (the combined file's header
    // and offsets are fixed before the first database is solved).
    bool begin(const std::vector<EgdbMaterial>& materials);
    bool write(const SolvedDatabase& db);
    // Writes "endings", or completes "endgame.dat".
    bool finish();
    const std::string& error() const { return error_; }

  private:
    std::string path(const std::string& name) const;
    std::string list_text() const;
    bool fail(const std::string& what);

    std::string directory_;
    bool combined_;
    std::vector<EgdbMaterial> materials_;
    std::vector<std::int64_t> offsets_;  // combined: where each key's array starts, or -1
    std::FILE* combined_file_ = nullptr;
    std::string error_;
};
