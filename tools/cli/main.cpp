// vantor-cli: the engine from the command line, for scripts, benchmarks and comparisons
// with other programs. Output formats are parsed by other tools: extend them, never
// change them.

#include <cstdio>
#include <cstring>

#include "tools/cli/commands.h"
#include "tools/cli/options.h"

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(int, char**);
};

constexpr Command COMMANDS[] = {
    {"moves", "moves [--fen F]", run_moves},
    {"perft", "perft [--fen F] [--divide] [--unique] DEPTH", run_perft},
    {"eval", "eval [--fen F] [--bound B]", run_eval},
    {"egdb", "egdb [--fen F] [--dir D]", run_egdb},
    {"search", "search [--fen F] (--depth N | --movetime S) [--egdb] [--engine classic|strong]", run_search},
    {"bench", "bench [--depth N] [--engine classic|strong]", run_bench},
    {"selfplay", "selfplay [--ply N | --movetime S] [--games G] [--save DIR] [--pdn FILE] [--engine E]", run_selfplay},
    {"remote", "remote --com N --computer white|black [--ply P] [--moves M] [--timeout S] [--engine E]", run_remote},
    {"show", "show FILE [--game N]", run_show},
    {"dxp",
     "dxp (--connect HOST[:PORT] | --listen [ADDR:]PORT) [--games N] [--time MIN --moves N] "
     "[--color white|black] [--ply P] [--fen F] [--timeout S] [--save DIR] [--engine E]",
     run_dxp},
    {"hub", "hub [--engine classic|strong]  (the Hub protocol on standard input and output)", run_hub},
    {"pdn", "pdn check FILE | pdn convert IN OUT [--game N]", run_pdn},
    {"match",
     "match --engine A --engine B --games N --movetime S [--openings FILE] [--concurrency 1|2] "
     "[--sprt elo0,elo1] [--pdn FILE]",
     run_match},
};

void print_usage(std::FILE* out) {
    std::fprintf(out, "usage: vantor-cli COMMAND [options]\n");
    for (const Command& c : COMMANDS) std::fprintf(out, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        print_usage(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        print_usage(stdout);
        return 0;
    }
    for (const Command& c : COMMANDS) {
        if (std::strcmp(argv[1], c.name) == 0) return c.run(argc, argv);
    }
    return usage_error(std::string("unknown command '") + argv[1] + "' (try vantor-cli help)");
}
