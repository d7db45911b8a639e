#include "CursorScheme.h"

namespace {

CursorShape theShapes[kCursorShapeCount] = {
    {0x7F00, "Arrow"},    {0x7F01, "IBeam"},    {0x7F02, "Wait"},        {0x7F03, "Crosshair"},
    {0x7F04, "UpArrow"},  {0x7F82, "SizeNWSE"}, {0x7F83, "SizeNESW"},    {0x7F84, "SizeWE"},
    {0x7F85, "SizeNS"},   {0x7F86, "SizeAll"},  {0x7F88, "No"},          {0x7F8A, "AppStarting"},
    {0x7F8B, "Help"},
};

void Clear(CursorShape& shape) {
    shape.replacement.Reset();
    shape.standard = nullptr;
}

}  // namespace

CursorShape* CursorShapes() { return theShapes; }

void LoadCursorScheme() {
    const RegistryKey key = OpenRegistryKey(HKEY_CURRENT_USER, "Control Panel\\Cursors", KEY_READ);
    if (!key) return;
    for (CursorShape& shape : theShapes) {
        Clear(shape);
        char path[257] = {};
        DWORD size = 256;
        DWORD type = 0;
        if (::RegQueryValueExA(key.get(), shape.name, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS)
            continue;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        path[size < 256 ? size : 256] = '\0';
        shape.replacement.Reset(::LoadCursorFromFileA(path));
        if (shape.replacement)
            shape.standard = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(static_cast<ULONG_PTR>(shape.cursorId)));
    }
}

void FreeCursorScheme() {
    for (CursorShape& shape : theShapes) Clear(shape);
}

HCURSOR SchemeCursorFor(HCURSOR reported) {
    HCURSOR drawn = reported;
    for (const CursorShape& shape : theShapes) {
        if (shape.standard && shape.standard == drawn && shape.replacement) drawn = shape.replacement.get();
    }
    return drawn;
}
