# One INTERFACE target carries the warning and sanitizer flags for every target of the project.
add_library(zarvex_warnings INTERFACE)
target_compile_options(zarvex_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast -Wshadow)
# GCC 12 sees overlapping copies inside std::string at -O3 where there are none.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(zarvex_warnings INTERFACE -Wno-restrict)
endif()
if(ZARVEX_WERROR)
  target_compile_options(zarvex_warnings INTERFACE -Werror)
endif()
if(ZARVEX_SANITIZE)
  # Applied globally so that every object, tests and libraries alike, is instrumented.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
option(ZARVEX_TSAN "Build with ThreadSanitizer" OFF)
if(ZARVEX_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
option(ZARVEX_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(ZARVEX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_compile_definitions(ZARVEX_FUZZ_BUILD)
  add_link_options(-fsanitize=address,undefined)
endif()
