#pragma once

#include "PeerHelpers.h"

#include <cstdint>
#include <fstream>
#include <random>
#include <string>

namespace pq::test {

// A file of size seeded random bytes: every byte value occurs, CR and LF among them, so a transfer that
// changed line ends or lost a block shows.
inline std::string WriteRandomFile(const std::string& path, std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

} // namespace pq::test
