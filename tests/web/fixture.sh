# Sourced by the page and command-line tests. make_fixture DIR writes a small
# animation DIR/anim0000.txt ... in Shift-JIS: colours, a sound and a missing
# one, a repeat, a gap, ampersands, and a frame of every byte value that
# Shift-JIS text art uses. Frame 4 has no file.

# Frame 1, the byte frame: every printable ASCII byte but "&" (which the view
# treats as a prefix), every half-width katakana, a character for each lead
# byte in use, and lead 0x89 with every trail byte.
byte_frame() {
  local b
  for b in $(seq 32 126); do [ "$b" -ne 38 ] && printf "\\x$(printf %02x "$b")"; done
  printf '\r\n'
  for b in $(seq 161 223); do printf "\\x$(printf %02x "$b")"; done
  printf '\r\n'
  for b in 81 82 83 84 88 89 8a 8b 8c 8d 8e 8f 90 91 92 93 94 95 96 97 98 99 9a 9b 9c 9d 9e 9f \
           e0 e1 e2 e3 e4 e5 e6 e7 e8 e9 ea ed ee fa fb; do printf "\\x$b\\x9f"; done
  printf '\x87\x40\xfc\x40\r\n'
  for b in $(seq 64 126) $(seq 128 252); do printf "\\x89\\x$(printf %02x "$b")"; done
}

make_fixture() {
  local d="$1"
  mkdir -p "$d"
  # はじまり, white on navy.
  printf '{\r\ncolor\r\n255 255 255 0 0 128\r\n}\r\n\x82\xcd\x82\xb6\x82\xdc\x82\xe8' >"$d/anim0000.txt"
  byte_frame >"$d/anim0001.txt"
  printf '{\r\nsound\r\nbell.wav\r\n}\r\nA&&B&C' >"$d/anim0002.txt"
  printf '{\r\nsame 2\r\n}\r\n' >"$d/anim0003.txt"
  # ご, red on yellow, with a sound that does not exist.
  printf '{\r\ncolor\r\n255 0 0 255 255 0\r\nsound\r\nnosuch.wav\r\n}\r\n\x82\xb2' >"$d/anim0005.txt"
  printf '\x82\xa8\x82\xed\x82\xe8' >"$d/anim0006.txt"  # おわり
  # A WAV file of four silent samples.
  printf 'RIFF\x28\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\x04\x00\x00\x00\x80\x80\x80\x80' >"$d/bell.wav"
}
