# Writes the list of the dictionaries that ship, with their sizes and
# SHA-256, for glyphmap to check them by: one line per file,
# "<sha256> <size> <name>". Run by the build: cmake -DOUT=... -DFILES=a;b -P
cmake_minimum_required(VERSION 3.16)
set(text "")
foreach(f IN LISTS FILES)
  get_filename_component(name ${f} NAME)
  file(SHA256 ${f} hash)
  file(SIZE ${f} size)
  string(APPEND text "${hash} ${size} ${name}\n")
endforeach()
file(WRITE ${OUT}.tmp "${text}")
file(RENAME ${OUT}.tmp ${OUT})
