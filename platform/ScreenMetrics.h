#pragma once

namespace pq {

// The screen's logical pixels per inch in x. 96 until the shell measures the real screen at start-up;
// every new view mapping reads it for its 1:1 scale.
[[nodiscard]] int ScreenPixelsPerInch();
void SetScreenPixelsPerInch(int pixelsPerInch);

} // namespace pq
