#include "CursorScheme.h"

namespace {

CursorShape theShapes[kCursorShapeCount] = {
    {0x7F00, "Arrow"},    {0x7F01, "IBeam"},    {0x7F02, "Wait"},        {0x7F03, "Crosshair"},
    {0x7F04, "UpArrow"},  {0x7F82, "SizeNWSE"}, {0x7F83, "SizeNESW"},    {0x7F84, "SizeWE"},
    {0x7F85, "SizeNS"},   {0x7F86, "SizeAll"},  {0x7F88, "No"},          {0x7F8A, "AppStarting"},
    {0x7F8B, "Help"},
};

void Clear(CursorShape& shape) {
    if (shape.replacement) ::DestroyCursor(shape.replacement);
    shape.replacement = nullptr;
    shape.standard = nullptr;
}

}  // namespace

CursorShape* CursorShapes() { return theShapes; }

void LoadCursorScheme() {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Cursors", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (CursorShape& shape : theShapes) {
        Clear(shape);
        char path[257] = {};
        DWORD size = 256;
        DWORD type = 0;
        if (::RegQueryValueExA(key, shape.name, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS)
            continue;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        path[size < 256 ? size : 256] = '\0';
        shape.replacement = ::LoadCursorFromFileA(path);
        if (shape.replacement)
            shape.standard = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(static_cast<ULONG_PTR>(shape.cursorId)));
    }
    ::RegCloseKey(key);
}

void FreeCursorScheme() {
    for (CursorShape& shape : theShapes) Clear(shape);
}

HCURSOR SchemeCursorFor(HCURSOR reported) {
    HCURSOR drawn = reported;
    for (const CursorShape& shape : theShapes) {
        if (shape.standard && shape.standard == drawn && shape.replacement) drawn = shape.replacement;
    }
    return drawn;
}
