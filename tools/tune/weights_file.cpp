#include "tools/tune/weights_file.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "engine/knowledge/patterns.h"

TuneWeights designed_start_weights() {
    TuneWeights w;
    auto both = [&w](int feature, double value) { w.opening[feature] = w.endgame[feature] = value; };
    both(SF_MEN, 100);
    both(SF_KINGS, 320);
    // The designed evaluation halves material once both sides have a king.
    both(SF_MEN_BOTH_KINGS, -50);
    both(SF_KINGS_BOTH_KINGS, -160);
    both(SF_FREE_PATH, 10);
    both(SF_BACK_SQUARE, 2);
    both(SF_CENTRE, 2);
    both(SF_WING, 3);
    for (int pair = 0; pair < 24; ++pair)
        both(SF_PATTERN + pair, PATTERN_RULES[STRONG_PATTERN_PAIRS[pair][0] - 1].value);
    return w;
}

TuneWeights compiled_weights() {
    TuneWeights w;
    for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
        w.opening[i] = static_cast<double>(STRONG_WEIGHTS.opening[i]) / STRONG_WEIGHT_SCALE;
        w.endgame[i] = static_cast<double>(STRONG_WEIGHTS.endgame[i]) / STRONG_WEIGHT_SCALE;
    }
    for (int i = 0; i < REGION_SLOTS; ++i) {
        w.region_opening[i] = static_cast<double>(STRONG_REGION_WEIGHTS.values[i][0]) / STRONG_WEIGHT_SCALE;
        w.region_endgame[i] = static_cast<double>(STRONG_REGION_WEIGHTS.values[i][1]) / STRONG_WEIGHT_SCALE;
    }
    return w;
}

StrongWeights rounded_weights(const TuneWeights& weights) {
    StrongWeights w;
    for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
        w.opening[i] = static_cast<std::int32_t>(std::lround(weights.opening[i] * STRONG_WEIGHT_SCALE));
        w.endgame[i] = static_cast<std::int32_t>(std::lround(weights.endgame[i] * STRONG_WEIGHT_SCALE));
    }
    return w;
}

void rounded_region_weights(const TuneWeights& weights, RegionWeights& regions) {
    auto stored = [](double points) {
        return static_cast<std::int16_t>(std::clamp<long>(std::lround(points * STRONG_WEIGHT_SCALE), -32767, 32767));
    };
    for (int i = 0; i < REGION_SLOTS; ++i)
        regions.values[i] = {stored(weights.region_opening[i]), stored(weights.region_endgame[i])};
}

namespace {

// Each line of `text` as a comment line.
std::string comment_lines(const std::string& text) {
    std::string comment;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) comment += "// " + line + "\n";
    return comment;
}

}  // namespace

std::string region_weights_source(const RegionWeights& regions, const std::string& provenance) {
    std::ostringstream out;
    out << comment_lines(provenance);
    out << "// Eighths of a point, {opening, endgame} for each table's 6561 contents in turn.\n\n"
           "#include \"engine/knowledge/strong_regions.h\"\n\n"
           "// clang-format off\n"
           "const RegionWeights STRONG_REGION_WEIGHTS = {{{\n";
    for (int i = 0; i < REGION_SLOTS; ++i) {
        const int content = i % REGION_CONTENTS;
        if (content == 0) out << "    // table " << i / REGION_CONTENTS << "\n";
        out << (content % 8 == 0 ? "    " : " ") << "{" << regions.values[i][0] << "," << regions.values[i][1] << "},";
        if (content % 8 == 7 || content + 1 == REGION_CONTENTS) out << "\n";
    }
    out << "}}};\n// clang-format on\n";
    return out.str();
}

namespace {

std::string feature_name(int feature) {
    std::string name = strong_feature_group(feature);
    if (feature >= SF_RUNAWAY && feature < SF_PATTERN) return name + " " + std::to_string(feature - SF_RUNAWAY + 1);
    if (feature >= SF_PATTERN && feature < SF_MAN_SQUARE) {
        const auto& pair = STRONG_PATTERN_PAIRS[feature - SF_PATTERN];
        return name + " " + std::to_string(pair[0]) + "/" + std::to_string(pair[1]);
    }
    if (feature >= SF_MAN_SQUARE) return name + " " + std::to_string(feature - SF_MAN_SQUARE + 1);
    return name;
}

}  // namespace

std::string weights_source(const StrongWeights& weights, const std::string& provenance) {
    std::ostringstream out;
    out << comment_lines(provenance);
    out << "// Eighths of a point (a man is about 800); opening weights apply with all 40 men\n"
           "// on the board, endgame weights with none, and the two blend by the men left.\n\n"
           "#include \"engine/knowledge/strong_eval.h\"\n\n"
           "// clang-format off\n"
           "const StrongWeights STRONG_WEIGHTS = {\n";
    const char* set_names[2] = {"opening", "endgame"};
    for (int set = 0; set < 2; ++set) {
        const auto& values = set == 0 ? weights.opening : weights.endgame;
        out << "    // " << set_names[set] << "\n    {{\n";
        for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
            std::string value = std::to_string(values[i]) + ",";
            value.resize(std::max<std::size_t>(value.size(), 7), ' ');
            out << "        " << value << "  // " << feature_name(i) << "\n";
        }
        out << "    }},\n";
    }
    out << "};\n// clang-format on\n";
    return out.str();
}
