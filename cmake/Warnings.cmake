# SPDX-License-Identifier: MIT
# One place for the warning flags; every target links chromabox_warnings PRIVATE.
add_library(chromabox_warnings INTERFACE)
target_compile_options(chromabox_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual
  -Wnull-dereference -Wimplicit-fallthrough -Wswitch)
if(CHROMABOX_WERROR)
  target_compile_options(chromabox_warnings INTERFACE -Werror)
endif()
