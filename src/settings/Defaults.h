#pragma once

// The settings a first run starts from.
namespace dividra {

// The main window's place and size, and the width of the source list's first header section.
struct WindowBounds {
    int left;
    int top;
    int width;
    int height;
    int sourceHeaderSection;
};

// The window's design geometry; the terminal front end, having no window, passes these.
inline constexpr WindowBounds kDesignBounds{273, 106, 606, 429, 181};

// Creates the product key and writes every setting's first-run value (33 values in seven
// keys), all in one replacement of the settings file, so a first run interrupted leaves no
// product key without its values. A failure is ignored: the readers' defaults stand in.
void WriteDefaultSettings(const WindowBounds& bounds);

// The first-run test: writes the defaults when the product key doesn't exist. True when it
// wrote them.
bool EnsureSettingsInitialised(const WindowBounds& bounds);

} // namespace dividra
