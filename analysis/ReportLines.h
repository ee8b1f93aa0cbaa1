#pragma once
// The scene's report as the artist reads it: every warning line, then every error line, read
// where the analysis keeps them.
#include <cstddef>
#include <string>
#include <vector>

namespace rud {

// Both lists must outlive the view; it follows them as they change.
struct ReportLines {
    const std::vector<std::wstring>* warnings = nullptr;
    const std::vector<std::wstring>* errors = nullptr;

    size_t Count() const { return Size(warnings) + Size(errors); }
    // nullptr past the end.
    const std::wstring* At(size_t index) const {
        const size_t first = Size(warnings);
        if (index < first) return &(*warnings)[index];
        return index - first < Size(errors) ? &(*errors)[index - first] : nullptr;
    }

private:
    static size_t Size(const std::vector<std::wstring>* lines) { return lines ? lines->size() : 0; }
};

} // namespace rud
