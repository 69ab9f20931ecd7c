// Not learnt yet: every region value is zero.
#include "engine/knowledge/strong_regions.h"

const RegionWeights STRONG_REGION_WEIGHTS{};
