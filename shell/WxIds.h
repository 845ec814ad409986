#pragma once

namespace pq {

// wx accepts window and menu ids only below 0x7fff; the command ids run up to 57670. Commands are
// shifted down by a fixed offset on their way into wx and back up on their way out.
inline constexpr int kWxIdOffset = 30000;

[[nodiscard]] constexpr int ToWxId(int commandId) {
    return commandId - kWxIdOffset;
}

// The command of a wx id, 0 for ids that are no command (every command id lies in 32000 .. 59999).
[[nodiscard]] constexpr int FromWxId(int wxId) {
    return wxId >= 2000 && wxId < kWxIdOffset ? wxId + kWxIdOffset : 0;
}

} // namespace pq
