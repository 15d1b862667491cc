// src/app/KeywhirlSplashWindow.cpp
#include "app/KeywhirlSplashWindow.h"

#include "localization/LocalizationManager.h"
#include "utils/Handles.h"

#include "KeywhirlVersion.h"

#include <cwchar>
#include <utility>

namespace keywhirl {

namespace {
constexpr WORD kSplashPicture = 154; // 650 x 635, 24 bits per pixel

// Where the picture leaves room for the texts: a band below the name and
// the bottom left corner.
constexpr int kSubtitleTop = 570;
constexpr int kSubtitleBottom = 606;
constexpr int kCornerMargin = 14;
constexpr COLORREF kSubtitleColour = RGB(160, 190, 235);
constexpr COLORREF kVersionColour = RGB(110, 130, 172);

utils::UniqueFont makeFont(HDC dc, int points) {
    LOGFONTW description = {};
    description.lfHeight = -::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    description.lfWeight = FW_NORMAL;
    description.lfQuality = ANTIALIASED_QUALITY;
    std::wcscpy(description.lfFaceName, L"Arial");
    return utils::UniqueFont(::CreateFontIndirectW(&description));
}
} // namespace

KeywhirlSplashWindow::KeywhirlSplashWindow() {
    resourceId = kSplashPicture;
    dropShadow = true;
}

KeywhirlSplashWindow::Texts& KeywhirlSplashWindow::sharedTexts() {
    static Texts texts;
    return texts;
}

KeywhirlSplashWindow::Texts KeywhirlSplashWindow::currentTexts() {
    ResourceBundle splash = LocalizationManager::instance()->getBundle(L"Splash");
    Texts texts;
    texts.subtitle = splash.getString(L"subtitle");
    std::wstring label = splash.getString(L"version");
    texts.version =
        label.empty() ? std::wstring(KEYWHIRL_VERSION_WIDE) : label + L" " + KEYWHIRL_VERSION_WIDE;
    return texts;
}

void KeywhirlSplashWindow::setTexts(Texts texts) {
    sharedTexts() = std::move(texts);
}

bool KeywhirlSplashWindow::loadBitmap() {
    if (!CSplashWnd::loadBitmap())
        return false;
    writeTexts(bitmap.get(), width, height, sharedTexts());
    return true;
}

void KeywhirlSplashWindow::writeTexts(HBITMAP picture, int width, int height, const Texts& texts) {
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    utils::SelectedObject selected(dc.get(), picture);
    ::SetBkMode(dc.get(), TRANSPARENT);
    {
        utils::UniqueFont font = makeFont(dc.get(), 16);
        utils::SelectedObject withFont(dc.get(), font.get());
        ::SetTextColor(dc.get(), kSubtitleColour);
        RECT band = {kCornerMargin, kSubtitleTop, width - kCornerMargin, kSubtitleBottom};
        ::DrawTextW(dc.get(), texts.subtitle.c_str(), static_cast<int>(texts.subtitle.size()),
                    &band, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    utils::UniqueFont font = makeFont(dc.get(), 9);
    utils::SelectedObject withFont(dc.get(), font.get());
    ::SetTextColor(dc.get(), kVersionColour);
    RECT corner = {kCornerMargin, height - kCornerMargin - 20, width / 2,
                   height - kCornerMargin + 2};
    ::DrawTextW(dc.get(), texts.version.c_str(), static_cast<int>(texts.version.size()), &corner,
                DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace keywhirl
