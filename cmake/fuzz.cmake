# Fuzz build (clang; libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer): the portable
# core, the fake platform and the stand-in's removal, and one fuzz target per reader
# (tests/fuzz/fuzz_<reader>.cpp). `make fuzz` runs them; the host build's CTest runs each briefly.
find_package(ZLIB REQUIRED)

set(SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
add_compile_options(${SANITIZERS} -fsanitize=fuzzer-no-link -g)
add_link_options(${SANITIZERS})

include(cmake/layers.cmake)

# The packer's PE resource reader, which tsdpack runs over any file it is given.
add_library(fuzz_pe_reader STATIC tools/packer/PeResources.cpp)
target_include_directories(fuzz_pe_reader PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/fuzz_*.cpp)
foreach(source ${FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  # zlib is the reference that the inflater's results are compared with.
  target_link_libraries(${name} PRIVATE tsd_app tsd_standin fuzz_pe_reader ZLIB::ZLIB)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_compile_definitions(${name} PRIVATE TSD_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TSD_PAYLOAD_FILE="")
endforeach()
