// src/about/AboutDlg.h - the about box: the program's picture with its version, credits and web
// link.
#pragma once

#include "about/CHyperLink.h"
#include "ui/Dialog.h"
#include "utils/Handles.h"

#include <windows.h>

#include <string>

namespace keywhirl {

// A captionless box as large as its picture, in the middle of the screen.
// Over the picture, right and left of its vertical centre line: the version
// from the program's version resource, the credits, and a link to the web
// site for the system's language. A click on the picture (or Escape)
// closes it.
//
// Use, on the main thread:
//     AboutDlg aboutDlg;
//     aboutDlg.run(mainWindow);     // modal; returns IDCANCEL when closed
class AboutDlg : public ui::Dialog {
public:
    struct WebSite {
        std::wstring shown;   // the host name, as the link shows it
        std::wstring address; // what the link opens
    };

    static constexpr int kFirstRowTop = 308;
    static constexpr int kRowStep = 15;
    // Between the centre line and the texts on either side of it.
    static constexpr int kCentreGap = 8;

    // The version shown is read from versionSource's file, the program's
    // own when null.
    explicit AboutDlg(HMODULE versionSource = nullptr);
    ~AboutDlg() override;

    // Modal, owned by owner; returns when the box is closed.
    INT_PTR run(HWND owner);

    // The site for a system whose default language abbreviation (for
    // example "RUS" or "ENU") is the one given.
    static WebSite webSiteFor(const std::wstring& languageAbbreviation);

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onInitDialog() override;

private:
    void fitToPicture();
    void showVersion();
    void setUpLink();
    void setLabels();
    void layOutTexts();
    void paint();

    HMODULE versionSource;
    utils::UniqueBitmap picture;
    SIZE pictureSize{};
    CHyperLink link;
};

} // namespace keywhirl
