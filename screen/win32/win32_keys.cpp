#include "screen/win32/win32_keys.h"

#include <array>

#include "screen/backend/scan_codes.h"

namespace zopp {

std::int32_t hidUsageOfVirtualKey(WPARAM virtualKey) {
    if (virtualKey >= VK_F1 && virtualKey <= VK_F12)
        return 0x3A + static_cast<std::int32_t>(virtualKey - VK_F1);
    switch (virtualKey) {
        case VK_INSERT:
            return 0x49;
        case VK_HOME:
            return 0x4A;
        case VK_PRIOR:
            return 0x4B;
        case VK_DELETE:
            return 0x4C;
        case VK_END:
            return 0x4D;
        case VK_NEXT:
            return 0x4E;
        case VK_RIGHT:
            return 0x4F;
        case VK_LEFT:
            return 0x50;
        case VK_DOWN:
            return 0x51;
        case VK_UP:
            return 0x52;
        default:
            return 0;
    }
}

KeyNotification keyNotification(WPARAM virtualKey, LPARAM lParam) {
    KeyNotification key;
    const auto scan = static_cast<UINT>((lParam >> 16) & 0xFF);
    key.scanCode = static_cast<std::int32_t>(scan);
    const bool wasDown = (lParam & (1 << 30)) != 0, goingUp = (lParam & (1u << 31)) != 0;
    key.repeat = wasDown && !goingUp;

    std::array<BYTE, 256> state{};
    if (GetKeyboardState(state.data())) {
        std::array<wchar_t, 4> text{};
        // Flag 4 leaves the layout's dead-key state alone; a key up is asked as its press, so both
        // events of one key carry the same character.
        const int produced = ToUnicode(static_cast<UINT>(virtualKey), scan, state.data(), text.data(),
                                       static_cast<int>(text.size()), 4);
        if (produced == 1 && text[0] < 256) key.character = text[0];
    }

    KeyModifiers modifiers;
    modifiers.shift = GetKeyState(VK_SHIFT) < 0;
    modifiers.ctrl = GetKeyState(VK_CONTROL) < 0;
    modifiers.alt = (lParam & (1 << 29)) != 0;  // the context code: Alt is held
    key.alt = modifiers.alt;
    if (const std::int32_t hid = hidUsageOfVirtualKey(virtualKey); hid != 0)
        key.extendedCode = extendedKeyCode(hid, modifiers);
    return key;
}

}  // namespace zopp
