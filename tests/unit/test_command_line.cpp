#include "doctest.h"

#include "app/CommandLine.h"

#include <climits>
#include <string>
#include <vector>

namespace {

struct Run {
    AppSettings settings;
    LaunchFlags flags;
    std::vector<int32_t> lookedUp;   // handles given to the "-hw" lookup

    explicit Run(std::vector<std::string> args) {
        ApplyCommandLine(args, settings, flags, [this](int32_t handle, ScreenRect& rect) {
            lookedUp.push_back(handle);
            if (handle != 4242) return false;
            rect = {10, 20, 650, 500};
            return true;
        });
    }
};

}  // namespace

TEST_CASE("mode words are matched exactly, only in the first argument") {
    CHECK(ModeOf({}) == StartMode::Normal);
    CHECK(ModeOf({"-install"}) == StartMode::Install);
    CHECK(ModeOf({"-uninstall"}) == StartMode::Uninstall);
    CHECK(ModeOf({"-dumpopts"}) == StartMode::DumpOptions);
    CHECK(ModeOf({"-readopts", "x"}) == StartMode::ReadOptions);
    CHECK(ModeOf({"-Install"}) == StartMode::Normal);        // case matters
    CHECK(ModeOf({"-installx"}) == StartMode::Normal);       // no prefix match
    CHECK(ModeOf({"-rec", "-readopts"}) == StartMode::Normal);
}

TEST_CASE("-recx before -rec, -hw before -h") {
    Run recx({"-recx"});
    CHECK(recx.flags.StartAfterLaunch == 1);
    CHECK(recx.flags.ExitAfterRecording == 1);

    Run rec({"-record"});   // counts as -rec
    CHECK(rec.flags.StartAfterLaunch == 1);
    CHECK(rec.flags.ExitAfterRecording == 0);

    Run hw({"-hw4242"});
    CHECK(hw.lookedUp == std::vector<int32_t>{4242});
    CHECK(hw.settings.StartX == 10);
    CHECK(hw.settings.StartY == 20);
    CHECK(hw.settings.Width == 640);
    CHECK(hw.settings.Height == 480);   // not taken as -h with "w4242"

    Run h({"-h77"});
    CHECK(h.settings.Height == 77);
    CHECK(h.lookedUp.empty());
}

TEST_CASE("-hw with 0 or a handle that is no window changes nothing") {
    Run zero({"-hw0"});
    CHECK(zero.lookedUp.empty());
    Run none({"-hw17"});
    CHECK(none.lookedUp == std::vector<int32_t>{17});
    for (const Run* run : {&zero, &none}) {
        CHECK(run->settings.StartX == 0);
        CHECK(run->settings.Width == 320);
        CHECK(run->settings.Height == 240);
    }
}

TEST_CASE("the documented example sets rectangle, file and both flags") {
    Run run({"-recx", "-x100", "-y50", "-w320", "-h240", "-a", "out.avi"});
    CHECK(run.flags.StartAfterLaunch == 1);
    CHECK(run.flags.ExitAfterRecording == 1);
    CHECK(run.settings.StartX == 100);
    CHECK(run.settings.StartY == 50);
    CHECK(run.settings.Width == 320);
    CHECK(run.settings.Height == 240);
    CHECK(run.settings.AVIFileName == "out.avi");
}

TEST_CASE("-a takes the next argument, which is then looked at as an option too") {
    Run file({"-a", "-x5"});
    CHECK(file.settings.AVIFileName == "-x5");
    CHECK(file.settings.StartX == 5);

    Run chain({"-a", "-a", "last.avi"});
    CHECK(chain.settings.AVIFileName == "last.avi");

    Run trailing({"-a"});   // nothing follows: nothing changes
    CHECK(trailing.settings.AVIFileName == "clip.avi");

    Run glued({"-abc.avi"});   // text after -a is not the name
    CHECK(glued.settings.AVIFileName == "clip.avi");
}

TEST_CASE("numbers: blanks, sign, trailing text, no digits, clamping") {
    CHECK(ReadOptionNumber("  -12") == -12);
    CHECK(ReadOptionNumber("+7px") == 7);
    CHECK(ReadOptionNumber("") == 0);
    CHECK(ReadOptionNumber("abc") == 0);
    CHECK(ReadOptionNumber("2147483647") == INT32_MAX);
    CHECK(ReadOptionNumber("2147483648") == INT32_MAX);
    CHECK(ReadOptionNumber("-2147483648") == INT32_MIN);
    CHECK(ReadOptionNumber("-99999999999999999999999999") == INT32_MIN);
    CHECK(ReadOptionNumber(std::string(5000, '9').c_str()) == INT32_MAX);

    Run x({"-x"});
    CHECK(x.settings.StartX == 0);

    // A monitor left of or above the primary one lies at negative coordinates.
    Run left({"-x-1000", "-y-20"});
    CHECK(left.settings.StartX == -1000);
    CHECK(left.settings.StartY == -20);
}

TEST_CASE("fractions for -f set both rates and are always finite") {
    Run f({"-f7.5"});
    CHECK(f.settings.FPS == 7.5);
    CHECK(f.settings.FPSPlay == 7.5);
    CHECK(ReadOptionFraction(" 29.97fps") == doctest::Approx(29.97));
    CHECK(ReadOptionFraction("-3") == -3.0);
    CHECK(ReadOptionFraction("inf") == 0.0);
    CHECK(ReadOptionFraction("nan") == 0.0);
    CHECK(ReadOptionFraction("0x10") == 0.0);
    CHECK(ReadOptionFraction(".") == 0.0);
    CHECK(ReadOptionFraction(std::string(1000, '9').c_str()) == 0.0);   // beyond a double
}

TEST_CASE("switches and key frames; unknown arguments are ignored") {
    Run on({"-i-", "-s+", "-k5", "-q", "readme", "-readopts"});
    CHECK(on.settings.IncFilename == 0);
    CHECK(on.settings.RecSound == 1);
    CHECK(on.settings.KeyFrames == 5);
    Run off({"-s+", "-s-", "-i+"});
    CHECK(off.settings.RecSound == 0);
    CHECK(off.settings.IncFilename == 1);
    CHECK(off.flags.StartAfterLaunch == 0);
}

TEST_CASE("arguments of any length are safe") {
    Run huge({std::string(100000, 'x'), "-a", std::string(70000, 'n'), "-f" + std::string(100000, '1')});
    CHECK(huge.settings.AVIFileName.size() == 70000);
    CHECK(huge.settings.FPS == 0.0);
}
