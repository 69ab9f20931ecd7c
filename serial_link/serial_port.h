// The few things the link needs of the platform's serial interface. One source file per
// platform implements them (serial_port_posix.cpp here).
#pragma once

#include <cstdint>

namespace relaycom::port {

using Handle = std::intptr_t;
inline constexpr Handle kInvalid = -1;

// Opens and configures COM<number>: 9600 baud, 8N1, raw, no flow control, DTR and RTS off,
// reads waiting at most 100 ms. Returns connect()'s result code (0, or 1-5 with the port
// closed again and handle left invalid).
int open(int number, Handle& handle);
void close(Handle handle);
// Throws away whatever was received and not yet read.
void discard_input(Handle handle);

// True only when exactly one byte went out within 200 ms.
bool write_byte(Handle handle, unsigned char byte);
// The byte read, or 0 when none came within 100 ms (so a NUL on the line reads as nothing).
// Never returns sooner than that without a byte, even on a line that has gone away.
unsigned char read_byte(Handle handle);

// Names the calling thread where the platform allows (shown by debuggers and ps); at most
// 15 characters.
void name_this_thread(const char* name);

}  // namespace relaycom::port
