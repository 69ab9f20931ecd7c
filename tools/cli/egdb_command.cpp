#include "tools/cli/commands.h"
#include "tools/cli/options.h"

int run_egdb(int, char**) { return usage_error("egdb is not available yet"); }
