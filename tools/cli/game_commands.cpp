#include "tools/cli/commands.h"
#include "tools/cli/options.h"

int run_show(int, char**) { return usage_error("show is not available yet"); }
