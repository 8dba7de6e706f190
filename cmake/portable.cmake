# The libraries that the host and the fuzz builds share: the portable core over the fake platform,
# and the stand-in application's portable part (its removal of the installed copy).
add_library(setupcore STATIC ${CORE_SOURCES})
target_include_directories(setupcore PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(setupcore PUBLIC ZLIB::ZLIB)

file(GLOB FAKE_SOURCES CONFIGURE_DEPENDS platform/fake/*.cpp)
add_library(platform_fake STATIC ${FAKE_SOURCES})
target_include_directories(platform_fake PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB STANDIN_CORE_SOURCES CONFIGURE_DEPENDS standin/*.cpp)
list(FILTER STANDIN_CORE_SOURCES EXCLUDE REGEX "(_win32|/tsd)\\.cpp$")
add_library(standin_core STATIC ${STANDIN_CORE_SOURCES})
target_link_libraries(standin_core PUBLIC setupcore)
