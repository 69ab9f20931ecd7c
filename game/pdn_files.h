#pragma once
// PDN files in the program: the game record to and from PDN games, which format a file
// dialog's choice stands for, and File > Open and File > Save for PDN.

#include <memory>
#include <string>
#include <vector>

#include "game/game_ui.h"
#include "game/pdn.h"
#include "game/record.h"

enum class GameFileFormat { TGR, PDN };

// The program's own filters (TGR, ASCII) keep the program's own format, the PDN filter
// means PDN, and All Files goes by the name: ".pdn" (any case) is PDN, the rest TGR.
GameFileFormat game_file_format(const std::string& path, FileFilter filter);
// Opening, a name ending in ".pdn" is read as PDN whatever the filter: a PDN file is
// text and never a .tgr file.
GameFileFormat open_file_format(const std::string& path, FileFilter filter);

// Every position of the game and the move played from it, as the game record keeps
// them (entry i holds position i and the move from it; the last holds no move). False
// when a move does not replay from its position.
bool pdn_game_entries(const PdnGame& game, std::vector<GameEntry>& entries);
// The game as a game record standing at its last position; false when it does not
// replay or has more moves than the record holds (512).
bool pdn_game_to_record(const PdnGame& game, GameRecord& record);
// The moves and start position of a game record, the redo tail included; tags and the
// result are the caller's.
void record_to_pdn_game(const GameRecord& record, PdnGame& game);

// The whole of a regular file (up to 1 GiB), or false when it cannot be read.
bool read_text_file(const std::string& path, std::string& text);
// Writes the file whole or not at all; false when it could not be.
bool write_text_file(const std::string& path, const std::string& text);

// The result of the game at the record's last position, as the game's rules decide it
// (a side without a move has lost, the draw rules); unknown while the game goes on.
PdnResult pdn_result_of(const GameRecord& record);

// The game record as a PDN game: the tags of the PDN game it was loaded from while the
// record still holds that game's moves (and the game's result while it holds no more),
// else "?" tags with today's date and the computer's colours named.
PdnGame current_pdn_game();
// 1 when the game was written, 0 when the file could not be.
int save_pdn_game(const std::string& path);

enum class PdnOpen { LOADED, CANCELLED, FAILED };
// File > Open of a PDN file: reads it, lets the user pick one of several games, and loads
// that game up to its last position (or up to its first fault, which it reports). Every
// failure is reported to the user here.
PdnOpen open_pdn_file(const std::string& path, GameState& state);
