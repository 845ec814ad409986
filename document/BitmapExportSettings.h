#pragma once

namespace pq {

// The export settings the active view keeps ("Maximum pixels:" and anti-aliasing), read by the
// document's bitmap export.
class IBitmapExportSettings {
public:
    virtual ~IBitmapExportSettings() = default;

    // One of 240, 320, 480 or 640.
    [[nodiscard]] virtual int GetMaxPixels() const = 0;
    [[nodiscard]] virtual bool GetAntiAlias() const = 0;
};

} // namespace pq
