#pragma once
// Remote play: the local computer's moves go to an opponent program on another computer
// over the serial link, as move message texts; the opponent's moves come back the same
// way and are played when it is the opponent's turn.

#include <string>

// Creates the link for COM `port` and connects it; false (and a message box naming the
// port and its device, and no link) when the port cannot be opened or set up.
bool remote_open(int port);
void remote_close();
void remote_send(const char* text);
// The oldest received text ("" when none).
std::string remote_receive();
// 0 not connected, 1 connected, 3 a message is waiting.
int remote_status();
// The half-second poll: plays a waiting message when it is the opponent's turn.
void remote_poll();
// Game > Remote. Switching on with a port that cannot be opened changes nothing.
void toggle_remote();

// The device COM `port` stands for: $VANTOR_COM<port>, else /dev/ttyS<port - 1>.
std::string com_device(int port);
