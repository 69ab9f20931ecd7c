#pragma once
// Endgame databases: exact win/draw/loss values of positions with few pieces, loaded
// at start-up from the working directory ("endings" and its "%s.raw" files, else
// "endgame.dat").

#include <cstdint>
#include <string>
#include <vector>

#include "engine/board/board.h"
#include "engine/knowledge/egdb_index.h"

enum EgdbValue : int {
    EGDB_WIN = 0,
    EGDB_DRAW = 1,
    EGDB_LOSS = 2,
    EGDB_UNKNOWN = 3,
};

// Empties every slot and loads the databases found in `directory`; 1 when at least one
// database was loaded.
int egdb_init(const char* directory = ".");
// The value of the position for the side to move (type_counts must be filled, as
// evaluate does), or EGDB_UNKNOWN when no database for its material is loaded.
int egdb_probe(Side side, const PlyRecord& position);
void egdb_free();

// The loading routes; egdb_init empties the slots and takes "endings" when it can be
// opened, else "endgame.dat". Each adds to what is loaded and returns 1 when it loaded
// at least one database; egdb_load_list returns -1 when there is no "endings".
int egdb_load_list(const char* directory);
int egdb_load_combined(const char* directory);
// One "%s.raw" file (its name built from the counts) into the slot of its material key.
int egdb_load_file(const char* directory, int sm, int sk, int om, int ok);

// The value array loaded for a material key (0-4095), or nullptr.
const std::uint8_t* egdb_values(int key);

// One entry of "endings" as the loader reads it. `usable` entries name a material the
// program can index; the loader takes those that are not flagged n.
struct EgdbListEntry {
    std::string name;
    EgdbMaterial material;
    bool usable = false;
    bool skipped = false;  // flagged n
};
// The entries of the "endings" list in `directory`; false when there is no list.
bool egdb_read_list(const char* directory, std::vector<EgdbListEntry>& entries);
// The material of a name such as XOvX (X a king, O a man, v between the side to move's
// pieces and the opponent's); false for anything else.
bool egdb_parse_name(const char* name, EgdbMaterial& material);
