// The class descriptor, the action table's menu texts and the action callback.
#include "core/ResourceStrings.h"
#include "core/WinHandles.h"
#include "plugin/MaxHostOperations.h"
#include "plugin/PluginIdentifiers.h"
#include "plugin/RUD_ActionCallback.h"
#include "plugin/RUD_ActionTable.h"
#include "plugin/RUD_Rendering_2025ClassDesc.h"
#include "resources/StringIds.h"
#include "tests/plugin/PluginTestHost.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gup.h>

#include <gtest/gtest.h>

TEST(ClassDescriptor, AnswersTheHostsQuestions) {
    auto& descriptor = rud::RUD_Rendering_2025ClassDesc::Instance();
    EXPECT_TRUE(descriptor.IsPublic() == 1 && descriptor.SuperClassID() == 4320u);
    EXPECT_TRUE(descriptor.ClassID() == Class_ID(0x485C2835, 0x70747835));
    EXPECT_STREQ(descriptor.NonLocalizedClassName(), L"RUD_Rendering_2025");
    EXPECT_EQ(std::wstring(descriptor.ClassName()), rud::ResourceText(IDS_CLASS_NAME));
    EXPECT_EQ(std::wstring(descriptor.Category()), rud::ResourceText(IDS_CLASS_CATEGORY));
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
    for (auto [id, stringId] : {std::pair{1497, IDS_ACTION_SUBMIT}, std::pair{1498, IDS_ACTION_ABOUT}}) {
        MSTR text(L"unchanged");
        EXPECT_EQ(table.GetMenuText(id, text), TRUE) << id;
        EXPECT_TRUE(!rud::ResourceText(stringId).empty() && std::wstring(text.data()) == rud::ResourceText(stringId)) << id;
    }
    for (int id : {0, 1496, 1499, -1}) {
        MSTR mine(L"unchanged"), theirs(L"unchanged");
        EXPECT_EQ(table.GetMenuText(id, mine), base.GetMenuText(id, theirs)) << id;
        EXPECT_EQ(std::wstring(mine.data()), std::wstring(theirs.data())) << id;
    }
}

TEST(ActionCallback, UnknownIdsDoNothingAndStillSucceed) {
    rudtest::MessageBoxRecorder boxes;
    for (int id : {0, 1, 1496, 1499, 9999, -1497}) EXPECT_EQ(rud::RUD_ActionCallback().ExecuteAction(id), TRUE) << id;
    EXPECT_EQ(boxes.Count(), 0u);
}

// Action 1498 with each language file: English string 57 is "0" (box language 1033), Chinese is "1".
TEST(ActionCallback, AboutBoxUsesTheStringTableAndItsLanguageRule) {
    const HINSTANCE english = rud::LanguageModule();
    for (auto [locale, language] : {std::pair{L"zh-CN", WORD{1}}, std::pair{L"en-US", WORD{1033}}}) {
        const std::wstring file = rudtest::BinFolder() + L"\\" + locale + L"\\RUD_Rendering_2025.gup.mui";
        rud::UniqueModule module(
            ::LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module) << locale;
        rud::SetLanguageModule(module.get());
        rudtest::MessageBoxRecorder boxes;
        EXPECT_EQ(rud::RUD_ActionCallback().ExecuteAction(rud::kActionAbout), TRUE);
        const std::wstring text = rud::ResourceText(IDS_ABOUT_TEXT), caption = rud::ResourceText(IDS_ABOUT_CAPTION);
        rud::SetLanguageModule(english);
        ASSERT_EQ(boxes.Count(), 1u) << locale;
        const rudtest::RecordedBox box = boxes.Boxes()[0];
        EXPECT_TRUE(box.owner == nullptr && box.type == static_cast<UINT>(MB_OK) && box.language == language) << locale;
        EXPECT_TRUE(!text.empty() && box.text == text && box.caption == caption) << locale;
    }
}

// A failed script leaves an error text in the result; the holder must free it exactly once.
TEST(ScriptValue, FailedScriptResultIsFreedOnce) {
    const int before = maxstandin::FPValueDoubleFrees();
    {
        rud::MaxHostOperations host;
        auto value = host.CreateScriptValue();
        EXPECT_EQ(host.ExecuteMAXScript(L"no handler answers this", *value), 0);
    }
    EXPECT_EQ(maxstandin::FPValueDoubleFrees(), before);
}

TEST(LibraryDescription, NoTextBeforeTheInstanceHandleIsRecorded) {
    const HINSTANCE recorded = rud::ModuleInstance();
    rud::SetModuleInstance(nullptr);
    const wchar_t* before = rud::LoadResourceTextA(IDS_LIB_DESCRIPTION);
    rud::SetModuleInstance(recorded);
    EXPECT_EQ(before, nullptr);
}
