#pragma once
// Reading and writing whole files the safe way, for the game files the user names.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Reads the whole of a regular file of at most `max_size` bytes into `bytes`. False for
// anything else: a missing or unreadable file, a larger one, and a FIFO, a device or a
// folder, which are never opened in a way that could block.
bool read_regular_file(const std::string& path, std::size_t max_size, std::vector<std::uint8_t>& bytes);

// Writes `bytes` to `path` so that the file is either wholly the new one or, when
// anything fails, exactly what it was before: the bytes go to a new file in the same
// folder, are flushed to the disk, and only then is it renamed over `path`. An existing
// file keeps its permissions; a symbolic link keeps pointing where it did.
bool write_file_atomically(const std::string& path, std::span<const std::uint8_t> bytes);
