#include "submit/WideTextFile.h"

#include <cstdio>
#include <memory>

namespace rud {

TextFileResult WriteWideTextFile(const std::wstring& path, const std::string& bytes) {
    struct FileCloser {
        void operator()(FILE* file) const { std::fclose(file); }
    };
    FILE* raw = _wfopen(path.c_str(), L"wt");
    if (!raw) return TextFileResult::kOpenFailed;
    std::unique_ptr<FILE, FileCloser> file(raw);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    bool closed = std::fclose(file.release()) == 0;
    return written && closed ? TextFileResult::kWritten : TextFileResult::kWriteFailed;
}

} // namespace rud
