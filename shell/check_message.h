// The File menu's check of the open animation.
#pragma once

// Checks the open animation in both layouts and shows in a message box what
// was found: a summary and the first findings, the rest counted.
void CheckAnimationCommand();
