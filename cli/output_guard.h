// Whether a file the tool is asked to write is one of the animation's own.
#pragma once

// True when writing the file out would replace the animation's all-in-one
// file base.txt or one of its frame files base0000.txt ... base9999.txt, or
// make one: out names such a file in the animation's directory, as the file
// system finds it (the same directory however it is spelt; on Windows in any
// letter case and by its short name too).
bool NamesAnimationFile(const char* out, const char* base);
