# What ships beyond the modules themselves: the licence texts of everything
# bundled, installed by `make dist` into dist/<arch>/licenses/.

# Licence texts. OpenCC, darts-clone and uchardet come with the built
# libraries (third_party/); OpenCC's source package lacks marisa's and
# RapidJSON's, which packaging/licenses holds. The compiler runtime's come
# from Debian's own statements of the packages they were taken from.
set(_lic ${CMAKE_SOURCE_DIR}/packaging/licenses)
install(FILES ${_lic}/marisa/COPYING.md DESTINATION licenses/marisa)
install(FILES ${_lic}/rapidjson/license.txt DESTINATION licenses/rapidjson)
install(FILES ${_lic}/gcc-runtime/NOTICE.txt ${_lic}/gcc-runtime/GCC-exception-3.1.txt
  DESTINATION licenses/gcc-runtime)
install(FILES /usr/share/common-licenses/GPL-3 DESTINATION licenses/gcc-runtime
  RENAME GPL-3.txt)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION licenses/gcc-runtime
  RENAME debian-copyright.txt)
install(FILES ${_lic}/winpthreads/NOTICE.txt DESTINATION licenses/winpthreads)
install(FILES /usr/share/doc/mingw-w64-common/copyright DESTINATION licenses/winpthreads
  RENAME debian-copyright.txt)
