#include "doctest.h"

#include "hotkeys/HotkeyAction.h"

#include <set>
#include <string>
#include <vector>

namespace {

// Follows the registration calls; refuses the ids in `refused`.
struct Recorder {
    std::set<int> refused;
    std::vector<std::string> calls;
    std::set<int> held;

    RegisterHotkeyCall Register() {
        return [this](int id, unsigned mod, unsigned key) {
            calls.push_back("reg " + std::to_string(id) + " " + std::to_string(mod) + " " + std::to_string(key));
            if (refused.count(id)) return false;
            held.insert(id);
            return true;
        };
    }
    UnregisterHotkeyCall Unregister() {
        return [this](int id) {
            calls.push_back("unreg " + std::to_string(id));
            held.erase(id);
        };
    }
};

AppSettings Defaults() {
    AppSettings s;
    ResetSettings(s, "Shift+");
    return s;
}

}  // namespace

TEST_CASE("the hotkey table: identifiers 1, 3, 5, 6 and their settings") {
    const AppSettings s = Defaults();
    REQUIRE(HotkeyId(kHotkeyTable[0].action) == 1);
    REQUIRE(HotkeyId(kHotkeyTable[1].action) == 3);
    REQUIRE(HotkeyId(kHotkeyTable[2].action) == 5);
    REQUIRE(HotkeyId(kHotkeyTable[3].action) == 6);
    CHECK(s.*BindingOf(HotkeyAction::Start).key == 113);
    CHECK(s.*BindingOf(HotkeyAction::Pause).key == 114);
    CHECK(s.*BindingOf(HotkeyAction::SingleShot).key == 115);
    CHECK(s.*BindingOf(HotkeyAction::LockPan).key == 114);
    CHECK(s.*BindingOf(HotkeyAction::LockPan).modifiers == 4);
    CHECK(s.*BindingOf(HotkeyAction::LockPan).description == "Shift+F3");
    CHECK(s.*BindingOf(HotkeyAction::SingleShot).description == "F4");
}

TEST_CASE("all hotkeys free: 1, 3, 5 tried and released, 6; single shot is not held") {
    Recorder r;
    const AppSettings s = Defaults();
    CHECK(RegisterHotkeySequence(s, r.Register(), r.Unregister()) == nullptr);
    CHECK(r.calls == std::vector<std::string>{"reg 1 0 113", "reg 3 0 114", "reg 5 0 115", "unreg 5", "reg 6 4 114"});
    CHECK(r.held == std::set<int>{1, 3, 6});
}

TEST_CASE("registration stops at the first refusal") {
    const AppSettings s = Defaults();
    SUBCASE("start taken: nothing else is tried") {
        Recorder r;
        r.refused = {1};
        const HotkeyBinding* failed = RegisterHotkeySequence(s, r.Register(), r.Unregister());
        REQUIRE(failed != nullptr);
        CHECK(failed->action == HotkeyAction::Start);
        CHECK(r.calls.size() == 1);
        CHECK(r.held.empty());
    }
    SUBCASE("single shot taken: start and pause stay, pan lock is not tried") {
        Recorder r;
        r.refused = {5};
        const HotkeyBinding* failed = RegisterHotkeySequence(s, r.Register(), r.Unregister());
        REQUIRE(failed != nullptr);
        CHECK(failed->action == HotkeyAction::SingleShot);
        CHECK(r.held == std::set<int>{1, 3});
        CHECK(r.calls.back() == "reg 5 0 115");
    }
    SUBCASE("pan lock taken: the first three went through") {
        Recorder r;
        r.refused = {6};
        const HotkeyBinding* failed = RegisterHotkeySequence(s, r.Register(), r.Unregister());
        REQUIRE(failed != nullptr);
        CHECK(failed->action == HotkeyAction::LockPan);
        CHECK(r.held == std::set<int>{1, 3});
    }
}

TEST_CASE("the failure message names the combination on its first line") {
    const AppSettings s = Defaults();
    CHECK(HotkeyFailureText(s.StartDesc, "is taken.") == "F2\nis taken.");
    CHECK(HotkeyFailureText(s.LockPanDesc, "") == "Shift+F3\n");
}
