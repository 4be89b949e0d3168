// The demo game as the medium carries it. It plays nothing yet: it opens its window over a small
// animated scene and tells the player whether the installation in its working directory is
// whole, counting the files the setup copies and the sounds its conversion makes.
//
// The summary also sits in the static control kSummaryId ("139/139 files, 83/83 sounds") and
// the verdict in kVerdictId, where tools and tests read them as any window text.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "manifest.h"

namespace {

constexpr char kWindowClass[] = "QuorvaneGame";
constexpr char kWindowTitle[] = "Quorvane";
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr int kSceneHeight = 250;  // the animated part; the report panel lies below it

constexpr int kSummaryId = 100;
constexpr int kVerdictId = 101;

constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT kFrameMs = 50;
constexpr int kMissingNamesShown = 3;

constexpr COLORREF kPanelColor = RGB(16, 20, 36);
constexpr COLORREF kTextColor = RGB(220, 224, 235);
constexpr COLORREF kGoodColor = RGB(120, 220, 130);
constexpr COLORREF kBadColor = RGB(250, 180, 80);
constexpr COLORREF kDimColor = RGB(130, 136, 160);

// What the game found in its working directory.
struct InstallReport {
    int filesFound;
    int filesExpected;
    int soundsFound;
    int soundsExpected;
    int missingCount;
    char missing[kMissingNamesShown][MAX_PATH];
};

InstallReport Report;
char SummaryText[64];
char VerdictText[4 * MAX_PATH];
HFONT TitleFont;
HFONT LineFont;
HBRUSH PanelBrush;
unsigned Frame;  // animation frames since the start

// ---------------------------------------------------------------------------------------------
// The installation check

bool FileIsPresent(const char* directory, const char* entry) {
    // The read-me's entry begins with a separator; one separator between the two is enough.
    while (*entry == '\\') ++entry;
    char path[2 * MAX_PATH];
    std::snprintf(path, sizeof(path), "%s\\%s", directory, entry);
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void NoteMissing(const char* entry) {
    while (*entry == '\\') ++entry;
    if (Report.missingCount < kMissingNamesShown) {
        std::snprintf(Report.missing[Report.missingCount], MAX_PATH, "%s", entry);
    }
    ++Report.missingCount;
}

void CheckCopiedFiles(const char* directory) {
    for (const FileGroup& group : kCopyGroups) {
        for (int i = 0; i < group.count; ++i) {
            ++Report.filesExpected;
            if (FileIsPresent(directory, group[i])) {
                ++Report.filesFound;
            } else {
                NoteMissing(group[i]);
            }
        }
    }
}

void CheckConvertedSounds(const char* directory) {
    for (const FileGroup& group : kConvertedGroups) {
        for (int i = 0; i < group.count; ++i) {
            char converted[MAX_PATH];
            ++Report.soundsExpected;
            if (!MakeConvertedName(converted, sizeof(converted), group[i])) continue;
            if (FileIsPresent(directory, converted)) {
                ++Report.soundsFound;
            } else {
                NoteMissing(converted);
            }
        }
    }
}

// "Missing: a, b, c and 5 more." or, for up to three names, "Missing: a, b."
void ComposeVerdict() {
    if (Report.missingCount == 0) {
        std::snprintf(VerdictText, sizeof(VerdictText), "The installation is complete.");
        return;
    }
    const int shown = Report.missingCount < kMissingNamesShown ? Report.missingCount : kMissingNamesShown;
    int length = std::snprintf(VerdictText, sizeof(VerdictText), "Missing: %s", Report.missing[0]);
    for (int i = 1; i < shown && length < static_cast<int>(sizeof(VerdictText)); ++i) {
        length += std::snprintf(VerdictText + length, sizeof(VerdictText) - length, ", %s", Report.missing[i]);
    }
    if (length < static_cast<int>(sizeof(VerdictText)) && Report.missingCount > shown) {
        length += std::snprintf(VerdictText + length, sizeof(VerdictText) - length, " and %d more",
                                Report.missingCount - shown);
    }
    if (length < static_cast<int>(sizeof(VerdictText))) {
        std::snprintf(VerdictText + length, sizeof(VerdictText) - length, ".");
    }
}

void CheckInstallation() {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(directory), directory);
    const size_t length = std::strlen(directory);
    if (length > 0 && directory[length - 1] == '\\') directory[length - 1] = '\0';
    CheckCopiedFiles(directory);
    CheckConvertedSounds(directory);
    std::snprintf(SummaryText, sizeof(SummaryText), "%d/%d files, %d/%d sounds", Report.filesFound,
                  Report.filesExpected, Report.soundsFound, Report.soundsExpected);
    ComposeVerdict();
}

// ---------------------------------------------------------------------------------------------
// Drawing

void FillColor(HDC dc, const RECT& area, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

// The night sky fades from black at the top to violet at the horizon.
void DrawSky(HDC dc) {
    constexpr int kBands = 25;
    for (int band = 0; band < kBands; ++band) {
        const RECT strip{0, band * kSceneHeight / kBands, kClientWidth, (band + 1) * kSceneHeight / kBands};
        FillColor(dc, strip, RGB(4 + band * 2, 4 + band, 20 + band * 3));
    }
}

// Fixed stars that twinkle each at its own pace.
void DrawStars(HDC dc) {
    constexpr int kStars = 60;
    for (int star = 0; star < kStars; ++star) {
        const unsigned seed = star * 2654435761u;
        const int x = static_cast<int>(seed % kClientWidth);
        const int y = static_cast<int>((seed >> 12) % (kSceneHeight - 80));
        const int glow = 120 + static_cast<int>(100 * std::sin((Frame + star * 7) * (0.05 + star % 5 * 0.03)));
        const int level = glow < 40 ? 40 : glow > 255 ? 255 : glow;
        SetPixel(dc, x, y, RGB(level, level, level));
        if (star % 9 == 0) {
            SetPixel(dc, x + 1, y, RGB(level / 2, level / 2, level / 2));
            SetPixel(dc, x, y + 1, RGB(level / 2, level / 2, level / 2));
        }
    }
}

// Low hills along the horizon, the ground the vane stands on.
void DrawHills(HDC dc) {
    HBRUSH hillBrush = CreateSolidBrush(RGB(14, 30, 22));
    HGDIOBJ oldBrush = SelectObject(dc, hillBrush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const POINT hills[] = {{0, 215}, {120, 190}, {260, 205}, {400, 185}, {540, 200},
                           {640, 188}, {640, kSceneHeight}, {0, kSceneHeight}};
    Polygon(dc, hills, sizeof(hills) / sizeof(hills[0]));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(hillBrush);
}

// The vane: four blades turning on a tower, a quarter turn every two seconds or so.
void DrawVane(HDC dc) {
    constexpr int kHubX = 470;
    constexpr int kHubY = 120;
    constexpr int kBladeLength = 80;
    constexpr double kPi = 3.14159265358979323846;

    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HBRUSH towerBrush = CreateSolidBrush(RGB(70, 64, 90));
    HGDIOBJ oldBrush = SelectObject(dc, towerBrush);
    const POINT tower[] = {{kHubX - 6, kHubY}, {kHubX + 6, kHubY}, {kHubX + 16, 200}, {kHubX - 16, 200}};
    Polygon(dc, tower, 4);

    HBRUSH bladeBrush = CreateSolidBrush(RGB(200, 190, 150));
    SelectObject(dc, bladeBrush);
    const double turn = Frame * 0.04;
    for (int blade = 0; blade < 4; ++blade) {
        const double angle = turn + blade * kPi / 2;
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        const POINT shape[] = {
            {kHubX + static_cast<int>(-4 * s), kHubY + static_cast<int>(4 * c)},
            {kHubX + static_cast<int>(kBladeLength * c - 12 * s), kHubY + static_cast<int>(kBladeLength * s + 12 * c)},
            {kHubX + static_cast<int>(kBladeLength * c), kHubY + static_cast<int>(kBladeLength * s)},
            {kHubX + static_cast<int>(4 * s), kHubY + static_cast<int>(-4 * c)}};
        Polygon(dc, shape, 4);
    }
    HBRUSH hubBrush = CreateSolidBrush(RGB(240, 200, 90));
    SelectObject(dc, hubBrush);
    Ellipse(dc, kHubX - 7, kHubY - 7, kHubX + 8, kHubY + 8);

    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(towerBrush);
    DeleteObject(bladeBrush);
    DeleteObject(hubBrush);
}

void DrawTextAt(HDC dc, HFONT font, COLORREF color, int x, int y, const char* text) {
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, color);
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
    SelectObject(dc, old);
}

void DrawTitle(HDC dc) {
    DrawTextAt(dc, TitleFont, RGB(240, 200, 90), 40, 40, "QUORVANE");
    DrawTextAt(dc, LineFont, kDimColor, 44, 100, "July 4th Demo");
}

void DrawReport(HDC dc) {
    const RECT panel{0, kSceneHeight, kClientWidth, kClientHeight};
    FillColor(dc, panel, kPanelColor);
    char line[96];
    std::snprintf(line, sizeof(line), "Game files: %d of %d found", Report.filesFound, Report.filesExpected);
    DrawTextAt(dc, LineFont, Report.filesFound == Report.filesExpected ? kGoodColor : kBadColor, 40,
               kSceneHeight + 24, line);
    std::snprintf(line, sizeof(line), "Sounds: %d of %d converted", Report.soundsFound, Report.soundsExpected);
    DrawTextAt(dc, LineFont, Report.soundsFound == Report.soundsExpected ? kGoodColor : kBadColor, 40,
               kSceneHeight + 54, line);
    DrawTextAt(dc, LineFont, kDimColor, 520, kClientHeight - 30, "Esc quits");
}

// The whole client area is drawn into a memory bitmap first, so the turning vane does not
// flicker.
void PaintWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP canvas = CreateCompatibleBitmap(dc, kClientWidth, kClientHeight);
    HGDIOBJ oldCanvas = SelectObject(memory, canvas);
    SetBkMode(memory, TRANSPARENT);
    DrawSky(memory);
    DrawStars(memory);
    DrawHills(memory);
    DrawVane(memory);
    DrawTitle(memory);
    DrawReport(memory);
    const RECT& area = paint.rcPaint;
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, area.left,
           area.top, SRCCOPY);
    SelectObject(memory, oldCanvas);
    DeleteObject(canvas);
    DeleteDC(memory);
    EndPaint(window, &paint);
}

// ---------------------------------------------------------------------------------------------
// The window

HWND AddStatic(HWND parent, int id, const char* text, int x, int y, int width, int height) {
    HWND control = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, x, y,
                                   width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(LineFont), FALSE);
    return control;
}

LRESULT OnCreate(HWND window) {
    TitleFont = CreateFontA(56, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    LineFont = CreateFontA(20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    PanelBrush = CreateSolidBrush(kPanelColor);
    AddStatic(window, kVerdictId, VerdictText, 40, kSceneHeight + 94, kClientWidth - 80, 80);
    AddStatic(window, kSummaryId, SummaryText, 40, kClientHeight - 30, 400, 22);
    SetTimer(window, kAnimationTimer, kFrameMs, nullptr);
    return 0;
}

// The statics sit on the report panel: its colour behind them, their own colour for the text.
LRESULT OnColorStatic(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    COLORREF color = kDimColor;
    if (id == kVerdictId) color = Report.missingCount == 0 ? kGoodColor : kBadColor;
    SetTextColor(dc, color);
    SetBkColor(dc, kPanelColor);
    return reinterpret_cast<LRESULT>(PanelBrush);
}

void OnTimer(HWND window) {
    ++Frame;
    const RECT scene{0, 0, kClientWidth, kSceneHeight};
    InvalidateRect(window, &scene, FALSE);
}

void OnDestroy(HWND window) {
    KillTimer(window, kAnimationTimer);
    DeleteObject(TitleFont);
    DeleteObject(LineFont);
    DeleteObject(PanelBrush);
    PostQuitMessage(0);
}

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window);
        case WM_PAINT:
            PaintWindow(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_CTLCOLORSTATIC:
            return OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_TIMER:
            OnTimer(window);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateGameWindow(HINSTANCE instance, int show) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = GameWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassA(&windowClass) == 0) return nullptr;

    // A fixed-size window: the scene is drawn for 640 x 480.
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, kStyle, FALSE);
    HWND window = CreateWindowExA(0, kWindowClass, kWindowTitle, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) return nullptr;
    ShowWindow(window, show);
    UpdateWindow(window);
    return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    CheckInstallation();
    if (CreateGameWindow(instance, show) == nullptr) return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
