#pragma once
// Helpers shared by the analysis tests (and the headers they all need): a store of their own, the
// lines a log gained during a test, report texts by string ID and the one message box a step showed.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/DataFolders.h"
#include "core/LogChannel.h"
#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace rudtest {

inline void ExpectOneOkBox(const MessageBoxRecorder& boxes, HWND owner, int text, int caption) {
    ASSERT_EQ(1u, boxes.Count());
    const RecordedBox box = boxes.Boxes()[0];
    EXPECT_EQ(std::make_tuple(owner, rud::ResourceText(text), rud::ResourceText(caption), UINT(MB_OK), rud::CurrentMessageBoxLanguage()),
              std::make_tuple(box.owner, box.text, box.caption, box.type, box.language));
}

// What a channel's current file gained since construction.
class LogTail {
public:
    explicit LogTail(const rud::LogChannel& log) : path_(log.BasePath() + ".log"), start_(Read().size()) {}
    std::string Text() const {
        const std::string all = Read();
        return all.size() >= start_ ? all.substr(start_) : all;  // a rotated file starts afresh
    }
    size_t Count(const std::string& needle) const {
        const std::string text = Text();
        size_t count = 0;
        for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
        return count;
    }
    bool Has(const std::string& level, const std::string& text) const { return Count("[" + level + "] " + text) > 0; }

private:
    std::string Read() const { return ReadBytes(rud::AnsiChsToWide(path_)); }
    std::string path_;
    size_t start_;
};

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = std::make_unique<rud::RUDRenderingDataMgr>();
    }
    // Reads the analysis and, as the dialogs do next, the scene name; neither may throw.
    int32_t ReadWide(const std::wstring& text) {
        store->SetAnalysisText(text);
        int32_t result = -1;
        std::string name;
        EXPECT_NO_THROW(result = store->ReadAnalysis());
        EXPECT_NO_THROW((void)store->ReadSceneName(name));
        return result;
    }
    int32_t Read(const std::string& utf8) { return ReadWide(rud::Utf8ToWide(utf8)); }

    std::unique_ptr<rud::RUDRenderingDataMgr> store;
};

} // namespace rudtest
