# pixelops_peer_bench: this library side by side with pixman and SDL2 on the
# same pictures. Built only where pkg-config finds both (Debian:
# libpixman-1-dev, libsdl2-dev); elsewhere it is left out quietly.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(PIXELOPS_PEER_PIXMAN QUIET IMPORTED_TARGET pixman-1)
  pkg_check_modules(PIXELOPS_PEER_SDL2 QUIET IMPORTED_TARGET sdl2)
endif()

if(PIXELOPS_PEER_PIXMAN_FOUND AND PIXELOPS_PEER_SDL2_FOUND)
  file(GLOB PIXELOPS_PEER_BENCH_SOURCES CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/bench/peer/*.cpp)
  add_executable(pixelops_peer_bench ${PIXELOPS_PEER_BENCH_SOURCES})
  target_compile_options(pixelops_peer_bench PRIVATE ${PIXELOPS_WARNINGS})
  target_compile_definitions(pixelops_peer_bench PRIVATE SDL_MAIN_HANDLED)
  set_target_properties(pixelops_peer_bench PROPERTIES CXX_EXTENSIONS OFF)
  # Only the public headers of pixelops: no src/ on the include path.
  target_link_libraries(pixelops_peer_bench PRIVATE pixelops PkgConfig::PIXELOPS_PEER_PIXMAN
                                                    PkgConfig::PIXELOPS_PEER_SDL2)
else()
  message(STATUS "pixelops_peer_bench not built: pkg-config found no pixman-1 and sdl2")
endif()
