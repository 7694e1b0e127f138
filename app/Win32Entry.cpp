// The program's entry point on Windows: the native window system, then the
// start-up shared by every platform.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#undef CreateWindow  // a method of the window system, not the Win32 macro

#include <exception>
#include <string>

#include "app/Main.h"
#include "platform/win32/Win32WindowSystem.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    try {
        ponderix::platform::win32::Win32WindowSystem system;
        return ponderix::app::Run(system);
    } catch (const std::exception& error) {
        // Only the window system itself can fail here; Run reports the rest.
        const std::string text = std::string("Ponderix could not start: ") + error.what();
        MessageBoxA(nullptr, text.c_str(), "Ponderix", MB_OK | MB_ICONERROR);
        return 1;
    }
}
