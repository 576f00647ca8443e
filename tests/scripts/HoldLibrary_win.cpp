// Keeps a DLL loaded, as a running player keeps its plug-ins, for the installer
// test:  HoldLibrary.exe DLL LOADED-MARK STOP-FILE
// Writes LOADED-MARK once the DLL is loaded and frees it when STOP-FILE appears.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    HMODULE dll = LoadLibraryExA(argv[1], nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!dll) return 1;
    HANDLE mark = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    // Bounded, so a test that fails before it says stop leaves no process behind.
    for (int i = 0; i < 1200 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    FreeLibrary(dll);
    return 0;
}
