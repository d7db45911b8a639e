#include "doctest.h"

#include "region/RegionButtons.h"
#include "region/RegionLogic.h"
#include "settings/AppSettings.h"

#include <string>

namespace {
bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
bool Same(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
const RECT kPrimary = {0, 0, 1024, 768};
}  // namespace

TEST_CASE("region: a drag in either direction gives the same rectangle, right and bottom exclusive") {
    const RECT down = ExclusiveCorners({10, 20}, {329, 259});
    CHECK(Same(down, RECT{10, 20, 330, 260}));
    CHECK(Same(ExclusiveCorners({329, 259}, {10, 20}), down));
    CHECK(Same(ExclusiveCorners({329, 20}, {10, 259}), down));
    const ScreenRect region = RegionOf(down);
    CHECK(region.x == 10);
    CHECK(region.y == 20);
    CHECK(region.width == 320);
    CHECK(region.height == 240);
    CHECK(SizeLabelText(OrderedCorners({329, 259}, {10, 20})) == "320x240");
    // Two clicks at one point: one pixel.
    CHECK(SizeLabelText(OrderedCorners({5, 7}, {5, 7})) == "1x1");
    CHECK(RegionOf(ExclusiveCorners({5, 7}, {5, 7})).width == 1);
}

TEST_CASE("region: the size label is centred when it fits, else outside the top-left corner") {
    // 320x240: centred, halves truncated.
    CHECK(Same(PlaceSizeLabel({100, 100, 419, 339}, 56, 16, kPrimary), POINT{231, 211}));
    // 30x20: outside the upper-left corner.
    CHECK(Same(PlaceSizeLabel({200, 200, 229, 219}, 40, 16, kPrimary), POINT{160, 184}));
    // Wide enough alone is enough.
    CHECK(Same(PlaceSizeLabel({100, 100, 419, 109}, 56, 16, kPrimary), POINT{231, 96}));
    // The margin is strict: a label exactly 24 pixels short of right - left goes outside.
    CHECK(Same(PlaceSizeLabel({100, 100, 180, 110}, 56, 16, kPrimary), POINT{44, 84}));
    CHECK(Same(PlaceSizeLabel({100, 100, 180, 110}, 55, 16, kPrimary), POINT{112, 97}));
    // At the screen's top-left corner: beside the right and bottom edges.
    CHECK(Same(PlaceSizeLabel({0, 0, 29, 19}, 40, 16, kPrimary), POINT{29, 19}));
    // Never off the screen.
    CHECK(Same(PlaceSizeLabel({5, 5, 40, 30}, 50, 16, RECT{0, 0, 60, 40}), POINT{10, 24}));
}

TEST_CASE("region: the label stays on the pointer's monitor, left of or beside the primary") {
    const RECT left = {-1280, -256, 0, 768};   // a monitor left of the primary, reaching higher
    // Centred on the left monitor, halves rounded down there too: (-1000 - 681 - 56) / 2 = -868.5.
    CHECK(Same(PlaceSizeLabel({-1000, -200, -681, 39}, 56, 16, left), POINT{-869, -89}));
    // Small, at that monitor's top-left corner: beside its right and bottom edges.
    CHECK(Same(PlaceSizeLabel({-1280, -256, -1251, -237}, 40, 16, left), POINT{-1251, -237}));
    // A band across both monitors, its centre on their border: the label keeps to the pointer's.
    CHECK(Same(PlaceSizeLabel({-200, 100, 200, 400}, 56, 16, left), POINT{-56, 242}));
    CHECK(Same(PlaceSizeLabel({-200, 100, 200, 400}, 56, 16, kPrimary), POINT{0, 242}));
    // A second monitor right of the primary that starts lower: its own top edge counts.
    const RECT right = {1024, 300, 2048, 1068};
    CHECK(Same(PlaceSizeLabel({1030, 305, 1059, 324}, 40, 16, right), POINT{1059, 324}));
    CHECK(Same(PlaceSizeLabel({1500, 1050, 1600, 1067}, 56, 30, right), POINT{1522, 1038}));
}

TEST_CASE("region: the arrow keys move the corner across monitors and stop at the virtual screen's edges") {
    const RECT screen = {-1024, 0, 1024, 768};
    CHECK(Same(NudgeCorner({0, 10}, -1, 0, screen), POINT{-1, 10}));   // onto the left monitor
    CHECK(Same(NudgeCorner({-1024, 0}, -1, 0, screen), POINT{-1024, 0}));
    CHECK(Same(NudgeCorner({-1024, 0}, 0, -1, screen), POINT{-1024, 0}));
    CHECK(Same(NudgeCorner({1023, 767}, 1, 0, screen), POINT{1023, 767}));
    CHECK(Same(NudgeCorner({1023, 767}, 0, 1, screen), POINT{1023, 767}));
    CHECK(Same(NudgeCorner({1022, 766}, 1, 0, screen), POINT{1023, 766}));
    // A drag from the left monitor to the primary: the region starts at a negative x.
    const ScreenRect region = RegionOf(ExclusiveCorners({100, 339}, {-220, 100}));
    CHECK(region.x == -220);
    CHECK(region.width == 321);
    CHECK(SizeLabelText(OrderedCorners({100, 339}, {-220, 100})) == "321x240");
}

TEST_CASE("region: acceptance and what a window pick yields") {
    CHECK(ResultAccepts(1));    // Enter, or the left button
    CHECK(ResultAccepts(5));    // left button with Shift
    CHECK_FALSE(ResultAccepts(0));   // a quit message
    CHECK_FALSE(ResultAccepts(2));   // Escape, or the right button
    CHECK_FALSE(ResultAccepts(6));
    CHECK_FALSE(ResultAccepts(16));  // middle button

    const RECT window = {90, 80, 410, 330};
    const RECT client = {94, 103, 406, 326};
    CHECK(Same(PickCandidate(true, HTCLIENT, client, window), client));
    CHECK(Same(PickCandidate(true, HTCAPTION, client, window), window));
    CHECK(Same(PickCandidate(true, HTLEFT, client, window), window));
    // A window that did not answer in time counts as a whole.
    CHECK(Same(PickCandidate(false, HTCLIENT, client, window), window));

    CHECK(PickAccepted(1, true, client));
    CHECK(PickAccepted(1, true, RECT{-20, -30, 1, 1}));   // partly off the screen
    CHECK_FALSE(PickAccepted(1, false, RECT{-1, -1, -1, -1}));   // Enter before any window
    CHECK_FALSE(PickAccepted(1, true, RECT{94, 103, 94, 326}));   // no width
    CHECK_FALSE(PickAccepted(1, true, RECT{94, 103, 406, 103}));  // no height
    CHECK_FALSE(PickAccepted(2, true, client));
}

TEST_CASE("region: the pick's highlight blinks, follows the pointer and ignores late ticks") {
    Highlight h;
    // A tick before any window was highlighted draws nothing.
    HighlightChange c = UpdateHighlight(h, nullptr);
    CHECK_FALSE(c.toggle);
    CHECK_FALSE(c.restartTimer);
    CHECK_FALSE(h.visible);

    const RECT first = {10, 10, 100, 100};
    c = UpdateHighlight(h, &first);
    CHECK(c.toggle);
    CHECK(c.restartTimer);
    CHECK_FALSE(c.eraseOld);
    CHECK(h.visible);
    CHECK(h.set);
    CHECK(Same(h.rect, first));

    // The same window again: the blinking goes on undisturbed.
    c = UpdateHighlight(h, &first);
    CHECK_FALSE(c.toggle);
    CHECK_FALSE(c.restartTimer);
    CHECK(h.visible);

    // Ticks toggle, again and again.
    for (int tick = 0; tick < 4; ++tick) {
        const bool wasVisible = h.visible;
        c = UpdateHighlight(h, nullptr);
        CHECK(c.toggle);
        CHECK(c.restartTimer);
        CHECK(h.visible != wasVisible);
    }
    CHECK(h.visible);

    // Another window while shown: the old outline goes, the new one shows at once.
    const RECT second = {200, 50, 300, 150};
    c = UpdateHighlight(h, &second);
    CHECK(c.eraseOld);
    CHECK(Same(c.oldRect, first));
    CHECK(c.toggle);
    CHECK(h.visible);
    CHECK(Same(h.rect, second));

    // Another window while hidden: nothing to erase, shown at once.
    UpdateHighlight(h, nullptr);
    CHECK_FALSE(h.visible);
    c = UpdateHighlight(h, &first);
    CHECK_FALSE(c.eraseOld);
    CHECK(c.toggle);
    CHECK(h.visible);
}

namespace {
// Records the order of the steps; the overlay answers as told.
struct FakeSteps : RegionChoiceSteps {
    std::string log;
    bool visible = true;
    bool accept = false;
    ScreenRect answer;
    void ReleaseHotkeys() override { log += "release "; }
    void RegisterHotkeys() override { log += "register "; }
    bool MainWindowVisible() override { return visible; }
    void MinimiseMainWindow() override { log += "minimise "; }
    void RestoreMainWindow() override { log += "restore "; }
    AppSettings* nested = nullptr;   // pressed again while choosing
    bool ChooseOnScreen(bool pick, ScreenRect& chosen) override {
        log += pick ? "pick " : "drag ";
        if (nested && ChooseRegionWithSteps(*this, pick, *nested)) log += "nested ";
        if (accept) chosen = answer;
        return accept;
    }
};
}  // namespace

TEST_CASE("region: the buttons release the hotkeys and restore the main window on every path") {
    AppSettings s;
    s.StartX = 1;
    s.StartY = 2;
    s.Width = 3;
    s.Height = 4;
    FakeSteps cancelled;
    cancelled.nested = &s;
    CHECK_FALSE(ChooseRegionWithSteps(cancelled, false, s));
    CHECK(cancelled.log == "release minimise drag restore register ");
    CHECK((s.StartX == 1 && s.StartY == 2 && s.Width == 3 && s.Height == 4));

    // A main window already out of sight is not minimised, but restored all the same.
    FakeSteps picked;
    picked.visible = false;
    picked.accept = true;
    picked.answer = {-20, -30, 320, 240};
    CHECK(ChooseRegionWithSteps(picked, true, s));
    CHECK(picked.log == "release pick restore register ");
    CHECK((s.StartX == -20 && s.StartY == -30 && s.Width == 320 && s.Height == 240));
}
