// Helpers for tests that drive real windows under Wine: pumping messages
// until something has happened, closing the dialogs a test opens, and
// reading back the pixels a window shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Dispatches this thread's messages until done() holds or timeoutMs have
// passed; returns done(). Waits for messages, never sleeps a fixed time.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Dispatches messages until no window of this thread waits to be painted
// and the queue is empty.
bool PumpUntilPainted(HWND window, DWORD timeoutMs = 10000);

// Arranges for action to run on the next dialog box this thread shows, from
// a timer that the dialog's own message loop dispatches. The action closes
// the dialog (for example with CloseDialog).
void OnNextDialog(std::function<void(HWND dialog)> action);
// Whether the last arranged action has run; stops waiting for it.
bool DialogActionRan();
void CloseDialog(HWND dialog, int button);

// Text converted from UTF-8 to the given code page.
std::string FromUtf8(const std::string& utf8, UINT codePage);

// What the client area of a window shows, pixel by pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Image& other) const {
    return width == other.width && height == other.height && pixels == other.pixels;
  }
};

// Copies width x height pixels from a device context.
Image CaptureContext(HDC context, int width, int height);
// Copies a window's client area from its own device context.
Image CaptureClient(HWND window);
