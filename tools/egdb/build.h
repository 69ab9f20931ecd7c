#pragma once
// vantor-egdb's two jobs: building every database up to a number of pieces, and
// checking a directory of databases against the rules.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/knowledge/egdb_index.h"

// One material of each pair (it and its mirror are solved together), in an order where
// every capture and crowning leads into a database of an earlier pair: fewer pieces
// first, then fewer men.
std::vector<EgdbMaterial> build_plan(int pieces);

struct BuildOptions {
    int pieces = 0;
    std::string directory = ".";
    bool combined = false;  // "endgame.dat" instead of "%s.raw" files and "endings"
    int threads = 1;
    bool progress = true;  // on stderr
    bool summary = true;   // the table of databases on stdout
};

// Solves and writes the databases; prints a summary on stdout. Returns the exit status:
// 0 done, 1 a file could not be written.
int build_databases(const BuildOptions& options);

struct VerifyCounts {
    std::int64_t databases = 0;
    std::int64_t positions = 0;
    std::int64_t faults = 0;   // a value its successors do not give
    std::int64_t unknown = 0;  // positions with a successor that no loaded database covers
    // What "endings" lists that is not there as listed: an unusable name, or a file that
    // is missing, short or long, one line each. Each counts as a fault.
    std::vector<std::string> bad_entries;
};

// Loads the databases of `directory` as the program does, compares what loaded with
// the "endings" list, and checks every position of each against its successors.
VerifyCounts verify_databases(const std::string& directory, int threads, bool progress);
