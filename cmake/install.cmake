# Installation in Debian's layout for games, and the Debian package.
#   make install [PREFIX=/usr/local] [DESTDIR=...]   make package
# The programs find the data folder relative to themselves
# (../share/games/lumivaara/), so any prefix works.

set(LUMIVAARA_DATA_DIR share/games/lumivaara)
set(LUMIVAARA_DOC_DIR share/doc/lumivaara)

set_source_files_properties(${CMAKE_SOURCE_DIR}/src/host/command_line.cpp PROPERTIES
  COMPILE_DEFINITIONS LUMIVAARA_VERSION="${PROJECT_VERSION}")

install(TARGETS lumivaara RUNTIME DESTINATION games)
foreach(tool lumivaara-capture lumivaara-bench)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION bin)
  endif()
endforeach()

# The generated assets, made by the build beside the executables.
install(DIRECTORY ${CMAKE_BINARY_DIR}/Images ${CMAKE_BINARY_DIR}/Models ${CMAKE_BINARY_DIR}/Music
  DESTINATION ${LUMIVAARA_DATA_DIR}
  PATTERN ".stamp" EXCLUDE)

install(FILES ${CMAKE_SOURCE_DIR}/dist/lumivaara.desktop DESTINATION share/applications)
foreach(side 32 48 64 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/Icons/${side}x${side}/lumivaara.png
    DESTINATION share/icons/hicolor/${side}x${side}/apps)
endforeach()

# Manual pages and the changelog, compressed the way Debian ships them
# (-n: no time stamp, so the same sources give the same bytes).
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(compressed)
foreach(page lumivaara.6 lumivaara-capture.1 lumivaara-bench.1 changelog)
  set(out ${CMAKE_BINARY_DIR}/dist/${page}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
    COMMAND ${GZIP_EXECUTABLE} -9nc ${CMAKE_SOURCE_DIR}/dist/${page} > ${out}
    DEPENDS ${CMAKE_SOURCE_DIR}/dist/${page}
    VERBATIM)
  list(APPEND compressed ${out})
endforeach()
add_custom_target(dist_files ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/dist/lumivaara.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_BINARY_DIR}/dist/lumivaara-capture.1.gz
              ${CMAKE_BINARY_DIR}/dist/lumivaara-bench.1.gz
  DESTINATION share/man/man1)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${CMAKE_BINARY_DIR}/dist/changelog.gz
  DESTINATION ${LUMIVAARA_DOC_DIR})

# The Debian package: build/lumivaara_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumivaara)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Lumivaara maintainers <maintainers@users.noreply.c-seed-87fa6891.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens libGL.so.1 for its window at run time, where dpkg-shlibdeps cannot
# see it; libgl1 also brings the Mesa drivers the off-screen tools draw with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo with a streamed soundtrack")
# The extended description; CPack puts the summary first and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lumivaara Zadorivora plays about five and a half minutes of rendered scenes
in step with its own music: a grid ray-caster, light shafts, lit and
reflective 3D models and feedback-buffer composites, full screen or in a
window, once or in a loop.

The package also holds lumivaara-capture, which renders the demo off-screen
into PNG frames or, through ffmpeg, a video with its sound, and
lumivaara-bench, which times the frames of chosen stretches of the timeline.

Free software under the MIT (Expat) licence.")
include(CPack)
