// Keeps the desktop of a test slot in use for the whole run (scripts/wine-env.sh starts one in
// every slot). Wine closes a desktop a second after the last program on it ends, and with it the
// desktop's own process (explorer) and its connection to the X server, which then starts over;
// the next test's first window waits for all of it to start again. With this program on the
// desktop that happens once per slot, as on a machine that stays up between the programs it runs.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A thread becomes a user of its desktop when it first asks for it.
    if (GetDesktopWindow() == nullptr) return 1;
    Sleep(INFINITE);
    return 0;
}
