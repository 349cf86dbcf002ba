# Compiler settings shared by every target.

if(WIN32)
  # Sources are UTF-8; the programs hold their text as code page 932.
  add_compile_options(-finput-charset=UTF-8 -fexec-charset=CP932)
  add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0400 WINVER=0x0400)
  # Static runtime: the programs need no DLL beyond the system's own.
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -l 0x411")
  set(CMAKE_RC_COMPILE_OBJECT
      "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -O coff -i <SOURCE> -o <OBJECT>")
else()
  option(NIMBRA_SANITIZE "Build the native tests with AddressSanitizer and UBSan" ON)
  if(NIMBRA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined)
  endif()
  # libFuzzer comes with clang.
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
  check_cxx_source_compiles(
    "#include <cstdint>\n#include <cstddef>\nextern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t){return 0;}"
    NIMBRA_HAVE_LIBFUZZER)
  unset(CMAKE_REQUIRED_FLAGS)
  if(NIMBRA_HAVE_LIBFUZZER)
    # Coverage for the fuzz targets in every library they link, not only in their own sources.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

# Product code: no exceptions, no RTTI, warnings on. The i686 build is for the 486 and later: the
# compiler's default there, the Pentium Pro, has CMOV and FCOMI, which a 486 or Pentium lacks.
function(nimbra_product target)
  target_compile_options(${target} PRIVATE -Wall -Wextra
                         $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fno-threadsafe-statics>)
  if(NOT NIMBRA_ARCH STREQUAL i686)
    return()
  endif()
  # No unwinding tables either: the programs use no exceptions, and the tables would only take room.
  target_compile_options(${target} PRIVATE -march=i486 -fno-asynchronous-unwind-tables)
  # In a shipped program the C runtime comes after every library of ours on the link line.
  get_target_property(type ${target} TYPE)
  if(type STREQUAL STATIC_LIBRARY AND NOT target MATCHES "^(program_runtime|format_text)$")
    target_link_libraries(${target} INTERFACE "$<$<BOOL:$<TARGET_PROPERTY:NIMBRA_SHIPPED>>:program_runtime>")
  endif()
endfunction()

# A program we ship: stripped, with a link map beside it (build/.../bin/NAME.map) for the instruction
# check. The i686 programs start with our own start-up code and link CRTDLL.DLL, the C runtime every
# Windows 95 and NT 4.0 has, instead of the toolchain's start-up code and MSVCRT.DLL; call this after
# every other target_link_libraries of the program, so that the runtime comes last on the link line.
function(nimbra_shipped target)
  target_link_options(${target} PRIVATE -s -Wl,-Map=$<TARGET_FILE:${target}>.map)
  if(NOT NIMBRA_ARCH STREQUAL i686)
    return()
  endif()
  get_target_property(windowed ${target} WIN32_EXECUTABLE)
  if(windowed)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:window_start>)
  else()
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:console_start>)
  endif()
  set_target_properties(${target} PROPERTIES NIMBRA_SHIPPED ON)
  target_link_options(${target} PRIVATE -nostartfiles -nodefaultlibs)
  target_link_libraries(${target} PRIVATE program_runtime)
endfunction()

# A libFuzzer target, registered as a test that runs for a bounded time from its seed corpus NAME_seeds
# beside the sources (new inputs go to a scratch folder in the build tree, never into the sources).
# SOURCES lists its own source and the parser compiled in for coverage feedback; LIBRARIES what it links.
function(nimbra_add_fuzzer name)
  cmake_parse_arguments(PARSE_ARGV 1 fuzz "" "" "SOURCES;LIBRARIES")
  if(NOT NIMBRA_HAVE_LIBFUZZER)
    return()
  endif()
  set(seed_dir ${CMAKE_CURRENT_SOURCE_DIR}/${name}_seeds)
  add_executable(${name} ${fuzz_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${fuzz_LIBRARIES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${work})
  # NIMBRA_FUZZ_SECONDS in the environment of the test run sets how long each target runs (default 30);
  # -max_total_time bounds the run, so ctest needs no timeout of its own.
  add_test(NAME ${name}
           COMMAND sh -c "exec \"$0\" -max_total_time=\${NIMBRA_FUZZ_SECONDS:-30} -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \"$@\""
                   $<TARGET_FILE:${name}> -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/${name}- ${work} ${seed_dir})
  set_tests_properties(${name} PROPERTIES LABELS fuzz)
  if(NIMBRA_PC_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK ${NIMBRA_PC_LOCK})
  endif()
endfunction()
