#pragma once

#include <string>

// Opens the address with the desktop's opener (xdg-open) when one is on the
// PATH; the game does not wait for it. False when there is none or it could
// not be started.
bool OpenInDesktopBrowser(const std::string& url);
