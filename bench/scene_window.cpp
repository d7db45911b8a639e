// scene_window: the synthetic desktop of DesktopScene.h on the screen,
// moving in real time (30 pictures a second), for the recording benchmark
// (bench/record_bench.py): a screen that changes as a desktop in use does.
//
//   scene_window WIDTH HEIGHT   a window of that size at (0, 0), above the
//                               others; prints "shown" once the first picture
//                               is on the screen and runs until it is ended
#include "DesktopScene.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Scene {
    DesktopScene desktop;
    std::vector<uint32_t> pixels;
    BITMAPINFO format{};
    DWORD start = GetTickCount();
    int shown = -1;   // the picture on the screen

    Scene(int width, int height) : desktop(width, height) {
        format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height;   // rows top-down, as the scene renders them
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
    }

    // The picture of this moment, drawn when it is not on the screen yet.
    void Show(HWND window) {
        const int picture = int((GetTickCount() - start) * 30ull / 1000);
        if (picture == shown) return;
        desktop.Render(picture, pixels);
        HDC dc = GetDC(window);
        SetDIBitsToDevice(dc, 0, 0, desktop.Width(), desktop.Height(), 0, 0, 0, desktop.Height(), pixels.data(),
                          &format, DIB_RGB_COLORS);
        GdiFlush();
        ReleaseDC(window, dc);
        if (shown < 0) {
            std::printf("shown\n");
            std::fflush(stdout);
        }
        shown = picture;
    }
};

Scene* theScene = nullptr;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        theScene->Show(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        theScene->shown = theScene->shown < 0 ? -1 : -2;   // drawn again at the next tick
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
    if (width < 400 || height < 300) return 2;
    Scene scene(width, height);
    theScene = &scene;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelmoraxBenchScene";
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, "scene",
                                  WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (!window) return 1;
    SetTimer(window, 1, 10, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
