# Host build: core + fake platform, the payload packer, the host tests and the Wine tests.
find_package(ZLIB REQUIRED)
find_package(GTest REQUIRED)
include(GoogleTest)
enable_testing()

set(TSD_ZLIB ZLIB::ZLIB)
include(cmake/layers.cmake)

# Build-time tools.
# The packer's parts (listing, PE resource reader, stored payload) are a library of their own, for
# the host tests.
tsd_layer(packer_core tools/packer USES tsd_payload tsd_install tsd_base ZLIB::ZLIB
  EXCLUDE "/main\\.cpp$")
add_executable(tsdpack tools/packer/main.cpp)
target_link_libraries(tsdpack PRIVATE packer_core)
# Writes payloads with names that the packer refuses, for the setup programs of the name tests.
add_executable(plant_payload_name tests/tools/plant_payload_name.cpp)
target_link_libraries(plant_payload_name PRIVATE packer_core)

# Where the Windows build leaves its outputs (the real payload, the programs under test).
set(WIN_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/win32" CACHE PATH "Windows build folder")

# Host tests: every unit test against the fake, and the platform contract tests against the fake.
file(GLOB HOST_TEST_SOURCES CONFIGURE_DEPENDS tests/host/*.cpp tests/contract/*.cpp)
add_executable(host_tests ${HOST_TEST_SOURCES})
target_include_directories(host_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(host_tests PRIVATE tsd_app tsd_standin packer_core GTest::gtest
  GTest::gtest_main)
target_compile_definitions(host_tests PRIVATE
  TSD_PAYLOAD_FILE="${WIN_BUILD_DIR}/payload/payload.bin"
  TSD_PACKER="$<TARGET_FILE:tsdpack>"
  TSD_WIN_BUILD_DIR="${WIN_BUILD_DIR}"
  TSD_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(host_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)

# Wine tests: the real programs of the Windows build in throw-away prefixes. They share one
# template prefix (booted by the fixture) and run one at a time.
set(WINE_WORK "${CMAKE_BINARY_DIR}/wine")
file(GLOB WINE_TESTS CONFIGURE_DEPENDS tests/wine/test_*.sh)
add_test(NAME wine.boot_template
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/boot_template.sh)
set_tests_properties(wine.boot_template PROPERTIES FIXTURES_SETUP wine_template
  RESOURCE_LOCK wine TIMEOUT 300
  ENVIRONMENT "WINE_WORK=${WINE_WORK};WIN_BUILD_DIR=${WIN_BUILD_DIR};SRC_DIR=${CMAKE_SOURCE_DIR}")
foreach(script ${WINE_TESTS})
  get_filename_component(name ${script} NAME_WE)
  string(REGEX REPLACE "^test_" "" name ${name})
  add_test(NAME wine.${name} COMMAND bash ${script})
  set_tests_properties(wine.${name} PROPERTIES FIXTURES_REQUIRED wine_template
    RESOURCE_LOCK wine TIMEOUT 600
    ENVIRONMENT "WINE_WORK=${WINE_WORK};WIN_BUILD_DIR=${WIN_BUILD_DIR};SRC_DIR=${CMAKE_SOURCE_DIR}")
endforeach()
# A Wine test that cannot run here (it needs rights this machine does not give) exits 77.
set_tests_properties(wine.full_drive_reinstall PROPERTIES SKIP_RETURN_CODE 77)
# The release test runs "make release", which configures this build again and so makes the
# layers' include folders anew: the test that compiles against them must not run meanwhile.
set_tests_properties(wine.signed_release PROPERTIES RESOURCE_LOCK "wine;host_configure")

# Fuzz targets of the fuzz build, each run briefly over its seeds so that every test run
# exercises them (`make fuzz` runs them long).
set(FUZZ_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/fuzz" CACHE PATH "Fuzz build folder")
set(FUZZ_SMOKE_SECONDS 4 CACHE STRING "Seconds each fuzz target runs in the tests")
file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS tests/fuzz/fuzz_*.cpp)
foreach(source ${FUZZ_TARGETS})
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "^fuzz_" "" reader ${name})
  add_test(NAME fuzz.${reader}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/fuzz/run-fuzz.sh ${FUZZ_BUILD_DIR}/${name}
      ${FUZZ_SMOKE_SECONDS} ${CMAKE_BINARY_DIR}/fuzz-smoke)
  set_tests_properties(fuzz.${reader} PROPERTIES TIMEOUT 120)
endforeach()

# The layers the build enforces, checked against the layer table: every library compiles an
# include of each layer below it, and no include of a layer above it or of the fake platform.
set(LAYER_LIBRARIES tsd_platform_interface tsd_product tsd_base tsd_install tsd_image tsd_lang
  tsd_payload tsd_ui tsd_engine tsd_wizard tsd_app tsd_standin)
set(LAYER_PATHS "")
foreach(layer ${LAYER_LIBRARIES})
  get_target_property(type ${layer} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(property INTERFACE_INCLUDE_DIRECTORIES)
  else()
    set(property INCLUDE_DIRECTORIES)
  endif()
  string(APPEND LAYER_PATHS "${layer} $<JOIN:$<TARGET_PROPERTY:${layer},${property}>, >\n")
endforeach()
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/layer-include-paths.txt CONTENT "${LAYER_PATHS}")
add_test(NAME layers.enforced
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/layers/check-layers.sh
    ${CMAKE_BINARY_DIR}/layer-include-paths.txt ${CMAKE_CXX_COMPILER})
set_tests_properties(layers.enforced PROPERTIES TIMEOUT 300 RESOURCE_LOCK host_configure)
