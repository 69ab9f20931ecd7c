#include "tools/cli/commands.h"
#include "tools/cli/options.h"

int run_eval(int, char**) { return usage_error("eval is not available yet"); }
