#pragma once
// The subcommands of vantor-cli. Each takes the whole argument vector (argv[1] is the
// command's name) and returns the exit status: 0 success, 2 bad input.

#include <string>

int run_moves(int argc, char** argv);
int run_perft(int argc, char** argv);
int run_eval(int argc, char** argv);
int run_egdb(int argc, char** argv);
int run_show(int argc, char** argv);
int run_search(int argc, char** argv);
int run_bench(int argc, char** argv);
int run_selfplay(int argc, char** argv);
int run_remote(int argc, char** argv);
int run_dxp(int argc, char** argv);
int run_hub(int argc, char** argv);
int run_pdn(int argc, char** argv);
int run_match(int argc, char** argv);

// selfplay --pdn: the file made empty, then each game appended as it ends.
bool start_pdn_file(const std::string& path);
bool append_selfplay_game(const std::string& path, long round);
