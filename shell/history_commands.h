// Undo and redo of the frame operations, and the grey state of their menu
// items.
#pragma once

// Undoes (redoes) the latest step and shows its frame; a step refused
// because a file changed since is told, naming the file.
void UndoCommand();
void RedoCommand();

// Greys 元に戻す and やり直し when there is nothing to undo or redo.
void UpdateHistoryMenu();
