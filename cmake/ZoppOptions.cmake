# Warnings and sanitizers for the project's own targets only.
add_library(zopp_options INTERFACE)
target_compile_options(zopp_options INTERFACE -Wall -Wextra -Wpedantic)
target_compile_features(zopp_options INTERFACE cxx_std_20)

if(ZOPP_SANITIZE AND ZOPP_TSAN)
  message(FATAL_ERROR "ZOPP_SANITIZE and ZOPP_TSAN exclude each other: ThreadSanitizer cannot run beside "
                      "AddressSanitizer. Use one per build folder (scripts/test and scripts/tsan do).")
endif()
if(ZOPP_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${_san})
  add_link_options(${_san})
endif()
if(ZOPP_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# The source folder as the tests see it, for data files kept beside the code.
set(ZOPP_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
