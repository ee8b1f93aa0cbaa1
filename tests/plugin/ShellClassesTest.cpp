// The class descriptor, the action table's menu texts and the action callback.
#include "core/ResourceStrings.h"
#include "plugin/PluginIdentifiers.h"
#include "plugin/RUD_ActionCallback.h"
#include "plugin/RUD_ActionTable.h"
#include "plugin/RUD_Rendering_2025ClassDesc.h"
#include "resources/StringIds.h"
#include "tests/plugin/PluginTestHost.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gup.h>

#include <gtest/gtest.h>

namespace {

TEST(ClassDescriptor, AnswersTheHostsQuestions) {
    auto& descriptor = rud::RUD_Rendering_2025ClassDesc::Instance();
    EXPECT_EQ(&descriptor, &rud::RUD_Rendering_2025ClassDesc::Instance());
    EXPECT_EQ(descriptor.IsPublic(), 1);
    EXPECT_EQ(descriptor.SuperClassID(), 4320u);
    EXPECT_TRUE(descriptor.ClassID() == Class_ID(0x485C2835, 0x70747835));
    EXPECT_STREQ(descriptor.NonLocalizedClassName(), L"RUD_Rendering_2025");
    EXPECT_EQ(std::wstring(descriptor.ClassName()), rudtest::Text(IDS_CLASS_NAME));
    EXPECT_EQ(std::wstring(descriptor.Category()), rudtest::Text(IDS_CLASS_CATEGORY));
    EXPECT_EQ(descriptor.HInstance(), rud::ModuleInstance());

    for (BOOL loading : {FALSE, TRUE}) {
        auto* utility = static_cast<GUP*>(descriptor.Create(loading));
        ASSERT_NE(utility, nullptr);
        EXPECT_EQ(utility->Start(), 0u);
        utility->Stop();
        utility->DeleteThis();
    }
}

TEST(ActionTable, MenuTextsComeFromTheStringTableAndOtherIdsFromTheBase) {
    MSTR name(L"table");
    rud::RUD_ActionTable table(rud::kActionTableId, rud::kActionContextId, name, nullptr,
                               rud::ActionDescriptionCount(), rud::ActionDescriptions(), rud::ModuleInstance());
    ActionTable base(rud::kActionTableId, rud::kActionContextId, name, nullptr,
                     rud::ActionDescriptionCount(), rud::ActionDescriptions(), rud::ModuleInstance());
    struct Case { int id; int stringId; };
    for (const Case& c : {Case{1497, IDS_ACTION_SUBMIT}, Case{1498, IDS_ACTION_ABOUT}}) {
        MSTR text(L"unchanged");
        EXPECT_EQ(table.GetMenuText(c.id, text), TRUE) << c.id;
        EXPECT_EQ(std::wstring(text.data()), rudtest::Text(c.stringId)) << c.id;
        EXPECT_FALSE(std::wstring(text.data()).empty()) << c.id;
    }
    for (int id : {0, 1496, 1499, -1}) {
        MSTR mine(L"unchanged"), theirs(L"unchanged");
        EXPECT_EQ(table.GetMenuText(id, mine), base.GetMenuText(id, theirs)) << id;
        EXPECT_EQ(std::wstring(mine.data()), std::wstring(theirs.data())) << id;
    }
}

TEST(ActionCallback, UnknownIdsDoNothingAndStillSucceed) {
    rudtest::MessageBoxRecorder boxes;
    rud::RUD_ActionCallback callback;
    for (int id : {0, 1, 1496, 1499, 9999, -1497}) EXPECT_EQ(callback.ExecuteAction(id), TRUE) << id;
    EXPECT_EQ(boxes.Count(), 0u);
}

// Action 1498 in both language files: English string 57 is "0" (language 1033), Chinese is "1".
TEST(ActionCallback, AboutBoxUsesTheStringTableAndItsLanguageRule) {
    struct Case { const wchar_t* locale; WORD language; };
    HINSTANCE english = rud::LanguageModule();
    for (const Case& c : {Case{L"en-US", 1033}, Case{L"zh-CN", 1}}) {
        std::wstring file = rudtest::BinFolder() + L"\\" + c.locale + L"\\RUD_Rendering_2025.gup.mui";
        HMODULE module = ::LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << file.size();
        rud::SetLanguageModule(module);
        {
            rudtest::MessageBoxRecorder boxes;
            rud::RUD_ActionCallback callback;
            EXPECT_EQ(callback.ExecuteAction(rud::kActionAbout), TRUE);
            auto shown = boxes.Boxes();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].owner, nullptr);
            EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK));
            EXPECT_EQ(shown[0].language, c.language);
            EXPECT_EQ(shown[0].text, rudtest::Text(IDS_ABOUT_TEXT));
            EXPECT_EQ(shown[0].caption, rudtest::Text(IDS_ABOUT_CAPTION));
            EXPECT_FALSE(shown[0].text.empty());
        }
        rud::SetLanguageModule(english);
        ::FreeLibrary(module);
    }
}

TEST(LibraryDescription, NoTextBeforeTheInstanceHandleIsRecorded) {
    HINSTANCE recorded = rud::ModuleInstance();
    rud::SetModuleInstance(nullptr);
    const wchar_t* before = rud::LoadResourceTextA(IDS_LIB_DESCRIPTION);
    rud::SetModuleInstance(recorded);
    EXPECT_EQ(before, nullptr);
    EXPECT_NE(rud::LoadResourceTextA(IDS_LIB_DESCRIPTION), nullptr);
}

} // namespace
