// The File menu's web page export.
#pragma once

// Writes base.html beside the open animation from its current storage mode,
// and tells the user in a message box where it went or why it could not.
void ExportWebPageCommand();
