// A test host for the frame view: a top-level window with the editor child
// the main window makes, the frame view procedure installed over it, and the
// storage hooks pointing at the view.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "windows_test_support.h"

class FrameViewTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Shows the host (the view's first paint) and waits until it is painted.
  void Show();
  // Puts text into the editor and waits for the view's repaint.
  void ShowText(const std::string& text);
  // Repaints the whole view and waits for it.
  void Repaint();
  Image Capture() const { return CaptureClient(view_); }
  // A scratch directory for frame files, made on first use.
  std::string Dir();
  void WriteFile(const std::string& name, const std::string& bytes);

  HWND host_ = nullptr;
  HWND view_ = nullptr;

 private:
  std::string dir_;
};

// A font that draws every pixel in the text colour or the background colour.
HFONT CreateCrispFont(int height);
