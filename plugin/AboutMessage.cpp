#include "plugin/AboutMessage.h"

#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"
#include "resources/StringIds.h"

#include <string>

namespace rud {

void ShowAboutMessage() {
    // Loader A reuses one buffer: keep each string before loading the next.
    const wchar_t* caption = LoadResourceTextA(IDS_ABOUT_CAPTION);
    std::wstring captionText = caption ? caption : L"";
    WORD language = MessageBoxLanguage(LoadResourceTextA(IDS_LANGUAGE_MARKER));
    const wchar_t* text = LoadResourceTextA(IDS_ABOUT_TEXT);
    if (!text) return;
    (void)ShowMessageBox(nullptr, text, captionText, MB_OK, language);
}

} // namespace rud
