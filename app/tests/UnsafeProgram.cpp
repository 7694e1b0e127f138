// What the Windows program must never be, for the test of the check that
// says so (cmake/CheckWindowsProgram.cmake): it imports Active Accessibility's
// DLL, which Windows looks for in the program's folder first, and it is
// linked without address space layout randomisation and without data
// execution prevention. It is read, never run.
#include <windows.h>

#include <oleacc.h>

int main() {
    return static_cast<int>(GetRoleTextW(0, nullptr, 0));
}
