#pragma once
// Endgame databases: exact win/draw/loss values of positions with few pieces, loaded
// at start-up from the working directory ("endings" and its "%s.raw" files, else
// "endgame.dat").

#include "engine/board/board.h"

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
