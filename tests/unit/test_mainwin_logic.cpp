#include "doctest.h"

#include "app/AboutDialog.h"
#include "app/PanelTabs.h"
#include "app/WindowPlacement.h"
#include "framework/BitmapButton.h"

namespace {
const RECT kDesktop = {0, 0, 1024, 768};
const RECT kWindow = {300, 200, 661, 279};   // 361 x 79, where the system put it

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

TEST_CASE("a saved position counts only above -500 on both axes") {
    CHECK_FALSE(SavedPositionApplies(-1000, -1000));   // never saved
    CHECK_FALSE(SavedPositionApplies(-500, 10));
    CHECK_FALSE(SavedPositionApplies(10, -500));
    CHECK(SavedPositionApplies(-499, 10));
    CHECK(SavedPositionApplies(-499, -499));
    CHECK_FALSE(SavedPositionApplies(-32000, -32000));   // closed while minimised
}

TEST_CASE("the saved position keeps the size and stays one pixel off the left and top edges") {
    CHECK(Same(PlaceAtSavedPosition(kWindow, 100, 50, kDesktop), RECT{100, 50, 461, 129}));
    CHECK(Same(PlaceAtSavedPosition(kWindow, -499, 10, kDesktop), RECT{1, 10, 362, 89}));
    CHECK(Same(PlaceAtSavedPosition(kWindow, 0, 0, kDesktop), RECT{1, 1, 362, 80}));
    CHECK(Same(PlaceAtSavedPosition(kWindow, 1, 1, kDesktop), RECT{1, 1, 362, 80}));
}

TEST_CASE("a saved position beyond the right or bottom edge is shifted in") {
    CHECK(Same(PlaceAtSavedPosition(kWindow, 900, 10, kDesktop), RECT{663, 10, 1024, 89}));
    CHECK(Same(PlaceAtSavedPosition(kWindow, 10, 700, kDesktop), RECT{10, 689, 371, 768}));
    CHECK(Same(PlaceAtSavedPosition(kWindow, 5000, 5000, kDesktop), RECT{663, 689, 1024, 768}));
    // Ending exactly at the edge is not beyond it.
    CHECK(Same(PlaceAtSavedPosition(kWindow, 663, 689, kDesktop), RECT{663, 689, 1024, 768}));
    // A window wider than the desktop ends at the right edge; the left edge is not checked again.
    const RECT wide = {0, 0, 1100, 50};
    CHECK(Same(PlaceAtSavedPosition(wide, 10, 10, kDesktop), RECT{-76, 10, 1024, 60}));
}

TEST_CASE("a saved position on another monitor is kept on that monitor") {
    const RECT right = {1024, 0, 2048, 768};   // a second monitor right of the primary
    CHECK(Same(PlaceAtSavedPosition(kWindow, 1500, 100, right), RECT{1500, 100, 1861, 179}));
    CHECK(Same(PlaceAtSavedPosition(kWindow, 1900, 100, right), RECT{1687, 100, 2048, 179}));
    const RECT left = {-1280, -200, 0, 824};   // left of the primary, reaching higher
    CHECK(Same(PlaceAtSavedPosition(kWindow, -300, -250, left), RECT{-361, -199, 0, -120}));
    CHECK(Same(PlaceAtSavedPosition(kWindow, -100, 800, left), RECT{-361, 745, 0, 824}));
}

TEST_CASE("growing for the settings panel moves up only as far as needed") {
    CHECK(Same(WithHeight(kWindow, 355, kDesktop), RECT{300, 200, 661, 555}));
    CHECK(Same(WithHeight(RECT{300, 600, 661, 679}, 355, kDesktop), RECT{300, 413, 661, 768}));
    // Taller than the desktop: the top stays at the desktop's top.
    CHECK(Same(WithHeight(RECT{300, 600, 661, 679}, 900, kDesktop), RECT{300, 0, 661, 900}));
    // Shrinking never moves the window.
    CHECK(Same(WithHeight(RECT{300, 413, 661, 768}, 79, kDesktop), RECT{300, 413, 661, 492}));
}

TEST_CASE("tabs show the region page first, then hotkeys, video and sound") {
    CHECK(PageMemberForTab(0) == 2);
    CHECK(PageMemberForTab(1) == 1);
    CHECK(PageMemberForTab(2) == 3);
    CHECK(PageMemberForTab(3) == 4);
    CHECK(PageMemberForTab(-1) == 0);
    CHECK(PageMemberForTab(4) == 0);
    for (int tab = 0; tab < 4; ++tab) CHECK(HelpTopicForTab(tab) == 5 + tab);
}

TEST_CASE("the version label takes major, minor and release") {
    CHECK(VersionLabelText("Velmorax version %d.%d.%d", 2, 1, 5) == "Velmorax version 2.1.5");
    CHECK(VersionLabelText("v%d.%d (build %d)", 2, 1, 5) == "v2.1 (build 5)");
    CHECK(VersionLabelText("no numbers", 2, 1, 5) == "no numbers");
    // A text for other kinds of values cannot read what is not there.
    CHECK(VersionLabelText("%s %d.%d.%d.%d", 2, 1, 5) == "%s 2.1.5.%d");
    CHECK(VersionLabelText(std::string(200, 'x') + "%d", 2, 1, 5).size() == 127);
}

TEST_CASE("image buttons pick the image of their state") {
    CHECK(ImageScaleFor(96) == 1);
    CHECK(ImageScaleFor(144) == 1);   // 1.5 would blur: the images keep their pixels
    CHECK(ImageScaleFor(191) == 1);
    CHECK(ImageScaleFor(192) == 2);
    CHECK(ImageScaleFor(288) == 3);
    CHECK(ImageScaleFor(0) == 1);
    CHECK(ButtonImageIndex(0) == 0);
    CHECK(ButtonImageIndex(ODS_SELECTED) == 1);
    CHECK(ButtonImageIndex(ODS_FOCUS) == 2);
    CHECK(ButtonImageIndex(ODS_SELECTED | ODS_FOCUS) == 1);
    CHECK(ButtonImageIndex(ODS_DISABLED) == 3);
    CHECK(ButtonImageIndex(ODS_DISABLED | ODS_FOCUS | ODS_SELECTED) == 3);
}
