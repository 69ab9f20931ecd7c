// libFuzzer entry for the PDN reader: any bytes are read, indexed and written back
// consistently. Built with clang when VANTOR_FUZZ is on (see tests/fuzz/CMakeLists.txt).

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/pdn.h"
#include "game/pdn_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<PdnError> errors;
    const std::vector<PdnGame> games = read_pdn(text, errors);
    if (index_pdn(text).size() != games.size()) std::abort();
    for (const PdnGame& game : games) {
        std::vector<GameEntry> entries;
        if (!pdn_game_entries(game, entries)) std::abort();
        std::vector<PdnError> again_errors;
        const std::vector<PdnGame> again = read_pdn(write_pdn(game), again_errors);
        if (again.size() != 1 || !again_errors.empty() || !(again[0].moves == game.moves)) std::abort();
    }
    return 0;
}
