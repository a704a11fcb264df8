// The File menu's web page export.
#pragma once

// Writes base.html beside the open animation from its current storage mode,
// and tells the user in a message box where it went or why it could not.
void ExportWebPageCommand();

// Texts of the export messages (Shift-JIS), shared with the GIF export:
// "書き出しました:", "書き出せませんでした:", "先にアニメーションを開いてください。",
// "コマが見つかりません:", "ファイル名が長すぎます:",
// "メモリーが足りないため、書き出しませんでした。".
extern const char kWritten[];
extern const char kNotWritten[];
extern const char kNoAnimation[];
extern const char kNoFrames[];
extern const char kNameTooLong[];
extern const char kOutOfMemory[];
