# Picks the platform folder and the project-wide compiler settings.
# Everything outside platform/ is portable; the build alone decides which
# implementation of the platform layer goes in.
if(WIN32)
  set(TARNWICK_PLATFORM_DIR win32)
else()
  set(TARNWICK_PLATFORM_DIR posix)
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wshadow -Wno-unused-parameter)
endif()

if(TARNWICK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TARNWICK_FUZZ)
  # Every library gets coverage instrumentation; only fuzz targets link the fuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
