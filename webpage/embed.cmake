# Writes the bytes of INPUT into OUTPUT as a C++ array named NAME:
#   cmake -DINPUT=player.html -DOUTPUT=player_html.h -DNAME=kPlayerHtml -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
get_filename_component(source "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${source} at build time; edit that file instead.\n#pragma once\n\nstatic const unsigned char ${NAME}[] = {\n${bytes}\n};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
