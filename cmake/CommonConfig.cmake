# One place for the language level and warnings every target shares.
add_library(kovo_common_cfg INTERFACE)
target_compile_features(kovo_common_cfg INTERFACE cxx_std_20)
if(MSVC)
  target_compile_options(kovo_common_cfg INTERFACE /W4 /utf-8)
else()
  target_compile_options(kovo_common_cfg INTERFACE -Wall -Wextra -pedantic -Wold-style-cast)
endif()
target_compile_definitions(kovo_common_cfg INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT
                                                     KOVO_VERSION="${PROJECT_VERSION}")

option(KOVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KOVO_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
# The two runtimes cannot share a process.
if(KOVO_SANITIZE_THREAD AND (KOVO_SANITIZE OR KOVO_FUZZ))
  message(FATAL_ERROR "KOVO_SANITIZE_THREAD cannot be combined with KOVO_SANITIZE or KOVO_FUZZ (AddressSanitizer)")
endif()
# Optimised builds get the hardening Debian expects of installed programs.
if(NOT MSVC AND NOT KOVO_SANITIZE AND NOT KOVO_SANITIZE_THREAD AND NOT KOVO_FUZZ)
  target_compile_definitions(kovo_common_cfg INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  target_link_options(kovo_common_cfg INTERFACE $<$<NOT:$<CONFIG:Debug>>:LINKER:-z,relro,-z,now>)
endif()
if(KOVO_SANITIZE AND NOT MSVC)
  target_compile_options(kovo_common_cfg INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(kovo_common_cfg INTERFACE -fsanitize=address,undefined)
endif()
if(KOVO_SANITIZE_THREAD AND NOT MSVC)
  target_compile_options(kovo_common_cfg INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(kovo_common_cfg INTERFACE -fsanitize=thread)
endif()

# Fuzzing: every target is instrumented for libFuzzer; only the harnesses link its main.
if(KOVO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KOVO_FUZZ needs clang (configure with the fuzz preset)")
  endif()
  target_compile_options(kovo_common_cfg INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(kovo_common_cfg INTERFACE -fsanitize=address,undefined)
endif()
