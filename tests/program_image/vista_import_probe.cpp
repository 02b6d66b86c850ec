// A program that imports a function Windows XP lacks (GetTickCount64 came
// with Vista): the XP export check must refuse it. Declared here because
// the build's headers hide what XP does not have.
#include <windows.h>

extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();

int main() { return ::GetTickCount64() == 0 ? 1 : 0; }
