// The File menu's GIF export.
#pragma once

// Writes base.gif beside the open animation from its current storage mode,
// at the current speed, in the font the view draws with, and tells the user
// in a message box where it went or why it could not.
void ExportGifCommand();
