#!/usr/bin/env bash
# Plants each known fault in the program, one at a time, rebuilds, runs the
# tests that should notice it, and prints "caught" or "MISSED"; the program
# file is restored after each. The proof that the test suite still catches
# the faults it guards (the mended faults and one per behaviour group).
#
# Usage: bash scripts/plant-faults.sh [name-pattern]
# Needs the native and windows presets configured (built once by test.sh).
# Window-side faults run the Windows tests but storage_tests, which cover
# storage and run natively as well (faults in storage's Windows-only code
# run them too).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
pattern="${1:-.}"
log="$root/build/logs/plant-faults.log"
mkdir -p "$(dirname "$log")"
: >"$log"

# fault NAME PRESET FILE OLD NEW: OLD must occur exactly once in FILE.
fault() {
  local name="$1" preset="$2" file="$3" old="$4" new="$5"
  grep -q -- "$pattern" <<<"$name" || return 0
  local saved
  saved="$(mktemp)"
  cp "$file" "$saved"
  if ! python3 - "$file" "$old" "$new" <<'PY'
import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit("%s: the fault's text occurs %d times" % (path, text.count(old)))
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
  then
    echo "SETUP-ERROR $name"
    rm -f "$saved"
    return
  fi
  local result=MISSED out
  out="$(mktemp)"
  echo "=== $name ($preset): $file" >>"$log"
  local made
  # The native drawing of the GIFs is checked against the Windows build's.
  local native=true
  [[ "$file" == ftdraw/* ]] && native="cmake --build --preset native -j $(nproc) --target zoetrix-cli"
  if [ "$preset" = package ]; then
    # The release packages, made and checked as test.sh does.
    if ! made="$(bash scripts/package.sh 2>"$out")"; then
      result="caught (packing fails)"
    elif ! bash scripts/with-display.sh bash tests/package/package_test.sh $made >>"$out" 2>&1; then
      result=caught
    fi
  elif ! $native >"$out" 2>&1 || ! cmake --build --preset "$preset" -j "$(nproc)" >>"$out" 2>&1; then
    result="caught (the build fails)"
  else
    if [ "$preset" = windows ]; then
      # storage_tests too where the fault is in Windows-only storage code.
      local skip=(-E storage_tests)
      [[ "$file" == storage/* ]] && skip=()
      bash scripts/with-display.sh ctest --preset windows --timeout 300 "${skip[@]}" >"$out" 2>&1
    else
      ctest --preset "$preset" -j "$(nproc)" --timeout "$([ "$preset" = sanitize ] && echo 300 || echo 60)" -E bench >"$out" 2>&1
    fi
    # Only a test run that ended counts; anything else is an error of the run.
    if grep -qE ' [1-9][0-9]* tests? failed out of' "$out"; then
      result=caught
    elif ! grep -qE ' 0 tests failed out of' "$out"; then
      result=ERROR
    fi
  fi
  cat "$out" >>"$log"
  rm -f "$out"
  cp "$saved" "$file"
  rm -f "$saved"
  if [[ "$file" == ftdraw/* ]]; then cmake --build --preset native -j "$(nproc)" --target zoetrix-cli >/dev/null 2>&1; fi
  # Which tests failed, for the report (under Wine: the test cases too).
  local failed
  failed="$(sed -n "/=== $name /,\$p" "$log" | grep -E '^\s+[0-9]+ - |^\[  FAILED  \] [A-Za-z]+\.|^FAIL ' |
    sed -E 's/^\s+[0-9]+ - //; s/^\[  FAILED  \] //; s/^FAIL (.*)/"\1"/; s/ \(.*//; s/,.*//' | sort -u | tr '\n' ' ')"
  printf '%-8s %-44s %s\n' "$result" "$name" "$failed"
}

S=storage; L=storage/frame_loader.cpp; H=storage/frame_header.cpp; E=storage/frame_editing.cpp; B=storage/block_stream.cpp
C=storage/conversion.cpp; P=storage/path_text.cpp; M=shell/main_window.cpp; K=shell/commands.cpp; V=view/frame_view.cpp; F=view/font.cpp
W=storage/playback_walk.cpp; D=view/frame_drawing.cpp; G=gif/gif_writer.cpp; T=ftdraw/ft_painter.cpp

# Mended faults of the storage core.
fault repeat-cycle-followed native $L 'if (s_chain[i] == n) return 0;' 'if (s_chain[i] == n && false) return 0;'
fault repeat-chain-limit-off-by-one native $L 'if (s_chainDepth >= kMaxRepeatChain) return 0;' 'if (s_chainDepth > kMaxRepeatChain) return 0;'
fault same-without-number-repeats-0 native $H 'if (ParseInt(line + 4, &n) == nullptr || n < 0) return 0;' 'if (ParseInt(line + 4, &n) == nullptr) n = 0;'
fault colour-text-40-bytes native $S/frame_header.h 'constexpr int kColourTextSize = 80;' 'constexpr int kColourTextSize = 40;'
fault sound-cue-cut-like-record native $H 'CopyLine(g_soundCue.path, sizeof g_soundCue.path, path);' 'CopyLine(g_soundCue.path, sizeof g_frameRecord.soundPath, path);'
fault frame-name-cut-not-refused native $S/animation.cpp 'if (written < 0 || static_cast<size_t>(written) >= outSize) {' 'if (written < 0) {'
fault numbers-do-not-saturate native $H 'if (v > INT_MAX) v = INT_MAX;' ''
fault work-buffer-not-terminated sanitize $S/frame_files.cpp 'ReadInputFile(in, WorkBuffer, kFrameTextMax);' 'ReadInputFile(in, WorkBuffer, kTextBufferSize);'
fault skip-line-past-terminator native $H "return cr[1] == '\\0' ? cr + 1 : cr + 2;" 'return cr + 2;'
fault header-without-brace-has-body native $H 'return body != nullptr ? body : text + std::strlen(text);' 'return body != nullptr ? body : text;'
fault missing-colour-values-kept native $H 'int v[6] = {0, 0, 0, 0, 0, 0};' 'int v[6] = {PenColour.red, PenColour.green, PenColour.blue, BackColour.red, BackColour.green, BackColour.blue};'
fault sound-without-path-line native $H 'return line != nullptr && std::strncmp(line, "sound", 5) == 0 && SkipLine(line) != nullptr;' 'return line != nullptr && std::strncmp(line, "sound", 5) == 0;'
# Mended faults of frame editing.
fault paste-onto-itself native $E 'if (g_animation.copiedFrame == g_animation.currentFrame) return;' ''
fault composed-header-cut native $E 'static char s_composed[kComposedSize];' 'static char s_composed[kTextBufferSize];'
fault copy-stream-read-failure-ignored native $E 'if (!in.bad()) return true;' 'return true;'
# Mended faults of the window side and start-up.
fault face-name-not-cut windows $F 'if (line[0] != '"'"'\0'"'"') CopyText(g_fontDescription.lfFaceName, sizeof g_fontDescription.lfFaceName, line);' 'if (line[0] != '"'"'\0'"'"') std::memcpy(g_fontDescription.lfFaceName, line, std::strlen(line) + 1);'
fault joined-path-not-refused native $P 'if (written < 0 || static_cast<size_t>(written) >= size) {' 'if (written < 0) {'
fault separator-ignores-lead-bytes native $P 'return g_isLeadByte != nullptr && g_isLeadByte(static_cast<unsigned char>(*p)) && p[1]' 'return false && p[1]'
fault windows-default-no-lead-bytes windows $P 'bool (*g_isLeadByte)(unsigned char lead) = AnsiLeadByte;' 'bool (*g_isLeadByte)(unsigned char lead) = nullptr;'
fault cancelled-font-dialog-kept windows $F 'if (confirmed) g_fontDescription = chosen;' 'g_fontDescription = chosen;'
fault long-command-line-cut windows $M 'if (written < 0 || written >= static_cast<int>(sizeof s_commandLine)) {' 'if (written < 0) {'
fault dropped-name-cut windows $M 'if (length > 0 && length < static_cast<UINT>(kPathMax)) {' 'if (length > 0) {'
fault first-paint-resets-colours windows $V 'if (!s_coloursApplied) {' 'if (true) {'
fault drop-plays-on windows $M '  // another animation opens.
  StopPlayback();' '  // another animation opens.'
fault program-name-signed-bytes native $P "for (; *p != '\\0' && *p != ' ' && *p != '\\t'; ++p) {" "for (; *p > ' '; ++p) {"
fault drive-root-loses-separator native $P "if (length == 0 || (length == 2 && base[1] == ':') || share) ++length;" 'if (length == 0 || share) ++length;'
fault close-box-low-bits windows $M 'if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;' 'if (wParam != SC_CLOSE) return FALSE;'

# Mended faults of the reading rules, safe writes and failures that are told.
fault window-32000-not-32007 native $S/block_stream.h 'constexpr size_t kBlockWindow = kFrameTextMax + 7;' 'constexpr size_t kBlockWindow = kFrameTextMax;'
fault damaged-block-resumes-7-on native $B '  if (s.endLine) {
    s.pos += 7;' '  if (true) {
    s.pos += 7;'
fault zero-byte-counts-as-end-line native $B "s.endLine = end < s.chunk + limit && *end != '\\0';" 's.endLine = end < s.chunk + limit;'
fault text-without-end-not-cut native $B 'if (!s.endLine && s.textLength > static_cast<size_t>(kFrameTextMax)) s.textLength = kFrameTextMax;' ''
fault safe-write-temp-not-removed native storage/file_io.cpp '  RemoveTemp(w.temp);
  w.used = 0;' '  w.used = 0;'
fault safe-write-moves-after-failure native storage/file_io.cpp 'bool done = w.error == 0 && w.file != -1' 'bool done = w.file != -1'
fault safe-write-read-only-replaced windows storage/file_io.cpp '(attributes & FILE_ATTRIBUTE_READONLY) != 0' 'false'
fault series-empties-linked-file native storage/file_io.cpp 'st.st_nlink == 1 &&' ''
fault failed-frame-write-not-told native storage/frame_files.cpp '  TellWriteFailure(name, error);' ''
fault later-failure-replaces-first windows $K "if (s_failure[0] != '\\0') return;" ''
fault box-before-command-done windows $K 'if (s_commandDepth == 0) ShowWriteFailure();' 'ShowWriteFailure();'
fault same-negative-repeats native $H 'if (ParseInt(line + 4, &n) == nullptr || n < 0) return 0;' 'if (ParseInt(line + 4, &n) == nullptr) return 0;'
# Mended faults of the editor: it never writes the wrong text into a frame.
fault stop-keeps-old-editor-text windows $K 'if (wasPlaying) Reload();' 'if (wasPlaying && false) Reload();'
fault open-chooser-plays-on windows $K '  StopPlayback();
  UseTextPreset();' '  UseTextPreset();'
fault colour-chooser-plays-on windows $K '  StopPlayback();
  choose();' '  choose();'
fault colour-chooser-without-owner windows $V 'dialog.hwndOwner = GetAncestor(s_view, GA_ROOT);' 'dialog.hwndOwner = nullptr;'
fault open-keeps-editor-text windows $K '  EmptyEditor();
  ApplyFirstFrameColours' '  ApplyFirstFrameColours'
fault open-keeps-frame-record windows $K '  ForgetLoadedFrame();' ''
fault untouched-editor-saved windows $K 'if (EditorHoldsFrame()) RecordCurrent([] { SaveFrameFromEditor(g_animation.basePath); });' 'RecordCurrent([] { SaveFrameFromEditor(g_animation.basePath); });'
fault untouched-editor-colours-saved windows $K 'if (EditorHoldsFrame()) RecordCurrent([] { SaveCurrentColours' 'RecordCurrent([] { SaveCurrentColours'
fault untouched-editor-sound-saved windows $K 'if (!ChooseFile(g_mainWindow, s_soundPath) || !EditorHoldsFrame()) return;' 'if (!ChooseFile(g_mainWindow, s_soundPath)) return;'
fault cancelled-open-opens windows $K 'if (!ChooseFile(g_mainWindow, path)) return;' 'ChooseFile(g_mainWindow, path);'
fault header-limit-not-refused native $E 'if (length > kFrameTextMax) {' 'if (length > kFrameTextMax && false) {'
fault export-drops-without-asking native $C 'int dropped = CountDroppedBlocks(name, hasFile);' 'int dropped = 0 * CountDroppedBlocks(name, hasFile);'
fault export-writes-nothing-over-file native $C 'if (!any) {' 'if (false) {'
fault relative-base-path-kept windows $K 'MakeAbsolutePath(g_animation.basePath, sizeof g_animation.basePath);' ''
fault chooser-changes-directory windows shell/file_chooser.cpp 'OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_NOCHANGEDIR' 'OFN_HIDEREADONLY | OFN_CREATEPROMPT'
fault missing-repeat-ends-playback native $L 'if (ended && s_chainDepth <= 1)' 'if (ended)'
fault playing-shows-header native $L 'CopyText(DisplayText, kTextBufferSize, g_animation.playing ? body : WorkBuffer);' 'CopyText(DisplayText, kTextBufferSize, WorkBuffer);'
fault frame-file-first-colours-of-1 native $C 'ReadFirstBlockWindow(base) : ReadFrameFile(base, 0);' 'ReadFirstBlockWindow(base) : ReadFrameFile(base, 1);'
# Frame operations all or nothing, saves that keep every byte, conversions
# that never write over what they cannot read.
SM=shell/storage_messages.cpp
fault shift-failure-skipped native storage/frame_shift.cpp '} else if (result == RenameResult::Failed) {' '} else if (false) {'
fault shift-failure-not-undone native storage/frame_shift.cpp '      UndoFrameShift(base, made, failure);' ''
fault delete-removal-failure-kept native storage/frame_shift.cpp '    UndoFrameShift(base, shift, failure);
    done = false;' '    done = false;'
fault delete-aside-not-put-back native storage/frame_shift.cpp 'TryRename(aside, name, &error) != RenameResult::Done' 'RenameResult::Failed != RenameResult::Done'
fault frame-operation-failure-not-told native storage/frame_shift.cpp '  g_viewHooks.ReportFrameOperationFailure(failure.file, reason, failure.stranded, strandedReason);' ''
fault real-rename-refusal-is-a-gap windows storage/file_io.cpp '  if (error != nullptr) *error = code;
  return RenameResult::Failed;' '  if (error != nullptr) *error = code;
  return RenameResult::NoSource;'
fault frame-operation-box-missing windows $SM 'kNotPutBack, stranded, strandedReason);
  }
  KeepFailure(text);' 'kNotPutBack, stranded, strandedReason);
  }'
fault save-cuts-at-31999 native $E 'static char s_editor[kFrameTextMax + 3];' 'static char s_editor[kFrameTextMax];'
fault save-takes-more-than-a-frame native $E 'if (length <= static_cast<size_t>(kFrameTextMax)) return' 'if (length <= static_cast<size_t>(kFrameTextMax) + 2) return'
fault editor-text-cut-by-window windows $M 'SendMessageA(view, EM_SETLIMITTEXT, kFrameTextMax, 0);' ''
fault text-too-long-box-empty windows $M 'why == Refusal::TextTooLong ? kTextTooLongNotice' 'why == Refusal::TextTooLong ? ""'
fault headerless-text-loses-body native $H '    appendText(text);
  } else {' '    appendText(BodyAfterHeader(text));
  } else {'
fault colour-save-drops-other-blocks native $H 'const char* after = old != nullptr ? SkipLine(SkipLine(old)) : at;' 'const char* after = old != nullptr ? SkipLine(l.close) : at;'
fault repeat-not-noted native $L '    g_frameRecord.isRepeat = 1;' ''
fault repeat-written-unasked native $E 'return !g_frameRecord.isRepeat ||' 'return true ||'
fault unchanged-repeat-saved native $E 'unchangedRepeatStays && !modified) return false;' 'unchangedRepeatStays && !modified && false) return false;'
fault copied-repeat-asks-again windows $E '    return false;
  }
  g_frameRecord.isRepeat = 0;
  return true;
}

bool SaveCurrentColours' '    return false;
  }
  return true;
}

bool SaveCurrentColours'
fault editor-modified-unseen windows $SM 'return SendMessageA(FrameView(), EM_GETMODIFY, 0, 0) != 0;' 'return false;'
fault colour-pick-on-repeat-unasked windows $K 'SaveFrameFromEditor(g_animation.basePath, false);' 'SaveFrameFromEditor(g_animation.basePath);'
fault export-cuts-unasked native $C 'if (cut > 0 &&' 'if (false &&'
fault cli-force-cut-ignored native cli/main.cpp 'bool ConfirmStoringCut(int count, uint32_t first) {
  if (s_force) return true;' 'bool ConfirmStoringCut(int count, uint32_t first) {'
fault expansion-later-block-wins native $C 'if (!seen.insert(number).second) {' 'if (false) {'
fault expansion-skips-untold native $C 'if (skipped > 0 && g_viewHooks.ReportSkippedBlocks != nullptr) g_viewHooks.ReportSkippedBlocks(skipped);' ''
fault export-over-unreadable-file native $C '  if (dropped < 0) return;' ''
fault expansion-without-file-silent native $C 'OpenAllInOne(s, name, false)' 'OpenAllInOne(s, name, true)'
fault base-cut-in-directory native $S/animation.cpp "char* dot = std::strrchr(path + (name - path), '.');" "char* dot = std::strrchr(path, '.');"

# The block index: used only while the file is provably the one indexed.
fault index-keeps-changed-file native storage/block_index.cpp ' || !SameFileVersion(*identity, s_index.identity)' ''
fault index-ignores-identity native storage/file_io.cpp 'a.volume == b.volume && a.file == b.file &&' ''
fault index-trusts-racy-write native storage/block_index.cpp 'identity->writeTime < s_now() - kFileTimeGranularity;' 'identity->writeTime < s_now();'
fault index-trusts-any-write native storage/block_index.cpp 's_index.trusted = identity->writeTime < s_now() - kFileTimeGranularity;' 's_index.trusted = true;'
# The page writer and the command-line tool.
fault page-never-ends-playback native $W 's_effects.ends = g_animation.playing == 0;' 's_effects.ends = false;'
fault page-changes-frame-record windows $W '  g_frameRecord = s.record;' ''
fault page-changes-colours windows $W '  PenColour = s.pen;' ''
fault page-changes-frame-number windows $W '  g_animation = s.animation;' ''
fault cli-force-ignored native cli/main.cpp 'bool ConfirmDropping(int count) {
  if (s_force) return true;' 'bool ConfirmDropping(int count) {'
# The check: what the readers decided, read back wherever chunks end.
fault check-zero-byte-as-window native $B ': end < s.chunk + limit ? TextEnd::ZeroByte' ': end < s.chunk + limit ? TextEnd::Window'
fault check-end-line-followed-unseen native $B 'return crLf ? TextEnd::EndLine : TextEnd::EndInLine;' 'return crLf || true ? TextEnd::EndLine : TextEnd::EndInLine;'
fault check-number-line-end-unread native $B 'while (!s.atEnd && s.pos > s.dataEnd) start -= static_cast<size_t>(Refill(s, start));' ''
fault check-text-moved-unseen native $B '  s.textStart = s.pos;
  *text' '  *text'
fault check-repeat-limit-off-by-one native check/animation_check.cpp 'if (stopsAt >= kLimit) {' 'if (stopsAt > kLimit) {'
fault check-sound-path-line-is-keyword native $H 'return sound != nullptr ? SkipLine(sound) : nullptr;' 'return sound;'
fault check-exit-0-with-findings native cli/check_command.cpp 'return report.findings.empty() ? 0 : 1;' 'return 0;'
fault check-json-names-not-converted windows cli/check_command.cpp 'item["file"] = Utf8(f.file);' 'item["file"] = f.file;'
fault check-menu-command-lost windows $K '{CMD_CHECK, CheckAnimationCommand},' ''
fault page-over-animation-respelt native cli/output_guard.cpp 'SameDirectoryFile(outDirectory, baseDirectory)' '(outDirectory == baseDirectory && SameDirectoryFile(outDirectory, baseDirectory))'
fault page-over-frame-file native cli/output_guard.cpp 'if (digits != 0 && digits != 4) return false;' 'if (digits != 0) return false;'
fault page-over-other-case windows cli/output_guard.cpp 'CompareStringOrdinal(wide[0], length[0], wide[1], length[1], TRUE)' 'CompareStringOrdinal(wide[0], length[0], wide[1], length[1], FALSE)'
fault page-large-sound-embedded native webpage/web_page.cpp 'if (bytes.size() + got > limit) return SoundRead::TooLarge;' 'if (bytes.size() + got > 64 * limit) return SoundRead::TooLarge;'
fault page-out-of-memory-escapes native webpage/web_page.cpp 'catch (const std::bad_alloc&) {
  } catch' 'catch'
fault page-texts-in-one-piece native webpage/web_page.cpp 'if (count > 0 && next - start > pieceBytes) {' 'if (count > 0 && next - start > pieceBytes * 1000000) {'
fault page-too-large-written native webpage/web_page.cpp 'return page.size > source.maxPageBytes ? PageBuild::TooLarge : PageBuild::Built;' 'return PageBuild::Built;'
fault cli-empty-expansion-done native cli/main.cpp 'if (ExpandAllInOne(base) == 0 && s_failures == 0) {' 'if (ExpandAllInOne(base) < 0) {'
fault expansion-counts-no-texts native storage/conversion.cpp '      ++texts;' ''
fault cli-empty-output-name native cli/main.cpp 'if (value.empty()) return Usage("-o needs a file name");' ''
fault cli-long-path-not-usage native cli/main.cpp 'return Usage((std::string("path too long: ") + animation).c_str());' 'return Fail(std::string("path too long: ") + animation);'
fault player-limit-stops-any-playback native webpage/player.html 'if (state.playing && state.plays === play) stop();' 'stop();'
fault player-lone-cr-no-break native webpage/player.html 'text.split(/\r\n|\n\r|\r|\n/)' 'text.split(/\r\n|\n/)'
fault player-first-mark-underlined native webpage/player.html '      mark = shown.length;' '      if (mark < 0) mark = shown.length;'
fault player-last-ampersand-hidden native webpage/player.html '(end && i === line.length - 1)' 'false'
fault player-fragment-yes-ignored native webpage/player.html '/^(|1|true|yes)$/' '/^(|true)$/'

# One fault per behaviour group.
fault reader-number-line-10 native $B 'size_t most = available < 9 ? available : 9;' 'size_t most = available < 10 ? available : 10;'
fault reader-next-block-6-on native $B 's.pos += 7;' 's.pos += 6;'
fault reader-end-across-chunks native $B 'from = limit >= s.pos + 4 ? limit - 4 : s.pos;' 'from = limit >= s.pos + 3 ? limit - 3 : s.pos;'
fault scanner-plain-last-start native storage/text_scan.cpp 'const char* last = limit - 4;  // "[end]" must start before this' 'const char* last = limit - 5;'
fault header-sound-after-colour native $L 'if (g_frameRecord.hasColour) p = SkipLine(SkipLine(p));' 'if (g_frameRecord.hasColour) p = SkipLine(p);'
fault header-open-brace-null native $H "l.close = p != nullptr ? std::strchr(p, '}') : nullptr;" "l.close = std::strchr(p, '}');"
fault insert-skips-10000 native $E 'if (current > HighestSlot) return true;' 'if (current >= HighestSlot) return true;'
fault delete-stops-before-10000 native $E 'for (uint32_t i = current; i < HighestSlot; ++i) {
    if (MayHaveFile(slots, i + 1))' 'for (uint32_t i = current; i + 1 < HighestSlot; ++i) {
    if (MayHaveFile(slots, i + 1))'
fault rename-replaces native storage/file_io.cpp 'if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return RenameResult::Done;' 'if (std::rename(from, to) == 0) return RenameResult::Done;'
fault export-includes-10000 native $C '  std::vector<bool> hasFile(HighestSlot);
  bool any = false;
  int cut = 0;
  uint32_t firstCut = 0;
  const FrameSlots slots = ListFrameSlots(base);
  std::string blocks;
  uint32_t notKept = HighestSlot;  // the first frame whose block is not in blocks
  for (uint32_t i = 0; i < HighestSlot; ++i) {' '  std::vector<bool> hasFile(HighestSlot + 1);
  bool any = false;
  int cut = 0;
  uint32_t firstCut = 0;
  const FrameSlots slots = ListFrameSlots(base);
  std::string blocks;
  uint32_t notKept = HighestSlot;  // the first frame whose block is not in blocks
  for (uint32_t i = 0; i <= HighestSlot; ++i) {'
fault export-end-line-short native $C '.append("\r\n[end]\r\n", 9);' '.append("\r\n[end]\r\n", 7);'
fault expansion-writes-empty-text native $C 'if (length > 0) {' 'if (length >= 0) {'
fault first-colours-any-first-block native $C 'bool first = ReadBlockNumber(s, &number) != 0 && number == 0;' 'bool first = ReadBlockNumber(s, &number) != 0;'
fault colour-block-null-line native $H 'for (int i = 0; i < 6 && p != nullptr; ++i) p = ParseInt(p, &v[i]);' 'for (int i = 0; i < 6; ++i) p = ParseInt(p, &v[i]);'
fault input-opens-directories native storage/file_io.cpp 'if (stat(name, &st) == 0 && S_ISDIR(st.st_mode)) return false;' 'if (stat(name, &st) == 0 && S_ISDIR(st.st_mode) && false) return false;'
# Which frame files there are, from one listing of the folder.
fault listing-misses-10000 native storage/frame_listing.cpp '!(digits == 5 && n == HighestSlot)' 'true'
fault listing-misses-other-case windows storage/frame_listing.cpp '  if (name == base) return true;' '  return name == base;'
fault listing-leaves-out-directories native storage/frame_listing.cpp '    const int slot = SlotOfEnding(entry->d_name + length);' '    if (entry->d_type == DT_DIR) continue;
    const int slot = SlotOfEnding(entry->d_name + length);'
fault input-file-opens-directories native storage/file_io.cpp 'S_ISDIR(st.st_mode) ? EISDIR : 0' '0'
fault export-skips-first-frame-not-kept native $C 'for (uint32_t i = notKept; writing' 'for (uint32_t i = notKept + 1; writing'
fault expansion-replaces-unasked windows $C 'MayHaveFile(slots, n) ? 0u : unsigned{kWriteNewName}' 'unsigned{kWriteNewName}'
fault command-line-keeps-quotes native $P "if (*p == '\"') continue;" ''
fault chosen-sound-keeps-directory native $P 'if (SameDirectory(soundPath, basePath) == 0) StripDirectory(soundPath);' 'if (SameDirectory(soundPath, basePath) == 1) StripDirectory(soundPath);'
# The window side, through the user stories.
fault colour-red-blue-swapped windows $D 'return static_cast<COLORREF>((colour.red & 255) | (colour.green & 255) << 8 | (colour.blue & 255) << 16);' 'return static_cast<COLORREF>((colour.blue & 255) | (colour.green & 255) << 8 | (colour.red & 255) << 16);'
fault first-paint-black-background windows $V '    BackColour = ColourTriple{255, 255, 255};' '    BackColour = ColourTriple{0, 0, 0};'
fault cancelled-colour-black windows $V 'dialog.rgbResult = RGB(128, 128, 128);' 'dialog.rgbResult = RGB(0, 0, 0);'
fault new-pen-not-selected windows $D 'DeleteObject(SelectObject(dc, line));' 'DeleteObject(line);'
fault paint-while-playing-shows-editor windows $V '  if (!g_animation.playing) {
    if (DisplayText' '  if (true) {
    if (DisplayText'
fault ampersand-not-underlining windows $D 'DrawTextA(dc, text, -1, &area, DT_EDITCONTROL);' 'DrawTextA(dc, text, -1, &area, DT_EDITCONTROL | DT_NOPREFIX);'
fault caption-one-dot windows $K 'std::snprintf(caption, sizeof caption, "%s..%s", g_animation.basePath, "zoetrix");' 'std::snprintf(caption, sizeof caption, "%s.%s", g_animation.basePath, "zoetrix");'
fault save-frame-command-lost windows $K '{IDC_SAVEFRAME, SaveFrame},' ''
fault copy-to-next-stays windows $K '       SendCommand(CMD_NEXT);' ''
fault sound-keeps-directory-in-program windows $K '  StoreChosenSound(s_soundPath, g_animation.basePath);' ''
fault fastest-speed-slow windows $K '{CMD_SPEED6, [] { SetSpeed(30); }},' '{CMD_SPEED6, [] { SetSpeed(1000); }},'
fault stop-keeps-playing windows $K '  g_animation.playing = 0;
  KillTimer' '  KillTimer'
fault playback-never-ends windows $L 'if (ended && s_chainDepth <= 1) g_animation.playing = 0;' '(void)ended;'
fault exit-command-lost windows $K '{CMD_EXIT, Close},' ''
fault font-save-writes-its-zero windows $F 'strnlen(face, sizeof g_fontDescription.lfFaceName), kWriteDurable,' 'strnlen(face, sizeof g_fontDescription.lfFaceName) + 1, kWriteDurable,'
fault mode-command-ignored windows $K '{CMD_MODEALLINONE, [] { SetMode(AllInOne); }},' '{CMD_MODEALLINONE, [] { SetMode(FrameFiles); }},'
# The operation history: undo and redo byte for byte or not at all.
Y=history/history.cpp; HC=shell/history_commands.cpp
fault history-files-unchecked native $Y 'if (!Holds(base, Expected(step, undoing), result.file)) {' 'if (!Holds(base, Expected(step, undoing), result.file) && false) {'
fault history-proof-size-only native $Y 'a.size == b.size && a.digest == b.digest;' 'a.size == b.size;'
fault history-vacated-slots-unchecked native $Y 'slots[after ? frame : frame + step.shift.step] = SlotState{};' '(void)frame;'
fault history-deleted-frame-not-back native $Y 'if (!deletion || !step.before.state.exists) return true;' 'return true;'
fault history-write-back-failure-kept native $Y '    UndoFrameShift(base, moves, &failure);' ''
fault history-refused-step-dropped native $Y '    result.outcome = StepOutcome::Changed;' '    result.outcome = StepOutcome::Changed;
    from.pop_back();'
fault history-bound-ignores-steps native $Y 's_history.undo.size() > s_history.maxSteps ||' 'false ||'
fault history-bound-ignores-bytes native $Y '|| s_history.bytes > s_history.maxBytes' ''
fault history-new-step-keeps-redo native $Y '  DropAll(s_history.redo);
  if (!keepable' '  if (false) DropAll(s_history.redo);
  if (!keepable'
fault history-unchanged-write-a-step native $Y 'if (keepable && Same(step.before.state, step.after.state)) return;' ''
fault history-menu-never-greyed windows $K '      UpdateHistoryMenu();
' ''
fault history-undo-key-lost windows res/zoetrix.rc '  "Z", CMD_UNDO, VIRTKEY, ALT
' ''
fault history-redo-key-lost windows res/zoetrix.rc '  "Y", CMD_REDO, VIRTKEY, ALT
' ''
fault history-undo-shows-frame-on-show windows $HC '    g_animation.currentFrame = result.frame;
' ''
fault history-kept-across-open windows $K '  ClearHistory();
' ''
fault history-paste-not-recorded windows $K 'RecordCurrent([] { PasteFrame(g_animation.basePath); });' 'PasteFrame(g_animation.basePath);'
fault history-delete-not-recorded windows $K 'RecordDeleteFrame(g_animation.basePath);' 'DeleteFrame(g_animation.basePath);'

# The release packages.
R=release/CMakeLists.txt
fault package-readme-lf-ends package $R 'string(REPLACE "\n" "\r\n" text "${text}")' ''
fault package-exe-without-version package release/version.cmake 'target_sources(${target} PRIVATE ${rc})' ''
fault package-version-not-told package cli/main.cpp 'std::printf("zoetrix-cli %s\n", ZOETRIX_VERSION);' 'std::printf("zoetrix-cli\n");'
fault package-without-sample package $R 'install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/walk DESTINATION samples)' ''
fault package-without-manual package $R 'install(FILES ${generated}/zoetrix-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)' ''
fault package-without-copyright package $R 'install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${docdir} RENAME copyright)' ''
fault package-without-dependencies package $R 'set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)' ''
fault package-unstripped package $R 'set(CPACK_STRIP_FILES ON)' ''

# The keyboard shortcuts and the main window's own message loop.
ML=shell/message_loop.cpp
fault shortcuts-not-loaded windows $ML 'HACCEL keys = LoadAcceleratorsA(g_instance, MAKEINTRESOURCEA(IDA_SHORTCUTS));' 'HACCEL keys = nullptr;'
fault f5-only-starts windows $K 'SendCommand(g_animation.playing ? CMD_STOP : CMD_START);' 'SendCommand(CMD_START);'
fault save-key-saves-colours windows res/zoetrix.rc '"S", IDC_SAVEFRAME, VIRTKEY, CONTROL' '"S", CMD_SAVECOLOURS, VIRTKEY, CONTROL'
fault close-leaves-loop-running windows $M '  PostQuitMessage(0);' ''

# The GIF export: the writer's files, the tool, the menu command, the drawing.
fault gif-code-width-late native gif/lzw_encoder.cpp 'if (next > (1u << width) && width < kMaxCodeBits) ++width;' 'if (next > (1u << width) + 1 && width < kMaxCodeBits) ++width;'
fault gif-equal-frames-kept native $G 'const unsigned room = kGifDelayMax - w.heldDelay;' 'const unsigned room = 0;'
fault gif-long-delay-not-cut native $G 'if (delay <= room) {' 'if (true) {'
fault gif-whole-frame-stored native $G 'left = std::min(left, l);' 'left = 0;'
fault gif-transparency-not-told native $G 'static_cast<uint8_t>(1 << 2 | (transparent ? 1 : 0)),' 'static_cast<uint8_t>(1 << 2),'
fault gif-quantiser-cuts-at-end native gif/palette.cpp 'if (half * 2 >= total) break;' ''
fault gif-delay-below-2 native gif/gif_export.cpp 'std::clamp(hundredths, 2,' 'std::clamp(hundredths, 0,'
fault gif-over-animation-file native cli/gif_command.cpp 'if (NamesAnimationFile(o.out, base)) {' 'if (NamesAnimationFile(o.out, base) && false) {'
fault gif-menu-speed-ignored windows shell/gif_export_command.cpp 'GifDelay(g_animation.interval)' 'GifDelay(200)'
fault gif-menu-other-font windows shell/gif_export_command.cpp 'HFONT font = SurfaceFont() != nullptr ? SurfaceFont() : g_currentFont;' 'HFONT font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));'
fault gif-colours-swapped windows $D 'SelectFrameColours(s->picture.dc, value(pen), value(back));' 'SelectFrameColours(s->picture.dc, value(back), value(pen));'
fault native-underline-missing windows $T 'for (int u = std::max(start, 0); u < end; ++u) put(u, y, 16);' '(void)end;'
fault native-descender-not-cut windows $T 'const int r0 = std::max(0, top - gy), r1 = std::min(g->rows, top + f.lineHeight - gy);' 'const int r0 = 0, r1 = g->rows;'
fault native-line-height-freetype windows $T 'f->lineHeight = f->ascent + static_cast<int>((FT_MulFix(descent, scale) + 32) >> 6);' 'f->lineHeight = static_cast<int>((f->face->size->metrics.ascender - f->face->size->metrics.descender) >> 6) + 0 * static_cast<int>(descent);'
fault native-prefix-first-not-last windows $T '          line.prefix = static_cast<int>(shown.size());' '          if (line.prefix < 0) line.prefix = static_cast<int>(shown.size());'
