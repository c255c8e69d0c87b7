# Shared compile settings for every target of the project.
add_library(kavo_common_cfg INTERFACE)
target_compile_options(kavo_common_cfg INTERFACE -Wall -Wextra -Wno-unused-parameter)
target_compile_definitions(kavo_common_cfg INTERFACE
  QT_NO_KEYWORDS
  KAVO_PORTAL_BASE="${PORTAL_BASE}")
target_include_directories(kavo_common_cfg INTERFACE ${CMAKE_SOURCE_DIR}/src)

# Collects the sources of one subsystem folder: files directly in the folder
# need only QtCore/QtNetwork and go into kavo_core; files under gui/ use widgets
# or web panes and go into kavo_gui.
function(kavo_collect_sources folder)
  file(GLOB core_src CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  file(GLOB gui_src CONFIGURE_DEPENDS ${folder}/gui/*.cpp ${folder}/gui/*.h ${folder}/gui/*.qrc)
  if(core_src)
    target_sources(kavo_core PRIVATE ${core_src})
  endif()
  if(gui_src)
    target_sources(kavo_gui PRIVATE ${gui_src})
  endif()
endfunction()

# A second build folder checks the window-free code under the sanitizers
# (scripts/sanitize.sh); KAVO_FUZZ adds the libFuzzer targets (clang only).
option(KAVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KAVO_FUZZ "Build the libFuzzer targets of tests/fuzz (clang)" OFF)
if(KAVO_SANITIZE OR KAVO_FUZZ)
  target_compile_options(kavo_common_cfg INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(kavo_common_cfg INTERFACE -fsanitize=address,undefined)
endif()
