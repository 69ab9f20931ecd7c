#pragma once
// File > Open and File > Save: the engine and the clocks around the game files.

void file_open_command();
void file_save_command();
