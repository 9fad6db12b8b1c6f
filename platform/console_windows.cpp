// Windows console: input events for the key wait, one key press at a time.

#include "platform/console.h"

#include <windows.h>

namespace {

// Shift, Ctrl, Alt and the lock keys pressed alone yield no key.
bool is_modifier_only(WORD key)
{
    switch (key) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_LWIN: case VK_RWIN:
    case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
        return true;
    default:
        return false;
    }
}

}  // namespace

// Windows keeps the standard streams on handles of their own, apart from the
// files the run opens.
bool secure_standard_streams()
{
    return true;
}

int wait_key()
{
    // The console's own input buffer, even when standard input is redirected.
    HANDLE console = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return 0;
    DWORD saved_mode;
    if (!GetConsoleMode(console, &saved_mode)) {
        CloseHandle(console);
        return 0;
    }
    // Without processed input Ctrl+C arrives as a key instead of a signal.
    SetConsoleMode(console, saved_mode & ~(ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT));

    int key = 0;
    for (;;) {
        INPUT_RECORD record;
        DWORD count = 0;
        if (!ReadConsoleInputA(console, &record, 1, &count) || count == 0) break;
        if (record.EventType != KEY_EVENT) continue;
        const KEY_EVENT_RECORD &event = record.Event.KeyEvent;
        if (!event.bKeyDown || is_modifier_only(event.wVirtualKeyCode)) continue;
        key = event.uChar.AsciiChar ? static_cast<unsigned char>(event.uChar.AsciiChar) : 0x100 + event.wVirtualKeyCode;
        break;
    }

    SetConsoleMode(console, saved_mode);
    CloseHandle(console);
    return key;
}

bool standard_error_is_terminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}
