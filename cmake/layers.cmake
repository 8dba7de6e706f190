# The layers of the code, one static library per folder, each linking only the layers below it:
#
#   tsd_platform   platform/         the seam to Windows (its implementation is chosen per build)
#   tsd_product    resources/        the product's facts (names, version, publisher)
#   tsd_base       base/             UTF-8 conversion and locale comparison of texts
#   tsd_install    install/          folders, files, dates, the install log, shortcuts, drives
#   tsd_image      image/            inflate buffer and stream, bitmaps, the PNG reader
#   tsd_lang       wizard/lang/      the interface languages and the message box
#   tsd_payload    payload/          the payload format and its reader and writer
#   tsd_ui         ui/               the window framework
#   tsd_engine     wizard/engine/    the registry records, the running-instance check, the update log
#   tsd_wizard     wizard/           the wizard form, its pages and the installation
#   tsd_app        app/              the command line and the run
#   tsd_standin    standin/          the stand-in application's removal (beside tsd_app)
#
# A library sees only the headers of its own folder and of the libraries it links: each library's
# include folder holds links to its folder's headers alone, and the source tree itself is on no
# library's include path. An include of a higher layer therefore does not compile.
#
# Before including this file: TSD_WINDOWS is true for the Windows build, whose libraries take
# their *_win32.cpp files too and whose platform is the real one (platform_win32) instead of the
# in-memory fake (platform_fake). No layer links zlib: the image layer inflates with its own code.

# tsd_layer(<target> <folder> [USES <targets>...] [EXCLUDE <regex>] [PRIVATE_HEADERS])
# PRIVATE_HEADERS keeps the folder's headers to the library itself (an implementation's own).
function(tsd_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 LAYER "PRIVATE_HEADERS" "EXCLUDE" "USES")
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT TSD_WINDOWS)
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  if(LAYER_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${LAYER_EXCLUDE}")
  endif()
  if(sources)
    add_library(${target} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  if(LAYER_PRIVATE_HEADERS)
    target_include_directories(${target} PRIVATE ${root})
  else()
    target_include_directories(${target} ${scope} ${root})
  endif()
  target_link_libraries(${target} ${scope} ${LAYER_USES})
endfunction()

# The platform's interface alone, for its two implementations; every layer above links
# tsd_platform, which brings the build's implementation after all of them on the link line.
tsd_layer(tsd_platform_interface platform)
if(TSD_WINDOWS)
  # runtime_errors.cpp and stack_guard.cpp replace definitions of the runtime libraries: each
  # program links them itself.
  tsd_layer(platform_win32 platform/win32 USES tsd_platform_interface
    EXCLUDE "/(runtime_errors|stack_guard)\\.cpp$" PRIVATE_HEADERS)
  set(implementation platform_win32)
else()
  # The tests reach the fake's own header (the machine they set up) through the source tree.
  tsd_layer(platform_fake platform/fake USES tsd_platform_interface PRIVATE_HEADERS)
  set(implementation platform_fake)
endif()
add_library(tsd_platform INTERFACE)
target_link_libraries(tsd_platform INTERFACE tsd_platform_interface ${implementation})

tsd_layer(tsd_product resources USES tsd_platform)
tsd_layer(tsd_base base USES tsd_platform)
tsd_layer(tsd_install install USES tsd_base tsd_product tsd_platform)
tsd_layer(tsd_image image USES tsd_platform)
tsd_layer(tsd_lang wizard/lang USES tsd_base tsd_product tsd_platform)
tsd_layer(tsd_payload payload USES tsd_install tsd_image tsd_lang)
tsd_layer(tsd_ui ui USES tsd_base tsd_image tsd_platform)
tsd_layer(tsd_engine wizard/engine USES tsd_install tsd_lang tsd_product)
tsd_layer(tsd_wizard wizard USES tsd_engine tsd_payload tsd_ui)
tsd_layer(tsd_app app USES tsd_wizard EXCLUDE "/WinMain_win32\\.cpp$")
tsd_layer(tsd_standin standin USES tsd_engine EXCLUDE "/tsd\\.cpp$")
