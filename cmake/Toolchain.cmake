# Compiler settings shared by every component.

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

add_compile_options(-Wall -Wextra -Werror)

# GCC 12 reports impossible overlaps in std::string's inlined copies at -O2 and
# above (GCC bug 105329); the warning says nothing about our code there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()

if(ZORVIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -O1)
  add_link_options(-fsanitize=address,undefined)
endif()

# Every program and library carries a GNU build-id: the kits name images by it.
add_link_options(-Wl,--build-id=sha1)

# Libraries and programs find their shared siblings from the build tree.
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
