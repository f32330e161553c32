# Build settings shared by every target of both flavours.
#   DC_NATIVE   host build: portable code only, tests under the sanitizers
#   DC_WINDOWS  MinGW build: everything, tests run through Wine
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(DC_WINDOWS ON)
  set(DC_NATIVE OFF)
else()
  set(DC_WINDOWS OFF)
  set(DC_NATIVE ON)
endif()

set(DC_SANITIZE "" CACHE STRING "Sanitizers for the native build: asan-ubsan, tsan or empty")
set(DC_TESTDATA "${CMAKE_SOURCE_DIR}/build/testdata" CACHE PATH
    "Generated test streams and clips, shared by both flavours")

set(DC_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:${DC_WARNINGS}>"
                    "$<$<COMPILE_LANGUAGE:C>:${DC_WARNINGS}>")
if(DC_WERROR)
  add_compile_options(-Werror)
endif()

if(DC_WINDOWS)
  # Korean texts: the sources are UTF-8, the program uses the ANSI API with CP949.
  add_compile_options(-finput-charset=UTF-8 -fexec-charset=CP949)
  add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501)
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  if(DC_SANITIZE STREQUAL "asan-ubsan")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  elseif(DC_SANITIZE STREQUAL "tsan")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  endif()
endif()

# GoogleTest: the host package natively, built from Debian's source package
# for MinGW.
if(DC_NATIVE)
  find_package(GTest REQUIRED)
  set(DC_GTEST GTest::gtest GTest::gmock)
  set(DC_GTEST_MAIN GTest::gtest_main)
else()
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(DC_GTEST gtest gmock)
  set(DC_GTEST_MAIN gtest_main)
endif()

# Sources of a folder, split by platform suffix: *_win32.cpp only in the
# Windows build, *_posix.cpp only in the native one.
function(dc_glob_sources out dir)
  file(GLOB all CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.c")
  set(result)
  foreach(f ${all})
    get_filename_component(n "${f}" NAME_WE)
    if(n MATCHES "_win32$")
      if(DC_WINDOWS)
        list(APPEND result "${f}")
      endif()
    elseif(n MATCHES "_posix$")
      if(DC_NATIVE)
        list(APPEND result "${f}")
      endif()
    else()
      list(APPEND result "${f}")
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# One test executable per *_test.cpp file of a folder, registered with CTest.
# Windows builds run them through the emulator (Wine) set by the toolchain.
function(dc_add_tests dir)
  cmake_parse_arguments(T "" "PREFIX" "LIBS;LABELS" ${ARGN})
  dc_glob_sources(files "${dir}")
  foreach(f ${files})
    get_filename_component(n "${f}" NAME_WE)
    if(NOT n MATCHES "_test$")
      continue()
    endif()
    set(t "${T_PREFIX}${n}")
    add_executable(${t} "${f}")
    target_link_libraries(${t} PRIVATE ${T_LIBS} ${DC_GTEST} ${DC_GTEST_MAIN})
    target_include_directories(${t} PRIVATE "${CMAKE_SOURCE_DIR}" "${dir}")
    target_compile_definitions(${t} PRIVATE
      DC_SOURCE_DIR="${CMAKE_SOURCE_DIR}" DC_TESTDATA="${DC_TESTDATA}"
      DC_BINARY_DIR="${CMAKE_BINARY_DIR}")
    add_test(NAME ${t} COMMAND ${t})
    set_tests_properties(${t} PROPERTIES TIMEOUT 600
      ENVIRONMENT "DC_SOURCE_DIR=${CMAKE_SOURCE_DIR};DC_TESTDATA=${DC_TESTDATA}")
    if(T_LABELS)
      set_tests_properties(${t} PROPERTIES LABELS "${T_LABELS}")
    endif()
  endforeach()
endfunction()

# A static library from the sources of a folder; an interface library while
# the folder has no sources yet.
function(dc_add_library name dir)
  dc_glob_sources(files "${dir}")
  if(files)
    add_library(${name} STATIC ${files})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}")
  endif()
endfunction()

# Libraries every test, tool and benchmark may link. They reach into the
# engine on purpose (engine_internal); the application and playclip link the
# public `engine` target alone.
set(DC_ALL_LIBS engine_internal m4vdec aacdec)

# FFmpeg's libswresample, the one outside library: Debian's package natively,
# a static cross build (scripts/build-swresample.sh) for MinGW.
add_library(dc_swresample INTERFACE)
if(DC_NATIVE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SWR REQUIRED IMPORTED_TARGET libswresample libavutil)
  target_link_libraries(dc_swresample INTERFACE PkgConfig::SWR)
else()
  set(swr_root "${CMAKE_SOURCE_DIR}/build/deps/${CMAKE_SYSTEM_PROCESSOR}")
  if(NOT EXISTS "${swr_root}/lib/libswresample.a")
    message(FATAL_ERROR "libswresample missing: run scripts/build-swresample.sh ${CMAKE_SYSTEM_PROCESSOR}")
  endif()
  target_include_directories(dc_swresample INTERFACE "${swr_root}/include")
  target_link_libraries(dc_swresample INTERFACE
    "${swr_root}/lib/libswresample.a" "${swr_root}/lib/libavutil.a" bcrypt)
endif()
