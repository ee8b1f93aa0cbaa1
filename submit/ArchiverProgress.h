#pragma once
// Reads the percentage out of what 7-Zip writes with -bsp1 while it packs.
//
// 7-Zip redraws one status in place: "  0%", then " 37% 1 + Villa.max", each one erased with
// backspaces (and blanks) before the next, in a console as through a pipe; a console on Windows
// may also see carriage returns. A percentage is a number followed by "%" at the start of such a
// status (after a backspace, carriage return or line feed, blanks allowed), so a "%" inside a file
// name or a message never reads as progress. The output arrives in chunks that may split a
// status anywhere, so the reader keeps its place between chunks.
#include <cstddef>
#include <cstdint>

namespace rud {

class ArchiverProgressParser {
public:
    // Reads one chunk; true when it completed at least one percentage.
    bool Feed(const char* data, size_t size);
    // The last percentage read (0 to 100); -1 before the first.
    int32_t Percent() const { return percent_; }

private:
    bool atStatusStart_ = true;   // only blanks since the last backspace, carriage return or line feed
    bool inNumber_ = false;
    int32_t number_ = 0;
    int32_t percent_ = -1;
};

} // namespace rud
