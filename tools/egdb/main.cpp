// vantor-egdb: computes the endgame databases the program reads, and checks them.
//
//   vantor-egdb build --pieces N [--out DIR] [--combined] [--threads T] [--quiet]
//   vantor-egdb verify DIR [--threads T] [--quiet]
//
// Progress goes to stderr, results to stdout. Exit status: 0 success, 1 a failed write
// or a fault found, 2 bad arguments.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "engine/knowledge/egdb_index.h"
#include "tools/egdb/build.h"

namespace {

constexpr int MAX_PIECES = 6;

int usage(const char* message) {
    if (message != nullptr) std::fprintf(stderr, "vantor-egdb: %s\n", message);
    std::fprintf(
        stderr,
        "usage: vantor-egdb build --pieces N [--out DIR] [--combined] [--threads T] [--quiet]\n"
        "       vantor-egdb verify DIR [--threads T] [--quiet]\n");
    return 2;
}

bool read_number(const char* text, int min, int max, int& value) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < min || v > max) return false;
    value = static_cast<int>(v);
    return true;
}

struct Arguments {
    BuildOptions build;
    std::string directory;  // verify
    bool pieces_given = false;
};

// Reads argv[2..]; `build` says which command's options are allowed.
bool parse(int argc, char** argv, bool build, Arguments& a, std::string& error) {
    const unsigned cores = std::thread::hardware_concurrency();
    a.build.threads = cores == 0 ? 1 : static_cast<int>(cores);
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--quiet") {
            a.build.progress = false;
        } else if (arg == "--threads" && has_value) {
            if (!read_number(argv[++i], 1, 64, a.build.threads))
                return error = "--threads must be 1-64", false;
        } else if (build && arg == "--pieces" && has_value) {
            if (!read_number(argv[++i], 2, MAX_PIECES, a.build.pieces)) {
                return error = "--pieces must be 2-" + std::to_string(MAX_PIECES), false;
            }
            a.pieces_given = true;
        } else if (build && arg == "--out" && has_value) {
            a.build.directory = argv[++i];
        } else if (build && arg == "--combined") {
            a.build.combined = true;
        } else if (!build && arg.rfind("--", 0) != 0 && a.directory.empty()) {
            a.directory = arg;
        } else {
            return error = "unexpected argument '" + arg + "'", false;
        }
    }
    if (build && !a.pieces_given) return error = "build needs --pieces N", false;
    if (!build && a.directory.empty()) return error = "verify needs a directory", false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage(nullptr);
    const std::string command = argv[1];
    if (command == "help" || command == "--help") {
        usage(nullptr);
        return 0;
    }
    if (command != "build" && command != "verify")
        return usage(("unknown command '" + command + "'").c_str());
    Arguments a;
    std::string error;
    if (!parse(argc, argv, command == "build", a, error)) return usage(error.c_str());
    if (command == "build") return build_databases(a.build);

    const VerifyCounts counts = verify_databases(a.directory, a.build.threads, a.build.progress);
    for (const std::string& entry : counts.bad_entries) {
        std::fprintf(stderr, "vantor-egdb: %s\n", entry.c_str());
    }
    if (counts.databases == 0) {
        std::fprintf(stderr, "vantor-egdb: no databases loaded from %s\n", a.directory.c_str());
        return 1;
    }
    std::printf("databases %lld positions %lld faults %lld unknown %lld\n",
                static_cast<long long>(counts.databases), static_cast<long long>(counts.positions),
                static_cast<long long>(counts.faults), static_cast<long long>(counts.unknown));
    return counts.faults == 0 && counts.unknown == 0 ? 0 : 1;
}
