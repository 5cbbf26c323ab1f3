// The dialogs at the screen's resolution: each lays out its design at 96 dots per inch
// scaled, and lays it out again when it moves to a screen of another resolution.
#include "ui/about_box.h"
#include "ui/fonts.h"
#include "ui/help_window.h"
#include "ui/path_chooser.h"
#include "ui/resolution_checks.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

struct Placed {
    int id;
    Box design;
};

void ExpectClient(HWND window, int width, int height, int dpi) {
    const Scale s{dpi};
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, s(width)) << dpi;
    EXPECT_EQ(client.bottom, s(height)) << dpi;
}

void ExpectFont(HWND control, int designHeight, int dpi) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(font.lfHeight, -Scale{dpi}(designHeight)) << dpi;
}

void ExpectAboutAt(TAboutBox& about, int dpi) {
    const Placed placed[] = {{IdAboutOk, {128, 208, 75, 25}}};
    for (const Placed& p : placed)
        ExpectScaledDesign(about.Handle(), p.id, p.design, dpi);
    ExpectFont(about.Control(IdCopyright), 11, dpi);
    ExpectFont(about.Control(IdProductName), 24, dpi);
    // Labels are their text's size, and the link word follows its sentence.
    for (AboutControlId id : {IdProductName, IdCopyright, IdDonateLabel1, IdUrl}) {
        HWND label = about.Control(id);
        const auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
        const RECT place = ControlRect(about.Handle(), label);
        EXPECT_EQ(place.right - place.left, TextExtent(label, font, about.Text(id)).cx)
            << about.Text(id) << " at " << dpi;
    }
    EXPECT_GT(ControlRect(about.Handle(), about.Control(IdDonateLabel2)).left,
              ControlRect(about.Handle(), about.Control(IdDonateLabel1)).right);
    EXPECT_LE(ControlRect(about.Handle(), about.Control(IdUrl)).right, Scale{dpi}(337));
}

void ExpectChooserAt(DirectoryChooser& chooser, int dpi) {
    const Placed placed[] = {
        {IdChooserTree, {8, 58, 200, 154}},    {IdChooserFiles, {216, 22, 200, 130}},
        {IdChooserNetwork, {8, 222, 75, 25}},  {IdChooserOk, {262, 222, 75, 25}},
        {IdChooserCancel, {342, 222, 75, 25}}, {IdChooserPath, {8, 22, 200, 14}},
    };
    for (const Placed& p : placed)
        ExpectScaledDesign(chooser.Handle(), p.id, p.design, dpi);
    ExpectFont(chooser.Control(IdChooserTree), 11, dpi);
    EXPECT_EQ(SendMessageA(chooser.Control(IdChooserTree), LB_GETITEMHEIGHT, 0, 0), Scale{dpi}(16));
}

void ExpectHelpAt(TForm2& help, int dpi) {
    const Placed placed[] = {{IdHelpClose, {535, 432, 75, 25}}, {IdHelpView, {8, 8, 601, 417}}};
    for (const Placed& p : placed)
        ExpectScaledDesign(help.Handle(), p.id, p.design, dpi);
    ExpectFont(GetDlgItem(help.Handle(), IdHelpClose), 11, dpi);
    RECT outer;
    GetWindowRect(help.Handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, Scale{dpi}(625));
    // The page is laid out again for the resolution: its text grows with it.
    EXPECT_GT(help.View().ContentHeight(), 0);
}

TEST(DialogResolution, TheAboutBoxLaysOutItsDesignScaled) {
    TAboutBox about;
    ASSERT_TRUE(about.Create());
    const int dpi = TestedDpi(about.Handle());
    ExpectClient(about.Handle(), 337, 240, dpi);
    ExpectAboutAt(about, dpi);
    for (int moved : {OtherDpi(dpi), dpi}) {
        SendDpiChange(about.Handle(), moved, 337, 240);
        ExpectClient(about.Handle(), 337, 240, moved);
        ExpectAboutAt(about, moved);
    }
}

TEST(DialogResolution, TheDirectoryChooserLaysOutItsDesignScaled) {
    DirectoryChooser chooser;
    ASSERT_TRUE(chooser.Create());
    const int dpi = TestedDpi(chooser.Handle());
    ExpectClient(chooser.Handle(), 424, 255, dpi);
    ExpectChooserAt(chooser, dpi);
    for (int moved : {OtherDpi(dpi), dpi}) {
        SendDpiChange(chooser.Handle(), moved, 424, 255);
        ExpectChooserAt(chooser, moved);
    }
}

TEST(DialogResolution, TheHelpWindowLaysOutItsDesignAndItsPageScaled) {
    TForm2 help;
    ASSERT_TRUE(help.Create());
    const int dpi = TestedDpi(help.Handle());
    ExpectHelpAt(help, dpi);
    const int pageAtFirst = help.View().ContentHeight();
    RECT outer;
    GetWindowRect(help.Handle(), &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    for (int moved : {OtherDpi(dpi), dpi}) {
        // The suggested rectangle for the help window: its outer design size, scaled.
        RECT suggested = {0, 0, MulDiv(width, moved, dpi), MulDiv(height, moved, dpi)};
        SendMessageA(help.Handle(), WM_DPICHANGED, MAKEWPARAM(moved, moved),
                     reinterpret_cast<LPARAM>(&suggested));
        ExpectHelpAt(help, moved);
        // The page's text is set anew in fonts of the new size.
        if (moved > dpi)
            EXPECT_GT(help.View().ContentHeight(), pageAtFirst) << moved;
        else if (moved < dpi)
            EXPECT_LT(help.View().ContentHeight(), pageAtFirst) << moved;
        else
            EXPECT_EQ(help.View().ContentHeight(), pageAtFirst) << "and came back";
    }
}

} // namespace
