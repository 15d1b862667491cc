// src/about/AboutDlg.cpp
#include "about/AboutDlg.h"

#include "about/CFileVersionInfo.h"
#include "localization/Locale.h"
#include "localization/LocalizationManager.h"
#include "ui/Desktop.h"
#include "ui/DoubleBuffer.h"
#include "ui/IdText.h"
#include "ui/PlacedMessageBox.h"

#include "resource.h"

#include <sstream>

namespace keywhirl {

namespace {

struct TextRow {
    int labelId;
    int valueId;
};

// Top to bottom.
constexpr TextRow kRows[] = {
    {IDC_ABOUT_VERSION_LABEL, IDC_ABOUT_VERSION},
    {IDC_ABOUT_PROGRAMMER_LABEL, IDC_ABOUT_PROGRAMMER},
    {IDC_ABOUT_IDEA_LABEL, IDC_ABOUT_IDEA},
    {IDC_ABOUT_DESIGNER_LABEL, IDC_ABOUT_DESIGNER},
    {IDC_ABOUT_WEBPAGE_LABEL, IDC_ABOUT_LINK},
};

constexpr ui::IdText kLabels[] = {
    {IDC_ABOUT_VERSION_LABEL, L"productVersion"}, {IDC_ABOUT_PROGRAMMER_LABEL, L"programmer"},
    {IDC_ABOUT_IDEA_LABEL, L"ideaCreator"},       {IDC_ABOUT_DESIGNER_LABEL, L"designer"},
    {IDC_ABOUT_WEBPAGE_LABEL, L"webPage"},
};

const wchar_t kRussian[] = L"RUS";
const wchar_t kRussianSite[] = L"ru.keywhirl.example";
const wchar_t kInternationalSite[] = L"keywhirl.example";

std::wstring dottedVersion(const std::array<WORD, 4>& parts) {
    std::wostringstream text;
    text << parts[0] << L'.' << parts[1] << L'.' << parts[2] << L'.' << parts[3];
    return text.str();
}

} // namespace

AboutDlg::AboutDlg(HMODULE versionSource) : versionSource(versionSource) {}

AboutDlg::~AboutDlg() {
    // The link must let go of its control while the dialog part still exists.
    if (handle() != nullptr)
        endDialog(IDCANCEL);
}

INT_PTR AboutDlg::run(HWND owner) {
    return runModal(IDD_ABOUT_DIALOG, owner);
}

AboutDlg::WebSite AboutDlg::webSiteFor(const std::wstring& languageAbbreviation) {
    const std::wstring host = languageAbbreviation == kRussian ? kRussianSite : kInternationalSite;
    return {host, L"https://" + host + L"/"};
}

bool AboutDlg::onInitDialog() {
    fitToPicture();
    showVersion();
    setUpLink();
    setLabels();
    layOutTexts();
    return true;
}

void AboutDlg::fitToPicture() {
    picture.reset(
        static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP description{};
    if (!picture || ::GetObjectW(picture.get(), sizeof(description), &description) == 0)
        return;
    pictureSize = {description.bmWidth, description.bmHeight};
    // The box has no frame: its window is its client area.
    // In the middle of the work area of the monitor of the tray icon the
    // user clicked.
    const RECT placed =
        ui::Desktop::current().centredAt(ui::PlacedMessageBox::anchorPoint(parent()), pictureSize);
    setPosition(nullptr, placed.left, placed.top, pictureSize.cx, pictureSize.cy,
                SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutDlg::showVersion() {
    CFileVersionInfo versionInfo;
    if (!versionInfo.Open(versionSource))
        return;
    std::wstring version = versionInfo.GetProductVersion();
    if (version.empty() && versionInfo.GetFixedFileInfo().dwSignature != 0)
        version = dottedVersion(versionInfo.GetFixedProductVersion());
    if (!version.empty())
        setItemText(IDC_ABOUT_VERSION, version);
}

void AboutDlg::setUpLink() {
    const WebSite site = webSiteFor(Locale(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT)).toString());
    setItemText(IDC_ABOUT_LINK, site.shown);
    link.AttachToStatic(handle(), IDC_ABOUT_LINK, site.address);
}

void AboutDlg::setLabels() {
    const ResourceBundle texts = LocalizationManager::instance()->getBundle(L"AboutDialog");
    for (const ui::IdText& label : kLabels)
        setItemText(label.id, texts.getString(label.key));
}

void AboutDlg::layOutTexts() {
    RECT client{};
    getClientRect(client);
    const int centre = (client.right - client.left) / 2;
    int top = kFirstRowTop;
    for (const TextRow& row : kRows) {
        const Window label(getItem(row.labelId));
        const Window value(getItem(row.valueId));
        RECT area{};
        // Right-aligned labels end, left-aligned values start, at the gap.
        if (label.getRectInParent(area))
            label.setPosition(nullptr, centre - kCentreGap - (area.right - area.left), top, 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (value.exists())
            value.setPosition(nullptr, centre + kCentreGap, top, 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        top += kRowStep;
    }
}

void AboutDlg::paint() {
    utils::PaintDc paintDc(handle());
    RECT client{};
    getClientRect(client);
    {
        ui::DoubleBuffer buffer(paintDc.get(), client.right, client.bottom);
        if (!buffer)
            return;
        if (picture) {
            utils::UniqueMemoryDc pictureDc(::CreateCompatibleDC(paintDc.get()));
            utils::SelectedObject selected(pictureDc.get(), picture.get());
            ::BitBlt(buffer.dc(), 0, 0, pictureSize.cx, pictureSize.cy, pictureDc.get(), 0, 0,
                     SRCCOPY);
        } else {
            ::FillRect(buffer.dc(), &client, ::GetSysColorBrush(COLOR_3DFACE));
        }
        ::FrameRect(buffer.dc(), &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        buffer.present();
    }
    // The texts lie on the picture: they are drawn again after it.
    for (HWND child = ::GetWindow(handle(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT))
        ::RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool AboutDlg::onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_ERASEBKGND:
        // The paint covers every pixel.
        result = 1;
        return true;
    case WM_PAINT:
        paint();
        result = 0;
        return true;
    case WM_CTLCOLORSTATIC:
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return true;
    case WM_LBUTTONDOWN:
        send(WM_CLOSE);
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace keywhirl
