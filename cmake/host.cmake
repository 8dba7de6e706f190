# Host build: core + fake platform, the payload packer, the host tests and the Wine tests.
find_package(ZLIB REQUIRED)
find_package(GTest REQUIRED)
include(GoogleTest)
enable_testing()

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
# Prints the inflater's time over a payload beside zlib's (bench/inflate_bench.cpp; not a test).
add_executable(inflate_bench bench/inflate_bench.cpp)
target_include_directories(inflate_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(inflate_bench PRIVATE tsd_image ZLIB::ZLIB)

# Where the Windows build leaves its outputs (the real payload, the programs under test).
set(WIN_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/win32" CACHE PATH "Windows build folder")
set(WIN64_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/win64" CACHE PATH "64-bit Windows build folder")

# Host tests: every unit test against the fake, and the platform contract tests against the fake.
file(GLOB HOST_TEST_SOURCES CONFIGURE_DEPENDS tests/host/*.cpp tests/contract/*.cpp)
add_executable(host_tests ${HOST_TEST_SOURCES})
target_include_directories(host_tests PRIVATE ${CMAKE_SOURCE_DIR})
# zlib compresses the tests' inputs; the programs inflate with their own code.
target_link_libraries(host_tests PRIVATE tsd_app tsd_standin packer_core ZLIB::ZLIB GTest::gtest
  GTest::gtest_main)
target_compile_definitions(host_tests PRIVATE
  TSD_PAYLOAD_FILE="${WIN_BUILD_DIR}/payload/payload.bin"
  TSD_PACKER="$<TARGET_FILE:tsdpack>"
  TSD_WIN_BUILD_DIR="${WIN_BUILD_DIR}"
  TSD_WIN64_BUILD_DIR="${WIN64_BUILD_DIR}"
  TSD_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# The kill sweep's sample runs about a minute on a busy machine: the limit only catches a hang.
gtest_discover_tests(host_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 180)

# Wine tests: the real programs of a Windows build in throw-away prefixes. Each kind of run has
# one template prefix (booted by its fixture) and its own work folder; all run one at a time.
#   x86:   wine.*    the 32-bit programs (the product) in 32-bit prefixes
#   x64:   wine64.*  the 64-bit programs in 64-bit prefixes
#   wow64: wow64.*   the 32-bit setup in 64-bit prefixes, as 64-bit Windows runs it (tests/wine/wow64)
# Where the host runs 64-bit code only (HOST_CODE 64), a kind that needs 32-bit code is reported
# as not run (skipped), test by test.
set(HOST_CODE "both" CACHE STRING "What the host runs: both (32- and 64-bit code) or 64")
set(WINE_BUILDS "x86 x64 wow64" CACHE STRING "What the Wine tests run: x86, x64, wow64")
separate_arguments(WINE_BUILD_LIST UNIX_COMMAND "${WINE_BUILDS}")
file(GLOB WINE_TESTS CONFIGURE_DEPENDS tests/wine/test_*.sh)
file(GLOB WOW64_TESTS CONFIGURE_DEPENDS tests/wine/wow64/test_*.sh)
foreach(build ${WINE_BUILD_LIST})
  if(build STREQUAL "x86")
    set(group wine)
    set(dir ${WIN_BUILD_DIR})
    set(scripts ${WINE_TESTS})
  elseif(build STREQUAL "x64")
    set(group wine64)
    set(dir ${WIN64_BUILD_DIR})
    set(scripts ${WINE_TESTS})
  elseif(build STREQUAL "wow64")
    set(group wow64)
    set(dir ${WIN_BUILD_DIR})
    set(scripts ${WOW64_TESTS})
  else()
    message(FATAL_ERROR "WINE_BUILDS: no such build ${build} (x86, x64, wow64)")
  endif()
  set(env "WINE_WORK=${CMAKE_BINARY_DIR}/${group};WIN_BUILD_DIR=${dir};SRC_DIR=${CMAKE_SOURCE_DIR}"
    "WINE_BUILD=${build};HOST_CODE=${HOST_CODE}")
  # Without the code to run them the tests skip at once, and need no template.
  set(runnable TRUE)
  if(NOT build STREQUAL "x64" AND NOT HOST_CODE STREQUAL "both")
    set(runnable FALSE)
  endif()
  if(runnable)
    add_test(NAME ${group}.boot_template
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/boot_template.sh)
    set_tests_properties(${group}.boot_template PROPERTIES FIXTURES_SETUP ${group}_template
      RESOURCE_LOCK wine TIMEOUT 300 ENVIRONMENT "${env}")
  endif()
  foreach(script ${scripts})
    get_filename_component(name ${script} NAME_WE)
    string(REGEX REPLACE "^test_" "" name ${name})
    add_test(NAME ${group}.${name} COMMAND bash ${script})
    # A test that cannot run here (the 32-bit programs on a host without 32-bit code, or rights
    # this machine does not give) exits 77.
    set_tests_properties(${group}.${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 600
      SKIP_RETURN_CODE 77 ENVIRONMENT "${env}")
    if(runnable)
      set_tests_properties(${group}.${name} PROPERTIES FIXTURES_REQUIRED ${group}_template)
    endif()
  endforeach()
  # The release test runs "make release", which configures this build again and so makes the
  # layers' include folders anew: the test that compiles against them must not run meanwhile.
  if(TEST ${group}.signed_release)
    set_tests_properties(${group}.signed_release PROPERTIES RESOURCE_LOCK "wine;host_configure")
  endif()
endforeach()

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
