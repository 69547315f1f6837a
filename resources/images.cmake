# The pictures the windows load from ":/new prefix/images/NAME", drawn as SVG
# in resources/icons/ and rendered at build time by our own iconrender tool
# into ${CMAKE_BINARY_DIR}/images/. A .png comes with an "@2x" twin for
# high-DPI screens; an .ico holds several sizes. The static library
# vantreo_images carries them all as one resource file; initialiseImages()
# (resources/images.h) pulls it into whatever links the library.
find_package(Qt5 5.15 REQUIRED COMPONENTS Svg)

# The host tool. Built like everything else here (sanitizer and fuzzing
# builds instrument it too), so its runs turn off leak checking (Qt's
# platform plugin keeps memory until exit by design) and ThreadSanitizer's
# reports (Qt converts and paints large images on threads of its own, inside
# its uninstrumented libraries, which ThreadSanitizer cannot see ordered).
add_executable(iconrender ${CMAKE_CURRENT_LIST_DIR}/render/iconrender.cpp)
target_link_libraries(iconrender PRIVATE Qt5::Gui Qt5::Svg)
set_target_properties(iconrender PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/render)

# NAME  WIDTH  HEIGHT [SVG]: the resource name, its size in logical pixels (an
# .ico: its largest entry) and the drawing, resources/icons/<NAME less its
# extension>.svg unless given.
set(_vantreo_pictures
  # Tool row and page buttons.
  parameter.png 32 32
  monitor.png 32 32
  trend.png 32 32
  help.png 32 32
  exit.png 32 32
  run.png 32 32
  stop.png 32 32
  option.png 32 32
  clear-all.png 32 32
  zoom-in.png 32 32
  zoom-out.png 32 32
  save.ico 64 64
  coordinate.ico 64 64
  move.ico 64 64
  close.png 32 32
  locked.png 32 32
  ok.png 32 32
  cancel.png 32 32
  # Lamps.
  on.png 20 20
  off.png 20 20
  on_red.png 20 20
  # The drive tree.
  parent_small.png 16 16
  inv_small.png 16 16
  # The program's icon (the installed one is the same drawing) and the
  # pictures of the version dialog.
  Korvane.ico 256 256 ${CMAKE_CURRENT_LIST_DIR}/images/vantreo.svg
  about.bmp 400 110
  back.bmp 400 300
)

set(_dir ${CMAKE_BINARY_DIR}/images)
file(MAKE_DIRECTORY ${_dir})
set(_outputs)
set(_entries)
list(LENGTH _vantreo_pictures _count)
set(_i 0)
while(_i LESS _count)
  list(GET _vantreo_pictures ${_i} _name)
  math(EXPR _i "${_i} + 1")
  list(GET _vantreo_pictures ${_i} _width)
  math(EXPR _i "${_i} + 1")
  list(GET _vantreo_pictures ${_i} _height)
  math(EXPR _i "${_i} + 1")
  get_filename_component(_base ${_name} NAME_WLE)
  get_filename_component(_ext ${_name} LAST_EXT)
  set(_svg ${CMAKE_CURRENT_LIST_DIR}/icons/${_base}.svg)
  if(_i LESS _count)
    list(GET _vantreo_pictures ${_i} _next)
    if(_next MATCHES "\\.svg$")
      set(_svg ${_next})
      math(EXPR _i "${_i} + 1")
    endif()
  endif()
  set(_files ${_name})
  if(_ext STREQUAL ".png")
    list(APPEND _files ${_base}@2x.png)
  endif()
  set(_out)
  foreach(_file IN LISTS _files)
    list(APPEND _out ${_dir}/${_file})
    string(APPEND _entries "    <file alias=\"images/${_file}\">${_file}</file>\n")
  endforeach()
  add_custom_command(OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
      TSAN_OPTIONS=report_bugs=0
      $<TARGET_FILE:iconrender> ${_svg} ${_dir}/${_name} ${_width} ${_height}
    DEPENDS ${_svg} iconrender
    COMMENT "Drawing images/${_name}"
    VERBATIM)
  list(APPEND _outputs ${_out})
endwhile()

# Written at configure time (replaced only when the list changes), so that
# the resource compiler knows every picture it depends on. Copied as it is:
# the "@" of the twins' names is no variable reference.
file(WRITE ${_dir}/vantreo_images.qrc.new
  "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/new prefix\">\n${_entries}  </qresource>\n</RCC>\n")
configure_file(${_dir}/vantreo_images.qrc.new ${_dir}/vantreo_images.qrc COPYONLY)

# The rendered files are sources too, so that their commands belong to the
# target whose resource compiler reads them.
add_library(vantreo_images STATIC ${CMAKE_CURRENT_LIST_DIR}/images.cpp
  ${CMAKE_CURRENT_LIST_DIR}/images.h ${_dir}/vantreo_images.qrc ${_outputs})
set_target_properties(vantreo_images PROPERTIES AUTORCC ON)
vantreo_layer(vantreo_images resources)
target_link_libraries(vantreo_images PUBLIC Qt5::Core)

unset(_vantreo_pictures)
