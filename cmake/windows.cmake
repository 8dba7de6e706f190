# Windows build: the setup program with its resources, the stand-in application, and the Windows
# test programs. Everything is linked statically: no DLL beyond the system's.
set(PACKER "" CACHE FILEPATH "The payload packer built by the host build")
if(NOT PACKER)
  message(FATAL_ERROR "PACKER must name the host build's tsdpack")
endif()
set(RC windres)
# The toolchain file chooses the architecture: i686 (the product) or x86_64.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(MINGW_TRIPLE x86_64-w64-mingw32)
  set(RES_FORMAT pe-x86-64)
  set(MANIFEST_ARCH amd64)
else()
  set(MINGW_TRIPLE i686-w64-mingw32)
  set(RES_FORMAT pe-i386)
  set(MANIFEST_ARCH x86)
endif()
find_program(WINDRES NAMES ${MINGW_TRIPLE}-windres REQUIRED)

# Small programs start faster and the setup program carries one inside: optimise for size across
# the whole program at link time (the objects carry both forms, so that plain archives still index
# them; one partition, as this compiler fails on the setup program split in several), and let the
# linker drop every function and datum that nothing uses. Both programs run on one thread: local
# statics need no guard.
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
add_compile_options(-ffunction-sections -fdata-sections -flto -ffat-lto-objects
  -fno-threadsafe-statics)
# No C++ exceptions: every failure is a result that the caller checks, and the runtime's own
# errors end the program (platform/win32/runtime_errors.cpp). That drops the unwind tables and
# the unwinder. A 32-bit program needs no unwind tables at all then; a 64-bit one keeps them, as
# Windows itself walks its stack by them.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
# No run-time type information either: its type objects and names cost kilobytes, and the one
# question the code asks at run time, what class a control or PNG chunk is, the classes answer
# themselves (ui/ClassType.h, TChunk::KindOf).
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
# The runtime's strings are instantiated in each program (cmake/implicit_strings.h), except in
# the test programs that use the runtime's string streams (TSD_RUNTIME_STREAMS), whose classes
# this toolchain cannot link when instantiated in the program.
add_compile_options(
  "$<$<AND:$<COMPILE_LANGUAGE:CXX>,$<NOT:$<BOOL:$<TARGET_PROPERTY:TSD_RUNTIME_STREAMS>>>>:SHELL:-include ${CMAKE_SOURCE_DIR}/cmake/implicit_strings.h>")
set(WIN_LINK_FLAGS -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp
  -Wl,--gc-sections -Os -flto -flto-partition=one -fno-exceptions -fno-rtti)
# What Windows' binary checkers ask of a program: a relocatable image (ASLR) that runs with data
# execution prevention, is terminal-server aware, and declares that it registers no SEH handler
# (the programs use no exceptions, and this toolchain's would unwind through DWARF tables, so no
# SafeSEH table is needed).
# The subsystem and OS version say Windows 7, the oldest system the code is written for.
list(APPEND WIN_LINK_FLAGS -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware
  -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1
  -Wl,--major-os-version,6 -Wl,--minor-os-version,1)
# 32-bit Windows keeps its stack aligned to 4 bytes only, and calls the window procedures so: code
# that keeps it aligned to 16 on its own pays with padding and realignment in every frame, for
# nothing, as these programs use no SSE.
set(SIZE_FLAGS_X86 -mpreferred-stack-boundary=2)
# A 64-bit program's exceptions are always table-based; the flag only exists for 32-bit images.
if(MANIFEST_ARCH STREQUAL "x86")
  add_compile_options(-fno-asynchronous-unwind-tables ${SIZE_FLAGS_X86})
  list(APPEND WIN_LINK_FLAGS -fno-asynchronous-unwind-tables -Wl,--no-seh ${SIZE_FLAGS_X86})
else()
  # Addresses above 4 GB for the image and its heap: full ASLR for a 64-bit program.
  list(APPEND WIN_LINK_FLAGS -Wl,--high-entropy-va)
endif()
# A stack protector on every function with an array or an address-taken local. The same option
# at link time brings the compiler's libssp, which -static takes from its archive: no new DLL.
add_compile_options(-fstack-protector-strong)
list(APPEND WIN_LINK_FLAGS -fstack-protector-strong)
set(WIN_SYSTEM_LIBS ole32 uuid shell32 comctl32 gdi32 user32 kernel32)
add_compile_definitions(UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
# Date values must come out bit for bit as the packer computed them on the build machine: x87
# arithmetic keeps excess precision and rounds differently, so use SSE2 doubles.
add_compile_options(-msse2 -mfpmath=sse)

# Linked into each program itself: they replace definitions of the runtime libraries. The stack
# protector's guard is referenced only by the code the compiler generates, which link-time
# optimisation does not see: that file is compiled to plain code.
set(RUNTIME_ERRORS ${CMAKE_SOURCE_DIR}/platform/win32/runtime_errors.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/stack_guard.cpp)
set_source_files_properties(${CMAKE_SOURCE_DIR}/platform/win32/stack_guard.cpp PROPERTIES
  COMPILE_OPTIONS -fno-lto)
set(TSD_WINDOWS TRUE)
include(cmake/layers.cmake)

# The manifests name the program's own architecture, in their identity and in the common controls
# they depend on (Windows refuses a 64-bit program that asks for the x86 assembly). The sources
# say x86; each build reads its own copy first.
set(MANIFEST_DIR ${CMAKE_BINARY_DIR}/manifests)
foreach(manifest setup.manifest tsd.manifest)
  file(READ ${CMAKE_SOURCE_DIR}/resources/${manifest} text)
  string(REPLACE "processorArchitecture=\"x86\"" "processorArchitecture=\"${MANIFEST_ARCH}\"" text
    "${text}")
  file(CONFIGURE OUTPUT ${MANIFEST_DIR}/${manifest} CONTENT "${text}" @ONLY)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/setup.manifest ${CMAKE_SOURCE_DIR}/resources/tsd.manifest)

# ---- The stand-in application, packed first into the payload ----
# Its icon, manifest and version resource.
set(TSD_RESOURCE_INPUTS tsd.rc tsd.manifest version.rc Product.h tessaron.ico)
list(TRANSFORM TSD_RESOURCE_INPUTS PREPEND ${CMAKE_SOURCE_DIR}/resources/)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/tsd_res.o
  COMMAND ${WINDRES} -F ${RES_FORMAT} -I ${MANIFEST_DIR} -I ${CMAKE_SOURCE_DIR}/resources
          -i ${CMAKE_SOURCE_DIR}/resources/tsd.rc -o ${CMAKE_BINARY_DIR}/tsd_res.o
  DEPENDS ${TSD_RESOURCE_INPUTS}
  COMMENT "Compiling resources for tsd.exe")
add_executable(tsd WIN32 standin/tsd.cpp ${RUNTIME_ERRORS} ${CMAKE_BINARY_DIR}/tsd_res.o)
# Without its symbol table: the application travels inside the setup program.
target_link_options(tsd PRIVATE ${WIN_LINK_FLAGS} -municode -s)
target_link_libraries(tsd PRIVATE tsd_standin ${WIN_SYSTEM_LIBS})

# ---- The payload ----
# PAYLOAD names another folder to pack (its listing.txt and the files beside it), for release
# builds and the benchmark; empty packs resources/payload. The stand-in application is packed as
# tsd.exe unless the folder brings a tsd.exe of its own.
set(PAYLOAD "" CACHE PATH "Folder with listing.txt and the files to pack (empty: resources/payload)")
set(PAYLOAD_DIR ${CMAKE_BINARY_DIR}/payload)
if(PAYLOAD)
  set(PAYLOAD_SOURCE ${PAYLOAD})
else()
  set(PAYLOAD_SOURCE ${CMAKE_SOURCE_DIR}/resources/payload)
endif()
set(LISTING ${PAYLOAD_SOURCE}/listing.txt)
if(NOT EXISTS ${LISTING})
  message(FATAL_ERROR "${LISTING} does not exist")
endif()
file(GLOB_RECURSE PAYLOAD_INPUTS CONFIGURE_DEPENDS ${PAYLOAD_SOURCE}/*)
if(EXISTS ${PAYLOAD_SOURCE}/tsd.exe)
  set(PACK_STANDIN "")
else()
  set(PACK_STANDIN --set "tsd.exe=$<TARGET_FILE:tsd>")
endif()
# Rewritten only when the choice changes, so that a switch to older files repacks too.
file(CONFIGURE OUTPUT ${PAYLOAD_DIR}/source.txt CONTENT "${PAYLOAD_SOURCE}\n")
add_custom_command(OUTPUT ${PAYLOAD_DIR}/payload.bin
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PAYLOAD_DIR}
  COMMAND ${PACKER} --listing ${LISTING} ${PACK_STANDIN} --out ${PAYLOAD_DIR}/payload.bin
  DEPENDS ${PACKER} ${PAYLOAD_INPUTS} ${PAYLOAD_DIR}/source.txt tsd
  COMMENT "Packing the payload")
# A copy with damaged deflate data, for the test that the program stops before any window.
set(DAMAGED_DIR ${CMAKE_BINARY_DIR}/damaged)
add_custom_command(OUTPUT ${DAMAGED_DIR}/payload.bin
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DAMAGED_DIR}
  COMMAND sh ${CMAKE_SOURCE_DIR}/tools/damage-payload.sh ${PAYLOAD_DIR}/payload.bin
          ${DAMAGED_DIR}/payload.bin
  DEPENDS ${PAYLOAD_DIR}/payload.bin ${CMAKE_SOURCE_DIR}/tools/damage-payload.sh)
# Copies whose payload ends in an entry with a name the setup program must refuse, written by a
# test tool of the host build beside the packer.
get_filename_component(HOST_TOOLS ${PACKER} DIRECTORY)
set(PLANTER ${HOST_TOOLS}/plant_payload_name)
set(PLANTED_NAMES
  "step-up" "Templates\\..\\..\\..\\..\\Victim\\x.txt"
  "stream" "Templates\\Letters\\x.rtf:data")
set(PLANTED_RESOURCES)
set(PLANTED_KINDS)
while(PLANTED_NAMES)
  list(POP_FRONT PLANTED_NAMES kind name)
  set(dir ${CMAKE_BINARY_DIR}/planted-${kind})
  add_custom_command(OUTPUT ${dir}/payload.bin
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${PLANTER} ${PAYLOAD_DIR}/payload.bin ${dir}/payload.bin "${name}"
    DEPENDS ${PLANTER} ${PAYLOAD_DIR}/payload.bin
    VERBATIM)
  list(APPEND PLANTED_KINDS ${kind})
endwhile()

# Resource objects: setup.rc takes "payload.bin" from the include folder it is given.
file(GLOB RESOURCE_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*)
function(setup_resources out payload_dir)
  add_custom_command(OUTPUT ${out}
    COMMAND ${WINDRES} -F ${RES_FORMAT} -I ${payload_dir} -I ${MANIFEST_DIR} -I ${CMAKE_SOURCE_DIR}/resources
            -i ${CMAKE_SOURCE_DIR}/resources/setup.rc -o ${out}
    DEPENDS ${payload_dir}/payload.bin ${RESOURCE_INPUTS}
    COMMENT "Compiling resources for ${out}")
endfunction()
setup_resources(${CMAKE_BINARY_DIR}/setup_res.o ${PAYLOAD_DIR})
setup_resources(${CMAKE_BINARY_DIR}/setup_damaged_res.o ${DAMAGED_DIR})
foreach(kind ${PLANTED_KINDS})
  setup_resources(${CMAKE_BINARY_DIR}/setup_planted_${kind}_res.o ${CMAKE_BINARY_DIR}/planted-${kind})
  list(APPEND PLANTED_RESOURCES ${CMAKE_BINARY_DIR}/setup_planted_${kind}_res.o)
endforeach()
# One target makes the payloads and resource objects; every program that links one depends on it,
# so that parallel builds never run the packer twice at once.
add_custom_target(setup_resources DEPENDS ${CMAKE_BINARY_DIR}/setup_res.o
  ${CMAKE_BINARY_DIR}/setup_damaged_res.o ${PLANTED_RESOURCES})

# ---- The setup program ----
add_executable(tessaron-setup WIN32 app/WinMain_win32.cpp ${RUNTIME_ERRORS}
  ${CMAKE_BINARY_DIR}/setup_res.o)
# Without its symbol table, as the program is shipped.
target_link_options(tessaron-setup PRIVATE ${WIN_LINK_FLAGS} -municode -s)
target_link_libraries(tessaron-setup PRIVATE tsd_app ${WIN_SYSTEM_LIBS})

add_executable(tessaron-setup-damaged WIN32 app/WinMain_win32.cpp ${RUNTIME_ERRORS}
  ${CMAKE_BINARY_DIR}/setup_damaged_res.o)
target_link_options(tessaron-setup-damaged PRIVATE ${WIN_LINK_FLAGS} -municode)
target_link_libraries(tessaron-setup-damaged PRIVATE tsd_app ${WIN_SYSTEM_LIBS})

set(PLANTED_PROGRAMS)
foreach(kind ${PLANTED_KINDS})
  add_executable(tessaron-setup-planted-${kind} WIN32 app/WinMain_win32.cpp ${RUNTIME_ERRORS}
    ${CMAKE_BINARY_DIR}/setup_planted_${kind}_res.o)
  target_link_options(tessaron-setup-planted-${kind} PRIVATE ${WIN_LINK_FLAGS} -municode)
  target_link_libraries(tessaron-setup-planted-${kind} PRIVATE tsd_app ${WIN_SYSTEM_LIBS})
  list(APPEND PLANTED_PROGRAMS tessaron-setup-planted-${kind})
endforeach()

# ---- The release's setup program ----
# Built only on demand (tools/release.sh): the same program over the same payload, except that it
# packs release/tsd.exe, the signed application, as it is. It links this build's objects, so the
# release ships exactly the code that the tests ran, and takes seconds instead of a second build.
set(RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
add_custom_command(OUTPUT ${RELEASE_DIR}/payload.bin
  COMMAND ${PACKER} --listing ${LISTING} --set "tsd.exe=${RELEASE_DIR}/tsd.exe"
          --out ${RELEASE_DIR}/payload.bin
  DEPENDS ${PACKER} ${PAYLOAD_INPUTS} ${PAYLOAD_DIR}/source.txt ${RELEASE_DIR}/tsd.exe
  COMMENT "Packing the release payload")
setup_resources(${RELEASE_DIR}/setup_res.o ${RELEASE_DIR})
add_custom_target(release_resources DEPENDS ${RELEASE_DIR}/setup_res.o)
add_executable(release_setup EXCLUDE_FROM_ALL WIN32 app/WinMain_win32.cpp ${RUNTIME_ERRORS}
  ${RELEASE_DIR}/setup_res.o)
set_target_properties(release_setup PROPERTIES OUTPUT_NAME tessaron-setup
  RUNTIME_OUTPUT_DIRECTORY ${RELEASE_DIR})
target_link_options(release_setup PRIVATE ${WIN_LINK_FLAGS} -municode -s)
target_link_libraries(release_setup PRIVATE tsd_app ${WIN_SYSTEM_LIBS})
add_dependencies(release_setup release_resources)

# ---- Windows test programs (run under Wine by the host build's tests) ----
set(GTEST_SRC /usr/src/googletest/googletest)
add_library(gtest_win STATIC ${GTEST_SRC}/src/gtest-all.cc)
target_include_directories(gtest_win PUBLIC ${GTEST_SRC}/include PRIVATE ${GTEST_SRC})
target_compile_options(gtest_win PRIVATE -w)
# The win32-threads mingw runtime has no std::mutex, which gtest needs only for its Notification.
target_compile_options(gtest_win PUBLIC
  -include ${CMAKE_SOURCE_DIR}/tests/win/gtest_notification_mingw.h)

file(GLOB CONTRACT_SOURCES CONFIGURE_DEPENDS tests/contract/*.cpp)
add_executable(platform_contract_tests ${CONTRACT_SOURCES} tests/win/gtest_main_win32.cpp)
target_include_directories(platform_contract_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(platform_contract_tests PRIVATE ${WIN_LINK_FLAGS})
target_link_libraries(platform_contract_tests PRIVATE platform_win32 gtest_win ${WIN_SYSTEM_LIBS})
set_target_properties(gtest_win platform_contract_tests PROPERTIES TSD_RUNTIME_STREAMS ON)

# Installs the payload with the real platform and reads it back (run under Wine).
add_executable(payload_install_check tests/win/PayloadInstallCheck.cpp
  ${CMAKE_BINARY_DIR}/setup_res.o)
target_include_directories(payload_install_check PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(payload_install_check PRIVATE ${WIN_LINK_FLAGS})
target_link_libraries(payload_install_check PRIVATE tsd_app ${WIN_SYSTEM_LIBS})

# Reads shortcuts and registry values back for the Wine tests.
add_executable(read_back tests/win/ReadBack.cpp)
target_include_directories(read_back PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(read_back PRIVATE ${WIN_LINK_FLAGS})
target_link_libraries(read_back PRIVATE tsd_app version ${WIN_SYSTEM_LIBS})

# The stack protector as the shipped programs have it: its guard and a smashed stack.
add_executable(stack_guard_check tests/win/StackGuardCheck.cpp ${RUNTIME_ERRORS})
target_link_options(stack_guard_check PRIVATE ${WIN_LINK_FLAGS})
target_link_libraries(stack_guard_check PRIVATE ${WIN_SYSTEM_LIBS})

# The automation driver of the Wine wizard tests (a console program, no link to the setup's code).
add_executable(wizard_driver tests/win/WizardDriver.cpp)
target_link_options(wizard_driver PRIVATE ${WIN_LINK_FLAGS} -municode)
target_link_libraries(wizard_driver PRIVATE ${WIN_SYSTEM_LIBS})

# A form with every kind of control on the Win32 window backend (its own Wine test). It takes the
# setup's resources for the same manifest (common controls 6, DPI awareness) and icon.
add_executable(ui_demo tests/win/UiDemo.cpp ${CMAKE_BINARY_DIR}/setup_res.o)
target_include_directories(ui_demo PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(ui_demo PRIVATE ${WIN_LINK_FLAGS})
target_link_libraries(ui_demo PRIVATE tsd_app ${WIN_SYSTEM_LIBS})

foreach(program tessaron-setup tessaron-setup-damaged ${PLANTED_PROGRAMS} payload_install_check
    ui_demo)
  add_dependencies(${program} setup_resources)
endforeach()
