# Warnings that every Zorvik target is built with.
add_library(zorvik_warnings INTERFACE)
target_compile_options(zorvik_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2
  -Wimplicit-fallthrough)
