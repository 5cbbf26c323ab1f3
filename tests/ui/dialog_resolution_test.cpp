// The dialogs at the screen's resolution: each lays out its design at 96 dots per inch
// scaled, and lays it out again when it moves to a screen of another resolution.
#include "ui/about/about_box.h"
#include "ui/toolkit/fonts.h"
#include "ui/help/help_window.h"
#include "ui/chooser/path_chooser.h"
#include "ui/resolution_checks.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

void ExpectClient(HWND window, int width, int height, int dpi) {
    const Scale s{dpi};
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, s(width)) << dpi;
    EXPECT_EQ(client.bottom, s(height)) << dpi;
}

// What holds at every resolution: the About box's labels are their text's width, the link
// word follows its sentence, and nothing leaves the box.
void ExpectAboutFits(TAboutBox& about, int dpi) {
    for (AboutControlId id : {IdProductName, IdCopyright, IdDonateLabel1, IdUrl}) {
        HWND label = about.Control(id);
        const auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
        const RECT place = ControlRect(about.Handle(), label);
        EXPECT_EQ(place.right - place.left, TextExtent(label, font, about.Text(id)).cx)
            << about.Text(id) << " at " << dpi;
    }
    EXPECT_GT(ControlRect(about.Handle(), about.Control(IdDonateLabel2)).left,
              ControlRect(about.Handle(), about.Control(IdDonateLabel1)).right);
    RECT client;
    GetClientRect(about.Handle(), &client);
    EXPECT_LE(ControlRect(about.Handle(), about.Control(IdUrl)).right, client.right);
}

// A move to a screen of another resolution and back: the layout there is this one scaled,
// and the layout back is this one, pixel for pixel.
template <typename Move>
void ExpectMovesScaled(HWND window, HWND fontControl, int dpi, Move move,
                       std::initializer_list<int> ownSize = {},
                       std::initializer_list<int> ownLeft = {}) {
    const std::map<int, RECT> first = ChildPlaces(window);
    const LONG font = FontHeight(fontControl);
    const int other = OtherDpi(dpi);
    move(other);
    ExpectPlacesScaled(first, dpi, ChildPlaces(window), other, ownSize, ownLeft);
    EXPECT_TRUE(ScaledFrom(font, FontHeight(fontControl), dpi, other));
    move(dpi);
    const std::map<int, RECT> back = ChildPlaces(window);
    for (const auto& [id, was] : first)
        EXPECT_TRUE(EqualRect(&was, &back.at(id))) << "control " << id << " came back";
    EXPECT_EQ(FontHeight(fontControl), font);
}

TEST(DialogResolution, TheAboutBoxLaysOutItsDesignScaled) {
    TAboutBox about;
    ASSERT_TRUE(about.Create());
    const int dpi = TestedDpi(about.Handle());
    ExpectClient(about.Handle(), 337, 240, dpi);
    ExpectAboutFits(about, dpi);
    ExpectMovesScaled(
        about.Handle(), about.Control(IdCopyright), dpi,
        [&](int moved) {
            SendDpiChange(about.Handle(), moved, 337, 240);
            ExpectClient(about.Handle(), 337, 240, moved);
            ExpectAboutFits(about, moved);
        },
        {IdProductName, IdVersion, IdCopyright, IdComments1, IdComments2, IdDonateLabel1, IdUrl},
        {IdDonateLabel2}); // the link word follows its sentence
}

TEST(DialogResolution, TheDirectoryChooserLaysOutItsDesignScaled) {
    DirectoryChooser chooser;
    ASSERT_TRUE(chooser.Create());
    const int dpi = TestedDpi(chooser.Handle());
    ExpectClient(chooser.Handle(), 424, 255, dpi);
    const LRESULT rowHeight = SendMessageA(chooser.Control(IdChooserTree), LB_GETITEMHEIGHT, 0, 0);
    ExpectMovesScaled(
        chooser.Handle(), chooser.Control(IdChooserTree), dpi,
        [&](int moved) {
            SendDpiChange(chooser.Handle(), moved, 424, 255);
            EXPECT_TRUE(ScaledFrom(static_cast<int>(rowHeight),
                                   static_cast<int>(SendMessageA(chooser.Control(IdChooserTree),
                                                                 LB_GETITEMHEIGHT, 0, 0)),
                                   dpi, moved));
        },
        {IdChooserDrives}); // a combo box: its height is its own, from its font
}

TEST(DialogResolution, TheHelpWindowLaysOutItsDesignAndItsPageScaled) {
    TForm2 help;
    ASSERT_TRUE(help.Create());
    const int dpi = TestedDpi(help.Handle());
    const int pageAtFirst = help.View().ContentHeight();
    EXPECT_GT(pageAtFirst, 0);
    RECT outer;
    GetWindowRect(help.Handle(), &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    ExpectMovesScaled(help.Handle(), GetDlgItem(help.Handle(), IdHelpClose), dpi, [&](int moved) {
        // The suggested rectangle for the help window: its outer size, scaled.
        RECT suggested = {0, 0, MulDiv(width, moved, dpi), MulDiv(height, moved, dpi)};
        SendMessageA(help.Handle(), WM_DPICHANGED, MAKEWPARAM(moved, moved),
                     reinterpret_cast<LPARAM>(&suggested));
        // The page's text is set anew in fonts of the new size.
        if (moved > dpi)
            EXPECT_GT(help.View().ContentHeight(), pageAtFirst) << moved;
        else if (moved < dpi)
            EXPECT_LT(help.View().ContentHeight(), pageAtFirst) << moved;
        else
            EXPECT_EQ(help.View().ContentHeight(), pageAtFirst) << "and came back";
    });
}

} // namespace
