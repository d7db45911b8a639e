// A synthetic desktop for the codec benchmark: a text window scrolling
// smoothly, a second window moving across the screen, a clock in the task
// bar. Deterministic: frame n is the same on every run. 32-bit pixels
// (B, G, R, 0), rows top-down.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class DesktopScene {
public:
    DesktopScene(int width, int height) : width_(width), height_(height) {
        uint32_t seed = 12345;
        for (auto& glyph : glyphs_)
            for (auto& row : glyph) row = uint8_t(Next(seed) & Next(seed) & 0x7E);   // sparse strokes
    }

    int Width() const { return width_; }
    int Height() const { return height_; }

    void Render(int frame, std::vector<uint32_t>& pixels) const {
        pixels.assign(size_t(width_) * height_, 0x003A6EA5);   // the desktop
        FillRect(pixels, 0, height_ - 40, width_, 40, 0x00C0C0C0);   // the task bar
        DrawText(pixels, width_ - 80, height_ - 28, width_, Clock(frame), 0x00000000);

        // A picture viewer: a still photograph-like picture (gradients and grain).
        const int px = std::min(860, width_ - 1), pw = std::max(0, std::min(380, width_ - px)), ph = 300;
        if (pw > 0 && height_ > 100 + ph) {
            Window(pixels, px, 60, pw, ph + 24, 0x000A246A);
            uint32_t grain = 99;
            for (int j = 0; j < ph; ++j)
                for (int i = 0; i < pw; ++i) {
                    const uint32_t noise = Next(grain) % 12;
                    const uint32_t r = std::min<uint32_t>(255, 40 + i / 2 + noise), g = std::min<uint32_t>(255, 60 + j / 2 + noise);
                    const uint32_t b = std::min<uint32_t>(255, 120 + (i + j) / 8 + noise);
                    pixels[size_t(84 + j) * width_ + px + i] = r << 16 | g << 8 | b;
                }
        }

        // The editor: scrolls 4 pixels a frame.
        const int ex = 60, ey = 40, ew = std::min(760, width_ - 80), eh = std::min(600, height_ - 100);
        Window(pixels, ex, ey, ew, eh, 0x000A246A);
        const int top = ey + 24, bottom = ey + eh, scroll = frame * 4;
        for (int line = scroll / 16; line * 16 - scroll < bottom - top; ++line) {
            const int y = top + line * 16 - scroll;
            DrawText(pixels, ex + 4, y, ex + ew - 4, LineText(line), line % 5 == 0 ? 0x000000A0 : 0x00000000, top,
                     bottom);
        }

        // A window dragged across: 5 right, 3 down a frame, bouncing.
        const int bw = 240, bh = 160;
        const int bx = Bounce(100 + frame * 5, width_ - bw), by = Bounce(80 + frame * 3, height_ - 40 - bh);
        Window(pixels, bx, by, bw, bh, 0x00800000);
        for (int j = 0; j < bh - 24; ++j)
            for (int i = 0; i < bw; ++i)
                pixels[size_t(by + 24 + j) * width_ + bx + i] = 0x00F0F0F0 - uint32_t((i / 8 + j / 8) % 4) * 0x00101010;
        for (int line = 0; line < 7; ++line)
            DrawText(pixels, bx + 6, by + 30 + line * 16, bx + bw - 6, LineText(1000 + line), 0x00204000);
    }

private:
    static uint32_t Next(uint32_t& seed) {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    }

    static int Bounce(int position, int range) {
        if (range <= 0) return 0;
        const int period = 2 * range, p = position % period;
        return p < range ? p : period - p;
    }

    static std::vector<uint8_t> Clock(int frame) {
        const int seconds = frame / 30;
        const char text[] = {char('0' + seconds / 600 % 10), char('0' + seconds / 60 % 10), ':',
                             char('0' + seconds / 10 % 6), char('0' + seconds % 10)};
        return std::vector<uint8_t>(text, text + sizeof text);
    }

    // Words of 2 to 9 letters; every seventh line is empty.
    static std::vector<uint8_t> LineText(int line) {
        std::vector<uint8_t> text;
        if (line % 7 == 6) return text;
        uint32_t seed = uint32_t(line) * 2654435761u + 7;
        const size_t length = 30 + Next(seed) % 60;
        while (text.size() < length) {
            const int word = 2 + int(Next(seed) % 8);
            for (int i = 0; i < word; ++i) text.push_back(uint8_t('a' + Next(seed) % 26));
            text.push_back(' ');
        }
        return text;
    }

    void FillRect(std::vector<uint32_t>& pixels, int x, int y, int w, int h, uint32_t colour) const {
        for (int j = std::max(0, y); j < std::min(height_, y + h); ++j)
            std::fill(pixels.begin() + ptrdiff_t(j) * width_ + std::max(0, x),
                      pixels.begin() + ptrdiff_t(j) * width_ + std::min(width_, x + w), colour);
    }

    void Window(std::vector<uint32_t>& pixels, int x, int y, int w, int h, uint32_t title) const {
        FillRect(pixels, x - 1, y - 1, w + 2, h + 2, 0x00404040);
        FillRect(pixels, x, y, w, 24, title);
        FillRect(pixels, x, y + 24, w, h - 24, 0x00FFFFFF);
        FillRect(pixels, x + w - 20, y + 4, 16, 16, 0x00C0C0C0);
    }

    // Glyphs of 8 x 16 cells, clipped to [clipTop, clipBottom) rows and to right.
    void DrawText(std::vector<uint32_t>& pixels, int x, int y, int right, const std::vector<uint8_t>& text,
                  uint32_t colour, int clipTop = 0, int clipBottom = 1 << 30) const {
        for (size_t k = 0; k < text.size() && x + 8 <= right; ++k, x += 8) {
            if (text[k] == ' ') continue;
            const auto& glyph = glyphs_[text[k] % 96];
            for (int j = 0; j < 12; ++j) {
                const int row = y + 2 + j;
                if (row < clipTop || row >= clipBottom || row < 0 || row >= height_) continue;
                for (int i = 0; i < 8; ++i)
                    if (glyph[j] >> i & 1) pixels[size_t(row) * width_ + x + i] = colour;
            }
        }
    }

    int width_, height_;
    uint8_t glyphs_[96][12];
};
