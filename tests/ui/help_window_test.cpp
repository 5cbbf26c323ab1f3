// The help window: the stored page, its address, and the view the program draws itself.
#include "ui/help/help_window.h"

#include <gtest/gtest.h>

namespace {

TEST(HelpWindow, ThePageAndItsPictureAreResourcesOfTheHtmlType) {
    for (const char* name : {"HELPHTML", "HELPHTML_PNG"})
        EXPECT_NE(FindResourceA(nullptr, name, MAKEINTRESOURCEA(23)), nullptr) << name;
    const std::string page = TForm2::HelpPageText();
    EXPECT_EQ(page.rfind("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"", 0),
              0u);
    EXPECT_NE(page.find("charset=ISO-8859-1"), std::string::npos);
    EXPECT_EQ(page.find("\n"), page.find("\r\n") + 1) << "lines end with CR LF";
    char path[MAX_PATH];
    const std::string self(path, GetModuleFileNameA(nullptr, path, sizeof path));
    EXPECT_EQ(TForm2::HelpAddress(), "res://" + self + "/HELPHTML");
}

TEST(HelpWindow, ShowsTheWholePageWithItsLinksAndKeepsItsLayoutOnResize) {
    TForm2 help;
    ASSERT_TRUE(help.Create());
    HelpView& view = help.View();
    bool install = false, mono = false, donate = false;
    for (const HelpBlock& b : view.Blocks())
        for (const HelpRun& r : b.runs) {
            install = install || r.text.find("INSTALLATION & REQUIREMENTS:") != std::string::npos;
            mono = mono || (b.kind == HelpBlock::Mono &&
                            r.text.find("Vantrell h:\\ 30") != std::string::npos);
            donate = donate ||
                     (r.text == "Donation" && r.link == "https://vantrell.example.com/donate.php");
        }
    EXPECT_TRUE(install);
    EXPECT_TRUE(mono);
    EXPECT_TRUE(donate);
    RECT client;
    GetClientRect(view.Handle(), &client);
    EXPECT_GT(view.ContentHeight(), client.bottom) << "the page scrolls";
    SendMessageA(view.Handle(), WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_GT(view.ScrollPosition(), 0);

    RECT before, after;
    GetWindowRect(GetDlgItem(help.Handle(), IdHelpClose), &before);
    SetWindowPos(help.Handle(), nullptr, 0, 0, 800, 700, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(GetDlgItem(help.Handle(), IdHelpClose), &after);
    EXPECT_EQ(after.left - before.left, 0);
    EXPECT_EQ(after.top - before.top, 0);
}

// What the help window looked like while it was shown, read from inside its modal loop.
struct Showing {
    HWND help = nullptr;
    bool ownView = false, browser = false, focusInPage = false;
} seen;

void CALLBACK LookAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND view = GetDlgItem(seen.help, IdHelpView), browser = GetDlgItem(seen.help, IdHelpBrowser);
    seen.ownView = IsWindowVisible(view);
    seen.browser = browser && IsWindowVisible(browser);
    HWND focus = GetFocus();
    seen.focusInPage = focus == view || (browser && (focus == browser || IsChild(browser, focus)));
    PostMessageA(seen.help, WM_CLOSE, 0, 0);
}

TEST(HelpWindow, EachShowingShowsOneViewOfThePageWithTheKeyboardInIt) {
    TForm2 help;
    ASSERT_TRUE(help.Create());
    seen.help = help.Handle();
    for (int showing = 0; showing < 2; ++showing) {
        seen = Showing{help.Handle()};
        SetTimer(nullptr, 0, 50, LookAndClose);
        help.ShowModal(nullptr);
        EXPECT_NE(seen.ownView, seen.browser) << "showing " << showing;
        EXPECT_EQ(seen.browser, help.ShowsBrowser());
        EXPECT_TRUE(seen.focusInPage) << "showing " << showing;
        EXPECT_FALSE(IsWindowVisible(help.Handle())) << "closing hides the window";
    }
}

} // namespace
