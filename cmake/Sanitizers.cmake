# AddressSanitizer and UBSan for the whole build (tests in CI run this way).
if(ZORVIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# For real fuzzing runs the engine itself must report coverage to libFuzzer,
# not only the fuzz target's own function.
if(ZORVIK_FUZZ_COVERAGE)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
